// The note edit mode of File Detail: the five note boxes in place of their labels, and the
// save or removal of the note when the edit ends.
#include <array>
#include <utility>

#include "datafiles/userdb.h"
#include "pane/databasepane.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "windows/messages.h"
#include "windows/shareddata.h"
#include "windows/skin.h"

namespace {

// The boxes with their labels, in the focus order.
std::array<std::pair<platform::TextBox*, platform::Label*>, 5> NoteFields(DatabasePaneControls& p) {
  return {{{p.txtDBCaption, p.lblDBCaption},
           {p.txtDBSubject, p.lblDBSubject},
           {p.txtDBProject, p.lblDBProject},
           {p.txtDBKeywords, p.lblDBKeywords},
           {p.txtDBPlayers, p.lblDBPlayers}}};
}

}  // namespace

void DatabasePane::EnterEditMode() {
  lblDBStatus1->SetForeColor(skin::kChanged);
  lblDBStatus1->SetCaption("EDITING DATABASE");
  lblDBStatus2->SetCaption("");
  skin::Pressed(btnUpdate);
  SetMode(PaneMode::NoteEdit);
  const auto fields = NoteFields(*this);
  for (auto [box, label] : fields) box->SetForeColor(skin::kText);
  for (auto [box, label] : fields) box->SetBackColor(skin::kBack);
  for (auto [box, label] : fields) box->setText(label->Caption());
  for (auto [box, label] : fields) label->hide();
  for (auto [box, label] : fields) box->show();
  for (auto [box, label] : fields) box->setEnabled(true);
  host_.KeepTabInNoteBoxes(true);
  txtDBCaption->setFocus();
}

// Writes the boxes' note (or removes it when all five are empty); false when that failed, and
// the edit goes on with the texts kept.
bool DatabasePane::StoreNote() {
  const std::string path = txtDBDescription->toolTip().toStdString();
  datafiles::UserDBNote note{txtDBCaption->text().toStdString(), txtDBSubject->text().toStdString(),
                             txtDBProject->text().toStdString(), txtDBKeywords->text().toStdString(),
                             txtDBPlayers->text().toStdString()};
  if (note.AllEmpty()) {
    // By the shown file's key as it stands now: a record number taken earlier may have moved.
    const datafiles::NoteDeleteOutcome removal = datafiles::DeleteUserDBRecordOfPath(db.userdb, decl_.files, path);
    messages::ShowNoteDeleteOutcome(removal);
    return removal.error == platform::errNone || removal.error == platform::errFileNotFound;
  }
  const datafiles::NoteSaveOutcome save = datafiles::SaveUserDBRecord(db.userdb, decl_.files, path, note);
  messages::ShowNoteSaveOutcome(save);
  return save.status == datafiles::NoteSaveStatus::Saved;
}

void DatabasePane::LeaveEditMode() {
  const auto fields = NoteFields(*this);
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
      if (!StoreNote()) return;
      for (auto [box, label] : fields) label->SetCaption(box->text());
    }
  }
  lblDBStatus1->SetForeColor(skin::kText);
  lblDBStatus1->SetCaption("");
  lblDBStatus2->SetCaption("");
  for (auto [box, label] : fields) box->setText("");
  for (auto [box, label] : fields) box->hide();
  for (auto [box, label] : fields) box->setEnabled(false);
  for (auto [box, label] : fields) label->show();
  btnSelSearch->SetCaption("Search");
  btnSelDetail->SetCaption("Detail");
  btnSelInventory->SetCaption("Inventory");
  btnPrint->SetCaption("Print");
  SetPlayButton(PlayState::Play);
  for (platform::Label* b : {btnSelSearch, btnSelDetail, btnSelInventory, btnPrint, btnPlay}) {
    b->setEnabled(true);
  }
  SetMode(PaneMode::Browse);
  skin::AtRest(btnUpdate);
  skin::Current(btnSelDetail);
  skin::AtRest(btnSelInventory);
  host_.KeepTabInNoteBoxes(false);
}

void DatabasePane::ToggleDBEditMode() {
  if (mode_ == PaneMode::Browse) {
    EnterEditMode();
  } else {
    LeaveEditMode();
  }
}

void DatabasePane::ClearUserDBFields() {
  for (platform::TextBox* box : {txtDBCaption, txtDBSubject, txtDBProject, txtDBKeywords, txtDBPlayers}) {
    box->setText("");
  }
}
