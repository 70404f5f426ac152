// The note edit mode of File Detail: the five note boxes in place of their labels, and the
// save or removal of the note when the edit ends.
#include <array>
#include <utility>

#include "datafiles/userdb.h"
#include "inventory/dbviewer.h"
#include "inventory/paneparts.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "windows/skin.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"

using namespace pane;

namespace {

// The boxes with their labels, in the focus order.
std::array<std::pair<platform::TextBox*, platform::Label*>, 5> NoteFields(frmLauncher& f) {
  return {{{f.txtDBCaption, f.lblDBCaption},
           {f.txtDBSubject, f.lblDBSubject},
           {f.txtDBProject, f.lblDBProject},
           {f.txtDBKeywords, f.lblDBKeywords},
           {f.txtDBPlayers, f.lblDBPlayers}}};
}

void EnterEditMode(frmLauncher& f) {
  f.lblDBStatus1->SetForeColor(skin::kChanged);
  f.lblDBStatus1->SetCaption("EDITING DATABASE");
  f.lblDBStatus2->SetCaption("");
  skin::Pressed(f.btnUpdate);
  f.btnUpdate->SetCaption("End Edit");
  const auto fields = NoteFields(f);
  for (auto [box, label] : fields) box->SetForeColor(skin::kText);
  for (auto [box, label] : fields) box->SetBackColor(skin::kBack);
  for (auto [box, label] : fields) box->setText(label->Caption());
  for (auto [box, label] : fields) label->hide();
  for (auto [box, label] : fields) box->show();
  for (auto [box, label] : fields) box->setEnabled(true);
  // While the mode lasts the Tab key goes round the boxes, not to the tree.
  f.tvwGroups->setFocusPolicy(static_cast<Qt::FocusPolicy>(f.tvwGroups->focusPolicy() & ~Qt::TabFocus));
  f.txtDBCaption->setFocus();
}

// Writes the boxes' note (or removes it when all five are empty); false when that failed, and
// the edit goes on with the texts kept.
bool StoreNote(frmLauncher& f) {
  ProgramState& app = App();
  DBViewerState& db = app.db;
  const std::string path = f.txtDBDescription->toolTip().toStdString();
  datafiles::UserDBNote note{f.txtDBCaption->text().toStdString(), f.txtDBSubject->text().toStdString(),
                             f.txtDBProject->text().toStdString(), f.txtDBKeywords->text().toStdString(),
                             f.txtDBPlayers->text().toStdString()};
  if (note.AllEmpty()) {
    // By the shown file's key as it stands now: a record number taken earlier may have moved.
    const std::int32_t error = datafiles::DeleteUserDBRecordOfPath(db.userdb, app.decl.files, path);
    return error == platform::errNone || error == platform::errFileNotFound;
  }
  return datafiles::SaveUserDBRecord(db.userdb, app.decl.files, path, note) == datafiles::NoteSaveStatus::Saved;
}

void LeaveEditMode(frmLauncher& f) {
  const auto fields = NoteFields(f);
  bool changed = false;
  for (auto [box, label] : fields) changed = changed || box->text() != label->Caption();
  if (changed) {
    const std::string crlf = std::string(platform::vbCr) + std::string(platform::vbLf);
    const int answer = platform::MsgBox("Changes have been made to the user database." + crlf +
                                            "Do you wish to save these changes?" + crlf + crlf +
                                            "Press 'Cancel' to continue editing changes.",
                                        platform::vbYesNoCancel + platform::vbExclamation,
                                        "User database values have changed");
    if (answer == platform::vbCancel) return;
    if (answer == platform::vbYes) {
      if (!StoreNote(f)) return;
      for (auto [box, label] : fields) label->SetCaption(box->text());
    }
  }
  f.lblDBStatus1->SetForeColor(skin::kText);
  f.lblDBStatus1->SetCaption("");
  f.lblDBStatus2->SetCaption("");
  for (auto [box, label] : fields) box->setText("");
  for (auto [box, label] : fields) box->hide();
  for (auto [box, label] : fields) box->setEnabled(false);
  for (auto [box, label] : fields) label->show();
  f.btnSelSearch->SetCaption("Search");
  f.btnSelDetail->SetCaption("Detail");
  f.btnSelInventory->SetCaption("Inventory");
  f.btnPrint->SetCaption("Print");
  f.btnPlay->SetCaption("Play");
  for (platform::Label* b : {f.btnSelSearch, f.btnSelDetail, f.btnSelInventory, f.btnPrint, f.btnPlay}) {
    b->setEnabled(true);
  }
  f.btnUpdate->SetCaption("Update");
  skin::AtRest(f.btnUpdate);
  skin::Current(f.btnSelDetail);
  skin::AtRest(f.btnSelInventory);
  f.tvwGroups->setFocusPolicy(static_cast<Qt::FocusPolicy>(f.tvwGroups->focusPolicy() | Qt::TabFocus));
  f.tvwGroups->setFocus();
}

}  // namespace

void ToggleDBEditMode() {
  frmLauncher& f = MainWindow();
  if (f.btnUpdate->Caption() == "Update") {
    EnterEditMode(f);
  } else {
    LeaveEditMode(f);
  }
}

void ClearUserDBFields() {
  frmLauncher& f = MainWindow();
  for (platform::TextBox* box : {f.txtDBCaption, f.txtDBSubject, f.txtDBProject, f.txtDBKeywords, f.txtDBPlayers}) {
    box->setText("");
  }
}
