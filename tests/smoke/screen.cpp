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

void TypeIn(Scenario& s, const std::string& what, std::function<QWidget*()> box, const std::string& text,
            Scenario::Condition until) {
  s.Step("press into the box for " + what, [box] { Click(CentreOf(box())); }, [box] { return box()->hasFocus(); });
  if (!until) {
    until = [box, text] {
      const auto* edit = qobject_cast<QLineEdit*>(box());
      return !edit || edit->text().toStdString() == text;
    };
  }
  s.Step("type " + what, [text] {
    Keys("ctrl+a BackSpace");
    Type(text);
  }, std::move(until));
}

void ChooseIn(Scenario& s, const std::string& what, std::function<std::string()> hostPath,
              Scenario::Condition until) {
  auto nameBox = []() -> QWidget* { return FileDialog() ? FileDialog()->findChild<QLineEdit*>("fileNameEdit") : nullptr; };
  s.Step("press into the file name box to " + what, [nameBox] { Click(CentreOf(nameBox())); },
         [nameBox] { return nameBox() && nameBox()->hasFocus(); });
  s.Step(what, [hostPath] {
    Keys("ctrl+a BackSpace");
    Type(hostPath());
    Keys("Return");
  }, std::move(until));
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
