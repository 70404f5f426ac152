#include "platform/qt/gridmodel.h"

#include <QMetaObject>

#include "platform/qt/gridprivate.h"
#include "platform/qt/gridview.h"

namespace platform {

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

}  // namespace platform
