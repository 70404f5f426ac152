#include "inventory/searchscoring.h"

#include "datafiles/inventoryline.h"
#include "platform/core/codepage.h"

namespace inventory {
namespace {

void AssignLower(std::string& out, std::string_view text) {
  out.assign(text);
  platform::LowerCaseInPlace(out);
}

}  // namespace

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

}  // namespace inventory
