#pragma once

#include "platform/qt/controls.h"
#include "platform/qt/popupwindow.h"

class frmLauncher;

// The groups tree's popup: five label items acting on the tree's selected node. Modeless; it
// ends at its first loss of the focus while none of the tree dialogs is showing.
class frmTvwPopUp : public platform::PopupWindow {
  Q_OBJECT
 public:
  explicit frmTvwPopUp(frmLauncher* owner);

  void Form_Load();
  void Form_MouseMove();
  void Item_MouseMove(platform::Label* item);
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
  void mouseMoveEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::Label* Item(const char* caption, int topTwips);
  void Normal(platform::Label* item);
  // Hands the focus to the main window, which ends the popup.
  void FocusToLauncher();

  frmLauncher* owner_;
  QPixmap background_;
};
