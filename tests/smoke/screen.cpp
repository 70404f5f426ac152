#include "smoke/screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "platform/core/treemodel.h"
#include "platform/qt/grid.h"
#include "platform/qt/treeview.h"
#include "smoke/driver.h"

namespace smoke {

QMessageBox* Box(const std::string& title, const std::string& saying) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible() || box->windowTitle().toStdString() != title) return nullptr;
  return box->text().toStdString().find(saying) != std::string::npos ? box : nullptr;
}

void Answer(const std::string& title, const std::string& button) {
  QMessageBox* box = Box(title);
  if (!box) return;
  for (QAbstractButton* b : box->buttons()) {
    if (b->text().remove('&').toStdString() == button) {
      Click(CentreOf(b));
      return;
    }
  }
}

QFileDialog* FileDialog() {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  return dialog && dialog->isVisible() ? dialog : nullptr;
}

void TypeInto(QWidget* box, const std::string& text) {
  Click(CentreOf(box));
  Keys("ctrl+a BackSpace");
  Type(text);
}

void ChooseFile(const std::string& hostPath) {
  QFileDialog* dialog = FileDialog();
  if (!dialog) return;
  if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) TypeInto(name, hostPath);
  Keys("Return");
}

void CancelFileDialog() {
  QFileDialog* dialog = FileDialog();
  if (!dialog) return;
  if (auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox")) {
    if (QAbstractButton* cancel = buttons->button(QDialogButtonBox::Cancel)) Click(CentreOf(cancel));
  }
}

QPoint TreeNodePoint(platform::TreeView& tree, const std::string& text) {
  for (const platform::TreeNode* node : tree.Nodes().Nodes()) {
    if (node->text != text) continue;
    QTreeWidgetItem* item = tree.ItemOf(node);
    if (!item) break;
    tree.scrollToItem(item);
    const QRect row = tree.visualItemRect(item);
    // On the node's text, just after its picture.
    return tree.viewport()->mapToGlobal(QPoint(row.left() + std::min(30, row.width() / 2), row.center().y()));
  }
  return {-1, -1};
}

QPoint GridCellPoint(platform::FlexGrid& grid, int row, int col) {
  auto* view = grid.findChild<QTableView*>();
  if (!view) return {-1, -1};
  const QModelIndex index = view->model()->index(row - grid.FixedRows(), col);
  view->scrollTo(index);
  return view->viewport()->mapToGlobal(view->visualRect(index).center());
}

bool NoDialog() { return QApplication::activeModalWidget() == nullptr; }

}  // namespace smoke
