// Every outcome of the core that the user is told of, with the box it gives: text, style and
// title as they have always been.
#include "windows/messages.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"

namespace {

using datafiles::DataFile;
using datafiles::ReadStatus;

struct MessageCase {
  const char* name;
  std::function<void()> show;
  std::string text;  // empty: no box
  std::string title;
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

datafiles::ReadOutcome Read(DataFile which, std::string file, ReadStatus status, std::string copy = {},
                            std::string copyFailure = {}) {
  datafiles::ReadOutcome read;
  read.which = which;
  read.file = std::move(file);
  read.status = status;
  read.copy = std::move(copy);
  read.copyFailure = std::move(copyFailure);
  return read;
}

datafiles::NoteSaveOutcome NoteSave(datafiles::NoteSaveStatus status, std::string path, std::string failure = {}) {
  datafiles::NoteSaveOutcome save;
  save.status = status;
  save.path = std::move(path);
  save.file = "C:\\data\\userdb.dat";
  save.failure = std::move(failure);
  return save;
}

datafiles::NoteDeleteOutcome NoteDelete(std::int32_t error, bool writeFailed, std::string failure) {
  datafiles::NoteDeleteOutcome removal;
  removal.error = error;
  removal.writeFailed = writeFailed;
  removal.file = "C:\\data\\userdb.dat";
  removal.failure = std::move(failure);
  return removal;
}

inventory::PreparedLink Refused(inventory::LinkRefusal refusal, std::string refusedPath, std::int32_t readError = 0) {
  inventory::PreparedLink prepared;
  prepared.refused = true;
  prepared.readError = readError;
  prepared.file = "C:\\data\\userdb.dat";
  prepared.selectedOrphan = "C:\\old\\a.wav";
  prepared.plan.refusal = refusal;
  prepared.plan.refusedPath = std::move(refusedPath);
  return prepared;
}

const std::string kDiskFull = platform::VbError::DescribeError(platform::errDiskFull);
const std::string kLongPath = "C:\\" + std::string(94, 'n') + ".wav";  // 101 bytes

class Messages : public ::testing::TestWithParam<MessageCase> {
 protected:
  testing_support::ScriptedMessageBoxes boxes;
};

TEST_P(Messages, ShowTheBoxOfTheirOutcome) {
  const MessageCase& c = GetParam();
  if (!c.text.empty()) boxes.Answer(platform::vbOK);
  c.show();
  if (c.text.empty()) {
    EXPECT_TRUE(boxes.shown().empty());
    return;
  }
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, c.text);
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].title, c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Messages,
    ::testing::Values(
        MessageCase{"PrefsMissing",
                    [] { messages::ShowReadOutcome(Read(DataFile::Preferences, "C:\\d\\prefs.dat", ReadStatus::Missing)); },
                    "Cannot find preference settings file C:\\d\\prefs.dat.\n\rSwitching to defaults.",
                    "Data File Missing"},
        MessageCase{"PresetsMissing",
                    [] {
                      messages::ShowReadOutcome(Read(DataFile::TapdeckPresets, "C:\\d\\preset.dat", ReadStatus::Missing));
                    },
                    "Cannot find Tapdeck settings file C:\\d\\preset.dat.\n\rSwitching to defaults.", "Data File Missing"},
        MessageCase{"PrefsDamagedAndKept",
                    [] {
                      messages::ShowReadOutcome(Read(DataFile::Preferences, "C:\\d\\prefs.dat", ReadStatus::Damaged,
                                                     "C:\\d\\prefs.dat.damaged"));
                    },
                    "The preference settings file C:\\d\\prefs.dat is damaged.\n\rA copy of it was kept as "
                    "C:\\d\\prefs.dat.damaged.\n\rSettings it could not give are set to their defaults.",
                    "Data File Damaged"},
        MessageCase{"PresetsDamagedWithoutACopy",
                    [] {
                      messages::ShowReadOutcome(
                          Read(DataFile::TapdeckPresets, "C:\\d\\preset.dat", ReadStatus::Damaged, "", kDiskFull));
                    },
                    "The Tapdeck settings file C:\\d\\preset.dat is damaged.\n\rNo copy of it could be kept (" + kDiskFull +
                        ").\n\rSettings it could not give are set to their defaults.",
                    "Data File Damaged"},
        MessageCase{"ALoadedFileSaysNothing",
                    [] { messages::ShowReadOutcome(Read(DataFile::Preferences, "C:\\d\\prefs.dat", ReadStatus::Loaded)); },
                    "", ""},
        MessageCase{"AnUnreadableFileSaysNothing",
                    [] {
                      messages::ShowReadOutcome(Read(DataFile::TapdeckPresets, "C:\\d\\preset.dat", ReadStatus::Unreadable));
                    },
                    "", ""},
        MessageCase{"SaveFailed",
                    [] {
                      datafiles::SaveOutcome save;
                      save.file = "C:\\d\\prefs.dat";
                      save.saved = false;
                      save.failure = kDiskFull;
                      EXPECT_FALSE(messages::ShowSaveOutcome(save));
                    },
                    "Tolvan could not save the file C:\\d\\prefs.dat.\n\r" + kDiskFull, "Data File Not Saved"},
        MessageCase{"Saved",
                    [] {
                      datafiles::SaveOutcome save;
                      save.file = "C:\\d\\prefs.dat";
                      EXPECT_TRUE(messages::ShowSaveOutcome(save));
                    },
                    "", ""},
        MessageCase{"InventorySummaryMissing",
                    [] {
                      messages::ShowDataFileMissing(messages::InventoryWhat(DataFile::InventorySummary),
                                                    "C:\\data\\invsum.dat");
                    },
                    "Cannot find inventory summary file C:\\data\\invsum.dat.\n\rTolvan will now scan your system for "
                    "audio files and update the inventory records.",
                    "Data File Missing"},
        MessageCase{"InventoryDataMissing",
                    [] {
                      messages::ShowDataFileMissing(messages::InventoryWhat(DataFile::InventoryData),
                                                    "C:\\data\\inventory.dat");
                    },
                    "Cannot find inventory data file C:\\data\\inventory.dat.\n\rTolvan will now scan your system for "
                    "audio files and update the inventory records.",
                    "Data File Missing"},
        MessageCase{"NotePathLongerThanTheKey",
                    [] { messages::ShowNoteSaveOutcome(NoteSave(datafiles::NoteSaveStatus::PathNotKeyable, kLongPath)); },
                    "Tolvan cannot keep a note for " + kLongPath + ".\n\rIts full path is longer than 100 characters.",
                    "Note Not Saved"},
        MessageCase{"NotePathEndingInABlank",
                    [] {
                      messages::ShowNoteSaveOutcome(NoteSave(datafiles::NoteSaveStatus::PathNotKeyable, "C:\\x\\a.wav "));
                    },
                    "Tolvan cannot keep a note for C:\\x\\a.wav .\n\rIts full path ends in a blank.", "Note Not Saved"},
        MessageCase{"NoteFileVanishedSinceShown",
                    [] { messages::ShowNoteSaveOutcome(NoteSave(datafiles::NoteSaveStatus::FileMissing, "C:\\gone.wav")); },
                    "Cannot find the file C:\\gone.wav.\n\rIt was moved or deleted after it was shown. The note was "
                    "not saved; your changes are kept.",
                    "Note Not Saved"},
        MessageCase{"NoteWriteFailed",
                    [] {
                      messages::ShowNoteSaveOutcome(
                          NoteSave(datafiles::NoteSaveStatus::WriteFailed, "C:\\a.wav", kDiskFull));
                    },
                    "Tolvan could not write the note to C:\\data\\userdb.dat.\n\r" + kDiskFull, "Note Not Saved"},
        MessageCase{"NoteSaved",
                    [] { messages::ShowNoteSaveOutcome(NoteSave(datafiles::NoteSaveStatus::Saved, "C:\\a.wav")); }, "",
                    ""},
        MessageCase{"NoteRemovalWriteFailed",
                    [] { messages::ShowNoteDeleteOutcome(NoteDelete(platform::errDiskFull, true, kDiskFull)); },
                    "Tolvan could not remove the note from C:\\data\\userdb.dat.\n\r" + kDiskFull, "Note Not Deleted"},
        MessageCase{"NoteRemovalReadFailedIsNotTold",
                    [] { messages::ShowNoteDeleteOutcome(NoteDelete(platform::errPathNotFound, false, "x")); }, "", ""},
        MessageCase{"LinkTargetGone",
                    [] { messages::ShowLinkRefusal(Refused(inventory::LinkRefusal::TargetMissing, "E:\\gone.wav")); },
                    "Cannot find the file E:\\gone.wav.\n\rIt was moved or deleted after it was chosen. No note was "
                    "changed.",
                    "Note Not Linked"},
        MessageCase{"LinkTooLong",
                    [] { messages::ShowLinkRefusal(Refused(inventory::LinkRefusal::PathTooLong, kLongPath)); },
                    "Tolvan cannot link the note of C:\\old\\a.wav to " + kLongPath +
                        ".\n\rIts full path is longer than 100 characters. No note was changed.",
                    "Note Not Linked"},
        MessageCase{"LinkEndsInBlank",
                    [] { messages::ShowLinkRefusal(Refused(inventory::LinkRefusal::PathEndsInBlank, "C:\\b.wav ")); },
                    "Tolvan cannot link the note of C:\\old\\a.wav to C:\\b.wav .\n\rIts full path ends in a blank. No "
                    "note was changed.",
                    "Note Not Linked"},
        MessageCase{"LinkOntoANote",
                    [] { messages::ShowLinkRefusal(Refused(inventory::LinkRefusal::PathHasNote, "C:\\noted.wav")); },
                    "Tolvan cannot link the note of C:\\old\\a.wav to C:\\noted.wav.\n\rThat file already has a note of "
                    "its own. No note was changed.",
                    "Note Not Linked"},
        MessageCase{"LinkUserDBUnreadable",
                    [] {
                      messages::ShowLinkRefusal(Refused(inventory::LinkRefusal::None, "", platform::errPathNotFound));
                    },
                    "Tolvan could not read C:\\data\\userdb.dat.\n\r" +
                        platform::VbError::DescribeError(platform::errPathNotFound) + " No note was changed.",
                    "Note Not Linked"},
        MessageCase{"LinkWriteFailed",
                    [] {
                      inventory::LinkWrite write;
                      write.error = platform::errDiskFull;
                      write.file = "C:\\data\\userdb.dat";
                      EXPECT_FALSE(messages::ShowLinkWrite(write));
                    },
                    "Tolvan could not write the notes to C:\\data\\userdb.dat.\n\r" + kDiskFull + " No note was changed.",
                    "Note Not Linked"},
        MessageCase{"OrphanNoteUnreadable",
                    [] {
                      EXPECT_FALSE(messages::ShowOrphanNoteDelete(NoteDelete(
                          platform::errPathNotFound, false, platform::VbError::DescribeError(platform::errPathNotFound))));
                    },
                    "Tolvan could not read C:\\data\\userdb.dat.\n\r" +
                        platform::VbError::DescribeError(platform::errPathNotFound),
                    "Note Not Deleted"},
        MessageCase{"OrphanNoteNotRemoved",
                    [] {
                      EXPECT_FALSE(messages::ShowOrphanNoteDelete(NoteDelete(platform::errDiskFull, true, kDiskFull)));
                    },
                    "Tolvan could not remove the note from C:\\data\\userdb.dat.\n\r" + kDiskFull, "Note Not Deleted"},
        MessageCase{"OrphanNoteRemoved",
                    [] { EXPECT_TRUE(messages::ShowOrphanNoteDelete(NoteDelete(0, false, ""))); }, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
