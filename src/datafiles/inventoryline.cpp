#include "datafiles/inventoryline.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "analysis/audioproperties.h"
#include "platform/core/codepage.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"

namespace datafiles {
namespace {

using platform::kChr187;

bool NeedsQuotes(std::string_view text) {
  return !text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '"');
}

// An analysis text: commas as "-", CR LF as two blanks, a lone CR or LF as a blank, so that it
// never leaves its line; then through the field encoder like every other text.
void AppendAnalysisField(std::string_view text, std::string& out) {
  if (platform::IsPlainField(text)) {
    out.append(text);
    return;
  }
  std::string kept;
  kept.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == ',') {
      kept.push_back('-');
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      kept.append("  ");
      ++i;
    } else if (c == '\r' || c == '\n') {
      kept.push_back(' ');
    } else {
      kept.push_back(c);
    }
  }
  platform::AppendField(out, kept);
}

// What follows the extension's comma on a line without analysis.
constexpr std::string_view kBareAnalysis = ",,,,,,,,,,,,,,,,,";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

const char* Find(const char* p, const char* end, char c) {
  const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
  return hit ? static_cast<const char*>(hit) : end;
}

bool Holds(std::string_view text, char c) { return !text.empty() && std::memchr(text.data(), c, text.size()); }

const char* LineEndFrom(const char* p, const char* end) { return Find(p, Find(p, end, '\n'), '\r'); }

// The closing quote of a quoted field whose text begins at `p`, or `end` when there is none;
// `doubled` tells whether a "" stands in it.
const char* ClosingQuote(const char* p, const char* end, bool& doubled) {
  for (;;) {
    p = Find(p, end, '"');
    if (p == end || p + 1 == end || p[1] != '"') return p;
    doubled = true;
    p += 2;
  }
}

void AssignUnquoted(std::string& target, const char* b, const char* e) {
  target.clear();
  while (b < e) {
    const char* q = Find(b, e, '"');
    target.append(b, q);
    if (q == e) break;
    target.push_back('"');
    b = q + (q + 1 < e && q[1] == '"' ? 2 : 1);
  }
}

// The list form's reading of one line in one pass without copies: a field ends at a comma or
// the line end, blanks in front of it are skipped, and one that begins with a double quote is
// read as the field encoder wrote it ("" as one quote, line ends inside it kept; what follows
// its closing quote up to the separator is dropped; unclosed, it runs to the line end). The
// first `fields` fields go into `line`, the ones the line lacks are emptied; the others are
// only stepped over, and only where a quote could carry the line past its first line end.
// Returns where the line's content ends: at its CR or LF, or at `end`.
const char* ParseFields(const char* p, const char* end, InventoryLine& line, int fields) {
  const char* lineEnd = LineEndFrom(p, end);
  auto targets = line.Fields();
  int i = 0;
  for (;;) {
    if (i >= fields && !std::memchr(p, '"', static_cast<std::size_t>(lineEnd - p))) break;
    while (p < lineEnd && (*p == ' ' || *p == '\t')) ++p;
    const char* b = p;
    const char* e;
    bool quoted = false, doubled = false;
    if (p < lineEnd && *p == '"') {
      quoted = true;
      b = p + 1;
      e = ClosingQuote(b, end, doubled);
      if (e == end) {
        e = p = lineEnd;
        doubled = Find(b, lineEnd, '"') != lineEnd;
      } else {
        if (e > lineEnd) lineEnd = LineEndFrom(e + 1, end);
        p = Find(e + 1, lineEnd, ',');
      }
    } else {
      e = p = Find(p, lineEnd, ',');
    }
    if (i < fields) {
      std::string& target = *targets[i];
      if (b == e) {
        if (!target.empty()) target.clear();
      } else if (doubled) {
        AssignUnquoted(target, b, e);
      } else {
        target.assign(b, static_cast<std::size_t>(e - b));
        if (!quoted && (i == 1 || i == 2) && std::memchr(b, kChr187[1], static_cast<std::size_t>(e - b)))
          platform::RestoreNameCommas(target);
      }
    }
    ++i;
    if (p >= lineEnd) break;
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
  if (!props && !Holds(path, ',') && !Holds(path, '\r') && !Holds(path, '\n') && !Holds(path, kChr187[1]) &&
      !NeedsQuotes(parts.drive) &&
      !NeedsQuotes(parts.folder) && !NeedsQuotes(parts.name) && !NeedsQuotes(parts.extension)) {
    // Nothing to protect: the four fields as they stand in the path, copied in one go.
    constexpr std::string_view kEmptyAnalysis = ",,,,,,,,,,,,,,,,,,\r\n";
    const std::size_t old = out.size();
    out.resize(old + parts.drive.size() + parts.folder.size() + parts.name.size() + parts.extension.size() + 3 +
               kEmptyAnalysis.size());
    char* d = out.data() + old;
    // A piece may be empty with no storage behind it: nothing is copied from it then.
    const std::string_view pieces[] = {parts.drive, parts.folder, parts.name, parts.extension};
    for (int k = 0; k < 4; ++k) {
      if (k > 0) *d++ = ',';
      if (!pieces[k].empty()) std::memcpy(d, pieces[k].data(), pieces[k].size());
      d += pieces[k].size();
    }
    std::memcpy(d, kEmptyAnalysis.data(), kEmptyAnalysis.size());
    return;
  }
  platform::AppendField(out, parts.drive);
  out.push_back(',');
  platform::AppendNameField(out, parts.folder);
  out.push_back(',');
  platform::AppendNameField(out, parts.name);
  out.push_back(',');
  platform::AppendField(out, parts.extension);
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
