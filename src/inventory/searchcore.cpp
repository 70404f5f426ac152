#include "inventory/searchcore.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "datafiles/inventoryline.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
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
}

std::span<const NotesByPath::Note> NotesByPath::Find(std::string_view path) const {
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

bool IsNoMatchRow(const SearchHit& row) {
  return platform::Trim(row.drive).empty() && platform::Trim(row.pathWithoutDrive) == kNoMatch;
}

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

SearchOutcome SearchInventory(const SearchRequest& request) {
  SearchOutcome outcome;
  const SearchOptions& options = request.options;
  SearchScorer scorer(SplitSearchPhrases(request.searchText), options);
  const NotesByPath notes = options.userDB && request.notes ? NotesByPath(*request.notes) : NotesByPath();

  // result.dat as it is written; a write that fails stops the writing, not the scan.
  std::optional<platform::OutFile> result;
  std::string writeFailure;
  auto write = [&](std::string_view bytes) {
    if (!result) return;
    try {
      result->Write(bytes);
    } catch (const platform::VbError& e) {
      writeFailure = e.what();
      result.reset();
    }
  };
  auto noMatchLine = [] { return " ," + NoMatchText() + ", " + std::string(kCrLf); };

  std::optional<datafiles::InventoryReader> reader;
  std::string readFailure;
  try {
    reader.emplace(request.inventoryFile);
  } catch (const platform::VbError& e) {
    readFailure = e.what();
  }
  try {
    result.emplace(request.resultFile, platform::OutFile::Mode::Create);
  } catch (const platform::VbError& e) {
    writeFailure = e.what();
  }
  write(ResultHeaderLine(request.searchText) + std::string(kCrLf));

  if (reader) {
    datafiles::InventoryLine line;
    std::string full, dateText, pending;
    platform::FileStatusProber prober;
    const std::span<const NotesByPath::Note> none;
    while (reader->Next(line)) {
      line.FullPathInto(full);
      const platform::FileStatus status = prober.Probe(full);
      if (!status.probe.ok() || status.probe.length < kMinimumListedLength) continue;
      const std::string* date = nullptr;
      if (options.attributes) {
        dateText = platform::DateTimeText(platform::LocalDateTime(status.modified));
        date = &dateText;
      }
      const std::int64_t hits = scorer.Score(line, date, options.userDB ? notes.Find(full) : none);
      if (hits <= 0) continue;
      SearchHit& hit = outcome.hits.emplace_back();
      hit.drive = line.gInvDrive;
      hit.pathWithoutDrive = line.PathWithoutDrive();
      hit.hits = hits;
      pending.clear();
      AppendResultLine(hit, pending);
      write(pending);
    }
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
