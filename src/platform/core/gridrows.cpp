#include "platform/core/gridrows.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace platform {

namespace {

// Eight bytes of a row's folded sort key, starting at byte `depth`. The key is the key cells
// joined by a NUL, which orders exactly as comparing them one column after the other; bytes
// past its end read as 0.
template <class Packed>
std::uint64_t KeyChunk(const Packed& row, int k0, int k1, std::size_t depth) {
  std::uint64_t chunk = 0;
  int got = 0;
  std::size_t pos = 0;
  for (int c = k0; c <= k1 && got < 8; ++c) {
    std::string_view v = row.cell(c);
    std::size_t len = v.size();
    if (depth + got < pos + len) {
      for (std::size_t j = depth + got - pos; j < len && got < 8; ++j) {
        chunk = (chunk << 8) | GridFoldedByte(v, j);
        ++got;
      }
    }
    pos += len;
    if (c < k1) {
      if (got < 8 && depth + got == pos) {
        chunk <<= 8;
        ++got;
      }
      pos += 1;
    }
  }
  if (got == 0) return 0;
  if (got < 8) chunk <<= 8 * (8 - got);
  return chunk;
}

}  // namespace

// ---- PackedRow ----

GridRows::PackedRow& GridRows::PackedRow::operator=(PackedRow&& other) noexcept {
  if (this != &other) {
    std::free(block_);
    block_ = std::exchange(other.block_, nullptr);
  }
  return *this;
}

void GridRows::PackedRow::set(int c, std::string_view text) {
  int n = count();
  if (c >= n && text.empty()) return;
  build(std::max(n, c + 1), [&](int i) { return i == c ? text : cell(i); });
}

void GridRows::PackedRow::truncate(int cells) {
  if (count() > cells) build(cells, [&](int i) { return cell(i); });
}

void GridRows::PackedRow::clear() {
  std::free(block_);
  block_ = nullptr;
}

template <class Get>
void GridRows::PackedRow::build(int n, Get get) {
  while (n > 0 && get(n - 1).empty()) --n;
  if (n == 0) {
    clear();
    return;
  }
  std::size_t total = 0;
  for (int i = 0; i < n; ++i) total += get(i).size();
  std::size_t head = sizeof(std::uint32_t) * (static_cast<std::size_t>(n) + 1);
  char* block = static_cast<char*>(std::malloc(head + total));
  if (!block) throw std::bad_alloc();
  auto* h = reinterpret_cast<std::uint32_t*>(block);
  h[0] = static_cast<std::uint32_t>(n);
  char* out = block + head;
  std::uint32_t pos = 0;
  for (int i = 0; i < n; ++i) {
    std::string_view v = get(i);
    if (!v.empty()) std::memcpy(out + pos, v.data(), v.size());
    pos += static_cast<std::uint32_t>(v.size());
    h[i + 1] = pos;
  }
  std::free(block_);
  block_ = block;
}

// ---- Shape, texts and formats ----

GridRows::GridRows(int rows, int cols) : rows_(static_cast<std::size_t>(rows)), cols_(cols) {}

void GridRows::SetRows(int rows) {
  for (std::size_t r = static_cast<std::size_t>(rows); r < rows_.size(); ++r) DropFormats(rows_[r]);
  rows_.resize(static_cast<std::size_t>(rows));
}

void GridRows::SetCols(int cols) {
  if (cols < cols_) {
    for (Row& row : rows_) {
      row.text.truncate(cols);
      if (!row.formats) continue;
      auto& v = *row.formats;
      auto cut = std::stable_partition(v.begin(), v.end(), [cols](const FormatEntry& f) { return f.col < cols; });
      for (auto f = cut; f != v.end(); ++f) Release(f->format.picture);
      v.erase(cut, v.end());
      if (v.empty()) row.formats.reset();
    }
  }
  cols_ = cols;
}

void GridRows::SetText(int r, int c, std::string_view text) { rows_[static_cast<std::size_t>(r)].text.set(c, text); }

const GridCellFormat* GridRows::Format(int r, int c) const {
  const Row& row = rows_[static_cast<std::size_t>(r)];
  if (!row.formats) return nullptr;
  for (const FormatEntry& f : *row.formats) {
    if (f.col == c) return &f.format;
  }
  return nullptr;
}

void GridRows::SetFormat(int r, int c, const GridCellFormat& format) {
  Row& row = rows_[static_cast<std::size_t>(r)];
  if (!row.formats) {
    if (format.IsDefault()) return;
    row.formats = std::make_unique<std::vector<FormatEntry>>();
  }
  auto& v = *row.formats;
  auto at = std::find_if(v.begin(), v.end(), [c](const FormatEntry& f) { return f.col == c; });
  if (at == v.end()) {
    if (!format.IsDefault()) {
      Hold(format.picture);
      v.push_back(FormatEntry{c, format});
    }
  } else {
    const GridPictureId before = at->format.picture;
    Hold(format.picture);
    if (format.IsDefault()) {
      v.erase(at);
    } else {
      at->format = format;
    }
    Release(before);
  }
  if (v.empty()) row.formats.reset();
}

// ---- Rows ----

void GridRows::AddItem(std::string_view item, int index) {
  std::vector<std::string_view> cells;
  for (std::size_t start = 0;;) {
    std::size_t tab = item.find('\t', start);
    cells.push_back(item.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  int n = std::min(static_cast<int>(cells.size()), cols_);
  Row row;
  row.text.build(n, [&](int i) { return cells[static_cast<std::size_t>(i)]; });
  rows_.insert(rows_.begin() + index, std::move(row));
}

void GridRows::RemoveRow(int r) {
  DropFormats(rows_[static_cast<std::size_t>(r)]);
  rows_.erase(rows_.begin() + r);
}

void GridRows::MoveRow(int row, int position) {
  if (row < position) {
    std::rotate(rows_.begin() + row, rows_.begin() + row + 1, rows_.begin() + position + 1);
  } else if (row > position) {
    std::rotate(rows_.begin() + position, rows_.begin() + row, rows_.begin() + row + 1);
  }
}

void GridRows::Clear() {
  for (Row& row : rows_) {
    row.text.clear();
    DropFormats(row);
  }
}

std::string GridRows::Clip(const GridSelection& sel) const {
  if (rows_.empty() || cols_ <= 0) return {};
  int r0 = std::min(sel.row, sel.rowSel), r1 = std::max(sel.row, sel.rowSel);
  int c0 = std::min(sel.col, sel.colSel), c1 = std::max(sel.col, sel.colSel);
  std::string out;
  for (int r = r0; r <= r1; ++r) {
    if (r > r0) out += '\r';
    for (int c = c0; c <= c1; ++c) {
      if (c > c0) out += '\t';
      out += Text(r, c);
    }
  }
  return out;
}

// ---- Pictures ----

GridPictureId GridRows::NewPicture() {
  if (!freePictures_.empty()) {
    GridPictureId id = freePictures_.back();
    freePictures_.pop_back();
    return id;
  }
  pictureHolders_.push_back(0);
  return static_cast<GridPictureId>(pictureHolders_.size() - 1);
}

void GridRows::Hold(GridPictureId id) {
  if (id != 0) ++pictureHolders_[id];
}

void GridRows::Release(GridPictureId id) {
  if (id == 0 || --pictureHolders_[id] != 0) return;
  freePictures_.push_back(id);
  if (released_) released_(id);
}

void GridRows::DropFormats(Row& row) {
  if (!row.formats) return;
  for (const FormatEntry& f : *row.formats) Release(f.format.picture);
  row.formats.reset();
}

// ---- Sort ----

bool GridRows::Sort(int setting, const GridSelection& sel, int fixedRows) {
  if (setting == kGridSortNone) return true;
  if (setting != kGridSortAscending && setting != kGridSortDescending) return false;
  int first, last;
  if (sel.row == sel.rowSel) {
    first = fixedRows;
    last = Rows() - 1;
  } else {
    first = std::max(fixedRows, std::min(sel.row, sel.rowSel));
    last = std::max(sel.row, sel.rowSel);
  }
  if (last - first < 1 || cols_ == 0) return true;
  int k0 = std::clamp(std::min(sel.col, sel.colSel), 0, cols_ - 1);
  int k1 = std::clamp(std::max(sel.col, sel.colSel), 0, cols_ - 1);
  SortRows(first, last, k0, k1, setting == kGridSortDescending);
  return true;
}

// A stable most-significant-first sort on eight-byte pieces of the folded keys: each pass
// compares cached integers and reads the rows again only for groups still tied, so a million
// rows with long shared path prefixes sort without a cache miss per comparison.
void GridRows::SortRows(int first, int last, int k0, int k1, bool descending) {
  struct Item {
    std::uint64_t chunk;
    std::uint32_t index;
  };
  std::size_t n = static_cast<std::size_t>(last - first + 1);
  std::vector<Item> items(n);
  std::vector<std::uint32_t> keyLength(n);
  for (std::size_t i = 0; i < n; ++i) {
    items[i].index = static_cast<std::uint32_t>(i);
    const PackedRow& pr = rows_[static_cast<std::size_t>(first) + i].text;
    std::size_t len = static_cast<std::size_t>(k1 - k0);
    for (int c = k0; c <= k1; ++c) len += pr.cell(c).size();
    keyLength[i] = static_cast<std::uint32_t>(len);
  }
  auto ascending = [](const Item& a, const Item& b) { return a.chunk < b.chunk; };
  auto descendingOrder = [](const Item& a, const Item& b) { return a.chunk > b.chunk; };

  struct Range {
    std::size_t begin, end, depth;
  };
  std::vector<Range> todo{{0, n, 0}};
  while (!todo.empty()) {
    Range range = todo.back();
    todo.pop_back();
    for (std::size_t i = range.begin; i < range.end; ++i) {
      items[i].chunk = KeyChunk(rows_[static_cast<std::size_t>(first) + items[i].index].text, k0, k1, range.depth);
    }
    if (descending) {
      std::stable_sort(items.begin() + range.begin, items.begin() + range.end, descendingOrder);
    } else {
      std::stable_sort(items.begin() + range.begin, items.begin() + range.end, ascending);
    }
    std::size_t next = range.depth + 8;
    for (std::size_t s = range.begin; s < range.end;) {
      std::size_t t = s + 1;
      bool longer = keyLength[items[s].index] > next;
      while (t < range.end && items[t].chunk == items[s].chunk) {
        longer = longer || keyLength[items[t].index] > next;
        ++t;
      }
      if (t - s > 1 && longer) todo.push_back({s, t, next});
      s = t;
    }
  }

  std::vector<Row> sorted;
  sorted.reserve(n);
  for (const Item& it : items) sorted.push_back(std::move(rows_[static_cast<std::size_t>(first) + it.index]));
  std::move(sorted.begin(), sorted.end(), rows_.begin() + first);
}

}  // namespace platform
