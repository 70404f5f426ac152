#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QPushButton>

#include <string>
#include <utility>
#include <vector>

#include "platform/qt/treeview.h"
#include "windows/shareddata.h"

class QMimeData;
class frmTvwPopUp;

// What the groups tree asks of the window it lies in.
class TreeAreaHost {
 public:
  // In File Detail, lists the presets and groups that hold the shown file.
  virtual void ShowFileRallysets() = 0;
  // Plays a file entry; `loopingPreset` (0: none) repeats after it.
  virtual void PlayTreeEntry(const std::string& path, const std::string& caption, int loopingPreset) = 0;

 protected:
  ~TreeAreaHost() = default;
};

// The groups tree's own state.
struct TreeState {
  // Node references (nothing once their node is gone): the node pressed last (also the node
  // dragged or moved), the drop target, the node at the last drag-over, the node a tree
  // procedure looks at, the sibling a move passes.
  platform::NodeRef gDragNode = platform::kNoNode;
  platform::NodeRef gTargetNode = platform::kNoNode;
  platform::NodeRef gHitNode = platform::kNoNode;
  platform::NodeRef gCurrentNode = platform::kNoNode;
  platform::NodeRef gSiblingNode = platform::kNoNode;
  // groups.dat could not be read whole: it is copied aside before the first save.
  bool gGroupsKeepCopy = false;
};

// The main window's groups tree: groups.dat into the tree and back, the tree's events, its
// popup, the two move buttons, drops from the tree itself and from other programs.
class TreeArea : public QObject {
  Q_OBJECT
  friend class TreeTestAccess;

 public:
  // The tree is the window's child, laid out in the window's tree area.
  TreeArea(QWidget* window, ProgramState& app, TreeAreaHost& host);

  // The two move buttons beside the tree, made where the window's tool buttons are made.
  void BuildMoveButtons();
  // The image list of the tree, given to the tree.
  void BuildImageList();

  // groups.dat into the empty tree (a damaged file is kept aside before the first save), the
  // tree to groups.dat (a failure is told and the tree shows what is stored), and the common
  // tail that ends every change (keys, File Detail's list, groups.dat).
  void LoadGroupTree();
  void SaveGroupTree();
  void GroupTreeCommonTail();

  // Handlers.
  void tvwGroups_MouseDown(int Button, int Shift, int x, int y);
  void tvwGroups_MouseMove(int Button, int Shift, int x, int y);
  void tvwGroups_MouseUp(int Button, int Shift, int x, int y);
  void tvwGroups_DragOver(int x, int y);
  void tvwGroups_OLEDragOver(int x, int y);
  void tvwGroups_DragDrop();
  void tvwGroups_OLEDragDrop(const QMimeData& Data);
  void tvwGroups_AfterLabelEdit(const QString& NewString);
  void tvwGroups_Click();
  void tvwGroups_DblClick();
  void btnNodeDown_Click();
  void btnNodeUp_Click();

  // The keyboard focus to the tree.
  void Focus();
  // The pictures of the two move buttons, loaded with the window's others.
  void LoadMoveButtonPictures();
  // While a note is edited Tab stays in the note boxes: the tree leaves the tab order, and
  // takes the focus back when it returns to it.
  void YieldTab(bool yield);
  // The presets and groups that hold `shown`, as File Detail lists them.
  std::string RallysetsOf(const std::string& shown) const;

 private:
  // The tree's own popup and dialogs work on it.
  friend class frmTvwPopUp;
  friend class TreeDialog;
  friend class FileEntryDialog;
  friend class frmAddGroup;
  friend class frmAddFile;
  friend class frmEditFile;

  // What the popup and the tree dialogs work on: the program, the tree's nodes, the window
  // they belong to.
  ProgramState& Program() { return app_; }
  platform::TreeModel& Nodes() { return tvwGroups->Nodes(); }
  QWidget* Window() const { return window_; }
  // A dialog's new node is the one the tree procedures look at.
  void SetCurrentNode(platform::NodeRef node) { state_.gCurrentNode = node; }
  // Hands the focus to the window (which ends an open popup).
  void FocusWindow();
  // The selected node's caption in its editor.
  void StartRename();

  // The tree popup while it is open (null otherwise).
  frmTvwPopUp* TreePopup() const;
  // Whether any of frmAddGroup, frmAddFile, frmEditFile is showing; they count themselves.
  bool TreeDialogShowing() const { return treeDialogsShowing_ > 0; }
  void CountTreeDialog(int change) { treeDialogsShowing_ += change; }
  // The image list of the tree: keys and pictures in their order.
  const std::vector<std::pair<std::string, QIcon>>& imlTreeIcons() const { return imlTreeIcons_; }


  platform::TreeView* tvwGroups;
  QPushButton* btnNodeUp = nullptr;
  QPushButton* btnNodeDown = nullptr;
  QWidget* window_;
  ProgramState& app_;
  TreeAreaHost& host_;
  std::vector<std::pair<std::string, QIcon>> imlTreeIcons_;
  QPointer<frmTvwPopUp> treePopup_;
  int treeDialogsShowing_ = 0;
  TreeState state_;
};
