#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "datafiles/userdb.h"
#include "platform/core/clock.h"

namespace datafiles {
struct InventoryLine;
}

namespace inventory {

// The phrases of a search text: the text with one "," appended, cut at every ",", each piece
// without its leading and trailing blanks. Empty pieces are phrases too: "a,,b" gives three,
// "live," ends in an empty one and "" gives one empty phrase.
std::vector<std::string> SplitSearchPhrases(std::string_view searchText);

// "*" & phrase & "*" as a pattern over lower-cased text: '?' any one character, '*' any run,
// '#' one digit, "[list]" one character of the list (ranges such as a-z), "[!list]" one
// character not in it; every other character stands for itself. The phrase is lower-cased
// here; the text matched must be lower-cased by the caller (platform::LowerCase).
//
// A phrase with a "[" that is not closed, or with a range that runs backwards ("[z-a]"), is
// no pattern: it matches nothing. Matching is linear in the text for a given phrase: the
// pieces between the stars are found one after the other, leftmost first, and no position
// of the text is tried twice for the same piece.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view phrase);

  bool valid() const { return valid_; }
  bool Matches(std::string_view lowerText) const;

 private:
  struct Token {
    enum Kind : std::uint8_t { Literal, Any, Digit, Set };
    Kind kind = Literal;
    bool negated = false;
    char32_t ch = 0;                                     // Literal
    std::vector<std::pair<char32_t, char32_t>> ranges;  // Set: inclusive ranges
    bool Accepts(char32_t c) const;
  };
  struct Piece {
    std::vector<Token> tokens;
    std::string literal;       // the bytes of its literal tokens (all of it when allLiteral)
    std::string firstLiteral;  // the first token's bytes when it is a literal
    bool allLiteral = true;
  };
  // The end of the first match of `piece` at or after `from`; npos when none.
  static std::size_t FindPiece(const Piece& piece, std::string_view text, std::size_t from);

  std::vector<Piece> pieces_;
  bool valid_ = true;
};

// Local times of file times, as platform::LocalDateTime gives them, without taking the C
// library's time-zone lock for each one (the threads of a search would queue for it): the
// offset from UTC is looked up once per day, and a day in which it changes is left to
// LocalDateTime. One object per thread.
class LocalFileTimes {
 public:
  platform::DateTime Of(std::time_t t);

 private:
  long OffsetOfDay(std::int64_t day);
  // The days of two centuries around the first time met, in a table small enough to stay in
  // the processor's cache; days beyond, by a map.
  std::vector<long> byDay_;
  std::int64_t firstDay_ = 0;
  std::unordered_map<std::int64_t, long> otherDays_;
};

// The options of a search: which groups of fields are scored.
struct SearchOptions {
  bool attributes = false;  // drive and folder 1, name.extension 2, modification time 1
  bool userDB = false;      // per note of the file: caption 1, subject 1, project 1, keywords 2, players 1
  bool embedded = false;    // each of the 18 analysis fields of the inventory line 1
};

// The notes of userdb.dat by path, their five texts lower-cased once, trailing blanks kept.
class NotesByPath {
 public:
  struct Note {
    std::string caption, subject, project, keywords, players;
  };
  NotesByPath() = default;
  explicit NotesByPath(const std::vector<datafiles::UserDBRecord>& records);
  // Every note whose key is `path` (exact, case counts), in record order.
  std::span<const Note> Find(std::string_view path) const;
  std::size_t size() const { return byPath_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, std::vector<Note>, Hash, std::equal_to<>> byPath_;
  // A bit per hash of the paths: nearly every file has no note, and a bit answers that without
  // the map's scattered nodes.
  std::vector<std::uint64_t> filter_;
  std::size_t filterMask_ = 0;
};

// Scores files against the phrases of one search. Fields are lower-cased once per file,
// whatever the number of phrases.
class SearchScorer {
 public:
  SearchScorer(const std::vector<std::string>& phrases, SearchOptions options);

  // The score of the file of `line` (folder and name with their real commas). `dateText` is
  // its modification time as text, or null when it could not be had (no date hit); `notes`
  // are its notes.
  std::int64_t Score(const datafiles::InventoryLine& line, const std::string* dateText,
                     std::span<const NotesByPath::Note> notes);

  const SearchOptions& options() const { return options_; }

 private:
  std::vector<WildcardPattern> patterns_;
  SearchOptions options_;
  std::string folder_, name_, date_;
  std::vector<std::string> embedded_;
};

// One listed file of a search result.
struct SearchHit {
  std::string drive;             // "C:"; empty on the no-match row read back
  std::string pathWithoutDrive;  // with its real commas
  std::int64_t hits = 0;
};

// The no-match row: 42 blanks and the text.
std::string NoMatchText();

// The header line of result.dat (without its line end): "Keyword search: " and the search
// text as typed, every "," as the character 187.
std::string ResultHeaderLine(std::string_view searchText);
// A result line with its CR LF: drive, path with "," as the character 187, hits.
void AppendResultLine(const SearchHit& hit, std::string& out);

struct SearchRequest {
  std::string searchText;  // as typed
  SearchOptions options;
  std::string inventoryFile;  // full names, drive-letter form
  std::string resultFile;
  // userdb.dat's records when they could be read; ignored unless options.userDB.
  const std::vector<datafiles::UserDBRecord>* notes = nullptr;
  // Threads that take the files' status and score: 0 one per core (at most 8), 1 the calling
  // thread alone. Most of a search is the kernel's lookup of each file's name, which runs on
  // all cores at once; the result is the same whatever the number.
  unsigned threads = 0;
  // Bytes of inventory.dat per slice a thread takes at a time: 0 chosen from the file's size
  // and the threads (tests set it small to have many slices).
  std::size_t sliceBytes = 0;
};

struct SearchOutcome {
  std::vector<SearchHit> hits;  // in inventory order
  // The scan ran through inventory.dat. When it could not (inventory.dat unreadable), result.dat
  // holds the header and the no-match line, so that it never keeps an older search.
  bool complete = true;
  // Empty when all went well; else a sentence for the status line: why the scan stopped, or
  // that result.dat could not be written (it is then removed, for the same reason).
  std::string failure;
};

// The search: every line of inventory.dat whose file exists with 13 bytes or more is scored
// (one status call per file for its length and its time); files with a positive score are the
// hits. result.dat is written anew: the header line, a line per hit in inventory order, or the
// no-match line when none. A file whose status cannot be had is skipped like a missing one.
// The lines are scanned in slices by a small pool of threads; the hits and result.dat are
// put together in inventory order.
SearchOutcome SearchInventory(const SearchRequest& request);
// The number of threads a request's `threads` stands for.
unsigned SearchThreads(unsigned asked);

// The order of the Result view: by drive, shown path and path ignoring case, then by hits,
// highest first; equal keys keep their order. `shown` is the shown path of each row (same
// size as `rows`); both are reordered together.
void SortSearchRows(std::vector<SearchHit>& rows, std::vector<std::string>& shown);

// result.dat read back: its header line (leading blanks dropped, the character 187 as ",")
// and its rows (each field's leading blanks dropped, the path's 187s as ",", a hits field
// that is empty or no number reads 0). Short or empty files read as far as they go.
struct SearchResultFile {
  std::int32_t error = 0;  // errFileNotFound or another error: nothing read
  std::string header;
  std::vector<SearchHit> rows;
};
SearchResultFile ReadSearchResult(const std::string& resultFile);

}  // namespace inventory
