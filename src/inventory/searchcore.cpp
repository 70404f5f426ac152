#include "inventory/searchcore.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <thread>

#include "datafiles/inventoryline.h"
#include "inventory/localfiletimes.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/parallelfor.h"

namespace inventory {
namespace {

constexpr std::int64_t kMinimumListedLength = 13;

// What the scan of one slice of inventory.dat gives: its hits in inventory order and their
// result lines, ready to be written. A scan that stops leaves those of the lines before.
struct SliceResult {
  std::vector<SearchHit> hits;
  std::string lines;
};

// What every scanning thread shares; each has its own scorer, prober and buffers.
struct ScanContext {
  const NotesByPath& notes;
  const SearchOptions& options;
};

bool IsLineEndByte(char c) { return c == '\r' || c == '\n'; }

// What one scanning thread keeps from slice to slice: its scorer's buffers, the folder it
// has open, the offsets from UTC of the days it met.
struct Scanner {
  explicit Scanner(const SearchScorer& s) : scorer(s) {}
  SearchScorer scorer;
  platform::FileStatusProber prober;
  LocalFileTimes times;
  datafiles::InventoryLine line;
  std::string full, dateText;
};

// Scores the lines of `slice` (whole lines of inventory.dat) as the reader would read them:
// empty lines are none, a line ends at its CR or LF.
void ScanSlice(std::string_view slice, const ScanContext& context, Scanner& own, SliceResult& out) {
  const std::span<const NotesByPath::Note> none;
  const char* p = slice.data();
  const char* const end = p + slice.size();
  datafiles::InventoryLine& line = own.line;
  while (p < end) {
    while (p < end && IsLineEndByte(*p)) ++p;
    if (p == end) break;
    const char* lineEnd = p;
    while (lineEnd < end && !IsLineEndByte(*lineEnd)) ++lineEnd;
    datafiles::ParseInventoryLine(std::string_view(p, static_cast<std::size_t>(lineEnd - p)), line);
    p = lineEnd;
    line.FullPathInto(own.full);
    const platform::FileStatus status = own.prober.Probe(own.full);
    if (!status.probe.ok() || status.probe.length < kMinimumListedLength) continue;
    const std::string* date = nullptr;
    if (context.options.attributes) {
      own.dateText = platform::DateTimeText(own.times.Of(status.modified));
      date = &own.dateText;
    }
    const std::int64_t hits =
        own.scorer.Score(line, date, context.options.userDB ? context.notes.Find(own.full) : none);
    if (hits <= 0) continue;
    SearchHit& hit = out.hits.emplace_back();
    hit.drive = line.gInvDrive;
    hit.pathWithoutDrive = line.PathWithoutDrive();
    hit.hits = hits;
    AppendResultLine(hit, out.lines);
  }
}

// Slices of about `target` bytes, each ending just after a line feed (or at the end), so that
// no line is cut.
std::vector<std::string_view> CutIntoSlices(std::string_view data, std::size_t target) {
  std::vector<std::string_view> slices;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t cut = data.size();
    if (data.size() - start > target) {
      const std::size_t lf = data.find('\n', start + target);
      if (lf != std::string_view::npos) cut = lf + 1;
    }
    slices.push_back(data.substr(start, cut - start));
    start = cut;
  }
  return slices;
}

constexpr unsigned kMaxSearchThreads = 8;
// Enough slices per thread that one slow folder does not hold the others up, few enough that
// each slice keeps its folders open over many lines.
constexpr std::size_t kSlicesPerThread = 16;
constexpr std::size_t kMinSliceBytes = 64 * 1024;

}  // namespace

unsigned SearchThreads(unsigned asked) {
  if (asked != 0) return asked;
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(cores, 1u, kMaxSearchThreads);
}

SearchOutcome SearchInventory(const SearchRequest& request) {
  SearchOutcome outcome;
  const SearchOptions& options = request.options;
  const SearchScorer scorer(SplitSearchPhrases(request.searchText), options);
  const NotesByPath notes = options.userDB && request.notes ? NotesByPath(*request.notes) : NotesByPath();

  // result.dat as it is written; a write that fails stops the writing, not the scan.
  std::optional<platform::OutFile> result;
  std::string writeFailure;
  auto write = [&](std::string_view bytes) {
    if (!result || bytes.empty()) return;
    try {
      result->Write(bytes);
    } catch (const platform::VbError& e) {
      writeFailure = e.what();
      result.reset();
    }
  };
  auto noMatchLine = [] { return " ," + NoMatchText() + ", " + std::string(kResultLineEnd); };

  const unsigned threads = SearchThreads(request.threads);
  std::optional<platform::FileBytes> inventory;
  std::string readFailure;
  try {
    inventory = platform::ReadWholeFileInParallel(request.inventoryFile, threads);
  } catch (const platform::VbError& e) {
    readFailure = e.what();
  }
  try {
    result.emplace(request.resultFile, platform::OutFile::Mode::Create);
  } catch (const platform::VbError& e) {
    writeFailure = e.what();
  }
  write(ResultHeaderLine(request.searchText) + std::string(kResultLineEnd));

  if (inventory) {
    const ScanContext context{notes, options};
    const std::string_view data = inventory->view();
    const std::size_t sliceBytes =
        request.sliceBytes != 0 ? request.sliceBytes
                                : std::max(kMinSliceBytes, data.size() / (threads * kSlicesPerThread) + 1);
    const std::vector<std::string_view> slices =
        threads == 1 ? std::vector<std::string_view>{data} : CutIntoSlices(data, sliceBytes);
    // The calling thread scans too and writes each slice once those before it are written, so
    // that result.dat and the hits come in inventory order, as one thread gives them; a scan
    // that stops is written as far as it got and its failure goes on to the caller.
    platform::OrderedParallelFor<SliceResult>(
        slices.size(), threads,
        [&] {
          return [&, own = Scanner(scorer)](std::size_t k, SliceResult& out) mutable {
            ScanSlice(slices[k], context, own, out);
          };
        },
        [&](std::size_t, SliceResult& r) {
          write(r.lines);
          std::move(r.hits.begin(), r.hits.end(), std::back_inserter(outcome.hits));
        });
  } else {
    outcome.complete = false;
    outcome.failure = "Search stopped: cannot read " + request.inventoryFile + " (" + readFailure + ")";
  }
  if (outcome.hits.empty()) write(noMatchLine());
  if (result) {
    try {
      result->Close();
    } catch (const platform::VbError& e) {
      writeFailure = e.what();
    }
    result.reset();
  }
  if (!writeFailure.empty()) {
    platform::DeleteFile(request.resultFile);
    if (outcome.failure.empty()) {
      outcome.failure = "Search completed, but " + request.resultFile + " could not be written (" + writeFailure + ")";
    }
  }
  return outcome;
}

}  // namespace inventory
