#include "mainwindow/tapdeckeditor.h"

#include "datafiles/prefs.h"
#include "windows/shareddata.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/datafilesteps.h"
#include "windows/skin.h"
#include "windows/helppages.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::CheckBox;
using platform::TextBox;

namespace {


std::string Text(const QLineEdit* box) { return box->text().toStdString(); }
using platform::Q;

}  // namespace

TapdeckEditor::TapdeckEditor(frmLauncher* main, const Kind& kind) : QDialog(main), main_(*main), kind_(kind) {
  setWindowTitle(kind.caption);
  setModal(true);
  platform::PaintWindow(*this, skin::kBack, skin::kText);

  auto button = [this](const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setAutoDefault(false);  // Enter in a box commits nothing
    return b;
  };
  btnOK = button("OK");
  btnCancel = button("Cancel");
  btnEditTDHelp = button("");
  btnEditTDHelp->setToolTip("Help");
  connect(btnOK, &QPushButton::clicked, this, &TapdeckEditor::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &TapdeckEditor::btnCancel_Click);
  connect(btnEditTDHelp, &QPushButton::clicked, this, &TapdeckEditor::btnEditTDHelp_Click);
}

TapdeckEditor::Row& TapdeckEditor::AddRow(int n) {
  Row row;
  row.n = n;
  row.txtCaption = new TextBox(this);
  row.txtFilePath = new TextBox(this);
  for (TextBox* box : {row.txtCaption, row.txtFilePath}) {
    box->SetBackColor(0xFFFFFF);
    box->SetForeColor(kTextColor);
  }
  row.chkLoop = new CheckBox(this);
  row.chkLoop->SetBackColor(skin::kFormGrey);
  row.btnBrowse = new QPushButton(this);
  row.btnBrowse->setAutoDefault(false);
  row.btnBrowse->setToolTip("Browse");
  row.btnBrowse->setIcon(QIcon(platform::LoadResPicture(203, platform::ResKind::Icon)));
  const std::size_t i = rows_.size();
  rows_.push_back(row);
  connect(row.txtCaption, &TextBox::Change, this, [this, i] { txtCaption_Change(rows_[i]); });
  connect(row.txtFilePath, &TextBox::Change, this, [this, i] { txtFilePath_Change(rows_[i]); });
  connect(row.chkLoop, &CheckBox::Click, this, [this, i] { chkLoop_Click(rows_[i]); });
  connect(row.btnBrowse, &QPushButton::clicked, this, [this, i] { btnBrowse_Click(rows_[i]); });
  return rows_.back();
}

int TapdeckEditor::ShowModal() {
  Form_Load();
  // Typing goes into the first caption box, not to OK, which would take none of it.
  rows_.front().txtCaption->setFocus();
  return exec();
}

void TapdeckEditor::Form_Load() {
  LauncherState& state = main_.State().launcher;
  const datafiles::Presets& presets = main_.State().io.presets;
  state.gEditArmed = false;
  unloaded_ = false;
  setWindowIcon(platform::LoadResIcon(201));
  btnEditTDHelp->setIcon(QIcon(platform::LoadResPicture(110, platform::ResKind::Bitmap)));
  BeforeRows();
  for (Row& row : rows_) {
    const int i = row.n - 1;
    row.txtCaption->setText(Q(presets.gPresetCaptions[i]));
    row.txtFilePath->setText(Q(presets.gPresetPaths[i]));
    row.txtFilePath->setToolTip(Q(presets.gPresetPaths[i]));
    if (PresetLoops(presets.gPresetLoop[i])) row.chkLoop->SetValue(1);
    gPresetCaptionsSaved[i] = presets.gPresetCaptions[i];
    gPresetPathsSaved[i] = presets.gPresetPaths[i];
  }
  BeforeArming();
  state.gEditArmed = true;
  AfterArming();
}

void TapdeckEditor::Form_Unload() {
  unloaded_ = true;
  main_.State().launcher.gEditArmed = false;
}

void TapdeckEditor::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

void TapdeckEditor::Mark(Row&, TextBox* box, const std::string& saved) {
  if (!main_.State().launcher.gEditArmed || unloaded_) return;
  if (Text(box) == saved) return;  // a mark once set stays, even when the text goes back
  box->SetForeColor(skin::kChanged);
  ChangeMarked();
}

void TapdeckEditor::txtCaption_Change(Row& row) {
  Mark(row, row.txtCaption, gPresetCaptionsSaved[row.n - 1]);
}

void TapdeckEditor::txtFilePath_Change(Row& row) {
  Mark(row, row.txtFilePath, gPresetPathsSaved[row.n - 1]);
}

void TapdeckEditor::chkLoop_Click(Row& row) {
  if (!main_.State().launcher.gEditArmed || unloaded_) return;
  row.chkLoop->SetBackColor(skin::kChanged);
  ChangeMarked();
}

void TapdeckEditor::btnBrowse_Click(Row& row) {
  platform::FileDialogRequest request;
  request.filter = main_.State().launcher.gOpenFilter;
  request.initDir = main_.State().io.prefs.gBrowsePath;
  request.flags = 4;  // no read-only check box
  try {
    row.txtFilePath->setText(Q(platform::FileDialogs().Show(request)));
  } catch (const platform::VbError& error) {
    if (error.number() == platform::errCancel) return;
    platform::MsgBox(error.what(), platform::vbOKOnly, "");
  }
}

bool TapdeckEditor::Commit(bool apply) {
  for (Row& row : rows_) {
    const std::string path = Text(row.txtFilePath);
    if (path.empty()) continue;
    const platform::FileProbe probe = platform::FileLen(path);
    if (probe.error == platform::errFileNotFound || probe.error == platform::errPathNotFound) {
      const std::string breaks = std::string(platform::vbLf) + std::string(platform::vbCr) +
                                 std::string(platform::vbLf) + std::string(platform::vbCr);
      platform::MsgBox("The following Tap Deck position and file path " + breaks + std::to_string(row.n) + ":  " +
                           path + breaks + "is not valid. Check the path and file name for accuracy.",
                       platform::vbExclamation, "File Not Found");
      row.txtFilePath->setFocus();
      return false;
    }
    if (!probe.ok()) return false;
  }
  datafiles::Presets& presets = main_.State().io.presets;
  const datafiles::Presets stored = presets;
  for (Row& row : rows_) {
    const int i = row.n - 1;
    presets.gPresetPaths[i] = Text(row.txtFilePath);
    presets.gPresetCaptions[i] = Text(row.txtCaption);
    presets.gPresetLoop[i] = row.chkLoop->Value() == 1 ? "True" : "False";
  }
  main_.Bank().RefreshPresetButtons();
  if (!datafilesteps::SaveTapdeckPresets(main_.State().decl.files, presets)) {
    // Told already. The presets and their buttons stay as preset.dat holds them; the window
    // stays open with its edits marked, to be committed again.
    presets = stored;
    main_.Bank().RefreshPresetButtons();
    return false;
  }
  if (apply) {
    for (Row& row : rows_) row.txtFilePath->setToolTip(row.txtFilePath->text());
    ClearMarks();
    Applied();
  }
  main_.ShowFileRallysets();
  if (!apply) accept();
  return true;
}

void TapdeckEditor::ClearMarks() {
  for (Row& row : rows_) {
    row.txtCaption->SetForeColor(kTextColor);
    row.txtFilePath->SetForeColor(kTextColor);
    row.chkLoop->SetBackColor(skin::kFormGrey);
  }
}

bool TapdeckEditor::AnyMark() const {
  for (const Row& row : rows_) {
    if (row.txtCaption->ForeColor() == skin::kChanged || row.txtFilePath->ForeColor() == skin::kChanged ||
        row.chkLoop->BackColor() == skin::kChanged) {
      return true;
    }
  }
  return false;
}

void TapdeckEditor::btnOK_Click() { Commit(false); }

void TapdeckEditor::btnCancel_Click() {
  if (HasPendingEdits()) {
    const int answer = platform::MsgBox(std::string(kind_.cancelFirstLine) + std::string(platform::vbCrLf) +
                                            "Do you wish to exit without saving the changes?",
                                        platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
                                        "Changes Not Saved");
    if (answer != platform::vbYes) return;
  }
  done(QDialog::Rejected);
}

void TapdeckEditor::reject() { btnCancel_Click(); }

void TapdeckEditor::btnEditTDHelp_Click() { StartHelpPage(main_.State().decl.gAppPath, kind_.helpPage); }
