#include "datafiles/inventoryfiles.h"

#include "analysis/analyzer.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/textrecords.h"

namespace datafiles {
namespace {

using platform::VbError;

// Lines are gathered into pieces of this size before they go to the file.
constexpr std::size_t kWriteChunk = 256 * 1024;

// One row of the summary as it is written.
struct SummaryRow {
  std::string_view letter;
  std::int32_t icon;
  std::int32_t index;  // into gDriveTypeCounts
};

// Line 1 is read back whole, as one field of the field encoder; a line break in it would end
// the line, so it stands as a blank.
std::string StoredHeader(std::string_view header) {
  std::string text(header);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return platform::EncodeField(text);
}

void WriteSummary(platform::OutFile& out, std::string_view header, const TypeCounts& totals,
                  const std::vector<SummaryRow>& rows, const std::array<DriveCounts, kTypeColumnCount>& counts) {
  platform::ListWriter w;
  w.Raw(StoredHeader(header)).EndLine();  // encoded above
  for (std::int64_t t : totals) w.Number(t);
  w.EndLine();
  for (const SummaryRow& row : rows) {
    w.Text(row.letter).Number(row.icon);
    for (int c = 0; c < kTypeColumnCount; ++c) w.Number(counts[c][static_cast<std::size_t>(row.index)]);
    w.EndLine();
  }
  out.Write(w.str());
}

// The lines of a text, without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::string ReadHeader(std::string_view line) {
  if (!line.empty() && line.front() == '"') {
    std::string header;
    platform::ReadQuotedField(line.data(), line.data() + line.size(), header);
    return header;
  }
  return std::string(line);
}

// Parses invsum.dat into `summary`; throws VbError on a short or malformed file.
void ParseSummary(std::string_view data, InventorySummary& summary) {
  std::vector<std::string_view> lines = Lines(data);
  if (lines.size() < 2) throw VbError(platform::errInputPastEnd);
  summary.gInvSumHeader = ReadHeader(lines[0]);
  {
    auto in = platform::ListReader::View(lines[1]);
    for (std::int64_t& t : summary.gTypeTotals) t = in.NumberField();
  }
  summary.gLoopIndex = 0;
  for (std::size_t l = 2; l < lines.size() && summary.gLoopIndex < kMaxSummaryDriveRows; ++l) {
    if (lines[l].empty()) continue;
    const std::size_t i = static_cast<std::size_t>(++summary.gLoopIndex);
    auto in = platform::ListReader::View(lines[l]);
    summary.gSumDriveLetters[i] = in.Field();
    std::int64_t icon = in.NumberField();
    if (icon < INT32_MIN || icon > INT32_MAX) throw VbError(platform::errTypeMismatch);
    summary.gSumDriveIcons[i] = static_cast<std::int32_t>(icon);
    for (int c = 0; c < kTypeColumnCount; ++c) summary.gDriveTypeCounts[c][i] = in.NumberField();
  }
}

// Reads invsum.dat into a copy of `summary`, committed only when the whole file was read.
std::int32_t ReadSummaryFile(const DataFileNames& files, InventorySummary& summary) {
  try {
    InventorySummary read = summary;
    ParseSummary(platform::ReadWholeFile(files.gInvSumFile), read);
    summary = std::move(read);
  } catch (const VbError& e) {
    return e.number();
  }
  return platform::errNone;
}

InventoryChange Missing(DataFile which, const std::string& file) {
  InventoryChange change;
  change.missing = true;
  change.missingFile = which;
  change.file = file;
  return change;
}

// The summary after one playlist was added (delta 1) or lines were removed (delta -n): totals
// and the rows of `drive` changed, a new header, every row written back as it was read.
InventoryChange RewriteSummaryAfterChange(const DataFileNames& files, InventorySummary& summary, std::int64_t delta,
                                          std::string_view drive) {
  InventoryChange change;
  platform::FileProbe probe = platform::FileLen(files.gInvSumFile);
  if (probe.error == platform::errFileNotFound) return Missing(DataFile::InventorySummary, files.gInvSumFile);
  change.file = files.gInvSumFile;
  if (!probe.ok()) {
    change.error = probe.error;
    return change;
  }
  InventorySummary next = summary;
  if ((change.error = ReadSummaryFile(files, next)) != platform::errNone) return change;

  next.gTypeTotals[kTotal] += delta;
  next.gTypeTotals[kLists] += delta;
  std::vector<SummaryRow> rows;
  for (std::int32_t i = 1; i <= next.gLoopIndex; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    if (next.gSumDriveLetters[slot] == drive) {
      next.gDriveTypeCounts[kTotal][slot] += delta;
      next.gDriveTypeCounts[kLists][slot] += delta;
    }
    rows.push_back({next.gSumDriveLetters[slot], next.gSumDriveIcons[slot], i});
  }
  platform::DateTime now = platform::CurrentClock().Now();
  next.gInvSumHeader = "Last Updated:  " + platform::ShortDate(now) + "  " + platform::LongTime(now);
  try {
    platform::ReplaceFile(
        files.gInvSumFile, InvSumTwinFile(files),
        [&](platform::OutFile& out) { WriteSummary(out, next.gInvSumHeader, next.gTypeTotals, rows, next.gDriveTypeCounts); },
        true);
  } catch (const VbError& e) {
    change.error = e.number();
    return change;
  }
  summary = std::move(next);
  return change;
}

// What must stand in front of a line appended to a file whose last byte is `last`.
std::string_view LineBreakBefore(char last) {
  if (last == '\n') return {};
  if (last == '\r') return "\n";
  return "\r\n";
}

}  // namespace

std::string InventoryTwinFile(const DataFileNames& files) { return files.gInventoryFile + ".new"; }
std::string InvSumTwinFile(const DataFileNames& files) { return files.gInvSumFile + ".new"; }

std::int32_t WriteInventoryFile(const DataFileNames& files, std::vector<std::vector<std::string>>& gDriveFileLists,
                                int gEnableEmbedded, platform::MediaPlayer* player) {
  try {
    platform::ReplaceFile(
        files.gInventoryFile, InventoryTwinFile(files),
        [&](platform::OutFile& out) {
          analysis::AudioProperties props;
          std::string chunk;
          chunk.reserve(kWriteChunk + 4096);
          for (std::size_t i = 1; i < gDriveFileLists.size(); ++i) {
            for (const std::string& path : gDriveFileLists[i]) {
              if (path.size() < 2) continue;
              const analysis::AudioProperties* analysed = nullptr;
              if (gEnableEmbedded == 1) {
                analysis::AnalyzeAudioFile(path, props, player);
                analysed = &props;
              }
              AppendStoredInventoryLine(path, analysed, chunk);
              if (chunk.size() >= kWriteChunk) {
                out.Write(chunk);
                chunk.clear();
              }
            }
            gDriveFileLists[i].clear();
            gDriveFileLists[i].shrink_to_fit();
          }
          out.Write(chunk);
        },
        true);
  } catch (const VbError& e) {
    return e.number();
  }
  return platform::errNone;
}

std::int32_t SaveInventorySummary(const DataFileNames& files, std::string_view txtDBDescription,
                                  const std::vector<std::string>& gDriveLetters,
                                  const std::vector<std::int32_t>& gDriveIcons, std::int32_t gDriveCount,
                                  InventorySummary& summary) {
  std::vector<SummaryRow> rows;
  for (std::int32_t i = 1; i <= gDriveCount && i <= kMaxSummaryDriveRows; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    if (slot >= gDriveLetters.size() || slot >= gDriveIcons.size()) break;
    rows.push_back({gDriveLetters[slot], gDriveIcons[slot], i});
  }
  try {
    platform::ReplaceFile(
        files.gInvSumFile, InvSumTwinFile(files),
        [&](platform::OutFile& out) {
          WriteSummary(out, txtDBDescription, summary.gTypeTotals, rows, summary.gDriveTypeCounts);
        },
        true);
  } catch (const VbError& e) {
    return e.number();
  }
  summary.gInvSumHeader = std::string(txtDBDescription);
  return platform::errNone;
}

std::int32_t LoadInventorySummary(const DataFileNames& files, InventorySummary& summary) {
  platform::FileProbe probe = platform::FileLen(files.gInvSumFile);
  if (!probe.ok()) return probe.error;
  return ReadSummaryFile(files, summary);
}

InventoryChange AddFileToInventory(const DataFileNames& files, std::string_view gSavePlaylistPath,
                                   InventorySummary& summary) {
  InventoryChange change;
  std::string stored;
  AppendStoredInventoryLine(gSavePlaylistPath, nullptr, stored);

  platform::SetReadOnly(files.gInventoryFile, false);
  const platform::FileProbe probe = platform::FileLen(files.gInventoryFile);
  try {
    if (probe.ok() && probe.length > 0) {
      // A record length of one byte reads the last byte alone.
      platform::RecordFile tail(files.gInventoryFile, 1, platform::RecordFile::Mode::Read);
      stored.insert(0, LineBreakBefore(tail.Read(tail.RecordCount())[0]));
    }
    platform::OutFile out(files.gInventoryFile, platform::OutFile::Mode::Append);
    out.Write(stored);
    out.Sync();
    out.Close();
  } catch (const VbError& e) {
    // A line that did not get there whole is no line: the file gets back the length it had.
    if (probe.ok()) {
      platform::TruncateFile(files.gInventoryFile, probe.length);
    } else if (probe.error == platform::errFileNotFound) {
      platform::DeleteFile(files.gInventoryFile);
    }
    platform::SetReadOnly(files.gInventoryFile, true);
    change.error = e.number();
    change.file = files.gInventoryFile;
    return change;
  }
  platform::SetReadOnly(files.gInventoryFile, true);
  return RewriteSummaryAfterChange(files, summary, 1, gSavePlaylistPath.substr(0, 2));
}

InventoryChange RemoveFileFromInventory(const DataFileNames& files, std::string_view gCurrentPlaylistPath,
                                        std::string_view currentCellText, InventorySummary& summary) {
  InventoryChange change;
  platform::FileProbe probe = platform::FileLen(files.gInventoryFile);
  if (probe.error == platform::errFileNotFound) return Missing(DataFile::InventoryData, files.gInventoryFile);
  change.file = files.gInventoryFile;
  if (!probe.ok()) {
    change.error = probe.error;
    return change;
  }
  try {
    InventoryReader reader(files.gInventoryFile);
    const std::string_view data = reader.Data();
    // The byte ranges of the lines to drop, line ends included.
    std::vector<std::pair<std::size_t, std::size_t>> dropped;
    InventoryLine line;
    std::string path;
    while (reader.Next(line, 4)) {
      line.FullPathInto(path);
      if (path == gCurrentPlaylistPath) {
        std::string_view seg = reader.StoredLineWithEnd();
        std::size_t begin = static_cast<std::size_t>(seg.data() - data.data());
        dropped.emplace_back(begin, begin + seg.size());
      }
    }
    if (!dropped.empty()) {
      platform::ReplaceFile(
          files.gInventoryFile, files.gTempInvDBFile,
          [&](platform::OutFile& out) {
            std::size_t from = 0;
            for (auto [begin, end] : dropped) {
              out.Write(data.substr(from, begin - from));
              from = end;
            }
            out.Write(data.substr(from));
          },
          true);
    }
    change.linesRemoved = static_cast<std::int64_t>(dropped.size());
  } catch (const VbError& e) {
    change.error = e.number();
    return change;
  }
  InventoryChange summed =
      RewriteSummaryAfterChange(files, summary, -change.linesRemoved, currentCellText.substr(0, 2));
  summed.linesRemoved = change.linesRemoved;
  return summed;
}

}  // namespace datafiles
