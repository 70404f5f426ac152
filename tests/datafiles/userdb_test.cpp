#include "datafiles/userdb.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using datafiles::NoteSaveStatus;
using datafiles::UserDBNote;
using datafiles::UserDBState;

namespace {

std::string Pad(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(width, ' ');
  return out;
}

// A record of userdb.dat built from its seven texts.
std::string Record(std::string_view path, std::string_view size, std::string_view caption = "",
                   std::string_view subject = "", std::string_view project = "", std::string_view keywords = "",
                   std::string_view players = "") {
  return Pad(path, 100) + Pad(size, 10) + Pad(caption, 15) + Pad(subject, 44) + Pad(project, 15) +
         Pad(keywords, 44) + Pad(players, 70);
}

class UserDBTest : public ::testing::Test {
 protected:
  void SetUp() override { drives.MakeFolder("C:\\data"); }

  // userdb.dat with the given records, read-only as the program leaves it.
  void WriteUserDB(const std::string& bytes) {
    drives.Write(files.gUserDBFile, bytes);
    platform::SetReadOnly(files.gUserDBFile, true);
  }
  std::string UserDB() const { return drives.Read(files.gUserDBFile); }

  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  UserDBState state;
};

TEST_F(UserDBTest, FirstNoteCreatesTheFileWithOneExact298ByteRecord) {
  drives.Write("C:\\Music\\a.wav", std::string(512, 'x'));
  UserDBNote note{"Intro", "", "", "", ""};
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\Music\\a.wav", note).status, NoteSaveStatus::Saved);

  const std::string expected = Pad("C:\\Music\\a.wav", 100) + " 512      " + Pad("Intro", 15) +
                               std::string(44 + 15 + 44 + 70, ' ');
  EXPECT_EQ(UserDB(), expected);
  EXPECT_EQ(UserDB().size(), 298u);
  EXPECT_TRUE(state.gUserDBMissing);
  EXPECT_EQ(state.gUserDBRecNo, 1);
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(UserDBTest, SaveOverwritesTheRecordOfTheSamePathAndAppendsANewOne) {
  drives.Write("C:\\a.wav", "12345");
  drives.Write("C:\\b.wav", "1234567");
  WriteUserDB(Record("C:\\x.wav", " 1", "x") + Record("C:\\a.wav", " 5", "old caption") + Record("C:\\y.wav", " 2"));

  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\a.wav", {"new", "s", "p", "k", "pl"}).status, NoteSaveStatus::Saved);
  EXPECT_FALSE(state.gUserDBMissing);
  EXPECT_EQ(state.gUserDBRecNo, 2);
  EXPECT_EQ(UserDB(), Record("C:\\x.wav", " 1", "x") + Record("C:\\a.wav", " 5", "new", "s", "p", "k", "pl") +
                          Record("C:\\y.wav", " 2"));

  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\b.wav", {"b", "", "", "", ""}).status, NoteSaveStatus::Saved);
  EXPECT_EQ(state.gUserDBRecNo, 4);
  EXPECT_EQ(UserDB().substr(3 * 298), Record("C:\\b.wav", " 7", "b"));
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
}

TEST_F(UserDBTest, TextsAreFittedToTheirFieldsInBytesAndShownWithoutTrailingBlanks) {
  drives.Write("C:\\a.wav", "1");
  const std::string longPlayers(80, 'p');
  // "Caption ÄÄÄÄ" is 16 bytes: the cut must not split the last two-byte character.
  UserDBNote note{"Twenty characters!!!", "Subject", "Caption \xC3\x84\xC3\x84\xC3\x84\xC3\x84", "", longPlayers};
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\a.wav", note).status, NoteSaveStatus::Saved);
  EXPECT_EQ(UserDB(), Record("C:\\a.wav", " 1", "Twenty characte", "Subject", "Caption \xC3\x84\xC3\x84\xC3\x84",
                             "", std::string(70, 'p')));

  auto shown = datafiles::ShowUserDBRecord(state, files, "C:\\a.wav");
  ASSERT_TRUE(shown.found);
  EXPECT_EQ(shown.note, (UserDBNote{"Twenty characte", "Subject", "Caption \xC3\x84\xC3\x84\xC3\x84", "",
                                    std::string(70, 'p')}));
}

TEST(UserDBSizeText, LeadingBlankUnlessTenDigitsAndBlankWhenItCannotFit) {
  const struct {
    std::int64_t length;
    const char* text;
  } cases[] = {{0, " 0"}, {512, " 512"}, {999999999, " 999999999"}, {1234567890, "1234567890"}, {12345678901, ""}};
  for (const auto& c : cases) EXPECT_EQ(datafiles::UserDBSizeText(c.length), c.text) << c.length;
}

TEST_F(UserDBTest, ALargeFileKeepsItsTenDigitSizeInTheField) {
  drives.Write("C:\\big.wav", "");
  ::truncate(drives.Host("C:\\big.wav").c_str(), 4000000000LL);
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\big.wav", {"c", "", "", "", ""}).status, NoteSaveStatus::Saved);
  EXPECT_EQ(UserDB().substr(100, 10), "4000000000");
}

TEST_F(UserDBTest, LookupComparesThePathExactlyAndWorksOnAReadOnlyFile) {
  WriteUserDB(Record("C:\\Music\\b.wav", " 1", "B") + Record("C:\\Music\\a.wav", " 9", "Intro", "Subj", "Proj",
                                                               "Keys", "Band"));
  ASSERT_TRUE(platform::IsReadOnly(files.gUserDBFile));

  auto found = datafiles::ShowUserDBRecord(state, files, "C:\\Music\\a.wav");
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.recNo, 2);
  EXPECT_EQ(found.note, (UserDBNote{"Intro", "Subj", "Proj", "Keys", "Band"}));
  EXPECT_TRUE(state.gUserDBFound);
  EXPECT_EQ(state.gUserDBRecNo, 2);

  auto other = datafiles::ShowUserDBRecord(state, files, "c:\\music\\a.wav");
  EXPECT_FALSE(other.found);
  EXPECT_TRUE(other.note.AllEmpty());
  EXPECT_FALSE(state.gUserDBFound);
  EXPECT_EQ(state.gUserDBRecNo, 3) << "the number of records + 1";
}

TEST_F(UserDBTest, PartialTailIsNoRecordAndTheNextNoteTakesItsPlace) {
  // The tail carries the key of a file; it must not be found as a note.
  WriteUserDB(Record("C:\\a.wav", " 1", "A") + Record("C:\\b.wav", " 1", "B") + Pad("C:\\c.wav", 120));
  EXPECT_FALSE(datafiles::ShowUserDBRecord(state, files, "C:\\c.wav").found);
  EXPECT_EQ(state.gUserDBRecNo, 3);
  EXPECT_EQ(datafiles::ReadUserDB(files).records.size(), 2u);

  drives.Write("C:\\c.wav", "123");
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\c.wav", {"C", "", "", "", ""}).status, NoteSaveStatus::Saved);
  EXPECT_EQ(state.gUserDBRecNo, 3);
  EXPECT_EQ(UserDB(), Record("C:\\a.wav", " 1", "A") + Record("C:\\b.wav", " 1", "B") + Record("C:\\c.wav", " 3", "C"));
}

TEST_F(UserDBTest, MissingFileMeansNoNoteAndNoMessage) {
  auto shown = datafiles::ShowUserDBRecord(state, files, "C:\\a.wav");
  EXPECT_EQ(shown.error, 0);
  EXPECT_FALSE(shown.found);
  EXPECT_FALSE(state.gUserDBFound);
  EXPECT_EQ(state.gUserDBRecNo, 1);
  EXPECT_EQ(datafiles::GetUserDBCaption(files, "C:\\a.wav"), "");
  state.gUserDBDeleteRecNo = 1;
  EXPECT_EQ(datafiles::DeleteUserDBRecord(state, files), platform::errFileNotFound);
  EXPECT_FALSE(drives.Exists(files.gUserDBFile));
  EXPECT_EQ(datafiles::ReadUserDB(files).error, platform::errFileNotFound);
}

TEST_F(UserDBTest, GetUserDBCaptionLeavesTheShownNotesNumberAlone) {
  WriteUserDB(Record("C:\\a.wav", " 1", "Alpha   ") + Record("C:\\b.wav", " 1", "Beta"));
  ASSERT_TRUE(datafiles::ShowUserDBRecord(state, files, "C:\\a.wav").found);
  EXPECT_EQ(datafiles::GetUserDBCaption(files, "C:\\b.wav"), "Beta");
  EXPECT_EQ(datafiles::GetUserDBCaption(files, "C:\\a.wav"), "Alpha");
  EXPECT_EQ(datafiles::GetUserDBCaption(files, "C:\\none.wav"), "");
  EXPECT_EQ(state.gUserDBRecNo, 1);
  EXPECT_TRUE(state.gUserDBFound);
}

TEST_F(UserDBTest, DeletingRecordTwoOfThreeMovesTheThirdUp) {
  const std::string a = Record("C:\\a.wav", " 1", "A"), b = Record("C:\\b.wav", " 2", "B"),
                    c = Record("C:\\c.wav", " 3", "C");
  WriteUserDB(a + b + c);
  state.gUserDBDeleteRecNo = 2;
  ASSERT_EQ(datafiles::DeleteUserDBRecord(state, files), 0);
  EXPECT_EQ(UserDB(), a + c);
  EXPECT_EQ(UserDB().size(), 596u);
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
  EXPECT_FALSE(drives.Exists(files.gTempUserDBFile));

  for (std::int64_t outside : {0, 3, -1}) {
    state.gUserDBDeleteRecNo = outside;
    ASSERT_EQ(datafiles::DeleteUserDBRecord(state, files), 0);
    EXPECT_EQ(UserDB(), a + c) << outside;
  }
}

TEST_F(UserDBTest, DeletingTheOnlyRecordLeavesAnEmptyFileForTheNextNote) {
  WriteUserDB(Record("C:\\a.wav", " 1", "A"));
  state.gUserDBDeleteRecNo = 1;
  ASSERT_EQ(datafiles::DeleteUserDBRecord(state, files), 0);
  EXPECT_EQ(UserDB(), "");
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));

  drives.Write("C:\\b.wav", "22");
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, "C:\\b.wav", {"B", "", "", "", ""}).status, NoteSaveStatus::Saved);
  EXPECT_FALSE(state.gUserDBMissing);
  EXPECT_EQ(state.gUserDBRecNo, 1);
  EXPECT_EQ(UserDB(), Record("C:\\b.wav", " 2", "B"));
}

TEST_F(UserDBTest, DeleteByKeyRemovesTheShownFilesNoteAfterAnotherToolMovedIt) {
  const std::string a = Record("C:\\a.wav", " 1", "A"), b = Record("C:\\b.wav", " 2", "B"),
                    c = Record("C:\\c.wav", " 3", "C");
  WriteUserDB(a + b + c);
  ASSERT_EQ(datafiles::ShowUserDBRecord(state, files, "C:\\b.wav").recNo, 2);
  // Meanwhile the reconcile window drops record 1: the shown note is now record 1.
  UserDBState other;
  other.gUserDBDeleteRecNo = 1;
  ASSERT_EQ(datafiles::DeleteUserDBRecord(other, files), 0);

  const datafiles::NoteDeleteOutcome removal = datafiles::DeleteUserDBRecordOfPath(state, files, "C:\\b.wav");
  ASSERT_EQ(removal.error, 0);
  EXPECT_TRUE(removal.removed);
  EXPECT_EQ(UserDB(), c);
  EXPECT_FALSE(state.gUserDBFound);
  EXPECT_EQ(state.gUserDBRecNo, 2);
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
}

// Only the shown note (the path's first record) goes; a second note of the path is kept.
TEST_F(UserDBTest, DeleteByKeyDropsTheShownRecordOfThePathAndNothingElse) {
  const std::string a1 = Record("C:\\a.wav", " 1", "A1"), b = Record("C:\\A.wav", " 2", "B"),
                    a2 = Record("C:\\a.wav", " 1", "A2");
  WriteUserDB(a1 + b + a2);
  datafiles::NoteDeleteOutcome removal = datafiles::DeleteUserDBRecordOfPath(state, files, "C:\\a.wav");
  ASSERT_EQ(removal.error, 0);
  EXPECT_TRUE(removal.removed);
  EXPECT_EQ(UserDB(), b + a2);
  EXPECT_EQ(state.gUserDBRecNo, 3);
  removal = datafiles::DeleteUserDBRecordOfPath(state, files, "C:\\none.wav");
  ASSERT_EQ(removal.error, 0);
  EXPECT_FALSE(removal.removed);
  EXPECT_EQ(UserDB(), b + a2);
}

// Notes that cannot be saved: nothing is written, the form keeps the edits (the windows tell
// the user: tests/windows).
struct RefusedNote {
  const char* name;
  std::string path;
  NoteSaveStatus status;
};
void PrintTo(const RefusedNote& c, std::ostream* os) { *os << c.name; }

class UserDBRefusalTest : public UserDBTest, public ::testing::WithParamInterface<RefusedNote> {};

TEST_P(UserDBRefusalTest, IsNotSavedAndSaysWhy) {
  const RefusedNote& c = GetParam();
  const std::string before = Record("C:\\other.wav", " 1", "Other");
  WriteUserDB(before);
  if (c.status != NoteSaveStatus::FileMissing) drives.Write(c.path, "123");

  const datafiles::NoteSaveOutcome save = datafiles::SaveUserDBRecord(state, files, c.path, {"Caption", "", "", "", ""});
  EXPECT_EQ(save.status, c.status);
  EXPECT_EQ(save.path, c.path);
  EXPECT_EQ(UserDB(), before);
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
}

const std::string kLongPath = "C:\\" + std::string(94, 'n') + ".wav";  // 101 bytes

INSTANTIATE_TEST_SUITE_P(
    Cases, UserDBRefusalTest,
    ::testing::Values(RefusedNote{"PathLongerThanTheKey", kLongPath, NoteSaveStatus::PathNotKeyable},
                      RefusedNote{"PathEndingInABlank", "C:\\x\\a.wav ", NoteSaveStatus::PathNotKeyable},
                      RefusedNote{"FileVanishedSinceShown", "C:\\gone.wav", NoteSaveStatus::FileMissing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserDBTest, APathOfExactlyOneHundredBytesIsItsOwnKey) {
  const std::string path100 = "C:\\" + std::string(93, 'n') + ".wav";
  ASSERT_EQ(path100.size(), 100u);
  drives.Write(path100, "1");
  ASSERT_EQ(datafiles::SaveUserDBRecord(state, files, path100, {"Full", "", "", "", ""}).status, NoteSaveStatus::Saved);
  EXPECT_EQ(datafiles::GetUserDBCaption(files, path100), "Full");
}

TEST_F(UserDBTest, AFailedSaveIsReportedWithItsReason) {
  drives.Write("C:\\a.wav", "1");
  drives.MakeFolder(files.gUserDBFile);  // a folder where the file should be cannot be opened
  const datafiles::NoteSaveOutcome save = datafiles::SaveUserDBRecord(state, files, "C:\\a.wav", {"A", "", "", "", ""});
  EXPECT_EQ(save.status, NoteSaveStatus::WriteFailed);
  EXPECT_EQ(save.file, "C:\\data\\userdb.dat");
  EXPECT_FALSE(save.failure.empty());
}

TEST_F(UserDBTest, ADeleteThatFailsPartWayLeavesTheOldFileIntact) {
  std::string all;
  for (int i = 0; i < 400; ++i) all += Record("C:\\f" + std::to_string(i) + ".wav", " 1", "c");
  WriteUserDB(all);
  platform::InjectWriteFailureAfter(298 * 10 + 5);
  state.gUserDBDeleteRecNo = 1;
  EXPECT_EQ(datafiles::DeleteUserDBRecord(state, files), platform::errDiskFull);

  platform::InjectWriteFailureAfter(298 * 10 + 5);
  const datafiles::NoteDeleteOutcome removal = datafiles::DeleteUserDBRecordOfPath(state, files, "C:\\f7.wav");
  platform::InjectWriteFailureAfter(-1);

  EXPECT_EQ(removal.error, platform::errDiskFull);
  EXPECT_TRUE(removal.writeFailed);
  EXPECT_FALSE(removal.removed);
  EXPECT_EQ(removal.file, files.gUserDBFile);
  EXPECT_EQ(removal.failure, platform::VbError::DescribeError(platform::errDiskFull));
  EXPECT_EQ(UserDB(), all);
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
  EXPECT_FALSE(drives.Exists(files.gTempUserDBFile));
}

TEST_F(UserDBTest, IndexFindsEveryRecordOfAPathByItsKey) {
  WriteUserDB(Record("C:\\a.wav", " 1", "A1") + Record("C:\\b.wav", " 1") + Record("C:\\a.wav", " 1", "A2"));
  auto contents = datafiles::ReadUserDB(files);
  ASSERT_EQ(contents.error, 0);
  ASSERT_EQ(contents.records.size(), 3u);
  EXPECT_EQ(contents.records[2].Caption, Pad("A2", 15));
  datafiles::UserDBIndex index(contents.records);
  auto a = index.Find("C:\\a.wav");
  EXPECT_EQ(std::vector<std::int64_t>(a.begin(), a.end()), (std::vector<std::int64_t>{1, 3}));
  EXPECT_TRUE(index.Contains("C:\\b.wav"));
  EXPECT_FALSE(index.Contains("C:\\B.wav"));
  EXPECT_FALSE(index.Contains("C:\\a.wav "));
}

TEST_F(UserDBTest, RecordsAreRewrittenInPlaceUnderTheirOwnNumbers) {
  WriteUserDB(Record("C:\\a.wav", " 1", "A") + Record("C:\\b.wav", " 2", "B"));
  auto moved = datafiles::UserDBRecord::FromBytes(Record("D:\\new\\b.wav", " 2", "B"));
  ASSERT_EQ(datafiles::RewriteUserDBRecords(files, {{2, moved}}), 0);
  EXPECT_EQ(UserDB(), Record("C:\\a.wav", " 1", "A") + Record("D:\\new\\b.wav", " 2", "B"));
  EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
  EXPECT_EQ(datafiles::RewriteUserDBRecords(files, {{3, moved}}), platform::errInputPastEnd);
  EXPECT_EQ(UserDB().size(), 596u);
}

}  // namespace
