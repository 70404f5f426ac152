#include "mainwindow/frmTvwPopUp.h"

#include <QPainter>

#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmAddGroup.h"
#include "mainwindow/treearea.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::Label;
using platform::TwipsToPixels;
using platform::VbColorNumber;

frmTvwPopUp::frmTvwPopUp(TreeArea& tree) : PopupWindow(tree.Window()), tree_(tree) {
  lblAddFile = AddItem(" Add File", 120);
  lblAddGroup = AddItem(" Add Group", 360);
  lblEditNode = AddItem(" Edit File", 720);
  lblRenameNode = AddItem(" Rename", 960);
  lblDeleteNode = AddItem(" Delete", 1320);
  FitToItems(1095, 1635);
  connect(lblAddFile, &Label::Click, this, &frmTvwPopUp::lblAddFile_Click);
  connect(lblAddGroup, &Label::Click, this, &frmTvwPopUp::lblAddGroup_Click);
  connect(lblEditNode, &Label::Click, this, &frmTvwPopUp::lblEditNode_Click);
  connect(lblRenameNode, &Label::Click, this, &frmTvwPopUp::lblRenameNode_Click);
  connect(lblDeleteNode, &Label::Click, this, &frmTvwPopUp::lblDeleteNode_Click);
}

void frmTvwPopUp::Form_Load() { background_ = platform::LoadResPicture(122, platform::ResKind::Bitmap); }

void frmTvwPopUp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull()) p.drawPixmap(rect(), background_);
}

void frmTvwPopUp::lblAddFile_Click() {
  const Handler running(*this);
  frmAddFile form(tree_);
  form.ShowModal();
}

void frmTvwPopUp::lblAddGroup_Click() {
  const Handler running(*this);
  frmAddGroup form(tree_);
  form.ShowModal();
}

void frmTvwPopUp::lblEditNode_Click() {
  const Handler running(*this);
  frmEditFile form(tree_);
  form.ShowModal();
}

void frmTvwPopUp::lblRenameNode_Click() {
  const Handler running(*this);
  tree_.StartRename();
  // The focus is in the tree's editor now: the popup has lost it.
  LoseFocus();
}

void frmTvwPopUp::lblDeleteNode_Click() {
  const Handler running(*this);
  platform::TreeModel& tree = tree_.Nodes();
  platform::TreeNode* node = tree.Selected();
  if (!node) {
    FocusToLauncher();
    return;
  }
  if (!node->children.empty()) {
    const std::string q = "\"", lf(platform::vbLf), cr(platform::vbCr);
    const std::string text = "The selected group " + q + node->text + q + " is not empty. " + lf + cr +
                             "All items inside " + q + node->text + q + " will also be removed." + lf + cr + lf + cr +
                             "Do you wish to continue with the delete?";
    if (platform::MsgBox(text, platform::vbYesNo | platform::vbDefaultButton2 | platform::vbExclamation,
                         "Group Delete Selected") != platform::vbYes) {
      FocusToLauncher();
      return;
    }
  }
  tree.Remove(node);
  tree_.GroupTreeCommonTail();
  if (platform::TreeNode* next = tree.Selected(); next && next->children.empty()) tree.SetExpanded(next, false);
  FocusToLauncher();
}

void frmTvwPopUp::FocusToLauncher() {
  tree_.FocusWindow();
  LoseFocus();
}

void frmTvwPopUp::Form_LostFocus() {
  if (Unloaded()) return;
  if (tree_.TreeDialogShowing()) {
    hide();
    return;
  }
  if (platform::TreeNode* node = tree_.Nodes().Selected()) {
    tree_.Nodes().SetColors(node, VbColorNumber("&HFFFFFF"), VbColorNumber("&H0"));
  }
  Form_Unload();
}
