#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A cell picture as the rows know it: a number whose picture the caller keeps; 0 is none.
using GridPictureId = std::uint32_t;

inline constexpr int kGridDefaultPictureAlignment = 1;

// A cell's own format; colours are numbers &HBBGGRR, 0 giving the cell the grid's own colour.
struct GridCellFormat {
  bool bold = false;
  int pictureAlignment = kGridDefaultPictureAlignment;
  std::uint32_t back = 0;
  std::uint32_t fore = 0;
  GridPictureId picture = 0;

  bool operator==(const GridCellFormat&) const = default;
  bool IsDefault() const { return *this == GridCellFormat{}; }
};

// The current cell and the far corner of the selection.
struct GridSelection {
  int row = 0;
  int col = 0;
  int rowSel = 0;
  int colSel = 0;
};

// The byte at `j` of a cell's text as the sort compares it, case folded: ASCII and the Latin-1
// capitals (U+00C0..U+00DE in UTF-8, without the multiplication sign), the range the ANSI code
// page covers.
inline unsigned char GridFoldedByte(std::string_view v, std::size_t j) {
  auto b = static_cast<unsigned char>(v[j]);
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (b >= 0x80 && b <= 0x9E && b != 0x97 && j > 0 && static_cast<unsigned char>(v[j - 1]) == 0xC3)
    return static_cast<unsigned char>(b + 0x20);
  return b;
}

inline constexpr int kGridSortNone = 0;
inline constexpr int kGridSortAscending = 5;   // text ignoring case
inline constexpr int kGridSortDescending = 6;  // text ignoring case

// The cells of a flex grid: rows and columns from 0, texts in UTF-8, and a format only where a
// cell has one of its own. A row's texts are one heap block and its formats belong to it, so
// both follow the row when rows move, and a million rows stay cheap.
//
// Indexes are the caller's to check: rows 0..Rows()-1, columns 0..Cols()-1.
class GridRows {
 public:
  GridRows(int rows, int cols);

  int Rows() const { return static_cast<int>(rows_.size()); }
  // Growing adds empty rows; shrinking drops rows from the end.
  void SetRows(int rows);
  int Cols() const { return cols_; }
  // Shrinking drops the texts and formats of the columns cut off, for good.
  void SetCols(int cols);

  std::string_view Text(int r, int c) const { return rows_[static_cast<std::size_t>(r)].text.cell(c); }
  void SetText(int r, int c, std::string_view text);
  // The cell's own format; nullptr when it has the defaults.
  const GridCellFormat* Format(int r, int c) const;
  // A default format is not kept.
  void SetFormat(int r, int c, const GridCellFormat& format);

  // A new row from tab-separated cells before row `index` (Rows() for the end); cells beyond
  // the columns are dropped.
  void AddItem(std::string_view item, int index);
  void RemoveRow(int r);
  // Row `row` goes to `position`, the rows in between shifting by one.
  void MoveRow(int row, int position);
  // Empties every cell's text and format; rows and columns stay.
  void Clear();

  // The selection's text: cells joined by a tab, rows by a carriage return. Empty when the
  // grid has no cells.
  std::string Clip(const GridSelection& sel) const;
  // Sort 0 leaves the rows, 5 sorts them ascending and 6 descending by text ignoring case.
  // The key is the columns from Col to ColSel, compared column by column; the rows sorted are
  // Row..RowSel, or every row below the fixed rows when Row = RowSel. Equal keys keep their
  // order. False for any other setting, and nothing moves.
  bool Sort(int setting, const GridSelection& sel, int fixedRows);

  // A picture number that no cell holds, for a new picture. The rows count the cells that hold
  // each number and tell `released` when none holds it any more, so that its picture can go.
  GridPictureId NewPicture();
  void OnPictureReleased(std::function<void(GridPictureId)> released) { released_ = std::move(released); }

 private:
  // One row's texts in a single heap block: the cell count, the end offset of each cell, then
  // the bytes. Trailing empty cells are not stored, and an empty row holds no block at all.
  class PackedRow {
   public:
    PackedRow() = default;
    PackedRow(PackedRow&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    PackedRow& operator=(PackedRow&& other) noexcept;
    PackedRow(const PackedRow&) = delete;
    PackedRow& operator=(const PackedRow&) = delete;
    ~PackedRow() { std::free(block_); }

    int count() const { return block_ ? static_cast<int>(header()[0]) : 0; }
    std::string_view cell(int c) const {
      if (!block_) return {};
      const std::uint32_t* h = header();
      if (c < 0 || static_cast<std::uint32_t>(c) >= h[0]) return {};
      std::uint32_t begin = c == 0 ? 0 : h[c];
      return {bytes() + begin, h[c + 1] - begin};
    }
    void set(int c, std::string_view text);
    void truncate(int cells);
    void clear();
    // Builds a fresh block from get(0..n-1); the old block stays readable until the end.
    template <class Get>
    void build(int n, Get get);

   private:
    const std::uint32_t* header() const { return reinterpret_cast<const std::uint32_t*>(block_); }
    const char* bytes() const { return block_ + sizeof(std::uint32_t) * (header()[0] + 1); }

    char* block_ = nullptr;
  };

  struct FormatEntry {
    int col;
    GridCellFormat format;
  };

  struct Row {
    PackedRow text;
    std::unique_ptr<std::vector<FormatEntry>> formats;
  };

  void Hold(GridPictureId id);
  void Release(GridPictureId id);
  void DropFormats(Row& row);
  void SortRows(int first, int last, int k0, int k1, bool descending);

  std::vector<Row> rows_;
  int cols_;
  std::vector<std::uint32_t> pictureHolders_{0};  // by number; 0 stands for none
  std::vector<GridPictureId> freePictures_;
  std::function<void(GridPictureId)> released_;
};

}  // namespace platform
