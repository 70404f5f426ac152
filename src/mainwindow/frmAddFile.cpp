#include "mainwindow/frmAddFile.h"

#include "datafiles/groups.h"
#include "datafiles/userdb.h"
#include "windows/shareddata.h"
#include "mainwindow/treearea.h"
#include "mainwindow/grouptree.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "windows/skin.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::Q;
using platform::TreeModel;
using platform::TreeNode;

namespace {

constexpr std::uint32_t kBlack = 0;

void DuplicateCaption(const std::string& caption, const std::string& parent) {
  const std::string q = "\"", lf(platform::vbLf), cr(platform::vbCr);
  platform::MsgBox("There is already a file caption of " + q + caption + q + " under " + q + parent + q + "." + lf +
                       cr + lf + cr + "Please select a different caption or cancel Add File request.",
                   platform::vbOKOnly | platform::vbExclamation, "Duplicate Caption");
}

}  // namespace

FileEntryDialog::FileEntryDialog(TreeArea& tree, const char* caption, int heightTwips, const char* helpPage,
                                 int imageNumber, const char* title, const char* captionLabel, const char* pathLabel,
                                 int boxesTop)
    : TreeDialog(tree, caption, 4080, heightTwips, helpPage) {
  const int w = width();
  image = AddImage(imageNumber, 12, 12);
  lblDialog = AddLabel(title, 72, 14, w - 84);
  // Each box under its label, full width: paths are long.
  lblCaptionLabel = AddLabel(captionLabel, 12, boxesTop, w - 24);
  captionBox = AddTextBox(12, boxesTop + 20, w - 24);
  lblPathLabel = AddLabel(pathLabel, 12, boxesTop + 50, w - 24);
  pathBox = AddTextBox(12, boxesTop + 70, w - 24 - 34);
  btnBrowse = new QPushButton(this);
  btnBrowse->setAutoDefault(false);
  btnBrowse->setToolTip("Browse");
  btnBrowse->setGeometry(w - 12 - 28, boxesTop + 69, 28, 26);
  btnBrowse->setIcon(QIcon(platform::LoadResPicture(203, platform::ResKind::Icon)));
  btnHelp = AddHelpButton();
  PlaceButtons(pathBox->geometry().bottom());
  connect(btnBrowse, &QPushButton::clicked, this, &FileEntryDialog::btnBrowse_Click);
}

void FileEntryDialog::resizeEvent(QResizeEvent* e) {
  TreeDialog::resizeEvent(e);
  const int w = width();
  captionBox->resize(w - 24, captionBox->height());
  pathBox->resize(w - 24 - 34, pathBox->height());
  btnBrowse->move(w - 12 - 28, btnBrowse->y());
}

void FileEntryDialog::btnBrowse_Click() {
  platform::FileDialogRequest request;
  request.filter = tree_.Program().launcher.gOpenFilter;
  request.initDir = tree_.Program().io.prefs.gBrowsePath;
  request.flags = 4;  // no read-only check box
  try {
    pathBox->setText(Q(platform::FileDialogs().Show(request)));
  } catch (const platform::VbError& error) {
    if (error.number() == platform::errCancel) return;
    platform::MsgBox(error.what(), platform::vbOKOnly, "");
  }
}

// ---- frmAddFile

frmAddFile::frmAddFile(TreeArea& tree)
    : FileEntryDialog(tree, "Add New File to Group", 2625, "rsaddfile.htm", 124, "Adding new file to:",
                      "New caption:", "New file/path:", 68) {
  setFixedSize(size());
  lblAddFileDialog = lblDialog;
  lblParentGroup = AddLabel("", 72, 36, width() - 84);
  QFont bold = lblParentGroup->font();
  bold.setBold(true);
  lblParentGroup->setFont(bold);
  txtNewFileCaption = captionBox;
  txtNewFilePath = pathBox;
  connect(btnOK, &QPushButton::clicked, this, &frmAddFile::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmAddFile::btnCancel_Click);
}

void frmAddFile::Form_Load() {
  LoadCommon();
  const LauncherState& state = tree_.Program().launcher;
  const TreeNode* selected = tree_.Nodes().Selected();
  lblParentGroup->SetCaption(Q("\"" + (selected ? selected->text : std::string()) + "\""));
  txtNewFileCaption->clear();
  txtNewFilePath->clear();
  txtNewFilePath->setToolTip({});
  if (state.gPrefillPending) {
    txtNewFileCaption->setText(Q(datafiles::GetUserDBCaption(tree_.Program().decl.files, state.gPrefillPath)));
    txtNewFilePath->setText(Q(state.gPrefillPath));
    txtNewFilePath->setToolTip(Q(state.gPrefillPath));
  }
}

void frmAddFile::btnOK_Click() {
  TreeModel& tree = tree_.Nodes();
  TreeNode* parent = tree.Selected();
  if (!parent) return;
  const std::string caption = txtNewFileCaption->text().toStdString();
  const std::string path = txtNewFilePath->text().toStdString();
  if (grouptree::ChildWithText(parent, caption)) {
    DuplicateCaption(caption, parent->text);
    txtNewFileCaption->setFocus();
    return;
  }
  if (!grouptree::CanAddChild(parent)) {
    ReportTooDeep();
    return;
  }
  TreeNode* node = grouptree::AddFileNode(tree, parent, caption, path);
  if (!node) return;
  tree_.SetCurrentNode(node->id);
  tree.SetColors(parent, platform::VbColorNumber("&HFFFFFF"), platform::VbColorNumber("&H0"));
  tree.Select(node);
  tree_.GroupTreeCommonTail();
  if (TreeNode* selected = tree.Selected()) tree.SetExpanded(selected, true);
  accept();
}

void frmAddFile::Form_Unload() {
  LauncherState& state = tree_.Program().launcher;
  // After a drop no popup waits for the focus.
  Unload(!state.gPrefillPending);
  state.gPrefillPending = false;
}

// ---- frmEditFile

frmEditFile::frmEditFile(TreeArea& tree)
    : FileEntryDialog(tree, "Edit Launch File Entry", 2565, "rseditfile.htm", 125, "Edit launch file details",
                      "Caption:", "File/path:", 68) {
  setSizeGripEnabled(true);
  txtCaption = captionBox;
  txtFilePath = pathBox;
  connect(txtCaption, &platform::TextBox::Change, this, &frmEditFile::txtCaption_Change);
  connect(txtFilePath, &platform::TextBox::Change, this, &frmEditFile::txtFilePath_Change);
  connect(btnOK, &QPushButton::clicked, this, &frmEditFile::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmEditFile::btnCancel_Click);
}

void frmEditFile::Form_Load() {
  LauncherState& state = tree_.Program().launcher;
  state.gEditArmed = false;
  LoadCommon();
  const TreeNode* selected = tree_.Nodes().Selected();
  txtCaption->SetForeColor(kBlack);
  txtFilePath->SetForeColor(kBlack);
  txtCaption->setText(Q(selected ? selected->text : std::string()));
  txtFilePath->setText(Q(selected ? selected->tag : std::string()));
  txtFilePath->setToolTip(Q(selected ? selected->tag : std::string()));
  state.gEditArmed = true;
}

void frmEditFile::txtCaption_Change() {
  if (!tree_.Program().launcher.gEditArmed) return;
  const TreeNode* selected = tree_.Nodes().Selected();
  if (!selected || txtCaption->text().toStdString() != selected->text) txtCaption->SetForeColor(skin::kChanged);
}

void frmEditFile::txtFilePath_Change() {
  if (!tree_.Program().launcher.gEditArmed) return;
  const TreeNode* selected = tree_.Nodes().Selected();
  if (!selected || txtFilePath->text().toStdString() != selected->tag) txtFilePath->SetForeColor(skin::kChanged);
}

void frmEditFile::btnOK_Click() {
  TreeModel& tree = tree_.Nodes();
  TreeNode* entry = tree.Selected();
  if (!entry) return;
  const std::string caption = txtCaption->text().toStdString();
  const std::string path = txtFilePath->text().toStdString();
  // A caption another entry of the group carries is refused as the add dialog does; the
  // entry does not count against itself.
  if (entry->parent) {
    for (TreeNode* sibling : entry->parent->children) {
      if (sibling != entry && sibling->text == caption) {
        DuplicateCaption(caption, entry->parent->text);
        txtCaption->setFocus();
        return;
      }
    }
  }
  entry->tag = path;
  tree.SetImage(entry, datafiles::FileImageKey(path));
  tree.SetText(entry, caption);
  tree.SetColors(entry, platform::VbColorNumber("&HFFFFFF"), platform::VbColorNumber("&H0"));
  tree_.GroupTreeCommonTail();
  accept();
}

void frmEditFile::btnCancel_Click() {
  if (txtCaption->ForeColor() == skin::kChanged || txtFilePath->ForeColor() == skin::kChanged) {
    const int answer =
        platform::MsgBox(std::string("Changes to this launch file have been made but not saved.") +
                             std::string(platform::vbCrLf) + "Do you wish to exit without saving the changes?",
                         platform::vbYesNo | platform::vbDefaultButton2 | platform::vbExclamation, "Changes Not Saved");
    if (answer != platform::vbYes) return;
  }
  reject();
}

void frmEditFile::Form_Unload() {
  tree_.Program().launcher.gEditArmed = false;
  Unload(true);
}
