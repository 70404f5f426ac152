#pragma once

#include "platform/qt/controls.h"
#include "platform/qt/popupwindow.h"

class TreeArea;

// The groups tree's popup: five label items acting on the tree's selected node. Modeless; it
// ends at its first loss of the focus while none of the tree dialogs is showing.
class frmTvwPopUp : public platform::PopupWindow {
  Q_OBJECT
 public:
  explicit frmTvwPopUp(TreeArea& tree);

  void Form_Load();
  void lblAddFile_Click();
  void lblAddGroup_Click();
  void lblEditNode_Click();
  void lblRenameNode_Click();
  void lblDeleteNode_Click();
  void Form_LostFocus();
  // Closes and unloads the popup (once).
  void Form_Unload() { Unload(); }
  bool unloaded() const { return Unloaded(); }

  platform::Label* lblAddFile;
  platform::Label* lblAddGroup;
  platform::Label* lblEditNode;
  platform::Label* lblRenameNode;
  platform::Label* lblDeleteNode;

 protected:
  void LostFocus() override { Form_LostFocus(); }
  void paintEvent(QPaintEvent* e) override;

 private:
  // Hands the focus to the main window, which ends the popup.
  void FocusToLauncher();

  TreeArea& tree_;
  QPixmap background_;
};
