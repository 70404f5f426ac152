#include "platform/qt/grid.h"

#include <memory>

#include <QScrollBar>
#include <QToolTip>

#include "platform/core/errors.h"
#include "platform/qt/controls.h"
#include "platform/qt/gridmodel.h"
#include "platform/qt/gridprivate.h"
#include "platform/qt/gridview.h"

namespace platform {

namespace {

std::uint32_t NumberFromColor(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

[[noreturn]] void Fail(std::int32_t number) {
  switch (number) {
    case FlexGrid::errInvalidPropertyValue:
      throw VbError(number, "Invalid property value");
    case FlexGrid::errSubscriptOutOfRange:
      throw VbError(number, "Subscript out of range");
    case FlexGrid::errInvalidRowValue:
      throw VbError(number, "Invalid Row value");
    default:
      throw VbError(number, "Invalid Col value");
  }
}

}  // namespace

FlexGridPrivate::FlexGridPrivate(FlexGrid* owner) : q(owner) {
  rows.OnPictureReleased([this](GridPictureId id) { pictures[id] = QPixmap(); });
  model = new GridModel(this, q);
  view = new GridView(this, q);
  header = new FixedRowsHeader(this, view);
  view->setHorizontalHeader(header);
  view->setItemDelegate(new CellDelegate(this, view));
  view->setModel(model);
  QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, q, [this](int v) { OnScrolled(v); });
  needReset = true;
  Flush();
  ApplyBackground();
}

GridCellFormat FlexGridPrivate::CurrentFormat() const {
  RequireCurrentCell();
  const GridCellFormat* f = FormatAt(sel.row, sel.col);
  return f ? *f : GridCellFormat{};
}

void FlexGridPrivate::SetCurrentFormat(const GridCellFormat& format) {
  rows.SetFormat(sel.row, sel.col, format);
  Repaint();
}

GridPictureId FlexGridPrivate::KeepPicture(const QPixmap& picture) {
  if (picture.isNull()) return 0;
  const GridPictureId id = rows.NewPicture();
  if (id >= pictures.size()) pictures.resize(id + 1);
  pictures[id] = picture;
  return id;
}

void FlexGridPrivate::CheckCell(int r, int c) const {
  if (r < 0 || r >= rowCount() || c < 0 || c >= cols()) Fail(FlexGrid::errSubscriptOutOfRange);
}

void FlexGridPrivate::RequireCurrentCell() const {
  if (rowCount() == 0) Fail(FlexGrid::errInvalidRowValue);
  if (cols() <= 0) Fail(FlexGrid::errInvalidColValue);
}

void FlexGridPrivate::ClampCursor() {
  int lastRow = std::max(0, rowCount() - 1);
  int lastCol = std::max(0, cols() - 1);
  sel.row = std::min(sel.row, lastRow);
  sel.rowSel = std::min(sel.rowSel, lastRow);
  sel.col = std::min(sel.col, lastCol);
  sel.colSel = std::min(sel.colSel, lastCol);
}

void FlexGridPrivate::MoveCurrent(int r, int c) {
  if (r != sel.row || c != sel.col) {
    emit q->LeaveCell();
    // The handler may have reshaped the grid.
    r = std::clamp(r, 0, std::max(0, rowCount() - 1));
    c = std::clamp(c, 0, std::max(0, cols() - 1));
  }
  sel.row = sel.rowSel = r;
  sel.col = sel.colSel = c;
  Repaint();
}

// ---- FlexGrid ----

FlexGrid::FlexGrid(QWidget* parent) : QWidget(parent), d_(std::make_unique<FlexGridPrivate>(this)) {
  // The platform grid's own face is an 8-point one (11 pixels): the widths the program gives
  // in twips are measured for it, so that "D:" or a seven-digit count fits its column.
  QFont face = font();
  face.setPixelSize(kFontPixels);
  setFont(face);
  setFocusProxy(d_->view);
  d_->view->setGeometry(rect());
  d_->heightTwips = PixelsToTwips(height());
}

FlexGrid::~FlexGrid() {
  // QWidget's own teardown hides and deletes the children after this body; the view and its
  // header call back into the private part, so they go first.
  delete d_->view;
  d_->view = nullptr;
  d_->header = nullptr;
}

void FlexGrid::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  d_->topPending = true;
  d_->Flush();
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  d_->view->setGeometry(rect());
  if (height() != TwipsToPixels(d_->heightTwips)) d_->heightTwips = PixelsToTwips(height());
}

// ---- Shape ----

int FlexGrid::Rows() const { return d_->rowCount(); }

void FlexGrid::SetRows(int rows) {
  if (rows < 0) Fail(errInvalidPropertyValue);
  int before = d_->rowCount();
  if (rows == before) return;
  d_->rows.SetRows(rows);
  if (d_->fixedRows > rows) {
    d_->fixedRows = rows;
    d_->needReset = true;
  }
  d_->ClampCursor();
  d_->RowsChangedFrom(std::min(before, rows));
}

int FlexGrid::Cols() const { return d_->cols(); }

void FlexGrid::SetCols(int cols) {
  if (cols < 0) Fail(errInvalidPropertyValue);
  if (cols == d_->cols()) return;
  d_->rows.SetCols(cols);
  d_->colWidth.resize(static_cast<std::size_t>(cols), -1);
  d_->colAlign.resize(static_cast<std::size_t>(cols), 9);
  d_->fixedCols = std::min(d_->fixedCols, cols);
  d_->ClampCursor();
  d_->needReset = true;
  d_->ScheduleFlush();
}

int FlexGrid::FixedRows() const { return d_->fixedRows; }

void FlexGrid::SetFixedRows(int rows) {
  if (rows < 0 || rows > d_->rowCount()) Fail(errInvalidPropertyValue);
  if (rows == d_->fixedRows) return;
  d_->fixedRows = rows;
  d_->topRow = d_->ClampTop(d_->topRow);
  d_->needReset = true;
  d_->ScheduleFlush();
}

int FlexGrid::FixedCols() const { return d_->fixedCols; }

void FlexGrid::SetFixedCols(int cols) {
  if (cols < 0 || cols > d_->cols()) Fail(errInvalidPropertyValue);
  d_->fixedCols = cols;
  d_->Repaint();
}

int FlexGrid::ColWidth(int col) const {
  if (col < 0 || col >= d_->cols()) Fail(errSubscriptOutOfRange);
  int w = d_->colWidth[static_cast<std::size_t>(col)];
  return w < 0 ? kDefaultColWidthTwips : w;
}

void FlexGrid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= d_->cols()) Fail(errSubscriptOutOfRange);
  if (twips < 0) Fail(errInvalidPropertyValue);
  d_->colWidth[static_cast<std::size_t>(col)] = twips;
  if (col < d_->publishedCols) d_->ApplyColumns();
}

int FlexGrid::ColAlignment(int col) const {
  if (col < 0 || col >= d_->cols()) Fail(errSubscriptOutOfRange);
  return d_->colAlign[static_cast<std::size_t>(col)];
}

void FlexGrid::SetColAlignment(int col, int alignment) {
  if (col < 0 || col >= d_->cols()) Fail(errSubscriptOutOfRange);
  if (alignment < 0 || alignment > 9) Fail(errInvalidPropertyValue);
  d_->colAlign[static_cast<std::size_t>(col)] = alignment;
  d_->Repaint();
}

int FlexGrid::RowHeight(int) const { return kRowHeightTwips; }

// ---- The current cell, the selection and scrolling ----

int FlexGrid::Row() const { return d_->sel.row; }

void FlexGrid::SetRow(int row) {
  if (d_->rowCount() == 0 && row == 0) return;
  if (row < 0 || row >= d_->rowCount()) Fail(errInvalidRowValue);
  d_->MoveCurrent(row, d_->sel.col);
}

int FlexGrid::Col() const { return d_->sel.col; }

void FlexGrid::SetCol(int col) {
  if (d_->cols() == 0 && col == 0) return;
  if (col < 0 || col >= d_->cols()) Fail(errInvalidColValue);
  d_->MoveCurrent(d_->sel.row, col);
}

int FlexGrid::RowSel() const { return d_->sel.rowSel; }

void FlexGrid::SetRowSel(int row) {
  if (d_->rowCount() == 0 && row == 0) return;
  if (row < 0 || row >= d_->rowCount()) Fail(errInvalidRowValue);
  d_->sel.rowSel = row;
  d_->Repaint();
}

int FlexGrid::ColSel() const { return d_->sel.colSel; }

void FlexGrid::SetColSel(int col) {
  if (d_->cols() == 0 && col == 0) return;
  if (col < 0 || col >= d_->cols()) Fail(errInvalidColValue);
  d_->sel.colSel = col;
  d_->Repaint();
}

int FlexGrid::TopRow() const {
  if (isVisible()) {
    d_->Flush();
    d_->view->SyncLayout();
    if (!d_->topPending) return d_->fixedRows + d_->view->verticalScrollBar()->value();
  }
  return d_->ClampTop(d_->topRow);
}

void FlexGrid::SetTopRow(int row) {
  d_->topRow = d_->ClampTop(row);
  d_->topPending = true;
  if (isVisible()) {
    d_->Flush();
    d_->view->SyncLayout();
  }
}

void FlexGrid::SetRowPosition(int row, int position) {
  d_->CheckCell(row, 0);
  d_->CheckCell(position, 0);
  d_->rows.MoveRow(row, position);
  d_->Repaint();
}

// ---- Texts and rows ----

std::string FlexGrid::Text() const {
  if (!d_->HasCurrentCell()) return {};
  return std::string(d_->TextAt(d_->sel.row, d_->sel.col));
}

void FlexGrid::SetText(std::string_view text) {
  d_->RequireCurrentCell();
  SetTextMatrix(d_->sel.row, d_->sel.col, text);
}

std::string FlexGrid::TextMatrix(int row, int col) const {
  d_->CheckCell(row, col);
  return std::string(d_->TextAt(row, col));
}

void FlexGrid::SetTextMatrix(int row, int col, std::string_view text) {
  d_->CheckCell(row, col);
  d_->rows.SetText(row, col, text);
  d_->Repaint();
}

bool FlexGrid::CellTextFits(int row, int col) const {
  d_->CheckCell(row, col);
  return d_->TextFits(row, col);
}

std::string FlexGrid::Clip() const { return d_->rows.Clip(d_->sel); }

void FlexGrid::AddItem(std::string_view item) { AddItem(item, d_->rowCount()); }

void FlexGrid::AddItem(std::string_view item, int index) {
  if (index < 0 || index > d_->rowCount()) Fail(errSubscriptOutOfRange);
  d_->rows.AddItem(item, index);
  d_->RowsChangedFrom(index);
}

void FlexGrid::RemoveItem(int row) {
  if (row < 0 || row >= d_->rowCount()) Fail(errSubscriptOutOfRange);
  d_->rows.RemoveRow(row);
  if (d_->fixedRows > d_->rowCount()) {
    d_->fixedRows = d_->rowCount();
    d_->needReset = true;
  }
  d_->ClampCursor();
  d_->RowsChangedFrom(row);
}

void FlexGrid::Clear() {
  d_->rows.Clear();
  d_->Repaint();
}

void FlexGrid::Sort(int setting) {
  if (!d_->rows.Sort(setting, d_->sel, d_->fixedRows)) Fail(errInvalidPropertyValue);
  d_->Repaint();
}

// ---- The current cell's format ----

bool FlexGrid::CellFontBold() const {
  if (!d_->HasCurrentCell()) return false;
  return d_->CurrentFormat().bold;
}

void FlexGrid::SetCellFontBold(bool bold) {
  GridCellFormat f = d_->CurrentFormat();
  f.bold = bold;
  d_->SetCurrentFormat(f);
}

QPixmap FlexGrid::CellPicture() const {
  if (!d_->HasCurrentCell()) return {};
  return d_->pictures[d_->CurrentFormat().picture];
}

void FlexGrid::SetCellPicture(const QPixmap& picture) {
  GridCellFormat f = d_->CurrentFormat();
  f.picture = d_->KeepPicture(picture);
  d_->SetCurrentFormat(f);
}

int FlexGrid::CellPictureAlignment() const {
  if (!d_->HasCurrentCell()) return kGridDefaultPictureAlignment;
  return d_->CurrentFormat().pictureAlignment;
}

void FlexGrid::SetCellPictureAlignment(int alignment) {
  if (alignment < 0 || alignment > 8) Fail(errInvalidPropertyValue);
  GridCellFormat f = d_->CurrentFormat();
  f.pictureAlignment = alignment;
  d_->SetCurrentFormat(f);
}

std::uint32_t FlexGrid::CellBackColor() const {
  if (!d_->HasCurrentCell()) return 0;
  return d_->CurrentFormat().back;
}

void FlexGrid::SetCellBackColor(std::uint32_t color) {
  GridCellFormat f = d_->CurrentFormat();
  f.back = color;
  d_->SetCurrentFormat(f);
}

std::uint32_t FlexGrid::CellForeColor() const {
  if (!d_->HasCurrentCell()) return 0;
  return d_->CurrentFormat().fore;
}

void FlexGrid::SetCellForeColor(std::uint32_t color) {
  GridCellFormat f = d_->CurrentFormat();
  f.fore = color;
  d_->SetCurrentFormat(f);
}

// ---- The grid's colours ----

std::uint32_t FlexGrid::BackColor() const { return NumberFromColor(d_->Back()); }
void FlexGrid::SetBackColor(std::uint32_t color) {
  d_->backColor = color;
  d_->ApplyBackground();
}
std::uint32_t FlexGrid::ForeColor() const { return NumberFromColor(d_->Fore()); }
void FlexGrid::SetForeColor(std::uint32_t color) {
  d_->foreColor = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::BackColorFixed() const { return NumberFromColor(d_->BackFixedQ()); }
void FlexGrid::SetBackColorFixed(std::uint32_t color) {
  d_->backFixed = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::ForeColorFixed() const { return NumberFromColor(d_->ForeFixedQ()); }
void FlexGrid::SetForeColorFixed(std::uint32_t color) {
  d_->foreFixed = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::BackColorSel() const {
  return d_->backSel ? *d_->backSel : NumberFromColor(palette().color(QPalette::Highlight));
}
void FlexGrid::SetBackColorSel(std::uint32_t color) {
  d_->backSel = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::ForeColorSel() const {
  return d_->foreSel ? *d_->foreSel : NumberFromColor(palette().color(QPalette::HighlightedText));
}
void FlexGrid::SetForeColorSel(std::uint32_t color) {
  d_->foreSel = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::GridColor() const { return NumberFromColor(d_->GridQ()); }
void FlexGrid::SetGridColor(std::uint32_t color) {
  d_->gridColor = color;
  d_->Repaint();
}
std::uint32_t FlexGrid::BackColorBkg() const { return NumberFromColor(d_->BkgQ()); }
void FlexGrid::SetBackColorBkg(std::uint32_t color) {
  d_->backBkg = color;
  d_->ApplyBackground();
}

// ---- Mouse, tip and size ----

int FlexGrid::MouseRow() const { return d_->mouseRow; }
int FlexGrid::MouseCol() const { return d_->mouseCol; }

int FlexGrid::MousePointer() const { return d_->mousePointer; }

void FlexGrid::SetMousePointer(int pointer) {
  if (pointer != 0 && pointer != 99) Fail(errInvalidPropertyValue);
  d_->mousePointer = pointer;
  if (pointer == 99) {
    setCursor(d_->mouseIcon);
  } else {
    unsetCursor();
  }
}

void FlexGrid::SetMouseIcon(const QCursor& icon) {
  d_->mouseIcon = icon;
  if (d_->mousePointer == 99) setCursor(icon);
}

std::string FlexGrid::ToolTipText() const { return d_->toolTip; }

void FlexGrid::SetToolTipText(std::string_view text) {
  if (text == d_->toolTip) return;
  d_->toolTip = std::string(text);
  // A tip already on show follows the new text, as the row under the mouse changes.
  if (QToolTip::isVisible() && underMouse()) {
    if (d_->toolTip.empty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(QCursor::pos(), QString::fromStdString(d_->toolTip), this);
    }
  }
}

int FlexGrid::Height() const { return d_->heightTwips; }

void FlexGrid::SetHeight(int twips) {
  if (twips < 0) Fail(errInvalidPropertyValue);
  d_->heightTwips = twips;
  resize(width(), TwipsToPixels(twips));
}

void FlexGrid::SetCellAreaWidth(int pixels) { resize(pixels + 2 * d_->view->frameWidth(), height()); }

}  // namespace platform
