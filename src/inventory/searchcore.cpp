#include "inventory/searchcore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <iterator>
#include <memory>
#include <system_error>
#include <numeric>
#include <optional>
#include <thread>

#include "datafiles/inventoryline.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/parallelfor.h"
#include "platform/core/textrecords.h"

namespace inventory {
namespace {

using platform::kChr187;

constexpr std::int64_t kMinimumListedLength = 13;
constexpr std::string_view kNoMatch = ">> NO MATCHES FOUND <<";
constexpr std::string_view kCrLf = "\r\n";

// One character of UTF-8 text at `pos`: its code point and its length in bytes. A byte that
// starts no valid sequence is a character of its own.
struct Char {
  char32_t code;
  std::size_t length;
};

Char Decode(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return {b0, 1};
  std::size_t n = b0 >= 0xF0 && b0 < 0xF8 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
  if (n == 0 || pos + n > s.size()) return {b0, 1};
  char32_t code = b0 & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[pos + k]);
    if ((b & 0xC0) != 0x80) return {b0, 1};
    code = (code << 6) | (b & 0x3F);
  }
  return {code, n};
}

// The sort's case folding, the grid's own: ASCII and the Latin-1 capitals in UTF-8.
unsigned char Folded(std::string_view v, std::size_t j) {
  auto b = static_cast<unsigned char>(v[j]);
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (b >= 0x80 && b <= 0x9E && b != 0x97 && j > 0 && static_cast<unsigned char>(v[j - 1]) == 0xC3)
    return static_cast<unsigned char>(b + 0x20);
  return b;
}

int CompareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Folded(a, i), y = Folded(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

void AssignLower(std::string& out, std::string_view text) {
  out.assign(text);
  platform::LowerCaseInPlace(out);
}

std::string WithCommas(std::string_view stored) { return platform::ReplaceAll(stored, kChr187, ","); }

}  // namespace

std::vector<std::string> SplitSearchPhrases(std::string_view searchText) {
  std::vector<std::string> phrases;
  std::string rest(searchText);
  rest.push_back(',');
  std::size_t start = 0;
  while (start < rest.size()) {
    const std::size_t comma = rest.find(',', start);
    phrases.emplace_back(platform::Trim(std::string_view(rest).substr(start, comma - start)));
    start = comma + 1;
  }
  return phrases;
}

// ---- the pattern

bool WildcardPattern::Token::Accepts(char32_t c) const {
  switch (kind) {
    case Literal: return c == ch;
    case Any: return true;
    case Digit: return c >= '0' && c <= '9';
    case Set: {
      bool in = false;
      for (const auto& [lo, hi] : ranges) {
        if (c >= lo && c <= hi) {
          in = true;
          break;
        }
      }
      return in != negated;
    }
  }
  return false;
}

WildcardPattern::WildcardPattern(std::string_view phrase) {
  const std::string p = platform::LowerCase(phrase);
  Piece piece;
  auto endPiece = [&] {
    if (!piece.tokens.empty()) pieces_.push_back(std::move(piece));
    piece = Piece{};
  };
  auto add = [&](Token t, std::string_view bytes) {
    if (t.kind == Token::Literal) {
      if (piece.tokens.empty()) piece.firstLiteral.assign(bytes);
      piece.literal.append(bytes);
    } else {
      piece.allLiteral = false;
    }
    piece.tokens.push_back(std::move(t));
  };

  std::size_t i = 0;
  while (i < p.size()) {
    const Char c = Decode(p, i);
    const std::string_view bytes(p.data() + i, c.length);
    i += c.length;
    Token t;
    switch (c.code) {
      case '*':
        endPiece();
        continue;
      case '?':
        t.kind = Token::Any;
        break;
      case '#':
        t.kind = Token::Digit;
        break;
      case '[': {
        const std::size_t close = p.find(']', i);
        if (close == std::string::npos) {
          valid_ = false;
          pieces_.clear();
          return;
        }
        t.kind = Token::Set;
        std::size_t j = i;
        if (j < close && p[j] == '!') {
          t.negated = true;
          ++j;
        }
        std::vector<char32_t> items;
        while (j < close) {
          const Char item = Decode(p, j);
          items.push_back(item.code);
          j += item.length;
        }
        // "a-z" is a range; a "-" first or last in the list stands for itself.
        for (std::size_t k = 0; k < items.size(); ++k) {
          if (k + 2 < items.size() && items[k + 1] == '-') {
            if (items[k] > items[k + 2]) {
              valid_ = false;
              pieces_.clear();
              return;
            }
            t.ranges.emplace_back(items[k], items[k + 2]);
            k += 2;
          } else {
            t.ranges.emplace_back(items[k], items[k]);
          }
        }
        i = close + 1;
        break;
      }
      default:
        t.kind = Token::Literal;
        t.ch = c.code;
        break;
    }
    add(std::move(t), bytes);
  }
  endPiece();
}

std::size_t WildcardPattern::FindPiece(const Piece& piece, std::string_view text, std::size_t from) {
  if (piece.allLiteral) {
    const std::size_t at = text.find(piece.literal, from);
    return at == std::string_view::npos ? std::string_view::npos : at + piece.literal.size();
  }
  // Every token takes one character, so the leftmost start is also the earliest end.
  const std::string& firstBytes = piece.firstLiteral;
  std::size_t start = from;
  while (start < text.size()) {
    if (!firstBytes.empty()) {
      start = text.find(firstBytes, start);
      if (start == std::string_view::npos) return std::string_view::npos;
    }
    std::size_t pos = start;
    bool matched = true;
    for (const Token& t : piece.tokens) {
      if (pos >= text.size()) return std::string_view::npos;  // no later start can fit either
      const Char c = Decode(text, pos);
      if (!t.Accepts(c.code)) {
        matched = false;
        break;
      }
      pos += c.length;
    }
    if (matched) return pos;
    start += Decode(text, start).length;
  }
  return std::string_view::npos;
}

bool WildcardPattern::Matches(std::string_view lowerText) const {
  if (!valid_) return false;
  std::size_t pos = 0;
  for (const Piece& piece : pieces_) {
    pos = FindPiece(piece, lowerText, pos);
    if (pos == std::string_view::npos) return false;
  }
  return true;
}

// ---- file times

namespace {

constexpr long kOffsetChanges = LONG_MIN;
constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The calendar date and time of seconds since 1970 (days to civil: proleptic Gregorian).
platform::DateTime CivilTime(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t rest = seconds - days * kSecondsPerDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), static_cast<int>(rest / 3600),
          static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60)};
}

// The offset from UTC over the whole of a UTC day, or kOffsetChanges when it is not one offset.
long OffsetOverDay(std::int64_t day) {
  const std::time_t first = static_cast<std::time_t>(day * kSecondsPerDay), last = first + kSecondsPerDay - 1;
  std::tm a{}, b{};
  if (!localtime_r(&first, &a) || !localtime_r(&last, &b)) return kOffsetChanges;
  return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst ? a.tm_gmtoff : kOffsetChanges;
}

}  // namespace

long LocalFileTimes::OffsetOfDay(std::int64_t day) {
  constexpr long kUnknown = LONG_MAX;
  constexpr std::int64_t kTableDays = 2 * 36525;
  if (byDay_.empty()) {
    byDay_.assign(kTableDays, kUnknown);
    firstDay_ = day - kTableDays / 2;
  }
  const std::int64_t index = day - firstDay_;
  if (index >= 0 && index < kTableDays) {
    long& offset = byDay_[static_cast<std::size_t>(index)];
    if (offset == kUnknown) offset = OffsetOverDay(day);
    return offset;
  }
  auto it = otherDays_.find(day);
  if (it == otherDays_.end()) it = otherDays_.emplace(day, OffsetOverDay(day)).first;
  return it->second;
}

platform::DateTime LocalFileTimes::Of(std::time_t t) {
  const long offset = OffsetOfDay(FloorDiv(t, kSecondsPerDay));
  if (offset == kOffsetChanges) return platform::LocalDateTime(t);
  return CivilTime(static_cast<std::int64_t>(t) + offset);
}

// ---- notes and scoring

NotesByPath::NotesByPath(const std::vector<datafiles::UserDBRecord>& records) {
  byPath_.reserve(records.size());
  for (const datafiles::UserDBRecord& r : records) {
    Note n;
    AssignLower(n.caption, r.Caption);
    AssignLower(n.subject, r.Subject);
    AssignLower(n.project, r.Project);
    AssignLower(n.keywords, r.Keywords);
    AssignLower(n.players, r.Players);
    const std::string_view key = r.Key();
    auto it = byPath_.find(key);
    if (it == byPath_.end()) it = byPath_.emplace(std::string(key), std::vector<Note>{}).first;
    it->second.push_back(std::move(n));
  }
  std::size_t bits = 4096;
  while (bits < byPath_.size() * 64 && bits < (std::size_t{1} << 24)) bits *= 2;
  filter_.assign(bits / 64, 0);
  filterMask_ = bits - 1;
  for (const auto& [key, notes] : byPath_) {
    const std::size_t bit = Hash{}(key) & filterMask_;
    filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
}

std::span<const NotesByPath::Note> NotesByPath::Find(std::string_view path) const {
  if (filter_.empty()) return {};
  const std::size_t bit = Hash{}(path) & filterMask_;
  if ((filter_[bit / 64] >> (bit % 64) & 1) == 0) return {};
  auto it = byPath_.find(path);
  if (it == byPath_.end()) return {};
  return it->second;
}

SearchScorer::SearchScorer(const std::vector<std::string>& phrases, SearchOptions options)
    : options_(options), embedded_(18) {
  patterns_.reserve(phrases.size());
  for (const std::string& p : phrases) patterns_.emplace_back(p);
}

std::int64_t SearchScorer::Score(const datafiles::InventoryLine& line, const std::string* dateText,
                                 std::span<const NotesByPath::Note> notes) {
  if (options_.attributes) {
    folder_.assign(line.gInvDrive).append(line.gInvFolder);
    platform::LowerCaseInPlace(folder_);
    name_.assign(line.gInvFileName).append(".").append(line.gInvExtension);
    platform::LowerCaseInPlace(name_);
    if (dateText) AssignLower(date_, *dateText);
  }
  if (options_.embedded) {
    const auto fields = line.Fields();
    for (std::size_t k = 0; k < embedded_.size(); ++k) AssignLower(embedded_[k], *fields[k + 4]);
  }
  std::int64_t hits = 0;
  for (const WildcardPattern& p : patterns_) {
    if (!p.valid()) continue;
    if (options_.attributes) {
      if (p.Matches(folder_)) hits += 1;
      if (p.Matches(name_)) hits += 2;
      if (dateText && p.Matches(date_)) hits += 1;
    }
    if (options_.userDB) {
      for (const NotesByPath::Note& n : notes) {
        if (p.Matches(n.caption)) hits += 1;
        if (p.Matches(n.subject)) hits += 1;
        if (p.Matches(n.project)) hits += 1;
        if (p.Matches(n.keywords)) hits += 2;
        if (p.Matches(n.players)) hits += 1;
      }
    }
    if (options_.embedded) {
      for (const std::string& field : embedded_) {
        if (p.Matches(field)) hits += 1;
      }
    }
  }
  return hits;
}

// ---- result.dat

std::string NoMatchText() { return std::string(42, ' ') + std::string(kNoMatch); }

std::string ResultHeaderLine(std::string_view searchText) {
  std::string text = "Keyword search: ";
  text.append(searchText);
  std::string line;
  platform::AppendNameField(line, text);
  return line;
}

void AppendResultLine(const SearchHit& hit, std::string& out) {
  platform::AppendField(out, hit.drive);
  out.push_back(',');
  platform::AppendNameField(out, hit.pathWithoutDrive);
  out.push_back(',');
  out.append(std::to_string(hit.hits)).append(kCrLf);
}

namespace {

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

// inventory.dat as the scan reads it: its bytes, read by several threads at once when the
// file is large (one thread copying a hundred megabytes is otherwise the part of the search
// that the others wait for), or by ReadWholeFile, which also tells why a file cannot be read.
class InventoryBytes {
 public:
  InventoryBytes(const std::string& dosPath, unsigned threads) {
    if (threads > 1 && ReadInParallel(dosPath, threads)) return;
    whole_ = platform::ReadWholeFile(dosPath);
    view_ = whole_;
  }
  std::string_view view() const { return view_; }

 private:
  static constexpr std::size_t kParallelFrom = 1024 * 1024;

  bool ReadInParallel(const std::string& dosPath, unsigned threads) {
    const std::string host = platform::HostPathOf(dosPath);
    if (host.empty()) return false;
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= static_cast<off_t>(kParallelFrom);
    const auto size = ok ? static_cast<std::size_t>(st.st_size) : 0;
    if (ok) {
      // Not zeroed: every byte is read into it, each thread faulting in its own pages.
      parallel_.reset(new char[size]);
      std::atomic<bool> complete{true};
      const std::size_t part = (size + threads - 1) / threads;
      auto readPart = [&](std::size_t from) {
        const std::size_t to = std::min(size, from + part);
        while (from < to) {
          const ssize_t n = ::pread(fd, parallel_.get() + from, to - from, static_cast<off_t>(from));
          if (n < 0 && errno == EINTR) continue;
          if (n <= 0) {
            complete = false;
            return;
          }
          from += static_cast<std::size_t>(n);
        }
      };
      std::vector<std::thread> readers;
      try {
        for (unsigned t = 1; t < threads; ++t) readers.emplace_back(readPart, t * part);
      } catch (const std::system_error&) {
        complete = false;  // no thread to be had: the plain way below
      }
      if (complete) readPart(0);
      for (std::thread& r : readers) r.join();
      // A file that changed its length meanwhile is read again the plain way.
      struct stat after {};
      ok = complete && ::fstat(fd, &after) == 0 && after.st_size == st.st_size;
    }
    ::close(fd);
    if (!ok) {
      parallel_.reset();
      return false;
    }
    view_ = std::string_view(parallel_.get(), size);
    return true;
  }

  std::unique_ptr<char[]> parallel_;
  std::string whole_;
  std::string_view view_;
};

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
  auto noMatchLine = [] { return " ," + NoMatchText() + ", " + std::string(kCrLf); };

  const unsigned threads = SearchThreads(request.threads);
  std::optional<InventoryBytes> inventory;
  std::string readFailure;
  try {
    inventory.emplace(request.inventoryFile, threads);
  } catch (const platform::VbError& e) {
    readFailure = e.what();
  }
  try {
    result.emplace(request.resultFile, platform::OutFile::Mode::Create);
  } catch (const platform::VbError& e) {
    writeFailure = e.what();
  }
  write(ResultHeaderLine(request.searchText) + std::string(kCrLf));

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

void SortSearchRows(std::vector<SearchHit>& rows, std::vector<std::string>& shown) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (rows[a].hits != rows[b].hits) return rows[a].hits > rows[b].hits;
    int c = CompareFolded(rows[a].drive, rows[b].drive);
    if (c == 0) c = CompareFolded(shown[a], shown[b]);
    if (c == 0) c = CompareFolded(rows[a].pathWithoutDrive, rows[b].pathWithoutDrive);
    return c < 0;
  });
  std::vector<SearchHit> sortedRows;
  std::vector<std::string> sortedShown;
  sortedRows.reserve(rows.size());
  sortedShown.reserve(rows.size());
  for (std::size_t k : order) {
    sortedRows.push_back(std::move(rows[k]));
    sortedShown.push_back(std::move(shown[k]));
  }
  rows = std::move(sortedRows);
  shown = std::move(sortedShown);
}

SearchResultFile ReadSearchResult(const std::string& resultFile) {
  SearchResultFile file;
  std::string data;
  try {
    data = platform::ReadWholeFile(resultFile);
  } catch (const platform::VbError& e) {
    file.error = e.number();
    return file;
  }
  const char* p = data.data();
  const char* const end = p + data.size();
  auto lineEnd = [&](const char* from) {
    while (from < end && *from != '\r' && *from != '\n') ++from;
    return from;
  };
  auto skipLineEnd = [&](const char* from) {
    if (from < end && *from == '\r') ++from;
    if (from < end && *from == '\n') ++from;
    return from;
  };
  // The header: one whole line, or one quoted field (what follows it on its line is dropped).
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (p < end && *p == '"') {
    p = platform::ReadQuotedField(p, end, file.header);
  } else {
    const char* e = lineEnd(p);
    file.header = WithCommas(std::string_view(p, static_cast<std::size_t>(e - p)));
    p = e;
  }
  p = skipLineEnd(lineEnd(p));

  auto in = platform::ListReader::View(std::string_view(p, static_cast<std::size_t>(end - p)));
  const std::string_view rest(p, static_cast<std::size_t>(end - p));
  while (!in.AtEnd()) {
    const char c = rest[in.position()];
    if (c == '\r' || c == '\n') {
      in.Line();  // an empty line is no row
      continue;
    }
    SearchHit row;
    std::string hits;
    for (int f = 0;; ++f) {
      std::string_view field = in.FieldView();
      if (f == 0) row.drive = std::string(field);
      if (f == 1) row.pathWithoutDrive = in.lastQuoted() ? std::string(field) : WithCommas(field);
      if (f == 2) hits = std::string(field);
      if (in.lastEndedLine() || in.AtEnd()) break;
    }
    std::int64_t value = 0;
    row.hits = platform::ParseListNumber(hits, value) ? value : 0;
    file.rows.push_back(std::move(row));
  }
  return file;
}

}  // namespace inventory
