#include "playlist/m3u.h"

#include <algorithm>
#include <cctype>

#include "platform/core/codepage.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace {

// One line's entry, or nothing when the line holds no track.
bool EntryOfLine(std::string_view line, const platform::DriveMap& drives, std::string& out) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  line.remove_prefix(i);
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    const std::size_t close = line.find('"');
    if (close != std::string_view::npos) line = line.substr(0, close);
  }
  if (line.empty() || line.front() == '#') return false;
  if (line.size() >= 3 && line[2] == '\\') {
    out.assign(line);
    return true;
  }
  // Other players write a drive path with forward slashes too: c:/music/a.au.
  if (line.size() >= 3 && std::isalpha(static_cast<unsigned char>(line[0])) && line[1] == ':' && line[2] == '/') {
    out.assign(line);
    std::replace(out.begin(), out.end(), '/', '\\');
    return true;
  }
  if (line.front() == '/') {
    const std::string host(line);
    if (std::optional<std::string> dos = drives.ToDos(host)) {
      out = std::move(*dos);
    } else {
      out = host;
    }
    return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> ReadPlaylistEntries(std::string_view bytes, const platform::DriveMap& drives) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::vector<std::string> entries;
  std::string entry;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    if (EntryOfLine(bytes.substr(pos, end - pos), drives, entry)) entries.push_back(entry);
    pos = end;
    if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
  }
  return entries;
}

std::string PlaylistFileBytes(const std::vector<std::string>& paths, const platform::DriveMap& drives) {
  std::string bytes;
  for (const std::string& path : paths) {
    if (path.empty()) continue;  // no track
    std::optional<std::string> host;
    if (path.size() >= 3 && path[2] == '\\') host = drives.ToHost(path);
    bytes += host ? *host : path;
    bytes += "\r\n";
  }
  return bytes;
}

void WritePlaylistBytes(const std::string& dosPath, const std::vector<std::string>& paths,
                        const platform::DriveMap& drives) {
  const platform::FileProbe probe = platform::FileLen(dosPath);
  if (probe.ok() && platform::IsReadOnly(dosPath)) throw platform::VbError(platform::errPermissionDenied);
  const std::string bytes = PlaylistFileBytes(paths, drives);
  platform::ReplaceFile(dosPath, dosPath + ".tmp", [&](platform::OutFile& out) { out.Write(bytes); }, false);
}

std::string TrackTitle(std::string_view path) {
  // A track on none of the drives is kept by its host path.
  const std::size_t slash = path.rfind(!path.empty() && path.front() == '/' ? '/' : '\\');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && platform::LowerCase(path.substr(dot + 1)) == "mp3") {
    const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    if (dot >= start) return std::string(path.substr(start, dot - start));
  }
  return std::string(name);
}
