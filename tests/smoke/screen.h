#pragma once

#include <QPoint>

#include <string>

class QMessageBox;
class QFileDialog;
class QWidget;

namespace platform {
class FlexGrid;
class TreeView;
}  // namespace platform

// What a user sees and reaches on the screen: dialogs found by what they show, and the points
// of tree nodes and grid cells.
namespace smoke {

// The message box in front with this title (and none in front of it), or null; with
// `saying`, only one whose text holds it.
QMessageBox* Box(const std::string& title, const std::string& saying = {});
// A press on the button of that box that reads `button` ("OK", "Yes", "No").
void Answer(const std::string& title, const std::string& button);

// The file dialog in front, or null.
QFileDialog* FileDialog();
// Types a host path into its file name box and accepts it.
void ChooseFile(const std::string& hostPath);
// A press on its Cancel button.
void CancelFileDialog();

// The modal dialog in front, of class T.
template <typename T>
T* Dialog();

// A press on a text box, then the text typed in place of what it held.
void TypeInto(QWidget* box, const std::string& text);

// The point of a node's text in the tree, on screen; the node is found by its text.
QPoint TreeNodePoint(platform::TreeView& tree, const std::string& text);
// The point of a grid cell, on screen.
QPoint GridCellPoint(platform::FlexGrid& grid, int row, int col);

// Nothing modal is in front.
bool NoDialog();

}  // namespace smoke

#include <QApplication>

template <typename T>
T* smoke::Dialog() {
  return qobject_cast<T*>(QApplication::activeModalWidget());
}
