#pragma once

#include <QAbstractTableModel>

namespace platform {

class FlexGridPrivate;

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

}  // namespace platform
