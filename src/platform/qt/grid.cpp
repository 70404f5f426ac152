#include "platform/qt/grid.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
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
#include "platform/qt/controls.h"

namespace platform {

namespace {

// Column widths: any width above 0 keeps at least a pixel (a hairline spacer of 1 twip).
int WidthPixels(int twips) { return twips <= 0 ? 0 : std::max(1, TwipsToPixels(twips)); }

std::uint32_t NumberFromColor(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

constexpr int kRowPx = TwipsToPixels(FlexGrid::kRowHeightTwips);
// The room a cell leaves on either side of its text.
constexpr int kTextMarginPx = 1;

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

// One row's texts in a single heap block: the cell count, the end offset of each cell, then
// the bytes. Trailing empty cells are not stored, and an empty row holds no block at all.
class PackedRow {
 public:
  PackedRow() = default;
  PackedRow(PackedRow&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  PackedRow& operator=(PackedRow&& other) noexcept {
    if (this != &other) {
      std::free(block_);
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
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

  void set(int c, std::string_view text) {
    int n = count();
    if (c >= n && text.empty()) return;
    build(std::max(n, c + 1), [&](int i) { return i == c ? text : cell(i); });
  }

  void truncate(int cells) {
    if (count() > cells) build(cells, [&](int i) { return cell(i); });
  }

  void clear() {
    std::free(block_);
    block_ = nullptr;
  }

  // Builds a fresh block from get(0..n-1); the old block stays readable until the end.
  template <class Get>
  void build(int n, Get get) {
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

 private:
  const std::uint32_t* header() const { return reinterpret_cast<const std::uint32_t*>(block_); }
  const char* bytes() const { return block_ + sizeof(std::uint32_t) * (header()[0] + 1); }

  char* block_ = nullptr;
};

constexpr int kDefaultPictureAlignment = 1;

struct CellFormat {
  int col = 0;
  bool bold = false;
  int pictureAlignment = kDefaultPictureAlignment;
  std::uint32_t back = 0;
  std::uint32_t fore = 0;
  QPixmap picture;

  bool isDefault() const {
    return !bold && pictureAlignment == kDefaultPictureAlignment && back == 0 && fore == 0 &&
           picture.isNull();
  }
};

// A row: its texts and, only where a cell has one, the cells' formats. Both move with the row.
struct GridRow {
  PackedRow text;
  std::unique_ptr<std::vector<CellFormat>> formats;

  const CellFormat* format(int c) const {
    if (!formats) return nullptr;
    for (const CellFormat& f : *formats) {
      if (f.col == c) return &f;
    }
    return nullptr;
  }
};

// Case folding for the sort: ASCII and the Latin-1 capitals (U+00C0..U+00DE in UTF-8, without
// the multiplication sign), the range the ANSI code page covers.
inline unsigned char FoldedByte(std::string_view v, std::size_t j) {
  auto b = static_cast<unsigned char>(v[j]);
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (b >= 0x80 && b <= 0x9E && b != 0x97 && j > 0 && static_cast<unsigned char>(v[j - 1]) == 0xC3)
    return static_cast<unsigned char>(b + 0x20);
  return b;
}

// Eight bytes of a row's folded sort key, starting at byte `depth`. The key is the key cells
// joined by a NUL, which orders exactly as comparing them one column after the other; bytes
// past its end read as 0.
std::uint64_t KeyChunk(const PackedRow& row, int k0, int k1, std::size_t depth) {
  std::uint64_t chunk = 0;
  int got = 0;
  std::size_t pos = 0;
  for (int c = k0; c <= k1 && got < 8; ++c) {
    std::string_view v = row.cell(c);
    std::size_t len = v.size();
    if (depth + got < pos + len) {
      for (std::size_t j = depth + got - pos; j < len && got < 8; ++j) {
        chunk = (chunk << 8) | FoldedByte(v, j);
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

class GridModel;
class GridView;
class FixedRowsHeader;

class FlexGridPrivate {
 public:
  explicit FlexGridPrivate(FlexGrid* q);

  FlexGrid* q;
  std::vector<GridRow> rows;
  int cols = 2;
  int fixedRows = 1;
  int fixedCols = 0;
  std::vector<int> colWidth{-1, -1};  // twips; -1 = never set
  std::vector<int> colAlign{9, 9};
  int row = 0, col = 0, rowSel = 0, colSel = 0;
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

  int rowCount() const { return static_cast<int>(rows.size()); }
  int modelRows() const { return std::max(0, rowCount() - fixedRows); }

  // Structure.
  void RowsChangedFrom(int gridRow);
  void ScheduleFlush();
  void Flush();
  void ApplyColumns();
  void Repaint();
  void ClampCursor();

  // Cells.
  std::string_view TextAt(int r, int c) const { return rows[static_cast<std::size_t>(r)].text.cell(c); }
  const CellFormat* FormatAt(int r, int c) const { return rows[static_cast<std::size_t>(r)].format(c); }
  CellFormat& EditFormat();
  void DropIfDefault();
  void CheckCell(int r, int c) const;
  bool HasCurrentCell() const { return !rows.empty() && cols > 0; }
  void RequireCurrentCell() const;

  // Current cell and scrolling.
  void MoveCurrent(int r, int c);
  int ClampTop(int t) const { return std::clamp(t, fixedRows, std::max(fixedRows, rowCount() - 1)); }
  void ApplyTop();
  void OnScrolled(int value);
  int VisibleDataRows() const;

  // Mouse and keys; points are in the cell area's pixels.
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
  int HeaderHeight() const { return fixedRows * kRowPx; }

  // Colours and painting.
  QColor Back() const { return backColor ? VbColor(*backColor) : q->palette().color(QPalette::Base); }
  QColor Fore() const { return foreColor ? VbColor(*foreColor) : q->palette().color(QPalette::Text); }
  QColor BackFixedQ() const { return backFixed ? VbColor(*backFixed) : q->palette().color(QPalette::Button); }
  QColor ForeFixedQ() const {
    return foreFixed ? VbColor(*foreFixed) : q->palette().color(QPalette::ButtonText);
  }
  QColor GridQ() const { return gridColor ? VbColor(*gridColor) : q->palette().color(QPalette::Midlight); }
  QColor BkgQ() const { return backBkg ? VbColor(*backBkg) : Back(); }
  void ApplyBackground();
  bool InSelection(int r, int c) const {
    return r >= std::min(row, rowSel) && r <= std::max(row, rowSel) && c >= std::min(col, colSel) &&
           c <= std::max(col, colSel);
  }
  void PaintCell(QPainter& p, const QRect& rect, int r, int c) const;
  bool TextFits(int r, int c) const;

  void SortRows(bool descending);
};

// The table the view sees: the rows below the fixed rows. Cells are painted by the grid itself;
// the model only answers for counts and display texts.
class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(FlexGridPrivate* d, QObject* parent) : QAbstractTableModel(parent), d_(d) {}

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : d_->publishedRows; }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : d_->publishedCols;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    int r = d_->fixedRows + index.row();
    if (r >= d_->rowCount() || index.column() >= d_->cols) return {};
    std::string_view t = d_->TextAt(r, index.column());
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
  }

  void Reset(int rows, int cols) {
    beginResetModel();
    d_->publishedRows = rows;
    d_->publishedCols = cols;
    endResetModel();
  }
  void Append(int rows) {
    beginInsertRows({}, d_->publishedRows, rows - 1);
    d_->publishedRows = rows;
    endInsertRows();
  }
  void Truncate(int rows) {
    beginRemoveRows({}, rows, d_->publishedRows - 1);
    d_->publishedRows = rows;
    endRemoveRows();
  }

 private:
  FlexGridPrivate* d_;
};

class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(FlexGridPrivate* d, QObject* parent) : QStyledItemDelegate(parent), d_(d) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    int r = d_->fixedRows + index.row();
    if (r < d_->rowCount() && index.column() < d_->cols) d_->PaintCell(*p, option.rect, r, index.column());
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {kRowPx, kRowPx}; }

 private:
  FlexGridPrivate* d_;
};

// The fixed rows, drawn as the horizontal header so that they stay in place while the rows
// scroll and follow the columns' widths and horizontal scrolling.
class FixedRowsHeader : public QHeaderView {
 public:
  FixedRowsHeader(FlexGridPrivate* d, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), d_(d) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    setDefaultSectionSize(WidthPixels(FlexGrid::kDefaultColWidthTwips));
    setSectionResizeMode(QHeaderView::Fixed);
    setStretchLastSection(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
  }

  QSize sizeHint() const override { return {length(), d_->HeaderHeight()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), d_->BkgQ());
    int fixed = std::min(d_->fixedRows, d_->rowCount());
    for (int c = 0; c < count() && c < d_->cols; ++c) {
      if (isSectionHidden(c)) continue;
      int x = sectionViewportPosition(c);
      int w = sectionSize(c);
      if (x + w < 0 || x > viewport()->width()) continue;
      for (int r = 0; r < fixed; ++r) d_->PaintCell(p, QRect(x, r * kRowPx, w, kRowPx), r, c);
    }
  }
  bool viewportEvent(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) return d_->ShowToolTip(static_cast<QHelpEvent*>(e), viewport());
    return QHeaderView::viewportEvent(e);
  }
  void mousePressEvent(QMouseEvent* e) override { d_->OnPress(e->position().toPoint(), e); }
  void mouseReleaseEvent(QMouseEvent* e) override { d_->OnRelease(e->position().toPoint(), e); }
  void mouseMoveEvent(QMouseEvent* e) override { d_->OnMove(e->position().toPoint(), e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { d_->OnDoubleClick(e->position().toPoint()); }

 private:
  FlexGridPrivate* d_;
};

class GridView : public QTableView {
 public:
  GridView(FlexGridPrivate* d, QWidget* parent) : QTableView(parent), d_(d) {
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
    v->setDefaultSectionSize(kRowPx);
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->hide();
  }

  // Brings the scroll ranges up to date now rather than at the next layout pass.
  void SyncLayout() {
    executeDelayedItemsLayout();
    updateGeometries();
  }

 protected:
  void updateGeometries() override {
    QTableView::updateGeometries();
    d_->ApplyTop();
  }
  bool viewportEvent(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) return d_->ShowToolTip(static_cast<QHelpEvent*>(e), viewport());
    return QTableView::viewportEvent(e);
  }
  void mousePressEvent(QMouseEvent* e) override { d_->OnPress(ToCellArea(e), e); }
  void mouseReleaseEvent(QMouseEvent* e) override { d_->OnRelease(ToCellArea(e), e); }
  void mouseMoveEvent(QMouseEvent* e) override { d_->OnMove(ToCellArea(e), e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { d_->OnDoubleClick(ToCellArea(e)); }
  void keyPressEvent(QKeyEvent* e) override {
    if (!d_->OnKey(e)) e->ignore();
  }
  void focusInEvent(QFocusEvent* e) override {
    QTableView::focusInEvent(e);
    viewport()->update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QTableView::focusOutEvent(e);
    viewport()->update();
  }

 private:
  QPoint ToCellArea(QMouseEvent* e) const {
    QPoint p = e->position().toPoint();
    return {p.x(), p.y() + d_->HeaderHeight()};
  }

  FlexGridPrivate* d_;
};

FlexGridPrivate::FlexGridPrivate(FlexGrid* owner) : q(owner) {
  rows.resize(2);
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
  if (!needReset && cols == publishedCols && lowWater >= publishedRows && actual == publishedRows) return;
  if (needReset || cols != publishedCols) {
    needReset = false;
    model->Reset(actual, cols);
    ApplyColumns();
    header->setVisible(fixedRows > 0);
    header->updateGeometry();
    topPending = true;
  } else if (lowWater >= publishedRows) {
    if (actual > publishedRows) model->Append(actual);
  } else if (lowWater >= actual) {
    model->Truncate(actual);
  } else {
    model->Reset(actual, cols);
    ApplyColumns();
    topPending = true;
  }
  lowWater = publishedRows;
  if (q->isVisible()) {
    view->SyncLayout();
    Repaint();
  }
}

void FlexGridPrivate::ApplyColumns() {
  for (int c = 0; c < publishedCols; ++c) {
    int w = colWidth[static_cast<std::size_t>(c)];
    if (w == 0) {
      header->hideSection(c);
    } else {
      header->showSection(c);
      header->resizeSection(c, WidthPixels(w < 0 ? FlexGrid::kDefaultColWidthTwips : w));
    }
  }
}

void FlexGridPrivate::Repaint() {
  if (!q->isVisible()) return;
  view->viewport()->update();
  header->viewport()->update();
}

void FlexGridPrivate::ClampCursor() {
  int lastRow = std::max(0, rowCount() - 1);
  int lastCol = std::max(0, cols - 1);
  row = std::min(row, lastRow);
  rowSel = std::min(rowSel, lastRow);
  col = std::min(col, lastCol);
  colSel = std::min(colSel, lastCol);
}

CellFormat& FlexGridPrivate::EditFormat() {
  RequireCurrentCell();
  GridRow& gr = rows[static_cast<std::size_t>(row)];
  if (!gr.formats) gr.formats = std::make_unique<std::vector<CellFormat>>();
  for (CellFormat& f : *gr.formats) {
    if (f.col == col) return f;
  }
  gr.formats->push_back(CellFormat{});
  gr.formats->back().col = col;
  return gr.formats->back();
}

void FlexGridPrivate::DropIfDefault() {
  GridRow& gr = rows[static_cast<std::size_t>(row)];
  if (!gr.formats) return;
  auto& v = *gr.formats;
  v.erase(std::remove_if(v.begin(), v.end(), [](const CellFormat& f) { return f.isDefault(); }), v.end());
  if (v.empty()) gr.formats.reset();
  Repaint();
}

void FlexGridPrivate::CheckCell(int r, int c) const {
  if (r < 0 || r >= rowCount() || c < 0 || c >= cols) Fail(FlexGrid::errSubscriptOutOfRange);
}

void FlexGridPrivate::RequireCurrentCell() const {
  if (rows.empty()) Fail(FlexGrid::errInvalidRowValue);
  if (cols <= 0) Fail(FlexGrid::errInvalidColValue);
}

void FlexGridPrivate::MoveCurrent(int r, int c) {
  if (r != row || c != col) {
    emit q->LeaveCell();
    // The handler may have reshaped the grid.
    r = std::clamp(r, 0, std::max(0, rowCount() - 1));
    c = std::clamp(c, 0, std::max(0, cols - 1));
  }
  row = rowSel = r;
  col = colSel = c;
  Repaint();
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

int FlexGridPrivate::VisibleDataRows() const { return std::max(1, view->viewport()->height() / kRowPx); }

void FlexGridPrivate::ApplyBackground() {
  QPalette pal = view->palette();
  pal.setColor(QPalette::Base, BkgQ());
  view->setPalette(pal);
  Repaint();
}

FlexGridPrivate::Hit FlexGridPrivate::HitTest(QPoint p) const {
  Hit h;
  h.onCell = p.x() >= 0 && p.y() >= 0;
  int y = std::max(0, p.y());
  int x = std::max(0, p.x());
  int header = HeaderHeight();
  if (y < header) {
    h.row = std::min(y / kRowPx, fixedRows - 1);
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
    c = cols - 1;
    while (c > 0 && colWidth[static_cast<std::size_t>(c)] == 0) --c;
  }
  h.col = cols > 0 ? c : -1;
  if (rows.empty() || cols == 0) {
    h.row = rows.empty() ? -1 : h.row;
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
    rowSel = rowCount() - 1;
  } else if (fixedCol) {
    if (cols <= fixedCols) return;
    MoveCurrent(r, fixedCols);
    colSel = cols - 1;
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
  if (rowCount() <= fixedRows || cols <= fixedCols) return false;
  auto visible = [this](int c) { return colWidth[static_cast<std::size_t>(c)] != 0; };
  int r = std::max(row, fixedRows), c = std::max(col, fixedCols);
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
      for (int k = c + 1; k < cols; ++k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    case Qt::Key_Home:
      if (e->modifiers() & Qt::ControlModifier) r = fixedRows;
      for (int k = fixedCols; k < cols; ++k) {
        if (visible(k)) {
          c = k;
          break;
        }
      }
      break;
    case Qt::Key_End:
      if (e->modifiers() & Qt::ControlModifier) r = rowCount() - 1;
      for (int k = cols - 1; k >= fixedCols; --k) {
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
  if (row >= fixedRows && row - fixedRows < publishedRows && col < publishedCols)
    view->scrollTo(model->index(row - fixedRows, col));
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

void FlexGridPrivate::PaintCell(QPainter& p, const QRect& rect, int r, int c) const {
  bool fixed = r < fixedRows || c < fixedCols;
  const CellFormat* f = FormatAt(r, c);
  QColor bg = fixed ? BackFixedQ() : Back();
  QColor fg = fixed ? ForeFixedQ() : Fore();
  if (f && f->back) bg = VbColor(f->back);
  if (f && f->fore) fg = VbColor(f->fore);
  bool current = r == row && c == col;
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
  if (f && !f->picture.isNull()) {
    QSize size = f->picture.deviceIndependentSize().toSize();
    p.save();
    p.setClipRect(inner);
    p.drawPixmap(AlignedTopLeft(size, inner, f->pictureAlignment), f->picture);
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
    p.drawText(QRectF(box), QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())), option);
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
  const CellFormat* f = FormatAt(r, c);
  if (f && f->bold) font.setBold(true);
  const int w = colWidth[static_cast<std::size_t>(c)];
  const int room = WidthPixels(w < 0 ? FlexGrid::kDefaultColWidthTwips : w) - 1 - 2 * kTextMarginPx;
  const QString text = QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
  return QFontMetrics(font).horizontalAdvance(text) <= room;
}

// A stable most-significant-first sort on eight-byte pieces of the folded keys: each pass
// compares cached integers and reads the rows again only for groups still tied, so a million
// rows with long shared path prefixes sort without a cache miss per comparison.
void FlexGridPrivate::SortRows(bool descending) {
  int first, last;
  if (row == rowSel) {
    first = fixedRows;
    last = rowCount() - 1;
  } else {
    first = std::max(fixedRows, std::min(row, rowSel));
    last = std::max(row, rowSel);
  }
  if (last - first < 1 || cols == 0) return;
  int k0 = std::clamp(std::min(col, colSel), 0, cols - 1);
  int k1 = std::clamp(std::max(col, colSel), 0, cols - 1);

  struct Item {
    std::uint64_t chunk;
    std::uint32_t index;
  };
  std::size_t n = static_cast<std::size_t>(last - first + 1);
  std::vector<Item> items(n);
  std::vector<std::uint32_t> keyLength(n);
  for (std::size_t i = 0; i < n; ++i) {
    items[i].index = static_cast<std::uint32_t>(i);
    const PackedRow& pr = rows[static_cast<std::size_t>(first) + i].text;
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
      items[i].chunk = KeyChunk(rows[static_cast<std::size_t>(first) + items[i].index].text, k0, k1, range.depth);
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

  std::vector<GridRow> sorted;
  sorted.reserve(n);
  for (const Item& it : items) sorted.push_back(std::move(rows[static_cast<std::size_t>(first) + it.index]));
  std::move(sorted.begin(), sorted.end(), rows.begin() + first);
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

int FlexGrid::Rows() const { return d_->rowCount(); }

void FlexGrid::SetRows(int rows) {
  if (rows < 0) Fail(errInvalidPropertyValue);
  int before = d_->rowCount();
  if (rows == before) return;
  d_->rows.resize(static_cast<std::size_t>(rows));
  if (d_->fixedRows > rows) {
    d_->fixedRows = rows;
    d_->needReset = true;
  }
  d_->ClampCursor();
  d_->RowsChangedFrom(std::min(before, rows));
}

int FlexGrid::Cols() const { return d_->cols; }

void FlexGrid::SetCols(int cols) {
  if (cols < 0) Fail(errInvalidPropertyValue);
  if (cols == d_->cols) return;
  if (cols < d_->cols) {
    for (GridRow& gr : d_->rows) {
      gr.text.truncate(cols);
      if (gr.formats) {
        auto& v = *gr.formats;
        v.erase(std::remove_if(v.begin(), v.end(), [cols](const CellFormat& f) { return f.col >= cols; }), v.end());
        if (v.empty()) gr.formats.reset();
      }
    }
  }
  d_->cols = cols;
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
  if (cols < 0 || cols > d_->cols) Fail(errInvalidPropertyValue);
  d_->fixedCols = cols;
  d_->Repaint();
}

int FlexGrid::ColWidth(int col) const {
  if (col < 0 || col >= d_->cols) Fail(errSubscriptOutOfRange);
  int w = d_->colWidth[static_cast<std::size_t>(col)];
  return w < 0 ? kDefaultColWidthTwips : w;
}

void FlexGrid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= d_->cols) Fail(errSubscriptOutOfRange);
  if (twips < 0) Fail(errInvalidPropertyValue);
  d_->colWidth[static_cast<std::size_t>(col)] = twips;
  if (col < d_->publishedCols) d_->ApplyColumns();
}

int FlexGrid::ColAlignment(int col) const {
  if (col < 0 || col >= d_->cols) Fail(errSubscriptOutOfRange);
  return d_->colAlign[static_cast<std::size_t>(col)];
}

void FlexGrid::SetColAlignment(int col, int alignment) {
  if (col < 0 || col >= d_->cols) Fail(errSubscriptOutOfRange);
  if (alignment < 0 || alignment > 9) Fail(errInvalidPropertyValue);
  d_->colAlign[static_cast<std::size_t>(col)] = alignment;
  d_->Repaint();
}

int FlexGrid::RowHeight(int) const { return kRowHeightTwips; }

int FlexGrid::Row() const { return d_->row; }

void FlexGrid::SetRow(int row) {
  if (d_->rows.empty() && row == 0) return;
  if (row < 0 || row >= d_->rowCount()) Fail(errInvalidRowValue);
  d_->MoveCurrent(row, d_->col);
}

int FlexGrid::Col() const { return d_->col; }

void FlexGrid::SetCol(int col) {
  if (d_->cols == 0 && col == 0) return;
  if (col < 0 || col >= d_->cols) Fail(errInvalidColValue);
  d_->MoveCurrent(d_->row, col);
}

int FlexGrid::RowSel() const { return d_->rowSel; }

void FlexGrid::SetRowSel(int row) {
  if (d_->rows.empty() && row == 0) return;
  if (row < 0 || row >= d_->rowCount()) Fail(errInvalidRowValue);
  d_->rowSel = row;
  d_->Repaint();
}

int FlexGrid::ColSel() const { return d_->colSel; }

void FlexGrid::SetColSel(int col) {
  if (d_->cols == 0 && col == 0) return;
  if (col < 0 || col >= d_->cols) Fail(errInvalidColValue);
  d_->colSel = col;
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
  auto& v = d_->rows;
  if (row < position) {
    std::rotate(v.begin() + row, v.begin() + row + 1, v.begin() + position + 1);
  } else if (row > position) {
    std::rotate(v.begin() + position, v.begin() + row, v.begin() + row + 1);
  }
  d_->Repaint();
}

std::string FlexGrid::Text() const {
  if (!d_->HasCurrentCell()) return {};
  return std::string(d_->TextAt(d_->row, d_->col));
}

void FlexGrid::SetText(std::string_view text) {
  d_->RequireCurrentCell();
  SetTextMatrix(d_->row, d_->col, text);
}

std::string FlexGrid::TextMatrix(int row, int col) const {
  d_->CheckCell(row, col);
  return std::string(d_->TextAt(row, col));
}

void FlexGrid::SetCellAreaWidth(int pixels) { resize(pixels + 2 * d_->view->frameWidth(), height()); }

bool FlexGrid::CellTextFits(int row, int col) const {
  d_->CheckCell(row, col);
  return d_->TextFits(row, col);
}

void FlexGrid::SetTextMatrix(int row, int col, std::string_view text) {
  d_->CheckCell(row, col);
  d_->rows[static_cast<std::size_t>(row)].text.set(col, text);
  d_->Repaint();
}

std::string FlexGrid::Clip() const {
  if (!d_->HasCurrentCell()) return {};
  int r0 = std::min(d_->row, d_->rowSel), r1 = std::max(d_->row, d_->rowSel);
  int c0 = std::min(d_->col, d_->colSel), c1 = std::max(d_->col, d_->colSel);
  std::string out;
  for (int r = r0; r <= r1; ++r) {
    if (r > r0) out += '\r';
    for (int c = c0; c <= c1; ++c) {
      if (c > c0) out += '\t';
      out += d_->TextAt(r, c);
    }
  }
  return out;
}

void FlexGrid::AddItem(std::string_view item) { AddItem(item, d_->rowCount()); }

void FlexGrid::AddItem(std::string_view item, int index) {
  if (index < 0 || index > d_->rowCount()) Fail(errSubscriptOutOfRange);
  std::vector<std::string_view> cells;
  for (std::size_t start = 0;;) {
    std::size_t tab = item.find('\t', start);
    cells.push_back(item.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  int n = std::min(static_cast<int>(cells.size()), d_->cols);
  GridRow gr;
  gr.text.build(n, [&](int i) { return cells[static_cast<std::size_t>(i)]; });
  d_->rows.insert(d_->rows.begin() + index, std::move(gr));
  d_->RowsChangedFrom(index);
}

void FlexGrid::RemoveItem(int row) {
  if (row < 0 || row >= d_->rowCount()) Fail(errSubscriptOutOfRange);
  d_->rows.erase(d_->rows.begin() + row);
  if (d_->fixedRows > d_->rowCount()) {
    d_->fixedRows = d_->rowCount();
    d_->needReset = true;
  }
  d_->ClampCursor();
  d_->RowsChangedFrom(row);
}

void FlexGrid::Clear() {
  for (GridRow& gr : d_->rows) {
    gr.text.clear();
    gr.formats.reset();
  }
  d_->Repaint();
}

void FlexGrid::Sort(int setting) {
  switch (setting) {
    case 0:
      return;
    case 5:
      d_->SortRows(false);
      return;
    case 6:
      d_->SortRows(true);
      return;
    default:
      Fail(errInvalidPropertyValue);
  }
}

bool FlexGrid::CellFontBold() const {
  if (!d_->HasCurrentCell()) return false;
  const CellFormat* f = d_->FormatAt(d_->row, d_->col);
  return f && f->bold;
}

void FlexGrid::SetCellFontBold(bool bold) {
  d_->EditFormat().bold = bold;
  d_->DropIfDefault();
}

QPixmap FlexGrid::CellPicture() const {
  if (!d_->HasCurrentCell()) return {};
  const CellFormat* f = d_->FormatAt(d_->row, d_->col);
  return f ? f->picture : QPixmap();
}

void FlexGrid::SetCellPicture(const QPixmap& picture) {
  d_->EditFormat().picture = picture;
  d_->DropIfDefault();
}

int FlexGrid::CellPictureAlignment() const {
  if (!d_->HasCurrentCell()) return kDefaultPictureAlignment;
  const CellFormat* f = d_->FormatAt(d_->row, d_->col);
  return f ? f->pictureAlignment : kDefaultPictureAlignment;
}

void FlexGrid::SetCellPictureAlignment(int alignment) {
  if (alignment < 0 || alignment > 8) Fail(errInvalidPropertyValue);
  d_->EditFormat().pictureAlignment = alignment;
  d_->DropIfDefault();
}

std::uint32_t FlexGrid::CellBackColor() const {
  if (!d_->HasCurrentCell()) return 0;
  const CellFormat* f = d_->FormatAt(d_->row, d_->col);
  return f ? f->back : 0;
}

void FlexGrid::SetCellBackColor(std::uint32_t color) {
  d_->EditFormat().back = color;
  d_->DropIfDefault();
}

std::uint32_t FlexGrid::CellForeColor() const {
  if (!d_->HasCurrentCell()) return 0;
  const CellFormat* f = d_->FormatAt(d_->row, d_->col);
  return f ? f->fore : 0;
}

void FlexGrid::SetCellForeColor(std::uint32_t color) {
  d_->EditFormat().fore = color;
  d_->DropIfDefault();
}

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

}  // namespace platform
