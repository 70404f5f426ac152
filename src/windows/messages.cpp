#include "windows/messages.h"

#include "platform/core/errors.h"
#include "platform/core/msgbox.h"

namespace messages {
namespace {

using datafiles::DataFile;

std::string Br() { return std::string(platform::vbLf) + std::string(platform::vbCr); }

constexpr std::string_view kNoteNotSaved = "Note Not Saved";
constexpr std::string_view kNoteNotDeleted = "Note Not Deleted";
constexpr std::string_view kNotLinked = "Note Not Linked";

// What prefs.dat and preset.dat are called in their messages; empty for the others.
std::string SettingsWhat(DataFile which) {
  switch (which) {
    case DataFile::Preferences: return "preference settings";
    case DataFile::TapdeckPresets: return "Tapdeck settings";
    default: return {};
  }
}

}  // namespace

void ShowReadOutcome(const datafiles::ReadOutcome& read) {
  const std::string what = SettingsWhat(read.which);
  if (what.empty()) return;
  const std::string& file = read.file;
  switch (read.status) {
    case datafiles::ReadStatus::Missing:
      platform::MsgBox("Cannot find " + what + " file " + file + "." + std::string(platform::vbLf) +
                           std::string(platform::vbCr) + "Switching to defaults.",
                       platform::vbExclamation, "Data File Missing");
      return;
    case datafiles::ReadStatus::Damaged: {
      const std::string kept = read.copy.empty() ? "No copy of it could be kept (" + read.copyFailure + ")."
                                                 : "A copy of it was kept as " + read.copy + ".";
      platform::MsgBox("The " + what + " file " + file + " is damaged." + std::string(platform::vbLf) +
                           std::string(platform::vbCr) + kept + std::string(platform::vbLf) +
                           std::string(platform::vbCr) + "Settings it could not give are set to their defaults.",
                       platform::vbExclamation, "Data File Damaged");
      return;
    }
    case datafiles::ReadStatus::NotAFile:
      platform::MsgBox("The " + what + " file " + file + " is there but cannot be read or written as a file." +
                           Br() + "Switching to defaults; nothing is written in its place.",
                       platform::vbExclamation, "Data File Unusable");
      return;
    case datafiles::ReadStatus::Loaded:
    case datafiles::ReadStatus::Unreadable: return;
  }
}

void ReportSaveFailure(const std::string& file, const std::string& reason) {
  platform::MsgBox("Tolvan could not save the file " + file + "." + std::string(platform::vbLf) +
                       std::string(platform::vbCr) + reason,
                   platform::vbExclamation, "Data File Not Saved");
}

bool ShowSaveOutcome(const datafiles::SaveOutcome& save) {
  if (!save.saved) ReportSaveFailure(save.file, save.failure);
  return save.saved;
}

void ShowDataFileMissing(std::string_view what, std::string_view fullPath) {
  std::string text = "Cannot find ";
  text.append(what).append(" file ").append(fullPath).append(".");
  text.append(platform::vbLf).append(platform::vbCr);
  text.append("Tolvan will now scan your system for audio files and update the inventory records.");
  platform::MsgBox(text, platform::vbExclamation, "Data File Missing");
}

std::string_view InventoryWhat(DataFile which) {
  return which == DataFile::InventoryData ? kInventoryDataWhat : kInventorySummaryWhat;
}

void ShowNoteSaveOutcome(const datafiles::NoteSaveOutcome& save) {
  const std::string& shown = save.path;
  switch (save.status) {
    case datafiles::NoteSaveStatus::Saved: return;
    case datafiles::NoteSaveStatus::PathNotKeyable:
      platform::MsgBox("Tolvan cannot keep a note for " + shown + "." + Br() +
                           (shown.size() > datafiles::UserDBRecord::kPathWidth
                                ? "Its full path is longer than 100 characters."
                                : "Its full path ends in a blank."),
                       platform::vbExclamation, kNoteNotSaved);
      return;
    case datafiles::NoteSaveStatus::FileMissing:
      platform::MsgBox("Cannot find the file " + shown + "." + Br() +
                           "It was moved or deleted after it was shown. The note was not saved; your changes are kept.",
                       platform::vbExclamation, kNoteNotSaved);
      return;
    case datafiles::NoteSaveStatus::WriteFailed:
      platform::MsgBox("Tolvan could not write the note to " + save.file + "." + Br() + save.failure,
                       platform::vbExclamation, kNoteNotSaved);
      return;
  }
}

void ShowNoteDeleteOutcome(const datafiles::NoteDeleteOutcome& removal) {
  if (!removal.writeFailed) return;
  platform::MsgBox("Tolvan could not remove the note from " + removal.file + "." + Br() + removal.failure,
                   platform::vbExclamation, kNoteNotDeleted);
}

void ShowLinkRefusal(const inventory::PreparedLink& prepared) {
  if (!prepared.refused) return;
  if (prepared.readError != platform::errNone) {
    platform::MsgBox("Tolvan could not read " + prepared.file + "." + Br() +
                         platform::VbError::DescribeError(prepared.readError) + " No note was changed.",
                     platform::vbExclamation, kNotLinked);
    return;
  }
  const inventory::LinkPlan& plan = prepared.plan;
  std::string reason;
  switch (plan.refusal) {
    case inventory::LinkRefusal::TargetMissing:
      platform::MsgBox("Cannot find the file " + plan.refusedPath + "." + Br() +
                           "It was moved or deleted after it was chosen. No note was changed.",
                       platform::vbExclamation, kNotLinked);
      return;
    case inventory::LinkRefusal::PathTooLong: reason = "Its full path is longer than 100 characters."; break;
    case inventory::LinkRefusal::PathEndsInBlank: reason = "Its full path ends in a blank."; break;
    case inventory::LinkRefusal::PathHasNote: reason = "That file already has a note of its own."; break;
    case inventory::LinkRefusal::None: return;
  }
  platform::MsgBox("Tolvan cannot link the note of " + prepared.selectedOrphan + " to " + plan.refusedPath + "." +
                       Br() + reason + " No note was changed.",
                   platform::vbExclamation, kNotLinked);
}

bool ShowLinkWrite(const inventory::LinkWrite& write) {
  if (write.error == platform::errNone) return true;
  platform::MsgBox("Tolvan could not write the notes to " + write.file + "." + Br() +
                       platform::VbError::DescribeError(write.error) + " No note was changed.",
                   platform::vbExclamation, kNotLinked);
  return false;
}

bool ShowOrphanNoteDelete(const datafiles::NoteDeleteOutcome& removal) {
  if (removal.error == platform::errNone) return true;
  if (removal.writeFailed) {
    ShowNoteDeleteOutcome(removal);
  } else {
    platform::MsgBox("Tolvan could not read " + removal.file + "." + Br() + removal.failure, platform::vbExclamation,
                     kNoteNotDeleted);
  }
  return false;
}

}  // namespace messages
