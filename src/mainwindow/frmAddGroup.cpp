#include "mainwindow/frmAddGroup.h"

#include <algorithm>

#include "windows/shareddata.h"
#include "mainwindow/treearea.h"
#include "mainwindow/frmTvwPopUp.h"
#include "mainwindow/grouptree.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "windows/skin.h"
#include "windows/helppages.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::Label;
using platform::Q;
using platform::TextBox;
using platform::TwipsToPixels;


TreeDialog::TreeDialog(TreeArea& tree, const char* caption, int widthTwips, int heightTwips, const char* helpPage)
    : QDialog(tree.Window()), tree_(tree), helpPage_(helpPage) {
  setWindowTitle(caption);
  setModal(true);
  platform::PaintWindow(*this, skin::kBack, skin::kText);
  resize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
  btnOK = new QPushButton("OK", this);
  btnCancel = new QPushButton("Cancel", this);
  btnOK->setAutoDefault(false);
  btnCancel->setAutoDefault(false);
}

void TreeDialog::PlaceButtons(int contentBottom) {
  buttonsTop_ = contentBottom + 14;
  const int needed = buttonsTop_ + 28 + 12;
  if (height() < needed) resize(width(), needed);
  setMinimumSize(width(), height());
}

void TreeDialog::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  // The button row keeps to the bottom right, Help to the left.
  const int top = std::max(buttonsTop_, height() - 12 - 28);
  btnCancel->setGeometry(width() - 12 - 76, top, 76, 28);
  btnOK->setGeometry(width() - 12 - 2 * 76 - 8, top, 76, 28);
  if (help_) help_->setGeometry(12, top, 32, 28);
}

int TreeDialog::ShowModal() {
  unloaded_ = false;
  Form_Load();
  // Typing goes into the first text box, not to OK (Space there would add an empty group).
  if (auto* first = findChild<platform::TextBox*>()) first->setFocus();
  if (!counted_) {
    counted_ = true;
    tree_.CountTreeDialog(+1);
  }
  // The popup loses the focus to the dialog and, a dialog showing, only hides itself.
  if (frmTvwPopUp* popup = tree_.TreePopup()) popup->LoseFocus();
  return exec();
}

void TreeDialog::LoadCommon() { setWindowIcon(platform::LoadResIcon(201)); }

Label* TreeDialog::AddLabel(const QString& caption, int x, int y, int w) {
  auto* label = new Label(this, caption);
  label->setGeometry(x, y, w, 20);
  return label;
}

TextBox* TreeDialog::AddTextBox(int x, int y, int w) {
  auto* box = new TextBox(this);
  box->setGeometry(x, y, w, 24);
  box->SetBackColor(0xFFFFFF);
  box->SetForeColor(0);
  return box;
}

QLabel* TreeDialog::AddImage(int number, int x, int y) {
  auto* image = new QLabel(this);
  image->setPixmap(platform::LoadResPicture(number, platform::ResKind::Bitmap));
  image->setGeometry(x, y, 48, 48);
  return image;
}

QPushButton* TreeDialog::AddHelpButton() {
  auto* b = new QPushButton(this);
  help_ = b;
  b->setAutoDefault(false);
  b->setToolTip("Help");
  b->setIcon(QIcon(platform::LoadResPicture(110, platform::ResKind::Bitmap)));
  b->setIconSize(QSize(22, 22));
  connect(b, &QPushButton::clicked, this, &TreeDialog::HelpClicked);
  return b;
}

void TreeDialog::HelpClicked() { StartHelpPage(tree_.Program().decl.gAppPath, helpPage_); }

void TreeDialog::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

void TreeDialog::Form_Unload() { Unload(true); }

void TreeDialog::Unload(bool handBack) {
  if (unloaded_) return;
  unloaded_ = true;
  hide();
  if (counted_) {
    counted_ = false;
    tree_.CountTreeDialog(-1);
  }
  if (handBack) HandBackToPopup();
}

void TreeDialog::HandBackToPopup() {
  frmTvwPopUp* popup = tree_.TreePopup();
  if (!popup || popup->unloaded()) return;
  popup->show();
  popup->activateWindow();
  tree_.Window()->activateWindow();
  // The popup has had the focus and lost it again, with no dialog showing: it ends.
  popup->LoseFocus();
}

frmAddGroup::frmAddGroup(TreeArea& tree) : TreeDialog(tree, "Add New Rallyset", 4080, 2160, "rsaddgroup.htm") {
  imgNewGroup = AddImage(123, 12, 12);
  lblAddGroupDialog = AddLabel("Adding new group to:", 72, 14, 188);
  lblParentGroup = AddLabel("", 72, 36, 188);
  QFont bold = lblParentGroup->font();
  bold.setBold(true);
  lblParentGroup->setFont(bold);
  lblEnterName = AddLabel("New group name:", 12, 68, 150);
  txtNewGroup = AddTextBox(12, 88, width() - 24);
  btnAddGroupHelp = AddHelpButton();
  PlaceButtons(txtNewGroup->geometry().bottom());
  setFixedSize(size());
  connect(btnOK, &QPushButton::clicked, this, &frmAddGroup::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmAddGroup::btnCancel_Click);
}

void frmAddGroup::Form_Load() {
  LoadCommon();
  const platform::TreeNode* selected = tree_.Nodes().Selected();
  lblParentGroup->SetCaption(Q("\"" + (selected ? selected->text : std::string()) + "\""));
  txtNewGroup->clear();
}

void frmAddGroup::btnOK_Click() {
  platform::TreeModel& tree = tree_.Nodes();
  platform::TreeNode* parent = tree.Selected();
  if (!parent) return;
  const std::string name = txtNewGroup->text().toStdString();
  if (grouptree::ChildWithText(parent, name)) {
    const std::string q = "\"", lf(platform::vbLf), cr(platform::vbCr);
    platform::MsgBox("There is already a group named " + q + name + q + " under " + q + parent->text + q + "." + lf +
                         cr + lf + cr + "Please select a different name or cancel Add Node request.",
                     platform::vbOKOnly | platform::vbExclamation, "Duplicate Group Name");
    txtNewGroup->setFocus();
    return;
  }
  if (!grouptree::CanAddChild(parent)) {
    ReportTooDeep();
    txtNewGroup->setFocus();
    return;
  }
  platform::TreeNode* node = grouptree::AddGroupNode(tree, parent, name);
  if (!node) return;
  tree_.SetCurrentNode(node->id);
  tree.SetColors(parent, platform::VbColorNumber("&HFFFFFF"), platform::VbColorNumber("&H0"));
  tree.Select(node);
  tree_.GroupTreeCommonTail();
  if (platform::TreeNode* selected = tree.Selected()) tree.SetExpanded(selected, true);
  accept();
}
