#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <QCursor>
#include <QPixmap>
#include <QWidget>

namespace platform {

class FlexGridPrivate;

// A flex grid over QTableView with the platform grid's property model: rows and columns from 0,
// sizes in twips, colours as numbers &HBBGGRR, texts in UTF-8. Rows are stored packed (one block
// of text per row, formats only where a cell has one), so a million rows stay cheap.
//
// Fixed rows are the header: drawn at the top in the fixed colours, never scrolled, never
// sorted, and a click on them does not make them current (it selects the column below, as
// the platform grid does). Every row is 240 twips high.
//
// ColAlignment and CellPictureAlignment values:
//   0 left-top     1 left-centre     2 left-bottom
//   3 centre-top   4 centre-centre   5 centre-bottom
//   6 right-top    7 right-centre    8 right-bottom
//   9 (ColAlignment only, the default) general: text left-centre, numbers right-centre
//
// Sort values: 0 nothing, 5 text ascending ignoring case, 6 text descending ignoring case.
// The key is the columns from Col to ColSel, compared column by column; the rows sorted are
// Row..RowSel, or every non-fixed row when Row = RowSel. Equal keys keep their order.
//
// Events fire as the platform grid fires them. A press makes the pressed cell current
// (LeaveCell first, for the cell being left), then MouseDown; a release gives MouseUp, then
// Click for the left button. LeaveCell also fires when code moves the current cell.
// Mouse positions are twips from the top-left of the cell area; MouseRow and MouseCol are
// the cell under the mouse at the last mouse event, clamped to the last row and column when
// the mouse is beyond them (-1 when the grid has no rows or columns).
//
// Out-of-range indexes throw VbError: 381 for TextMatrix, ColWidth and the like, 30009 and
// 30010 for Row/RowSel and Col/ColSel, 380 for a value the property does not take. TopRow is
// clamped instead: a request beyond the last row scrolls as far as the grid goes.
class FlexGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::int32_t errInvalidPropertyValue = 380;
  static constexpr std::int32_t errSubscriptOutOfRange = 381;
  static constexpr std::int32_t errInvalidRowValue = 30009;
  static constexpr std::int32_t errInvalidColValue = 30010;

  static constexpr int kRowHeightTwips = 240;
  static constexpr int kDefaultColWidthTwips = 960;
  static constexpr int kFontPixels = 11;

  explicit FlexGrid(QWidget* parent = nullptr);
  ~FlexGrid() override;

  // Shape. Rows := 0 clears every row; growing adds empty rows, shrinking drops from the end.
  // FixedRows and FixedCols never exceed Rows and Cols. New grids: 2 x 2, one fixed row,
  // no fixed column.
  int Rows() const;
  void SetRows(int rows);
  int Cols() const;
  void SetCols(int cols);
  int FixedRows() const;
  void SetFixedRows(int rows);
  int FixedCols() const;
  void SetFixedCols(int cols);

  // Width 0 hides a column; a column whose width was never set keeps the default width.
  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int ColAlignment(int col) const;
  void SetColAlignment(int col, int alignment);
  int RowHeight(int row) const;  // 240 for every row

  // The current cell and the far corner of the selection. Setting Row or Col resets the
  // selection to the current cell.
  int Row() const;
  void SetRow(int row);
  int Col() const;
  void SetCol(int col);
  int RowSel() const;
  void SetRowSel(int row);
  int ColSel() const;
  void SetColSel(int col);
  // The first non-fixed row in sight. Set while the grid is hidden, it is kept and applied
  // when the grid shows; reading it back then gives what was asked.
  int TopRow() const;
  void SetTopRow(int row);
  // The row the given row is moved to, the rows in between shifting by one.
  void SetRowPosition(int row, int position);

  // Texts.
  std::string Text() const;  // the current cell
  void SetText(std::string_view text);
  std::string TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, std::string_view text);
  // Whether the cell's text (as it shows: up to its first zero byte) fits its column whole.
  bool CellTextFits(int row, int col) const;
  // The selection's text: cells joined by a tab, rows by a carriage return.
  std::string Clip() const;
  // A new row from tab-separated cells, at the end or before row `index`.
  void AddItem(std::string_view item);
  void AddItem(std::string_view item, int index);
  void RemoveItem(int row);
  // Empties every cell's text and format; rows, columns, widths and alignments stay.
  void Clear();
  void Sort(int setting);

  // Formats of the current cell; they belong to the row and follow it when rows move.
  // A colour of 0 gives the cell back the grid's own colour.
  bool CellFontBold() const;
  void SetCellFontBold(bool bold);
  QPixmap CellPicture() const;
  void SetCellPicture(const QPixmap& picture);
  int CellPictureAlignment() const;
  void SetCellPictureAlignment(int alignment);
  std::uint32_t CellBackColor() const;
  void SetCellBackColor(std::uint32_t color);
  std::uint32_t CellForeColor() const;
  void SetCellForeColor(std::uint32_t color);

  // The grid's own colours. Until set, they follow the palette, and the selection is shown
  // as a light tint over the cells' own colours.
  std::uint32_t BackColor() const;
  void SetBackColor(std::uint32_t color);
  std::uint32_t ForeColor() const;
  void SetForeColor(std::uint32_t color);
  std::uint32_t BackColorFixed() const;
  void SetBackColorFixed(std::uint32_t color);
  std::uint32_t ForeColorFixed() const;
  void SetForeColorFixed(std::uint32_t color);
  std::uint32_t BackColorSel() const;
  void SetBackColorSel(std::uint32_t color);
  std::uint32_t ForeColorSel() const;
  void SetForeColorSel(std::uint32_t color);
  std::uint32_t GridColor() const;
  void SetGridColor(std::uint32_t color);
  std::uint32_t BackColorBkg() const;  // the area beyond the cells
  void SetBackColorBkg(std::uint32_t color);

  // Mouse.
  int MouseRow() const;
  int MouseCol() const;
  // 0 the default pointer, 99 the MouseIcon.
  int MousePointer() const;
  void SetMousePointer(int pointer);
  void SetMouseIcon(const QCursor& icon);
  std::string ToolTipText() const;
  void SetToolTipText(std::string_view text);

  // Size and state. The height is in twips; the widget's height follows it.
  int Height() const;
  void SetHeight(int twips);
  // The widget's width for a cell area `pixels` wide beside its frame (a vertical scroll bar,
  // when shown, takes its room from the cells).
  void SetCellAreaWidth(int pixels);
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool visible) { setVisible(visible); }
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool enabled) { setEnabled(enabled); }

 signals:
  // button: 1 left, 2 right, 4 middle (MouseMove: the buttons held);
  // shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in twips.
  void MouseDown(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void MouseMove(int button, int shift, int x, int y);
  void Click();
  void LeaveCell();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class FlexGridPrivate;
  std::unique_ptr<FlexGridPrivate> d_;
};

}  // namespace platform
