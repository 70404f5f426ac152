#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "inventory/reconcilelogic.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"
#include "support/link_kinds.h"
#include "support/temp_drives.h"

namespace {

using Paths = std::vector<std::string>;
using datafiles::UserDBRecord;

struct Note {
  std::string path;
  std::string size;
  std::string caption;
};

UserDBRecord Record(const Note& n) {
  UserDBRecord r;
  r.Path = platform::FitToWidth(n.path, UserDBRecord::kPathWidth);
  r.Size = platform::FitToWidth(n.size, UserDBRecord::kSizeWidth);
  r.Caption = platform::FitToWidth(n.caption, UserDBRecord::kCaptionWidth);
  r.Subject = platform::FitToWidth("subject of " + n.caption, UserDBRecord::kSubjectWidth);
  r.Players = platform::FitToWidth("players", UserDBRecord::kPlayersWidth);
  return r;
}

std::string Bytes(const std::vector<Note>& notes) {
  std::string bytes;
  for (const Note& n : notes) bytes += Record(n).Bytes();
  return bytes;
}

class ReconcileCore : public ::testing::Test {
 protected:
  ReconcileCore() { drives.MakeFolder("C:\\data\\"); }
  ~ReconcileCore() override { platform::InjectWriteFailureAfter(-1); }

  void Notes(const std::vector<Note>& notes) { drives.Write(files.gUserDBFile, Bytes(notes)); }
  std::string UserDB() const { return drives.Read(files.gUserDBFile); }
  void Inventory(const Paths& paths) {
    std::string bytes;
    for (const std::string& p : paths) datafiles::AppendStoredInventoryLine(p, nullptr, bytes);
    drives.Write(files.gInventoryFile, bytes);
  }
  void ExpectWrittenThroughTheTwin() const {
    EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
    EXPECT_FALSE(drives.Exists(files.gTempUserDBFile));
  }

  testing_support::TempDrives drives{"CDE"};
  testing_support::ScriptedMessageBoxes boxes;
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
};

// ---- link kinds

struct KindCase {
  const char* orphan;
  const char* target;
  const char* kind;
};

class LinkKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(LinkKind, NamesWhatChanged) {
  EXPECT_EQ(LinkKindName(inventory::LinkKindOf(GetParam().orphan, GetParam().target)), GetParam().kind)
      << GetParam().orphan << " -> " << GetParam().target;
}

INSTANTIATE_TEST_SUITE_P(Table, LinkKind,
                         ::testing::Values(KindCase{"C:\\a\\x.wav", "E:\\a\\x.wav", "Drive"},
                                           KindCase{"C:\\a\\x.wav", "C:\\b\\x.wav", "Path"},
                                           KindCase{"C:\\a\\x.wav", "E:\\b\\x.wav", "Path"},
                                           KindCase{"C:\\a\\x.wav", "C:\\a\\y.wav", "Name"},
                                           KindCase{"C:\\a\\x.wav", "E:\\b\\x.mp3", "Name"},
                                           KindCase{"C:\\a\\x.wav", "C:\\a\\X.wav", "Name"},
                                           KindCase{"C:\\x.wav", "C:\\a\\x.wav", "Path"},
                                           KindCase{"C:\\x.wav", "D:\\x.wav", "Drive"},
                                           KindCase{"C:\\a\\x.wav", "C:\\a\\x.wav", ""}));

TEST(NameParts, SplitAtTheLastBackslashAndTheNamesLastDot) {
  const auto parts = inventory::SplitOrphanName("C:\\my.folder\\take.1.wav");
  EXPECT_EQ(parts.baseName, "take.1");
  EXPECT_EQ(parts.extension, "wav");
  const auto bare = inventory::SplitOrphanName("C:\\my.folder\\readme");
  EXPECT_EQ(bare.baseName, "readme");
  EXPECT_EQ(bare.extension, "");
}

// ---- candidates

TEST_F(ReconcileCore, CandidatesShareTheNameOrTheExtensionAndStoredSize) {
  const std::string sized(1234, 'x');
  drives.Write("D:\\old\\take1.mp3", "1");          // same name, other extension
  drives.Write("D:\\old\\TAKE1.wav", sized);        // the name differs in case, the size fits
  drives.Write("D:\\other\\anything.wav", sized);   // extension and size
  drives.Write("D:\\other\\short.wav", "123");      // extension, other size
  drives.Write("D:\\other\\sized.WAV", sized);      // size, extension differs in case
  drives.Write("D:\\noted\\take1.au", "1");         // same name but has a note of its own
  // D:\gone\take1.wav is listed but no longer on disk.
  Inventory({"D:\\old\\take1.mp3", "D:\\old\\TAKE1.wav", "D:\\other\\anything.wav", "D:\\other\\short.wav",
             "D:\\other\\sized.WAV", "D:\\noted\\take1.au", "D:\\gone\\take1.wav"});
  Notes({{"C:\\music\\take1.wav", " 1234", "orphan"}, {"D:\\noted\\take1.au", " 1", "own"}});
  const UserDBRecord orphan = Record({"C:\\music\\take1.wav", " 1234", "orphan"});

  auto found = inventory::FindCandidateMatches(files, "C:\\music\\take1.wav", &orphan);
  EXPECT_EQ(found.error, 0);
  EXPECT_EQ(found.paths, (Paths{"D:\\old\\take1.mp3", "D:\\old\\TAKE1.wav", "D:\\other\\anything.wav"}));

  // Without its note the size is unknown: only the name counts.
  found = inventory::FindCandidateMatches(files, "C:\\music\\take1.wav", nullptr);
  EXPECT_EQ(found.paths, (Paths{"D:\\old\\take1.mp3"}));
}

TEST_F(ReconcileCore, CandidateSearchWithoutInventoryFindsNothing) {
  Notes({{"C:\\a.wav", " 1", "a"}});
  const auto found = inventory::FindCandidateMatches(files, "C:\\a.wav", nullptr);
  EXPECT_EQ(found.error, platform::errFileNotFound);
  EXPECT_TRUE(found.paths.empty());
}

// ---- the rewrites of a link

struct RewriteCase {
  const char* name;
  const char* kind;
  const char* selected;
  std::string target;
  bool fromBrowse;
  std::vector<Note> before;
  Paths listed;
  std::vector<Note> after;
};

void PrintTo(const RewriteCase& c, std::ostream* os) { *os << c.name; }

class LinkRewrite : public ReconcileCore, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(LinkRewrite, RewritesExactlyTheMovedNotesByteForByte) {
  const RewriteCase& c = GetParam();
  Notes(c.before);
  drives.Write("E:\\new\\x.wav", std::string(4321, 'x'));
  // The notes that move name files that exist at their new paths.
  for (const Note& n : c.after) {
    if (!drives.Exists(n.path)) drives.Write(n.path, "x");
  }
  inventory::LinkRequest request{LinkKindNamed(c.kind), c.selected, c.target, c.listed, c.fromBrowse};
  const inventory::PreparedLink prepared = inventory::PrepareLink(files, request);
  ASSERT_FALSE(prepared.refused);
  ASSERT_TRUE(inventory::CarryOutLink(files, prepared.plan));
  EXPECT_EQ(UserDB(), Bytes(c.after));
  ExpectWrittenThroughTheTwin();
  EXPECT_TRUE(boxes.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinkRewrite,
    ::testing::Values(
        RewriteCase{"NameKeepsTheSize",
                    "Name",
                    "C:\\a\\x.wav",
                    "C:\\a\\y.wav",
                    false,
                    {{"C:\\keep.wav", " 5", "keep"}, {"C:\\a\\x.wav", " 10", "x"}, {"C:\\a\\x.wav", " 11", "twin"}},
                    {"C:\\a\\x.wav", "C:\\a\\x.wav"},
                    {{"C:\\keep.wav", " 5", "keep"}, {"C:\\a\\y.wav", " 10", "x"}, {"C:\\a\\x.wav", " 11", "twin"}}},
        RewriteCase{"BrowsedNameTakesTheFilesLength",
                    "Name",
                    "C:\\a\\x.wav",
                    "E:\\new\\x.wav",
                    true,
                    {{"C:\\a\\x.wav", " 10", "x"}},
                    {"C:\\a\\x.wav"},
                    {{"E:\\new\\x.wav", " 4321", "x"}}},
        RewriteCase{"DriveAllMovesTheOrphansOfThatDriveOnly",
                    "DriveAll",
                    "C:\\a\\1.wav",
                    "E:\\a\\1.wav",
                    false,
                    {{"C:\\a\\1.wav", " 1", "one"},
                     {"C:\\keep.wav", " 9", "kept"},
                     {"C:\\b\\2.wav", " 2", "two"},
                     {"D:\\c\\3.wav", " 3", "three"}},
                    {"C:\\a\\1.wav", "C:\\b\\2.wav", "D:\\c\\3.wav"},
                    {{"E:\\a\\1.wav", " 1", "one"},
                     {"C:\\keep.wav", " 9", "kept"},
                     {"E:\\b\\2.wav", " 2", "two"},
                     {"D:\\c\\3.wav", " 3", "three"}}},
        RewriteCase{"PathAllMovesTheOrphansOfThatFolderOnly",
                    "PathAll",
                    "C:\\old\\1.wav",
                    "D:\\new\\place\\1.wav",
                    false,
                    {{"C:\\old\\1.wav", " 1", "one"},
                     {"C:\\old\\sub\\3.wav", " 3", "sub"},
                     {"C:\\old\\2.mp3", " 2", "two"},
                     {"C:\\old\\4.wav", " 4", "unlisted"},
                     {"C:\\other\\5.wav", " 5", "other"}},
                    {"C:\\old\\1.wav", "C:\\old\\sub\\3.wav", "C:\\old\\2.mp3", "C:\\other\\5.wav"},
                    {{"D:\\new\\place\\1.wav", " 1", "one"},
                     {"C:\\old\\sub\\3.wav", " 3", "sub"},
                     {"D:\\new\\place\\2.mp3", " 2", "two"},
                     {"C:\\old\\4.wav", " 4", "unlisted"},
                     {"C:\\other\\5.wav", " 5", "other"}}},
        RewriteCase{"APathOfExactlyOneHundredBytesFits",
                    "Name",
                    "C:\\a.wav",
                    "C:\\" + std::string(92, 'n') + ".wav",
                    false,
                    {{"C:\\a.wav", " 1", "a"}},
                    {"C:\\a.wav"},
                    {{"C:\\" + std::string(92, 'n') + ".wav", " 1", "a"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  const char* kind;
  const char* selected;
  std::string target;
  bool fromBrowse;
  std::vector<Note> notes;
  std::string refusedPath;
  inventory::LinkRefusal refusal;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class LinkRefusal : public ReconcileCore, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(LinkRefusal, IsRefusedBeforeAnythingIsWritten) {
  const RefusalCase& c = GetParam();
  Notes(c.notes);
  // A move of all orphans is refused at a file that exists: one that does not is no move.
  if (std::string_view(c.kind).ends_with("All")) drives.Write(c.refusedPath, "x");
  const std::string before = UserDB();
  Paths listed;
  for (const Note& n : c.notes) listed.push_back(n.path);
  inventory::LinkRequest request{LinkKindNamed(c.kind), c.selected, c.target, listed, c.fromBrowse};
  const inventory::PreparedLink prepared = inventory::PrepareLink(files, request);
  EXPECT_TRUE(prepared.refused);
  EXPECT_EQ(prepared.plan.refusal, c.refusal);
  EXPECT_EQ(prepared.readError, 0);
  EXPECT_EQ(prepared.selectedOrphan, c.selected);
  EXPECT_TRUE(prepared.plan.changes.empty());
  EXPECT_EQ(prepared.plan.refusedPath, c.refusedPath);
  EXPECT_EQ(UserDB(), before);
}

const std::string kLong = "D:\\" + std::string(94, 'n') + ".wav";  // 101 bytes

INSTANTIATE_TEST_SUITE_P(
    Table, LinkRefusal,
    ::testing::Values(
        RefusalCase{"TooLongForTheKey", "Name", "C:\\a.wav", kLong, false, {{"C:\\a.wav", " 1", "a"}}, kLong,
                    inventory::LinkRefusal::PathTooLong},
        RefusalCase{"EndingInABlank", "Name", "C:\\a.wav", "C:\\b.wav ", false, {{"C:\\a.wav", " 1", "a"}},
                    "C:\\b.wav ", inventory::LinkRefusal::PathEndsInBlank},
        RefusalCase{"OntoAFileWithANote",
                    "Name",
                    "C:\\a.wav",
                    "C:\\noted.wav",
                    false,
                    {{"C:\\a.wav", " 1", "a"}, {"C:\\noted.wav", " 2", "own"}},
                    "C:\\noted.wav",
                    inventory::LinkRefusal::PathHasNote},
        RefusalCase{"PathAllWhereOneMoveMeetsANote",
                    "PathAll",
                    "C:\\old\\1.wav",
                    "D:\\new\\1.wav",
                    false,
                    {{"C:\\old\\1.wav", " 1", "one"}, {"C:\\old\\2.wav", " 2", "two"}, {"D:\\new\\2.wav", " 3", "own"}},
                    "D:\\new\\2.wav",
                    inventory::LinkRefusal::PathHasNote},
        RefusalCase{"PathAllWhereOneMoveGrowsTooLong",
                    "PathAll",
                    "C:\\old\\1.wav",
                    "D:\\" + std::string(91, 'f') + "\\1.wav",
                    false,
                    {{"C:\\old\\1.wav", " 1", "one"}, {"C:\\old\\22.wav", " 2", "two"}},
                    "D:\\" + std::string(91, 'f') + "\\22.wav",
                    inventory::LinkRefusal::PathTooLong},
        RefusalCase{"BrowsedFileGone", "Name", "C:\\a.wav", "E:\\gone.wav", true, {{"C:\\a.wav", " 1", "a"}},
                    "E:\\gone.wav", inventory::LinkRefusal::TargetMissing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReconcileCore, AFailedRewriteIsReportedAndLeavesTheNotes) {
  Notes({{"C:\\a.wav", " 1", "a"}, {"C:\\b.wav", " 2", "b"}});
  const std::string before = UserDB();
  inventory::LinkRequest request{inventory::LinkKind::Name, "C:\\b.wav", "D:\\b.wav", {"C:\\b.wav"}, false};
  const inventory::PreparedLink prepared = inventory::PrepareLink(files, request);
  ASSERT_FALSE(prepared.refused);
  platform::InjectWriteFailureAfter(100);
  const inventory::LinkWrite write = inventory::CarryOutLink(files, prepared.plan);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(write);
  EXPECT_EQ(write.error, platform::errDiskFull);
  EXPECT_EQ(write.file, files.gUserDBFile);
  EXPECT_EQ(UserDB(), before);
  EXPECT_FALSE(drives.Exists(files.gTempUserDBFile));
}

TEST_F(ReconcileCore, ALinkForANoteNoLongerStoredWritesNothing) {
  Notes({{"C:\\a.wav", " 1", "a"}});
  const std::string before = UserDB();
  inventory::LinkRequest request{inventory::LinkKind::Name, "C:\\gone.wav", "D:\\gone.wav", {"C:\\gone.wav"}, false};
  const inventory::PreparedLink prepared = inventory::PrepareLink(files, request);
  EXPECT_FALSE(prepared.refused);
  EXPECT_TRUE(prepared.plan.changes.empty());
  EXPECT_TRUE(inventory::CarryOutLink(files, prepared.plan));
  EXPECT_EQ(UserDB(), before);
}

// ---- delete

// The shown note goes; a second note of the same path, never shown, stays (and is listed).
TEST_F(ReconcileCore, DeletingAnOrphanRemovesTheShownNoteOnly) {
  Notes({{"C:\\a.wav", " 1", "first"}, {"C:\\b.wav", " 2", "b"}, {"C:\\a.wav", " 3", "second"}});
  EXPECT_EQ(inventory::DeleteOrphanNote(files, "C:\\a.wav").error, 0);
  EXPECT_EQ(UserDB(), Bytes({{"C:\\b.wav", " 2", "b"}, {"C:\\a.wav", " 3", "second"}}));
  ExpectWrittenThroughTheTwin();
  EXPECT_EQ(inventory::DeleteOrphanNote(files, "C:\\a.wav").error, 0);
  EXPECT_EQ(UserDB(), Bytes({{"C:\\b.wav", " 2", "b"}}));
}

TEST_F(ReconcileCore, DeletingWithoutUserDatabaseChangesNothing) {
  const datafiles::NoteDeleteOutcome removal = inventory::DeleteOrphanNote(files, "C:\\a.wav");
  EXPECT_EQ(removal.error, 0);
  EXPECT_FALSE(removal.removed);
  EXPECT_FALSE(drives.Exists(files.gUserDBFile));
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
