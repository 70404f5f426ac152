#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/controls.h"

class TreeArea;

// What the three tree dialogs share: the skin, the Help button, the "showing" the popup asks
// about, and the hand-back of the focus to the popup when they close.
class TreeDialog : public QDialog {
  Q_OBJECT
 public:
  // The load, then the dialog modally until it is unloaded.
  int ShowModal();
  virtual void Form_Load() = 0;
  virtual void Form_Unload();

  QPushButton* btnOK;
  QPushButton* btnCancel;

 protected:
  TreeDialog(TreeArea& tree, const char* caption, int widthTwips, int heightTwips, const char* helpPage);
  void done(int result) override;
  // Invisible, the popup visible and focused, then the focus to the main window (which ends
  // the popup).
  void HandBackToPopup();
  // Once per showing: invisible, and with `handBack` the hand-back.
  void Unload(bool handBack);
  platform::Label* AddLabel(const QString& caption, int x, int y, int w);
  platform::TextBox* AddTextBox(int x, int y, int w);
  QLabel* AddImage(int number, int x, int y);
  QPushButton* AddHelpButton();
  // Puts the Help, OK and Cancel row below `contentBottom` and fits the height to it (never
  // below the design height).
  void PlaceButtons(int contentBottom);
  void resizeEvent(QResizeEvent* e) override;
  void HelpClicked();
  void LoadCommon();

  TreeArea& tree_;

 private:
  const char* helpPage_;
  QPushButton* help_ = nullptr;
  int buttonsTop_ = 0;
  bool unloaded_ = false;
  bool counted_ = false;
};


// "Add New Rallyset": a new empty group below the tree's selected node.
class frmAddGroup : public TreeDialog {
  Q_OBJECT
 public:
  explicit frmAddGroup(TreeArea& tree);
  void Form_Load() override;
  void btnOK_Click();
  void btnCancel_Click() { reject(); }
  void btnAddGroupHelp_Click() { HelpClicked(); }

  platform::Label* lblAddGroupDialog;
  platform::Label* lblParentGroup;
  platform::Label* lblEnterName;
  platform::TextBox* txtNewGroup;
  QPushButton* btnAddGroupHelp;
  QLabel* imgNewGroup;
};
