#pragma once

#include <QPoint>

#include <functional>
#include <string>

#include "smoke/driver.h"

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
// A press on its Cancel button.
void CancelFileDialog();

// The modal dialog in front, of class T.
template <typename T>
T* Dialog();

// Steps that type as a user does: a press on the box and, once it has the keyboard (its window
// active: with no window manager a window gets it back only by a press), the text typed in
// place of what the box held. `until` (else: the box holds the text) ends the typing step.
void TypeIn(Scenario& s, const std::string& what, std::function<QWidget*()> box, const std::string& text,
            Scenario::Condition until = {});
// The same into the file dialog in front: the host path typed into its file name box, then Return.
void ChooseIn(Scenario& s, const std::string& what, std::function<std::string()> hostPath,
              Scenario::Condition until);

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
