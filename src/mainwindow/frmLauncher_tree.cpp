// The groups tree of the main window: loading and saving groups.dat, the tree's events, the
// two move buttons, drops from the tree itself and from other programs, and File Detail's list
// of what holds the shown file.

#include <QTimer>

#include "datafiles/groups.h"
#include "datafiles/prefs.h"
#include "windows/shareddata.h"
#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTvwPopUp.h"
#include "mainwindow/grouptree.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "platform/core/drives.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"
#include "windows/playduration.h"
#include "windows/messages.h"

using grouptree::IsFileEntry;
using grouptree::IsGroup;
using grouptree::IsRoot;
using platform::TreeModel;
using platform::TreeNode;

namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

platform::NodeRef RefOf(const TreeNode* node) { return node ? node->id : platform::kNoNode; }

}  // namespace

TreeDrop TreeDroppedPath(const QMimeData& data) { return platform::PathFromDrop(data, true); }

void ReportTooDeep() {
  platform::MsgBox("Groups can be nested no more than 99 levels deep.", platform::vbExclamation, "Group Tree Too Deep");
}

void frmLauncher::LoadGroupTree() {
  ProgramState& app = app_;
  const datafiles::GroupsLoad outcome = datafiles::LoadGroupTree(app.decl.files, tvwGroups->Nodes());
  app.launcher.gGroupsKeepCopy = outcome == datafiles::GroupsLoad::Damaged;
}

void frmLauncher::SaveGroupTree() {
  ProgramState& app = app_;
  std::string failure;
  if (datafiles::SaveGroupTree(app.decl.files, tvwGroups->Nodes(), app.launcher.gGroupsKeepCopy, &failure)) {
    return;
  }
  messages::ReportSaveFailure(app.decl.files.gGroupsFile, failure);
  // The tree shows what is stored, not a change the next start would not know. The handler
  // that made the change may still hold its nodes: the tree is read again once it has returned.
  QTimer::singleShot(0, this, [this] {
    tvwGroups->Nodes().Clear();
    LoadGroupTree();
    ShowFileRallysets();
  });
}

void frmLauncher::GroupTreeCommonTail() {
  grouptree::RebuildTreeKeys(tvwGroups->Nodes());
  ShowFileRallysets();
  SaveGroupTree();
}

void frmLauncher::ShowFileRallysets() {
  frmLauncher* window = this;
  if (window->Pane().lblDBViewTitle->Caption() != "File Detail") return;
  const std::string shown = window->Pane().txtDBDescription->toolTip().toStdString();
  window->Pane().lblDBRallysets->SetCaption(QString::fromStdString(
      grouptree::RallysetsText(window->tvwGroups->Nodes(), app_.io.presets.gPresetPaths, shown)));
}

void frmLauncher::WireTree() {
  platform::TreeView* tree = tvwGroups;
  connect(tree, &platform::TreeView::MouseDown, this, &frmLauncher::tvwGroups_MouseDown);
  connect(tree, &platform::TreeView::MouseMove, this, &frmLauncher::tvwGroups_MouseMove);
  connect(tree, &platform::TreeView::MouseUp, this, &frmLauncher::tvwGroups_MouseUp);
  connect(tree, &platform::TreeView::DragOver, this, &frmLauncher::tvwGroups_DragOver);
  connect(tree, &platform::TreeView::OLEDragOver, this, &frmLauncher::tvwGroups_OLEDragOver);
  connect(tree, &platform::TreeView::DragDrop, this, &frmLauncher::tvwGroups_DragDrop);
  connect(tree, &platform::TreeView::OLEDragDrop, this, &frmLauncher::tvwGroups_OLEDragDrop);
  connect(tree, &platform::TreeView::AfterLabelEdit, this, &frmLauncher::tvwGroups_AfterLabelEdit);
  connect(tree, &platform::TreeView::Click, this, &frmLauncher::tvwGroups_Click);
  connect(tree, &platform::TreeView::DblClick, this, &frmLauncher::tvwGroups_DblClick);
  connect(btnNodeDown, &QPushButton::clicked, this, &frmLauncher::btnNodeDown_Click);
  connect(btnNodeUp, &QPushButton::clicked, this, &frmLauncher::btnNodeUp_Click);
  tree->SetDragIcon(platform::LoadResPicture(301, platform::ResKind::Cursor));
}

frmTvwPopUp* frmLauncher::TreePopup() const { return treePopup_.data(); }

void frmLauncher::tvwGroups_MouseDown(int, int, int x, int y) {
  app_.launcher.gDragNode = RefOf(tvwGroups->HitTest(x, y));
}

void frmLauncher::tvwGroups_MouseMove(int Button, int, int, int) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Get(app_.launcher.gDragNode);
  if (Button != kLeftButton || !node || IsRoot(node)) return;
  tree.Select(node);
  tvwGroups->Drag();
}

void frmLauncher::tvwGroups_MouseUp(int Button, int, int x, int y) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Get(app_.launcher.gDragNode);
  if (Button != kRightButton || !node) return;
  if (treePopup_) treePopup_->Form_Unload();  // each opening loads a new popup
  auto* popup = new frmTvwPopUp(this);
  treePopup_ = popup;
  popup->Form_Load();
  // The commands that suit the pressed node's kind.
  popup->lblAddFile->setEnabled(IsGroup(node));
  popup->lblAddGroup->setEnabled(!IsFileEntry(node));
  popup->lblEditNode->setEnabled(IsFileEntry(node));
  popup->lblRenameNode->setEnabled(IsGroup(node));
  popup->lblDeleteNode->setEnabled(!IsRoot(node));
  tree.Select(node);
  tree.SetColors(node, platform::VbColorNumber("&H800000"), platform::VbColorNumber("&HFFFFFF"));
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  popup->move(origin.x() + platform::TwipsToPixels(x) + popup->width() / 2,
              origin.y() + platform::TwipsToPixels(y) + popup->height() / 2);
  popup->show();
  popup->activateWindow();
  popup->setFocus();
}

void frmLauncher::tvwGroups_DragOver(int x, int y) {
  LauncherState& state = app_.launcher;
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* hit = tvwGroups->HitTest(x, y);
  state.gHitNode = RefOf(hit);
  if (hit != tree.Get(state.gTargetNode)) {
    state.gTargetNode = RefOf(hit);
    tree.SetDropHighlight(hit);
  }
}

void frmLauncher::tvwGroups_OLEDragOver(int x, int y) { tvwGroups_DragOver(x, y); }

void frmLauncher::tvwGroups_DragDrop() {
  LauncherState& state = app_.launcher;
  TreeModel& tree = tvwGroups->Nodes();
  const grouptree::DropOutcome outcome = grouptree::DropNode(tree, tree.Get(state.gDragNode), tree.Get(state.gTargetNode),
                                                            tree.DropHighlight() != nullptr);
  tree.SetDropHighlight(nullptr);
  if (outcome == grouptree::DropOutcome::Refused) return;
  if (outcome == grouptree::DropOutcome::TooDeep) {
    ReportTooDeep();
    return;
  }
  GroupTreeCommonTail();
  tvwGroups_Click();
}

void frmLauncher::tvwGroups_OLEDragDrop(const QMimeData& Data) {
  LauncherState& state = app_.launcher;
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* target = tree.Get(state.gTargetNode);
  struct ClearHighlight {
    TreeModel& tree;
    ~ClearHighlight() { tree.SetDropHighlight(nullptr); }
  } clear{tree};
  if (!tree.DropHighlight() || !target || IsRoot(target)) return;
  const TreeDrop drop = TreeDroppedPath(Data);
  if (drop.kind == TreeDrop::Nothing) return;
  if (drop.kind == TreeDrop::OffDrive) {
    platform::MsgBox("The dropped file " + std::string("\"") + drop.path + "\" is not on any drive Tolvan knows." +
                         std::string(platform::vbLf) + std::string(platform::vbCr) +
                         "Only files on Tolvan's drives can be added to a group.",
                     platform::vbExclamation, "File Not Added");
    return;
  }
  TreeNode* group = IsGroup(target) ? target : target->parent;
  if (!group) return;
  if (!grouptree::CanAddChild(group)) {
    ReportTooDeep();
    return;
  }
  state.gPrefillPath = drop.path;
  state.gPrefillPending = true;
  tree.Select(group);
  activateWindow();
  setFocus();
  tree.SetDropHighlight(nullptr);
  frmAddFile form(this);
  form.ShowModal();
}

void frmLauncher::tvwGroups_AfterLabelEdit(const QString& NewString) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Selected();
  if (!node) return;
  tree.SetText(node, NewString.toStdString());
  GroupTreeCommonTail();
}

void frmLauncher::tvwGroups_Click() {
  const TreeModel& tree = tvwGroups->Nodes();
  const TreeNode* node = tree.Selected();
  btnNodeDown->setEnabled(node && tree.Next(node));
  btnNodeUp->setEnabled(node && tree.Previous(node));
}

void frmLauncher::tvwGroups_DblClick() {
  TreeNode* node = tvwGroups->Nodes().Selected();
  if (!node || IsRoot(node) || IsGroup(node)) return;
  const std::string path = node->tag;
  const std::string caption = node->text;
  const bool inTapDeck = node->parent && node->parent->text == "Tap Deck";
  // An entry of the Tap Deck group loops as its preset does.
  int looping = 0;
  if (inTapDeck) {
    const datafiles::Presets& presets = app_.io.presets;
    for (int n = 1; n <= datafiles::kPresetCount; ++n) {
      if (presets.gPresetPaths[n - 1] == path) looping = PresetLoops(presets.gPresetLoop[n - 1]) ? n : 0;
    }
  }
  player_->PlayEntry(path, caption, looping);
}

void frmLauncher::btnNodeDown_Click() {
  LauncherState& state = app_.launcher;
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Selected();
  if (!node || !tree.Next(node)) {
    tvwGroups->setFocus();
    return;
  }
  state.gDragNode = RefOf(node);
  state.gSiblingNode = RefOf(tree.Next(node));
  TreeNode* moved = grouptree::MoveNodeDown(tree, node);
  GroupTreeCommonTail();
  tvwGroups->setFocus();
  if (moved) tree.Select(moved);
  tvwGroups_Click();
}

void frmLauncher::btnNodeUp_Click() {
  LauncherState& state = app_.launcher;
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Selected();
  if (!node || !tree.Previous(node)) {
    tvwGroups->setFocus();
    return;
  }
  state.gDragNode = RefOf(node);
  state.gSiblingNode = RefOf(tree.Previous(node));
  TreeNode* moved = grouptree::MoveNodeUp(tree, node);
  GroupTreeCommonTail();
  tvwGroups->setFocus();
  if (moved) tree.Select(moved);
  tvwGroups_Click();
}
