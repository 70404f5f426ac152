// The groups tree of the main window: loading and saving groups.dat, the tree's events, the
// two move buttons, drops from the tree itself and from other programs.

#include <QTimer>

#include "datafiles/groups.h"
#include "datafiles/prefs.h"
#include "windows/shareddata.h"
#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmTvwPopUp.h"
#include "mainwindow/grouptree.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "mainwindow/playerarea.h"
#include "mainwindow/toolbutton.h"
#include "mainwindow/treearea.h"
#include "platform/core/drives.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"
#include "windows/skin.h"
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

TreeArea::TreeArea(QWidget* window, ProgramState& app, TreeAreaHost& host)
    : QObject(window), window_(window), app_(app), host_(host) {
  tvwGroups = new platform::TreeView(window);
  tvwGroups->setGeometry(12, 56, 360, 292);
  tvwGroups->setIconSize(QSize(16, 16));
  QPalette pal = tvwGroups->palette();
  pal.setColor(QPalette::Base, platform::VbColor(0x2F2A01));
  pal.setColor(QPalette::Text, platform::VbColor(skin::kText));
  tvwGroups->setPalette(pal);
  platform::TreeView* tree = tvwGroups;
  connect(tree, &platform::TreeView::MouseDown, this, &TreeArea::tvwGroups_MouseDown);
  connect(tree, &platform::TreeView::MouseMove, this, &TreeArea::tvwGroups_MouseMove);
  connect(tree, &platform::TreeView::MouseUp, this, &TreeArea::tvwGroups_MouseUp);
  connect(tree, &platform::TreeView::DragOver, this, &TreeArea::tvwGroups_DragOver);
  connect(tree, &platform::TreeView::OLEDragOver, this, &TreeArea::tvwGroups_OLEDragOver);
  connect(tree, &platform::TreeView::DragDrop, this, &TreeArea::tvwGroups_DragDrop);
  connect(tree, &platform::TreeView::OLEDragDrop, this, &TreeArea::tvwGroups_OLEDragDrop);
  connect(tree, &platform::TreeView::AfterLabelEdit, this, &TreeArea::tvwGroups_AfterLabelEdit);
  connect(tree, &platform::TreeView::Click, this, &TreeArea::tvwGroups_Click);
  connect(tree, &platform::TreeView::DblClick, this, &TreeArea::tvwGroups_DblClick);
  tree->SetDragIcon(platform::LoadResPicture(301, platform::ResKind::Cursor));
}

void TreeArea::BuildMoveButtons() {
  btnNodeUp = ToolButton(window_, "Move node up", 380, 56, 28);
  btnNodeDown = ToolButton(window_, "Move node down", 380, 90, 28);
  connect(btnNodeDown, &QPushButton::clicked, this, &TreeArea::btnNodeDown_Click);
  connect(btnNodeUp, &QPushButton::clicked, this, &TreeArea::btnNodeUp_Click);
}

void TreeArea::BuildImageList() {
  using platform::ResKind;
  const std::pair<const char*, int> icons[] = {
      {"groups", 206},    {"clsdfold", 202},  {"openfold", 203},  {"audio_wav", 207},
      {"audio_aif", 208}, {"audio_au", 209},  {"audio_snd", 210}, {"audio_mid", 211},
      {"audio_mp3", 212}, {"audio_unk", 213},
  };
  imlTreeIcons_.clear();
  for (const auto& [key, number] : icons) {
    imlTreeIcons_.emplace_back(key, QIcon(platform::LoadResPicture(number, ResKind::Icon).scaled(16, 16)));
  }
  imlTreeIcons_.emplace_back("dragnode", QIcon(platform::LoadResPicture(301, ResKind::Cursor).scaled(16, 16)));
  tvwGroups->setIconSize(QSize(16, 16));
  tvwGroups->SetImageList(imlTreeIcons_);
}

void TreeArea::LoadGroupTree() {
  ProgramState& app = app_;
  const datafiles::GroupsLoad outcome = datafiles::LoadGroupTree(app.decl.files, tvwGroups->Nodes());
  state_.gGroupsKeepCopy = outcome == datafiles::GroupsLoad::Damaged;
}

void TreeArea::SaveGroupTree() {
  ProgramState& app = app_;
  std::string failure;
  if (datafiles::SaveGroupTree(app.decl.files, tvwGroups->Nodes(), state_.gGroupsKeepCopy, &failure)) {
    return;
  }
  messages::ReportSaveFailure(app.decl.files.gGroupsFile, failure);
  // The tree shows what is stored, not a change the next start would not know. The handler
  // that made the change may still hold its nodes: the tree is read again once it has returned.
  QTimer::singleShot(0, this, [this] {
    tvwGroups->Nodes().Clear();
    LoadGroupTree();
    host_.ShowFileRallysets();
  });
}

void TreeArea::GroupTreeCommonTail() {
  grouptree::RebuildTreeKeys(tvwGroups->Nodes());
  host_.ShowFileRallysets();
  SaveGroupTree();
}

frmTvwPopUp* TreeArea::TreePopup() const { return treePopup_.data(); }

void TreeArea::FocusWindow() {
  window_->activateWindow();
  window_->setFocus();
}

void TreeArea::StartRename() { tvwGroups->StartLabelEdit(); }

void TreeArea::Focus() { tvwGroups->setFocus(); }

void TreeArea::LoadMoveButtonPictures() {
  platform::SetButtonPicture(btnNodeUp, 119, platform::ResKind::Bitmap, 121);
  platform::SetButtonPicture(btnNodeDown, 118, platform::ResKind::Bitmap, 120);
}

void TreeArea::YieldTab(bool yield) {
  const auto policy = tvwGroups->focusPolicy();
  tvwGroups->setFocusPolicy(static_cast<Qt::FocusPolicy>(yield ? policy & ~Qt::TabFocus : policy | Qt::TabFocus));
  if (!yield) tvwGroups->setFocus();
}

std::string TreeArea::RallysetsOf(const std::string& shown) const {
  return grouptree::RallysetsText(tvwGroups->Nodes(), app_.io.presets.gPresetPaths, shown);
}

void TreeArea::tvwGroups_MouseDown(int, int, int x, int y) {
  state_.gDragNode = RefOf(tvwGroups->HitTest(x, y));
}

void TreeArea::tvwGroups_MouseMove(int Button, int, int, int) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Get(state_.gDragNode);
  if (Button != kLeftButton || !node || IsRoot(node)) return;
  tree.Select(node);
  tvwGroups->Drag();
}

void TreeArea::tvwGroups_MouseUp(int Button, int, int x, int y) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Get(state_.gDragNode);
  if (Button != kRightButton || !node) return;
  if (treePopup_) treePopup_->Form_Unload();  // each opening loads a new popup
  auto* popup = new frmTvwPopUp(*this);
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
  const QPoint origin = window_->mapToGlobal(QPoint(0, 0));
  popup->MoveOnScreen({origin.x() + platform::TwipsToPixels(x) + popup->width() / 2,
                       origin.y() + platform::TwipsToPixels(y) + popup->height() / 2});
  popup->show();
  popup->activateWindow();
  popup->setFocus();
}

void TreeArea::tvwGroups_DragOver(int x, int y) {
  TreeState& state = state_;
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* hit = tvwGroups->HitTest(x, y);
  state.gHitNode = RefOf(hit);
  if (hit != tree.Get(state.gTargetNode)) {
    state.gTargetNode = RefOf(hit);
    tree.SetDropHighlight(hit);
  }
}

void TreeArea::tvwGroups_OLEDragOver(int x, int y) { tvwGroups_DragOver(x, y); }

void TreeArea::tvwGroups_DragDrop() {
  TreeState& state = state_;
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

void TreeArea::tvwGroups_OLEDragDrop(const QMimeData& Data) {
  TreeState& state = state_;
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
  app_.launcher.gPrefillPath = drop.path;
  app_.launcher.gPrefillPending = true;
  tree.Select(group);
  FocusWindow();
  tree.SetDropHighlight(nullptr);
  frmAddFile form(*this);
  form.ShowModal();
}

void TreeArea::tvwGroups_AfterLabelEdit(const QString& NewString) {
  TreeModel& tree = tvwGroups->Nodes();
  TreeNode* node = tree.Selected();
  if (!node) return;
  tree.SetText(node, NewString.toStdString());
  GroupTreeCommonTail();
}

void TreeArea::tvwGroups_Click() {
  const TreeModel& tree = tvwGroups->Nodes();
  const TreeNode* node = tree.Selected();
  btnNodeDown->setEnabled(node && tree.Next(node));
  btnNodeUp->setEnabled(node && tree.Previous(node));
}

void TreeArea::tvwGroups_DblClick() {
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
  host_.PlayTreeEntry(path, caption, looping);
}

void TreeArea::btnNodeDown_Click() {
  TreeState& state = state_;
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

void TreeArea::btnNodeUp_Click() {
  TreeState& state = state_;
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
