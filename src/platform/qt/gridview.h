#pragma once

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

namespace platform {

class FlexGridPrivate;

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

}  // namespace platform
