#pragma once

// Tests look at and work the groups tree's controls and state as its friend; production code
// asks the tree through its methods.
#include "mainwindow/treearea.h"

class TreeTestAccess {
 public:
  static platform::TreeView& View(TreeArea& t) { return *t.tvwGroups; }
  static platform::TreeView* Groups(TreeArea& t) { return t.tvwGroups; }
  static QPushButton* NodeUpButton(TreeArea& t) { return t.btnNodeUp; }
  static QPushButton* NodeDownButton(TreeArea& t) { return t.btnNodeDown; }
  static const std::vector<std::pair<std::string, QIcon>>& Icons(const TreeArea& t) { return t.imlTreeIcons(); }
  static frmTvwPopUp* Popup(const TreeArea& t) { return t.TreePopup(); }
  static bool DialogShowing(const TreeArea& t) { return t.TreeDialogShowing(); }
  static QPushButton& NodeUp(TreeArea& t) { return *t.btnNodeUp; }
  static QPushButton& NodeDown(TreeArea& t) { return *t.btnNodeDown; }
  static TreeState& State(TreeArea& t) { return t.state_; }
};

inline platform::TreeView& TreeView(TreeArea& t) { return TreeTestAccess::View(t); }
inline TreeState& TreeStateOf(TreeArea& t) { return TreeTestAccess::State(t); }
