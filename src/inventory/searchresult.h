#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace inventory {

// One listed file of a search result.
struct SearchHit {
  std::string drive;             // "C:"; empty on the no-match row read back
  std::string pathWithoutDrive;  // with its real commas
  std::int64_t hits = 0;
};

// The end of every line of result.dat.
inline constexpr std::string_view kResultLineEnd = "\r\n";

// The no-match row: 42 blanks and the text.
std::string NoMatchText();

// The header line of result.dat (without its line end): "Keyword search: " and the search
// text as typed, every "," as the character 187.
std::string ResultHeaderLine(std::string_view searchText);
// A result line with its CR LF: drive, path with "," as the character 187, hits.
void AppendResultLine(const SearchHit& hit, std::string& out);

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
