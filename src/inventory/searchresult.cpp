#include "inventory/searchresult.h"

#include <algorithm>
#include <numeric>

#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/gridrows.h"
#include "platform/core/textrecords.h"

namespace inventory {
namespace {

constexpr std::string_view kNoMatch = ">> NO MATCHES FOUND <<";

int CompareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = platform::GridFoldedByte(a, i), y = platform::GridFoldedByte(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string WithCommas(std::string_view stored) { return platform::ReplaceAll(stored, platform::kChr187, ","); }

}  // namespace

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
  out.append(std::to_string(hit.hits)).append(kResultLineEnd);
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
