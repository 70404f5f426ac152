#include "datafiles/inventoryline.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "analysis/audioproperties.h"
#include "platform/core/codepage.h"
#include "platform/core/files.h"

namespace datafiles {
namespace {

using platform::kChr187;

void RestoreCommas(std::string& text) {
  if (text.find(kChr187) != std::string::npos) text = platform::ReplaceAll(text, kChr187, ",");
}

bool NeedsQuotes(std::string_view text) {
  return !text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '"');
}

// Bytes a stored text may not hold as they are.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : {',', '\r', '\n', '"'}) t[c] = true;
  return t;
}();

bool Plain(std::string_view text) {
  for (char c : text) {
    if (kSpecial[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

// A drive, folder, name or extension: its commas as the character 187, line breaks as blanks;
// quoted when the reader would otherwise drop its leading blanks or take it for a quoted field.
void AppendPathField(std::string_view text, std::string& out) {
  const bool quoted = NeedsQuotes(text);
  if (!quoted && Plain(text)) {
    out.append(text);
    return;
  }
  if (quoted) out.push_back('"');
  for (char c : text) {
    if (c == ',') {
      out.append(kChr187);
    } else if (c == '\r' || c == '\n') {
      out.push_back(' ');
    } else if (c == '"' && quoted) {
      out.push_back('\'');  // a quote would end the quoted field early
    } else {
      out.push_back(c);
    }
  }
  if (quoted) out.push_back('"');
}

// An analysis text: commas as "-", CR LF as two blanks, a lone CR or LF as a blank, a leading
// double quote as an apostrophe.
void AppendAnalysisField(std::string_view text, std::string& out) {
  if (Plain(text)) {
    out.append(text);
    return;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (i == 0 && c == '"') {
      out.push_back('\'');
    } else if (c == ',') {
      out.push_back('-');
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out.append("  ");
      ++i;
    } else if (c == '\r' || c == '\n') {
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
}

// What follows the extension's comma on a line without analysis.
constexpr std::string_view kBareAnalysis = ",,,,,,,,,,,,,,,,,";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

const char* Find(const char* p, const char* end, char c) {
  const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
  return hit ? static_cast<const char*>(hit) : end;
}

// The list form's reading of one line, as the list reader does it but in one pass without
// copies: a field ends at a comma or the line end, blanks in front
// of it are skipped, and one that begins with a double quote runs to the next double quote
// (what follows it up to the separator is dropped). The first `fields` fields go into `line`,
// the ones the line lacks are emptied. Returns where the line's content ends: at its CR or LF,
// or at `end`.
const char* ParseFields(const char* p, const char* end, InventoryLine& line, int fields) {
  const char* lineEnd = Find(p, end, '\n');
  lineEnd = Find(p, lineEnd, '\r');
  auto targets = line.Fields();
  int i = 0;
  while (i < fields) {
    while (p < lineEnd && (*p == ' ' || *p == '\t')) ++p;
    const char* b = p;
    const char* e;
    if (p < lineEnd && *p == '"') {
      b = p + 1;
      e = Find(b, lineEnd, '"');
      p = Find(e, lineEnd, ',');
    } else {
      e = p = (p < lineEnd && *p == ',') ? p : Find(p, lineEnd, ',');
    }
    std::string& target = *targets[i];
    if (b == e) {
      if (!target.empty()) target.clear();
    } else {
      target.assign(b, static_cast<std::size_t>(e - b));
      if ((i == 1 || i == 2) && std::memchr(b, kChr187[0], static_cast<std::size_t>(e - b))) RestoreCommas(target);
    }
    ++i;
    if (p == lineEnd) break;
    ++p;  // the comma
    if (i == 4 && static_cast<std::size_t>(lineEnd - p) == kBareAnalysis.size() &&
        std::memcmp(p, kBareAnalysis.data(), kBareAnalysis.size()) == 0) {
      break;  // no analysis: the 18 fields are empty
    }
  }
  for (; i < fields; ++i) {
    if (!targets[i]->empty()) targets[i]->clear();
  }
  return lineEnd;
}

struct PathParts {
  std::string_view drive, folder, name, extension;
};

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  parts.drive = path.substr(0, 2);
  std::string_view rest = path.substr(parts.drive.size());
  std::string_view stem = rest;
  if (auto dot = rest.rfind('.'); dot != std::string_view::npos) {
    stem = rest.substr(0, dot);
    parts.extension = rest.substr(dot + 1);
  }
  auto slash = stem.rfind('\\');
  if (slash == std::string_view::npos) {
    parts.name = stem;
  } else {
    parts.folder = stem.substr(0, slash + 1);
    parts.name = stem.substr(slash + 1);
  }
  return parts;
}

}  // namespace

std::array<std::string*, InventoryLine::kFieldCount> InventoryLine::Fields() {
  return {&gInvDrive,        &gInvFolder,     &gInvFileName,      &gInvExtension, &gInvFileType, &gInvAlbum,
          &gInvArtist,       &gInvBits,       &gInvChannels,      &gInvDivision,  &gInvComment,  &gInvEncoding,
          &gInvCopyright,    &gInvCreationDate, &gInvEngineer,    &gInvFormatVersion, &gInvGenre, &gInvName,
          &gInvProduct,      &gInvSampleRate, &gInvSoftware,      &gInvYear};
}

std::array<const std::string*, InventoryLine::kFieldCount> InventoryLine::Fields() const {
  auto fields = const_cast<InventoryLine*>(this)->Fields();
  std::array<const std::string*, kFieldCount> out;
  for (int i = 0; i < kFieldCount; ++i) out[i] = fields[i];
  return out;
}

void InventoryLine::FullPathInto(std::string& out) const {
  out.clear();
  out.reserve(gInvDrive.size() + gInvFolder.size() + gInvFileName.size() + 1 + gInvExtension.size());
  out.append(gInvDrive).append(gInvFolder).append(gInvFileName).push_back('.');
  out.append(gInvExtension);
}

std::string InventoryLine::FullPath() const {
  std::string out;
  FullPathInto(out);
  return out;
}

std::string InventoryLine::PathWithoutDrive() const { return gInvFolder + gInvFileName + "." + gInvExtension; }

void SplitInventoryPath(std::string_view path, InventoryLine& line) {
  PathParts parts = SplitPath(path);
  line.gInvDrive.assign(parts.drive);
  line.gInvFolder.assign(parts.folder);
  line.gInvFileName.assign(parts.name);
  line.gInvExtension.assign(parts.extension);
}

void ParseInventoryLine(std::string_view stored, InventoryLine& line, int fields) {
  ParseFields(stored.data(), stored.data() + stored.size(), line, std::min(fields, InventoryLine::kFieldCount));
}

void AppendStoredInventoryLine(std::string_view path, const analysis::AudioProperties* props, std::string& out) {
  PathParts parts = SplitPath(path);
  if (!props && !std::memchr(path.data(), ',', path.size()) && !std::memchr(path.data(), '\r', path.size()) &&
      !std::memchr(path.data(), '\n', path.size()) && !NeedsQuotes(parts.drive) && !NeedsQuotes(parts.folder) &&
      !NeedsQuotes(parts.name) && !NeedsQuotes(parts.extension)) {
    // Nothing to protect: the four fields as they stand in the path, copied in one go.
    constexpr std::string_view kEmptyAnalysis = ",,,,,,,,,,,,,,,,,,\r\n";
    const std::size_t old = out.size();
    out.resize(old + parts.drive.size() + parts.folder.size() + parts.name.size() + parts.extension.size() + 3 +
               kEmptyAnalysis.size());
    char* d = out.data() + old;
    for (std::string_view piece : {parts.drive, parts.folder, parts.name}) {
      std::memcpy(d, piece.data(), piece.size());
      d += piece.size();
      *d++ = ',';
    }
    std::memcpy(d, parts.extension.data(), parts.extension.size());
    std::memcpy(d + parts.extension.size(), kEmptyAnalysis.data(), kEmptyAnalysis.size());
    return;
  }
  AppendPathField(parts.drive, out);
  out.push_back(',');
  AppendPathField(parts.folder, out);
  out.push_back(',');
  AppendPathField(parts.name, out);
  out.push_back(',');
  AppendPathField(parts.extension, out);
  if (!props) {
    out.append(",,,,,,,,,,,,,,,,,,\r\n");
    return;
  }
  for (const std::string* text : const_cast<analysis::AudioProperties*>(props)->Texts()) {
    out.push_back(',');
    AppendAnalysisField(*text, out);
  }
  out.append("\r\n");
}

InventoryReader::InventoryReader(const std::string& gInventoryFile) : data_(platform::ReadWholeFile(gInventoryFile)) {}

bool InventoryReader::Next(InventoryLine& line, int fields) {
  const char* const end = data_.data() + data_.size();
  const char* p = data_.data() + pos_;
  // Empty lines are no lines.
  while (p < end && IsLineEnd(*p)) ++p;
  if (p == end) {
    pos_ = data_.size();
    stored_ = {};
    withEnd_ = {};
    return false;
  }
  const char* start = p;
  p = ParseFields(start, end, line, std::min(fields, InventoryLine::kFieldCount));
  stored_ = std::string_view(start, static_cast<std::size_t>(p - start));
  if (p < end && *p == '\r') ++p;
  if (p < end && *p == '\n') ++p;
  withEnd_ = std::string_view(start, static_cast<std::size_t>(p - start));
  pos_ = static_cast<std::size_t>(p - data_.data());
  return true;
}

std::vector<bool> FindPathsInInventory(const std::string& gInventoryFile, const std::vector<std::string>& paths) {
  std::vector<bool> found(paths.size(), false);
  // Each wanted path once, with every index that asks for it.
  std::unordered_map<std::string_view, std::vector<std::size_t>> wanted;
  wanted.reserve(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) wanted[paths[i]].push_back(i);
  std::size_t remaining = wanted.size();
  if (remaining == 0) return found;

  InventoryReader reader(gInventoryFile);
  InventoryLine line;
  std::string path;
  while (remaining > 0 && reader.Next(line, 4)) {
    line.FullPathInto(path);
    auto it = wanted.find(path);
    if (it == wanted.end() || it->second.empty()) continue;
    for (std::size_t i : it->second) found[i] = true;
    it->second.clear();
    --remaining;
  }
  return found;
}

}  // namespace datafiles
