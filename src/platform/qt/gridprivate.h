#pragma once

// The flex grid's state, shared by its front (grid.cpp), its model (gridmodel.cpp) and its view
// (gridview.cpp). Nothing outside those files includes this.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QColor>
#include <QCursor>
#include <QPixmap>
#include <QPoint>

#include "platform/core/gridrows.h"
#include "platform/qt/controls.h"
#include "platform/qt/grid.h"

class QHelpEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QRect;

namespace platform {

class GridModel;
class GridView;
class FixedRowsHeader;

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

  // Telling the view (gridmodel.cpp).
  void RowsChangedFrom(int gridRow);
  void ScheduleFlush();
  void Flush();

  // Cells and the current cell (grid.cpp).
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

  // The view (gridview.cpp): columns, scrolling, mouse and keys, colours and painting. Points
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

}  // namespace platform
