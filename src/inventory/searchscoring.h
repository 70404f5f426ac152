#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "datafiles/userdb.h"
#include "inventory/wildcardpattern.h"

namespace datafiles {
struct InventoryLine;
}

namespace inventory {

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

}  // namespace inventory
