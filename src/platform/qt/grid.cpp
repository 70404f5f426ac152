#include "platform/qt/grid.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextOption>
#include <QToolTip>

#include "platform/core/errors.h"
#include "platform/core/gridrows.h"
#include "platform/qt/controls.h"

namespace platform {

class GridModel;
class GridView;
class FixedRowsHeader;

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

// The room a cell leaves on either side of its text.
constexpr int kTextMarginPx = 1;

bool LooksNumeric(std::string_view t) {
  std::size_t i = 0, n = t.size();
  while (i < n && t[i] == ' ') ++i;
  while (n > i && t[n - 1] == ' ') --n;
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < n; ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      digits = true;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

Qt::Alignment AlignmentFlags(int value, std::string_view text) {
  if (value == 9) value = LooksNumeric(text) ? 7 : 1;
  Qt::Alignment h = value / 3 == 0 ? Qt::AlignLeft : value / 3 == 1 ? Qt::AlignHCenter : Qt::AlignRight;
  Qt::Alignment v = value % 3 == 0 ? Qt::AlignTop : value % 3 == 1 ? Qt::AlignVCenter : Qt::AlignBottom;
  return h | v;
}

QPoint AlignedTopLeft(const QSize& size, const QRect& cell, int value) {
  int x = value / 3 == 0   ? cell.left()
          : value / 3 == 1 ? cell.left() + (cell.width() - size.width()) / 2
                           : cell.right() + 1 - size.width();
  int y = value % 3 == 0   ? cell.top()
          : value % 3 == 1 ? cell.top() + (cell.height() - size.height()) / 2
                           : cell.bottom() + 1 - size.height();
  return {x, y};
}

}  // namespace

inline constexpr int kGridRowPx = TwipsToPixels(FlexGrid::kRowHeightTwips);

// Column widths: any width above 0 keeps at least a pixel (a hairline spacer of 1 twip).
inline int GridWidthPixels(int twips) { return twips <= 0 ? 0 : std::max(1, TwipsToPixels(twips)); }

class FlexGridPrivate {
 public:
  explicit FlexGridPrivate(FlexGrid* q);

  FlexGrid* q;
  GridRows rows{2, 2};
  std::vector<QPixmap> pictures{QPixmap()};  // by the rows' picture number; 0 is none
  int fixedRows = 1;
  int fixedCols = 0;
  std::vector<int> colWidth{-1, -1};  // twips; -1 = never set
  std::vector<int> colAlign{9, 9};
  GridSelection sel;
  int topRow = 1;
  int mouseRow = -1, mouseCol = -1;
  int mousePointer = 0;
  QCursor mouseIcon;
  std::string toolTip;
  int heightTwips = 0;
  std::optional<std::uint32_t> backColor, foreColor, backFixed, foreFixed, backSel, foreSel,
      gridColor, backBkg;

  GridModel* model = nullptr;
  GridView* view = nullptr;
  FixedRowsHeader* header = nullptr;

  // What the view has been told: model rows (those below the fixed rows) and columns. Rows
  // before lowWater are the same rows the view knows; later ones may have moved.
  int publishedRows = 0;
  int publishedCols = 0;
  int lowWater = 0;
  bool needReset = false;
  bool flushQueued = false;
  bool topPending = true;  // topRow still to be put into the scroll bar
  bool applyingTop = false;
  bool afterDoubleClick = false;

  int rowCount() const { return rows.Rows(); }
  int cols() const { return rows.Cols(); }
  int modelRows() const { return std::max(0, rowCount() - fixedRows); }

  // Telling the view.
  void RowsChangedFrom(int gridRow);
  void ScheduleFlush();
  void Flush();

  // Cells and the current cell.
  std::string_view TextAt(int r, int c) const { return rows.Text(r, c); }
  const GridCellFormat* FormatAt(int r, int c) const { return rows.Format(r, c); }
  GridCellFormat CurrentFormat() const;
  void SetCurrentFormat(const GridCellFormat& format);
  GridPictureId KeepPicture(const QPixmap& picture);
  void CheckCell(int r, int c) const;
  bool HasCurrentCell() const { return rowCount() > 0 && cols() > 0; }
  void RequireCurrentCell() const;
  void ClampCursor();
  void MoveCurrent(int r, int c);
  int ClampTop(int t) const { return std::clamp(t, fixedRows, std::max(fixedRows, rowCount() - 1)); }

  // The view: columns, scrolling, mouse and keys, colours and painting. Points
  // are in the cell area's pixels.
  void ApplyColumns();
  void Repaint();
  void ApplyTop();
  void OnScrolled(int value);
  int VisibleDataRows() const;
  int HeaderHeight() const { return fixedRows * kGridRowPx; }

  struct Hit {
    int row = -1;
    int col = -1;
    bool onCell = false;
  };
  Hit HitTest(QPoint p) const;
  void OnPress(QPoint p, QMouseEvent* e);
  void OnRelease(QPoint p, QMouseEvent* e);
  void OnMove(QPoint p, QMouseEvent* e);
  void OnDoubleClick(QPoint p);
  bool OnKey(QKeyEvent* e);
  void ClickCell(int r, int c);
  bool ShowToolTip(QHelpEvent* e, QWidget* over);

  QColor Back() const;
  QColor Fore() const;
  QColor BackFixedQ() const;
  QColor ForeFixedQ() const;
  QColor GridQ() const;
  QColor BkgQ() const { return backBkg ? VbColor(*backBkg) : Back(); }
  void ApplyBackground();
  bool InSelection(int r, int c) const {
    return r >= std::min(sel.row, sel.rowSel) && r <= std::max(sel.row, sel.rowSel) &&
           c >= std::min(sel.col, sel.colSel) && c <= std::max(sel.col, sel.colSel);
  }
  void PaintCell(QPainter& p, const QRect& rect, int r, int c) const;
  bool TextFits(int r, int c) const;
};

// The table the view sees: the rows below the fixed rows. Cells are painted by the grid itself;
// the model only answers for counts and display texts, and the counts are those the view has
// been told (FlexGridPrivate::Flush tells it what changed in one go).
class GridModel : public QAbstractTableModel {
 public:
  GridModel(FlexGridPrivate* d, QObject* parent) : QAbstractTableModel(parent), d_(d) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void Reset(int rows, int cols);
  void Append(int rows);
  void Truncate(int rows);

 private:
  FlexGridPrivate* d_;
};

// Paints a cell below the fixed rows as the grid paints it.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(FlexGridPrivate* d, QObject* parent) : QStyledItemDelegate(parent), d_(d) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  FlexGridPrivate* d_;
};

// The fixed rows, drawn as the horizontal header so that they stay in place while the rows
// scroll and follow the columns' widths and horizontal scrolling.
class FixedRowsHeader : public QHeaderView {
 public:
  FixedRowsHeader(FlexGridPrivate* d, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  bool viewportEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  FlexGridPrivate* d_;
};

// The rows below the fixed rows; mouse and keys go to the grid, in the cell area's pixels.
class GridView : public QTableView {
 public:
  GridView(FlexGridPrivate* d, QWidget* parent);

  // Brings the scroll ranges up to date now rather than at the next layout pass.
  void SyncLayout() {
    executeDelayedItemsLayout();
    updateGeometries();
  }

 protected:
  void updateGeometries() override;
  bool viewportEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  QPoint ToCellArea(QMouseEvent* e) const;

  FlexGridPrivate* d_;
};

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : d_->publishedRows; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : d_->publishedCols; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole) return {};
  int r = d_->fixedRows + index.row();
  if (r >= d_->rowCount() || index.column() >= d_->cols()) return {};
  return Q(d_->TextAt(r, index.column()));
}

void GridModel::Reset(int rows, int cols) {
  beginResetModel();
  d_->publishedRows = rows;
  d_->publishedCols = cols;
  endResetModel();
}

void GridModel::Append(int rows) {
  beginInsertRows({}, d_->publishedRows, rows - 1);
  d_->publishedRows = rows;
  endInsertRows();
}

void GridModel::Truncate(int rows) {
  beginRemoveRows({}, rows, d_->publishedRows - 1);
  d_->publishedRows = rows;
  endRemoveRows();
}

void FlexGridPrivate::RowsChangedFrom(int gridRow) {
  lowWater = std::min(lowWater, std::max(0, gridRow - fixedRows));
  topRow = ClampTop(topRow);
  ScheduleFlush();
}

void FlexGridPrivate::ScheduleFlush() {
  if (flushQueued) return;
  flushQueued = true;
  QMetaObject::invokeMethod(q, [this] { Flush(); }, Qt::QueuedConnection);
}

// Tells the view what changed since it was last told, in one go: an append or a cut at the
// end as such, anything else as a reset. Filling a grid row by row thus costs the view once.
void FlexGridPrivate::Flush() {
  flushQueued = false;
  int actual = modelRows();
  if (!needReset && cols() == publishedCols && lowWater >= publishedRows && actual == publishedRows) return;
  if (needReset || cols() != publishedCols) {
    needReset = false;
    model->Reset(actual, cols());
    ApplyColumns();
    header->setVisible(fixedRows > 0);
    header->updateGeometry();
    topPending = true;
  } else if (lowWater >= publishedRows) {
    if (actual > publishedRows) model->Append(actual);
  } else if (lowWater >= actual) {
    model->Truncate(actual);
  } else {
    model->Reset(actual, cols());
    ApplyColumns();
    topPending = true;
  }
  lowWater = publishedRows;
  if (q->isVisible()) {
    view->SyncLayout();
    Repaint();
  }
}

// ---- CellDelegate ----

void CellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  int r = d_->fixedRows + index.row();
  if (r < d_->rowCount() && index.column() < d_->cols()) d_->PaintCell(*p, option.rect, r, index.column());
}

QSize CellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const { return {kGridRowPx, kGridRowPx}; }

// ---- FixedRowsHeader ----

FixedRowsHeader::FixedRowsHeader(FlexGridPrivate* d, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), d_(d) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setMinimumSectionSize(0);
  setDefaultSectionSize(GridWidthPixels(FlexGrid::kDefaultColWidthTwips));
  setSectionResizeMode(QHeaderView::Fixed);
  setStretchLastSection(false);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
}

QSize FixedRowsHeader::sizeHint() const { return {length(), d_->HeaderHeight()}; }

void FixedRowsHeader::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), d_->BkgQ());
  int fixed = std::min(d_->fixedRows, d_->rowCount());
  for (int c = 0; c < count() && c < d_->cols(); ++c) {
    if (isSectionHidden(c)) continue;
    int x = sectionViewportPosition(c);
    int w = sectionSize(c);
    if (x + w < 0 || x > viewport()->width()) continue;
    for (int r = 0; r < fixed; ++r) d_->PaintCell(p, QRect(x, r * kGridRowPx, w, kGridRowPx), r, c);
  }
}

bool FixedRowsHeader::viewportEvent(QEvent* e) {
  if (e->type() == QEvent::ToolTip) return d_->ShowToolTip(static_cast<QHelpEvent*>(e), viewport());
  return QHeaderView::viewportEvent(e);
}

void FixedRowsHeader::mousePressEvent(QMouseEvent* e) { d_->OnPress(e->position().toPoint(), e); }
void FixedRowsHeader::mouseReleaseEvent(QMouseEvent* e) { d_->OnRelease(e->position().toPoint(), e); }
void FixedRowsHeader::mouseMoveEvent(QMouseEvent* e) { d_->OnMove(e->position().toPoint(), e); }
void FixedRowsHeader::mouseDoubleClickEvent(QMouseEvent* e) { d_->OnDoubleClick(e->position().toPoint()); }

// ---- GridView ----

GridView::GridView(FlexGridPrivate* d, QWidget* parent) : QTableView(parent), d_(d) {
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setAutoScroll(false);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  QHeaderView* v = verticalHeader();
  v->setMinimumSectionSize(0);
  v->setDefaultSectionSize(kGridRowPx);
  v->setSectionResizeMode(QHeaderView::Fixed);
  v->hide();
}

void GridView::updateGeometries() {
  QTableView::updateGeometries();
  d_->ApplyTop();
}

bool GridView::viewportEvent(QEvent* e) {
  if (e->type() == QEvent::ToolTip) return d_->ShowToolTip(static_cast<QHelpEvent*>(e), viewport());
  return QTableView::viewportEvent(e);
}

void GridView::mousePressEvent(QMouseEvent* e) { d_->OnPress(ToCellArea(e), e); }
void GridView::mouseReleaseEvent(QMouseEvent* e) { d_->OnRelease(ToCellArea(e), e); }
void GridView::mouseMoveEvent(QMouseEvent* e) { d_->OnMove(ToCellArea(e), e); }
void GridView::mouseDoubleClickEvent(QMouseEvent* e) { d_->OnDoubleClick(ToCellArea(e)); }

void GridView::keyPressEvent(QKeyEvent* e) {
  if (!d_->OnKey(e)) e->ignore();
}

void GridView::focusInEvent(QFocusEvent* e) {
  QTableView::focusInEvent(e);
  viewport()->update();
}

void GridView::focusOutEvent(QFocusEvent* e) {
  QTableView::focusOutEvent(e);
  viewport()->update();
}

QPoint GridView::ToCellArea(QMouseEvent* e) const {
  QPoint p = e->position().toPoint();
  return {p.x(), p.y() + d_->HeaderHeight()};
}

// ---- Columns and scrolling ----

void FlexGridPrivate::ApplyColumns() {
  for (int c = 0; c < publishedCols; ++c) {
    int w = colWidth[static_cast<std::size_t>(c)];
    if (w == 0) {
      header->hideSection(c);
    } else {
      header->showSection(c);
      header->resizeSection(c, GridWidthPixels(w < 0 ? FlexGrid::kDefaultColWidthTwips : w));
    }
  }
}

void FlexGridPrivate::Repaint() {
  if (!q->isVisible()) return;
  view->viewport()->update();
  header->viewport()->update();
}

void FlexGridPrivate::ApplyTop() {
  if (!topPending || !q->isVisible() || applyingTop) return;
  topPending = false;
  applyingTop = true;
  // topRow keeps what was asked: a layout pass while the grid is being shown may still know
  // the old rows, and the next pass puts the asked row in place. A user's scroll replaces it.
  view->verticalScrollBar()->setValue(topRow - fixedRows);
  applyingTop = false;
}

void FlexGridPrivate::OnScrolled(int value) {
  if (applyingTop || topPending || !q->isVisible()) return;
  topRow = fixedRows + value;
}

int FlexGridPrivate::VisibleDataRows() const { return std::max(1, view->viewport()->height() / kGridRowPx); }

// ---- Hit-testing, mouse and keys ----

FlexGridPrivate::Hit FlexGridPrivate::HitTest(QPoint p) const {
  Hit h;
  h.onCell = p.x() >= 0 && p.y() >= 0;
  int y = std::max(0, p.y());
  int x = std::max(0, p.x());
  int header = HeaderHeight();
  if (y < header) {
    h.row = std::min(y / kGridRowPx, fixedRows - 1);
  } else {
    int m = view->rowAt(y - header);
    if (m < 0) {
      h.onCell = false;
      h.row = rowCount() - 1;
    } else {
      h.row = fixedRows + m;
    }
  }
  int c = view->columnAt(x);
  if (c < 0) {
    h.onCell = false;
    c = cols() - 1;
    while (c > 0 && colWidth[static_cast<std::size_t>(c)] == 0) --c;
  }
  h.col = cols() > 0 ? c : -1;
  if (rowCount() == 0 || cols() == 0) {
    h.row = rowCount() == 0 ? -1 : h.row;
    h.onCell = false;
  }
  return h;
}

void FlexGridPrivate::ClickCell(int r, int c) {
  bool fixedRow = r < fixedRows, fixedCol = c < fixedCols;
  if (fixedRow && fixedCol) return;
  if (fixedRow) {
    // A fixed cell is never current: the column below it is selected.
    if (rowCount() <= fixedRows) return;
    MoveCurrent(fixedRows, c);
    sel.rowSel = rowCount() - 1;
  } else if (fixedCol) {
    if (cols() <= fixedCols) return;
    MoveCurrent(r, fixedCols);
    sel.colSel = cols() - 1;
  } else {
    MoveCurrent(r, c);
  }
  Repaint();
}

void FlexGridPrivate::OnPress(QPoint p, QMouseEvent* e) {
  Flush();
  afterDoubleClick = false;
  Hit h = HitTest(p);
  mouseRow = h.row;
  mouseCol = h.col;
  view->setFocus(Qt::MouseFocusReason);
  if (e->button() == Qt::LeftButton && h.onCell) ClickCell(h.row, h.col);
  emit q->MouseDown(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

void FlexGridPrivate::OnRelease(QPoint p, QMouseEvent* e) {
  Flush();
  Hit h = HitTest(p);
  mouseRow = h.row;
  mouseCol = h.col;
  bool click = e->button() == Qt::LeftButton && !afterDoubleClick;
  afterDoubleClick = false;
  emit q->MouseUp(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
  if (click) emit q->Click();
}

void FlexGridPrivate::OnMove(QPoint p, QMouseEvent* e) {
  Flush();
  Hit h = HitTest(p);
  mouseRow = h.row;
  mouseCol = h.col;
  emit q->MouseMove(VbButton(e->buttons()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

// The second press of a double click is no new press on the platform: no MouseDown, and the
// release that follows gives MouseUp without Click.
void FlexGridPrivate::OnDoubleClick(QPoint p) {
  Hit h = HitTest(p);
  mouseRow = h.row;
  mouseCol = h.col;
  afterDoubleClick = true;
}

bool FlexGridPrivate::OnKey(QKeyEvent* e) {
  if (rowCount() <= fixedRows || cols() <= fixedCols) return false;
  auto visible = [this](int c) { return colWidth[static_cast<std::size_t>(c)] != 0; };
  int r = std::max(sel.row, fixedRows), c = std::max(sel.col, fixedCols);
  int page = VisibleDataRows();
  switch (e->key()) {
    case Qt::Key_Up:
      --r;
      break;
    case Qt::Key_Down:
      ++r;
      break;
    case Qt::Key_PageUp:
      r -= page;
      break;
    case Qt::Key_PageDown:
      r += page;
      break;
    case Qt::Key_Left:
      for (int k = c - 1; k >= fixedCols; --k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    case Qt::Key_Right:
      for (int k = c + 1; k < cols(); ++k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    case Qt::Key_Home:
      if (e->modifiers() & Qt::ControlModifier) r = fixedRows;
      for (int k = fixedCols; k < cols(); ++k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    case Qt::Key_End:
      if (e->modifiers() & Qt::ControlModifier) r = rowCount() - 1;
      for (int k = cols() - 1; k >= fixedCols; --k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    default:
      return false;
  }
  r = std::clamp(r, fixedRows, rowCount() - 1);
  MoveCurrent(r, c);
  Flush();
  if (sel.row >= fixedRows && sel.row - fixedRows < publishedRows && sel.col < publishedCols)
    view->scrollTo(model->index(sel.row - fixedRows, sel.col));
  return true;
}

bool FlexGridPrivate::ShowToolTip(QHelpEvent* e, QWidget* over) {
  if (toolTip.empty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(e->globalPos(), QString::fromStdString(toolTip), over);
  }
  return true;
}

// ---- Colours and painting ----

QColor FlexGridPrivate::Back() const { return backColor ? VbColor(*backColor) : q->palette().color(QPalette::Base); }
QColor FlexGridPrivate::Fore() const { return foreColor ? VbColor(*foreColor) : q->palette().color(QPalette::Text); }
QColor FlexGridPrivate::BackFixedQ() const {
  return backFixed ? VbColor(*backFixed) : q->palette().color(QPalette::Button);
}
QColor FlexGridPrivate::ForeFixedQ() const {
  return foreFixed ? VbColor(*foreFixed) : q->palette().color(QPalette::ButtonText);
}
QColor FlexGridPrivate::GridQ() const { return gridColor ? VbColor(*gridColor) : q->palette().color(QPalette::Midlight); }

void FlexGridPrivate::ApplyBackground() {
  QPalette pal = view->palette();
  pal.setColor(QPalette::Base, BkgQ());
  view->setPalette(pal);
  Repaint();
}

void FlexGridPrivate::PaintCell(QPainter& p, const QRect& rect, int r, int c) const {
  bool fixed = r < fixedRows || c < fixedCols;
  const GridCellFormat* f = FormatAt(r, c);
  QColor bg = fixed ? BackFixedQ() : Back();
  QColor fg = fixed ? ForeFixedQ() : Fore();
  if (f && f->back) bg = VbColor(f->back);
  if (f && f->fore) fg = VbColor(f->fore);
  bool current = r == sel.row && c == sel.col;
  if (!fixed && !current && InSelection(r, c)) {
    if (backSel) {
      bg = VbColor(*backSel);
    } else {
      // A light tint, so that the program's own cell colours still show through.
      QColor hl = q->palette().color(QPalette::Highlight);
      bg = QColor((bg.red() * 7 + hl.red() * 3) / 10, (bg.green() * 7 + hl.green() * 3) / 10,
                  (bg.blue() * 7 + hl.blue() * 3) / 10);
    }
    if (foreSel) fg = VbColor(*foreSel);
  }
  p.fillRect(rect, bg);
  QRect inner = rect.adjusted(0, 0, -1, -1);
  if (f && f->picture) {
    const QPixmap& picture = pictures[f->picture];
    QSize size = picture.deviceIndependentSize().toSize();
    p.save();
    p.setClipRect(inner);
    p.drawPixmap(AlignedTopLeft(size, inner, f->pictureAlignment), picture);
    p.restore();
  }
  // The stored text stays whole; the cell shows it up to its first zero byte.
  std::string_view t = UpToFirstZero(TextAt(r, c));
  if (!t.empty()) {
    QFont font = q->font();
    if (f && f->bold) font.setBold(true);
    p.save();
    p.setFont(font);
    p.setPen(fg);
    QRect box = inner.adjusted(kTextMarginPx, 0, -kTextMarginPx, 0);
    p.setClipRect(inner);
    QTextOption option(AlignmentFlags(colAlign[static_cast<std::size_t>(c)], t));
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    p.drawText(QRectF(box), Q(t), option);
    p.restore();
  }
  p.setPen(GridQ());
  p.drawLine(rect.topRight(), rect.bottomRight());
  p.drawLine(rect.bottomLeft(), rect.bottomRight());
  if (current && !fixed && view->hasFocus()) {
    p.setPen(QPen(fg, 1, Qt::DotLine));
    p.drawRect(inner.adjusted(0, 0, -1, -1));
  }
}

bool FlexGridPrivate::TextFits(int r, int c) const {
  const std::string_view t = UpToFirstZero(TextAt(r, c));
  if (t.empty()) return true;
  QFont font = q->font();
  const GridCellFormat* f = FormatAt(r, c);
  if (f && f->bold) font.setBold(true);
  const int w = colWidth[static_cast<std::size_t>(c)];
  const int room = GridWidthPixels(w < 0 ? FlexGrid::kDefaultColWidthTwips : w) - 1 - 2 * kTextMarginPx;
  return QFontMetrics(font).horizontalAdvance(Q(t)) <= room;
}

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
