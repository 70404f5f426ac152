#include "platform/qt/gridview.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <QToolTip>

#include "platform/qt/gridmodel.h"
#include "platform/qt/gridprivate.h"

namespace platform {

namespace {

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

}  // namespace platform
