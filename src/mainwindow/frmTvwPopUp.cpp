#include "mainwindow/frmTvwPopUp.h"

#include <QMouseEvent>
#include <QPainter>

#include "mainwindow/eventhook.h"
#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmAddGroup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::Label;
using platform::TwipsToPixels;
using platform::VbColorNumber;

frmTvwPopUp::frmTvwPopUp(frmLauncher* owner) : PopupWindow(owner), owner_(owner) {
  setFixedSize(TwipsToPixels(1095), TwipsToPixels(1635));
  setMouseTracking(true);
  lblAddFile = Item(" Add File", 120);
  lblAddGroup = Item(" Add Group", 360);
  lblEditNode = Item(" Edit File", 720);
  lblRenameNode = Item(" Rename", 960);
  lblDeleteNode = Item(" Delete", 1320);
  connect(lblAddFile, &Label::Click, this, &frmTvwPopUp::lblAddFile_Click);
  connect(lblAddGroup, &Label::Click, this, &frmTvwPopUp::lblAddGroup_Click);
  connect(lblEditNode, &Label::Click, this, &frmTvwPopUp::lblEditNode_Click);
  connect(lblRenameNode, &Label::Click, this, &frmTvwPopUp::lblRenameNode_Click);
  connect(lblDeleteNode, &Label::Click, this, &frmTvwPopUp::lblDeleteNode_Click);
}

Label* frmTvwPopUp::Item(const char* caption, int topTwips) {
  auto* item = new Label(this, caption);
  item->setGeometry(TwipsToPixels(60), TwipsToPixels(topTwips), TwipsToPixels(975), TwipsToPixels(225));
  item->setMouseTracking(true);
  QFont f = item->font();
  f.setPixelSize(11);
  item->setFont(f);
  Normal(item);
  new EventHook(item, [this, item](QEvent* e) {
    if (e->type() == QEvent::MouseMove) Item_MouseMove(item);
    return false;
  });
  return item;
}

void frmTvwPopUp::Normal(Label* item) {
  item->SetBackColor(VbColorNumber("&H8000000F"));
  item->SetForeColor(VbColorNumber("&H0"));
  // A disabled item reads as one.
  QPalette pal = item->palette();
  pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
  item->setPalette(pal);
}

void frmTvwPopUp::Form_Load() { background_ = platform::LoadResPicture(122, platform::ResKind::Bitmap); }

void frmTvwPopUp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull()) p.drawPixmap(rect(), background_);
}

void frmTvwPopUp::Form_MouseMove() {
  for (Label* item : {lblAddFile, lblAddGroup, lblEditNode, lblRenameNode, lblDeleteNode}) Normal(item);
}

void frmTvwPopUp::Item_MouseMove(Label* item) {
  // A disabled item counts as the background.
  Form_MouseMove();
  if (!item->isEnabled()) return;
  item->SetBackColor(VbColorNumber("&H800000"));
  item->SetForeColor(VbColorNumber("&HFFFFFF"));
}

void frmTvwPopUp::mouseMoveEvent(QMouseEvent*) { Form_MouseMove(); }

void frmTvwPopUp::lblAddFile_Click() {
  const Handler running(*this);
  frmAddFile form(owner_);
  form.ShowModal();
}

void frmTvwPopUp::lblAddGroup_Click() {
  const Handler running(*this);
  frmAddGroup form(owner_);
  form.ShowModal();
}

void frmTvwPopUp::lblEditNode_Click() {
  const Handler running(*this);
  frmEditFile form(owner_);
  form.ShowModal();
}

void frmTvwPopUp::lblRenameNode_Click() {
  const Handler running(*this);
  owner_->tvwGroups->StartLabelEdit();
  // The focus is in the tree's editor now: the popup has lost it.
  LoseFocus();
}

void frmTvwPopUp::lblDeleteNode_Click() {
  const Handler running(*this);
  platform::TreeModel& tree = owner_->tvwGroups->Nodes();
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
  GroupTreeCommonTail();
  if (platform::TreeNode* next = tree.Selected(); next && next->children.empty()) tree.SetExpanded(next, false);
  FocusToLauncher();
}

void frmTvwPopUp::FocusToLauncher() {
  owner_->activateWindow();
  owner_->setFocus();
  LoseFocus();
}

void frmTvwPopUp::Form_LostFocus() {
  if (Unloaded()) return;
  if (TreeDialogShowing()) {
    hide();
    return;
  }
  if (platform::TreeNode* node = owner_->tvwGroups->Nodes().Selected()) {
    owner_->tvwGroups->Nodes().SetColors(node, VbColorNumber("&HFFFFFF"), VbColorNumber("&H0"));
  }
  Form_Unload();
}
