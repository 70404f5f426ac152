#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "pane/frmReconcileDB.h"
#include "inventory/reconcile.h"
#include "mainwindow/frmLauncher.h"
#include "support/window_steps.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"
#include "platform/qt/grid.h"
#include "support/app_fixture.h"
#include "support/link_kinds.h"

using testing_support::AppFixture;

namespace {

using Paths = std::vector<std::string>;

constexpr std::uint32_t kChosenBack = 0x800000, kChosenText = 0xFFFFFF;
constexpr std::uint32_t kIdle = platform::RGB(128, 128, 128);

struct Note {
  std::string path;
  std::string caption;
  std::string size = " 100";
};

class ReconcileWindowTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    window = OpenMainWindow();  // builds the first inventory, without notes yet
  }
  void TearDown() override { platform::InjectWriteFailureAfter(-1); }

  const datafiles::DataFileNames& Files() const { return state.decl.files; }

  static datafiles::UserDBRecord Record(const Note& n) {
    datafiles::UserDBRecord r;
    r.Path = n.path;
    r.Size = n.size;
    r.Caption = n.caption;
    r.Subject = "S-" + n.caption;
    r.Project = "P-" + n.caption;
    r.Keywords = "K-" + n.caption;
    r.Players = "Pl-" + n.caption;
    return r;
  }
  static std::string Bytes(const std::vector<Note>& notes) {
    std::string bytes;
    for (const Note& n : notes) bytes += Record(n).Bytes();
    return bytes;
  }
  // The notes, and an inventory of `files` (each also written to disk with `length` bytes).
  void Given(const std::vector<Note>& notes, const Paths& files = {}, std::size_t length = 100) {
    drives.Write(Files().gUserDBFile, Bytes(notes));
    std::string inventory;
    for (const std::string& f : files) {
      drives.Write(f, std::string(length, 'x'));
      datafiles::AppendStoredInventoryLine(f, nullptr, inventory);
    }
    drives.Write(Files().gInventoryFile, inventory);
  }
  std::string UserDB() const { return drives.Read(Files().gUserDBFile); }
  Paths Keys() const {
    Paths keys;
    for (const auto& r : datafiles::ReadUserDB(Files()).records) keys.emplace_back(r.Key());
    return keys;
  }

  // The window as its openers prepare it, shown but not modal, so that handlers can be driven.
  frmReconcileDB& Prepare() {
    MainPane().Reconcile().FindOrphanedRecords();
    MainPane().Reconcile().FillOrphansGrid();
    MainPane().Reconcile().InitMatchesGrid();
    frmReconcileDB& w = MainPane().Reconcile().Window();
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return w;
  }
  static void Choose(frmReconcileDB& w, int row, int button = 1) {
    w.grdOrphans->SetRow(row);
    w.grdOrphans_MouseDown(button, 0, 0, 0);
  }
  static void ChooseMatch(frmReconcileDB& w, int row) {
    w.grdMatches->SetRow(row);
    w.grdMatches_Click();
  }
  static Paths Column(const platform::FlexGrid& g, int col) {
    Paths out;
    for (int r = 0; r < g.Rows(); ++r) out.push_back(g.TextMatrix(r, col));
    return out;
  }
  static Paths Selected(const frmReconcileDB& w) {
    Paths out;
    for (auto* l : {w.lblSelectedCaption, w.lblSelectedSubject, w.lblSelectedProject, w.lblSelectedKeywords,
                    w.lblSelectedPlayers}) {
      out.push_back(l->Caption().toStdString());
    }
    return out;
  }
  static void ExpectCell(platform::FlexGrid& g, int row, std::uint32_t back, std::uint32_t fore) {
    // Looking moves the current cell; the window must not see it leave.
    const QSignalBlocker quiet(&g);
    const int r = g.Row(), c = g.Col();
    g.SetRow(row);
    g.SetCol(0);
    EXPECT_EQ(g.CellBackColor(), back) << "row " << row;
    EXPECT_EQ(g.CellForeColor(), fore) << "row " << row;
    g.SetRow(r);
    g.SetCol(c);
  }
  static void ExpectButtons(const frmReconcileDB& w, bool link, bool del, bool browse) {
    EXPECT_EQ(w.btnLink->isEnabled(), link);
    EXPECT_EQ(w.btnDeleteRecord->isEnabled(), del);
    EXPECT_EQ(w.btnBrowse->isEnabled(), browse);
  }

  std::unique_ptr<frmLauncher> window;
};

// ---- opening

struct OpenCase {
  int orphans;
  int height;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.orphans << " orphans"; }

class Opening : public ReconcileWindowTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(Opening, ListsTheOrphansSizedByTheirCountAndStoresTheCountAtTheClose) {
  std::vector<Note> notes{{"C:\\kept.wav", "kept"}};
  Paths expected;
  for (int i = 0; i < GetParam().orphans; ++i) {
    const std::string p = "D:\\a rather long folder name\\and another one below it\\take " + std::to_string(i) + ".wav";
    notes.push_back({p, "n" + std::to_string(i)});
    expected.push_back(p);
  }
  Given(notes, {"C:\\kept.wav"});
  state.io.prefs.gOrphanQuantity = "n/a ";

  Paths full, shown;
  int height = 0, matchRows = -1;
  bool buttonsOff = false;
  std::string status = "?";
  auto closer = testing_support::OnModal<frmReconcileDB>([&](frmReconcileDB& w) {
    full = Column(*w.grdOrphans, 1);
    shown = Column(*w.grdOrphans, 0);
    height = w.grdOrphans->Height();
    matchRows = w.grdMatches->Rows();
    buttonsOff = !w.btnLink->isEnabled() && !w.btnDeleteRecord->isEnabled() && !w.btnBrowse->isEnabled();
    status = w.lblSearchStatus->Caption().toStdString();
    EXPECT_EQ(w.windowTitle(), "Reconcile Database");
    w.close();  // the close box: no questions
  });
  MainPane().Reconcile().FindOrphanedRecords();
  MainPane().Reconcile().OpenReconcileWindow();

  EXPECT_EQ(MainPane().Reconcile().WindowOrNull(), nullptr) << "unloaded: the next opening loads anew";
  EXPECT_EQ(height, GetParam().height);
  EXPECT_EQ(matchRows, 0);
  EXPECT_TRUE(buttonsOff);
  EXPECT_EQ(status, "");
  if (GetParam().orphans == 0) {
    EXPECT_EQ(shown, Paths{"No Orphans Found"});
    EXPECT_EQ(full, Paths{""});
  } else {
    EXPECT_EQ(full, expected);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], AbbreviatePath(expected[0], 50));
    EXPECT_NE(shown[0], expected[0]);
  }
  const std::string count = platform::NumberText(GetParam().orphans);
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, count);
  EXPECT_EQ(drives.Read(Files().gPrefsFile), datafiles::PrefsLine(state.io.prefs));
}

INSTANTIATE_TEST_SUITE_P(Counts, Opening,
                         ::testing::Values(OpenCase{0, 250}, OpenCase{3, 730}, OpenCase{7, 1690}, OpenCase{8, 1940},
                                           OpenCase{12, 1940}));

TEST_F(ReconcileWindowTest, TheSearchShowsScanningInAWindowCreatedHidden) {
  Given({{"C:\\gone.wav", "gone"}});
  ASSERT_EQ(MainPane().Reconcile().WindowOrNull(), nullptr);
  std::string seen;
  std::uint32_t seenBack = 0;
  QTimer::singleShot(0, [&] {
    frmReconcileDB* w = MainPane().Reconcile().WindowOrNull();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isVisible());
    seen = w->lblSearchStatus->Caption().toStdString();
    seenBack = w->lblSearchStatus->BackColor();
  });
  MainPane().Reconcile().FindOrphanedRecords();
  EXPECT_EQ(seen, "Scanning");
  EXPECT_EQ(seenBack, platform::RGB(255, 128, 64));
  frmReconcileDB* w = MainPane().Reconcile().WindowOrNull();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->lblSearchStatus->Caption(), "");
  EXPECT_EQ(w->lblSearchStatus->BackColor(), kIdle);
  EXPECT_EQ(MainPane().Reconcile().state.gOrphanRecordCount, 1);
}

// ---- choosing

TEST_F(ReconcileWindowTest, ChoosingAnOrphanShowsItsNoteAndItsCandidates) {
  Given({{"C:\\old\\take.wav", "first", " 100"}, {"C:\\old\\take.wav", "second"}, {"D:\\gone\\b.mp3", "b"}},
        {"D:\\new\\take.wav", "D:\\new\\other.wav", "D:\\new\\take.au"});
  frmReconcileDB& w = Prepare();
  // A real press, as the user makes it.
  auto* view = w.grdOrphans->findChild<QTableView*>();
  ASSERT_NE(view, nullptr);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, view->rowViewportPosition(1) + 3));
  QApplication::processEvents();

  EXPECT_EQ(w.grdOrphans->Row(), 1);
  EXPECT_EQ(Selected(w), (Paths{"Caption: first", "Subject: S-first", "Project: P-first", "Keywords: K-first",
                                "Players: Pl-first"}))
      << "the first note of the path";
  EXPECT_EQ(Column(*w.grdMatches, 1), (Paths{"D:\\new\\take.wav", "D:\\new\\other.wav", "D:\\new\\take.au"}));
  EXPECT_EQ(w.grdMatches->Height(), 3 * 240 + 10);
  ExpectButtons(w, false, true, true);
  EXPECT_EQ(w.lblSearchStatus->Caption(), "");
  ExpectCell(*w.grdOrphans, 1, kChosenBack, kChosenText);
  const ReconcileDBState& s = MainPane().Reconcile().state;
  EXPECT_EQ(s.gSelectedOrphan, "C:\\old\\take.wav");
  EXPECT_EQ(s.gOrphanBaseName, "take");
  EXPECT_EQ(s.gOrphanExtension, "wav");

  ChooseMatch(w, 2);
  ExpectButtons(w, true, true, true);
  ExpectCell(*w.grdMatches, 2, kChosenBack, kChosenText);

  // Another orphan: the left cell goes back to the grid's colours, Link waits for a match.
  Choose(w, 2);
  ExpectCell(*w.grdOrphans, 1, 0, 0);
  ExpectCell(*w.grdOrphans, 2, kChosenBack, kChosenText);
  EXPECT_EQ(Selected(w)[0], "Caption: b");
  EXPECT_EQ(Column(*w.grdMatches, 1), Paths{});
  ExpectButtons(w, false, true, true);
}

TEST_F(ReconcileWindowTest, AnOrphanWithoutItsNoteShowsOnlyTheError) {
  Given({{"C:\\a.wav", "a"}, {"C:\\b.wav", "b"}});
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  Given({{"C:\\b.wav", "b"}});  // the note of a.wav went away meanwhile
  Choose(w, 0);
  EXPECT_EQ(Selected(w), (Paths{"ERROR: No data found for this record", "", "", "", ""}));
  drives.Remove(Files().gUserDBFile);
  Choose(w, 1);
  EXPECT_EQ(Selected(w), (Paths{"ERROR: Database not found", "", "", "", ""}));
}

TEST_F(ReconcileWindowTest, ThePlaceholderAndTheRightButtonChooseNothing) {
  Given({{"C:\\kept.wav", "kept"}}, {"C:\\kept.wav"});
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  ExpectButtons(w, false, false, false);
  EXPECT_EQ(Selected(w), (Paths{"", "", "", "", ""}));
  ExpectCell(*w.grdOrphans, 0, 0, 0);

  Given({{"C:\\gone.wav", "gone"}});
  MainPane().Reconcile().FindOrphanedRecords();
  MainPane().Reconcile().FillOrphansGrid();
  Choose(w, 0, 2);
  ExpectButtons(w, false, false, false);
  EXPECT_EQ(Selected(w)[0], "");
  EXPECT_EQ(MainPane().Reconcile().state.gSelectedOrphan, "");
}

TEST_F(ReconcileWindowTest, TheToolTipIsTheFullPathOfTheRowUnderThePointer) {
  std::vector<Note> notes;
  for (int i = 0; i < 20; ++i) notes.push_back({"C:\\gone\\" + std::to_string(i) + ".wav", "n"});
  Given(notes);
  frmReconcileDB& w = Prepare();
  w.grdOrphans->SetTopRow(5);
  QApplication::processEvents();
  w.grdOrphans_MouseMove(0, 0, 100, 300);
  EXPECT_EQ(w.grdOrphans->ToolTipText(), "C:\\gone\\6.wav");
  w.grdOrphans_MouseMove(0, 0, 100, 240 * 30);
  EXPECT_EQ(w.grdOrphans->ToolTipText(), "C:\\gone\\6.wav") << "below the last row the tip stays";
}

// ---- linking

struct LinkCase {
  const char* name;
  Paths orphans;      // the notes that are orphans, the first one is chosen
  const char* match;  // the candidate linked to (in the inventory)
  int answer;         // 0: no question expected
  const char* question;
  Paths keysAfter;    // userdb.dat's keys after the link
  Paths listedAfter;  // the orphan list after the link
  int orphansAfter;   // the count the search after the link stores
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class Linking : public ReconcileWindowTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(Linking, AsksForAllOrphansAloneOnlyWhenOthersAreListed) {
  const LinkCase& c = GetParam();
  std::vector<Note> notes;
  for (const std::string& p : c.orphans) notes.push_back({p, "n"});
  Given(notes, {c.match});
  // A note that moves names a file at its new path; the ones still listed afterwards do not.
  for (const std::string& k : c.keysAfter) {
    if (std::find(c.listedAfter.begin(), c.listedAfter.end(), k) == c.listedAfter.end() && !drives.Exists(k)) {
      drives.Write(k, "x");
    }
  }
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  ASSERT_EQ(Column(*w.grdMatches, 1), Paths{c.match});
  ChooseMatch(w, 0);
  if (c.answer) boxes.Answer(c.answer);
  w.btnLink_Click();

  if (c.answer) {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, c.question);
    EXPECT_EQ(boxes.shown()[0].style, 52);
  } else {
    EXPECT_TRUE(boxes.shown().empty());
  }
  EXPECT_EQ(Keys(), c.keysAfter);
  EXPECT_EQ(Column(*w.grdOrphans, 1), c.listedAfter);
  EXPECT_TRUE(w.grdOrphans->Enabled());
  ExpectButtons(w, false, false, false);
  EXPECT_EQ(Column(*w.grdMatches, 1), Paths{});
  EXPECT_EQ(Selected(w), (Paths{"", "", "", "", ""}));
  EXPECT_EQ(w.lblSearchStatus->Caption(), "");
  // Counted again and saved at once.
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, platform::NumberText(c.orphansAfter));
  EXPECT_EQ(drives.Read(Files().gPrefsFile), datafiles::PrefsLine(state.io.prefs));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Linking,
    ::testing::Values(
        LinkCase{"NameOfTheLastOrphan", {"C:\\a\\x.wav"}, "D:\\b\\x.mp3", 0, "", {"D:\\b\\x.mp3"}, {""}, 0},
        LinkCase{"DriveOfALoneOrphan", {"C:\\a\\x.wav"}, "D:\\a\\x.wav", 0, "", {"D:\\a\\x.wav"}, {""}, 0},
        LinkCase{"DriveForAll",
                 {"C:\\a\\x.wav", "C:\\b\\y.wav", "D:\\c\\z.wav"},
                 "D:\\a\\x.wav",
                 platform::vbYes,
                 "Drive letter change",
                 {"D:\\a\\x.wav", "D:\\b\\y.wav", "D:\\c\\z.wav"},
                 {"D:\\c\\z.wav"},
                 2},
        LinkCase{"DriveForOne",
                 {"C:\\a\\x.wav", "C:\\b\\y.wav"},
                 "D:\\a\\x.wav",
                 platform::vbNo,
                 "Drive letter change",
                 {"D:\\a\\x.wav", "C:\\b\\y.wav"},
                 {"C:\\b\\y.wav"},
                 1},
        LinkCase{"PathForAll",
                 {"C:\\a\\x.wav", "C:\\a\\sub\\s.wav", "C:\\a\\y.wav"},
                 "C:\\moved\\x.wav",
                 platform::vbYes,
                 "File path has changed",
                 {"C:\\moved\\x.wav", "C:\\a\\sub\\s.wav", "C:\\moved\\y.wav"},
                 {"C:\\a\\sub\\s.wav"},
                 2},
        // Only where a file exists at the new path: the others keep their path and stay listed.
        LinkCase{"PathForAllWhereSomeFilesAreElsewhere",
                 {"C:\\a\\x.wav", "C:\\a\\y.wav", "C:\\a\\z.wav"},
                 "C:\\moved\\x.wav",
                 platform::vbYes,
                 "File path has changed",
                 {"C:\\moved\\x.wav", "C:\\a\\y.wav", "C:\\moved\\z.wav"},
                 {"C:\\a\\y.wav"},
                 2},
        LinkCase{"DriveForAllWhereSomeFilesAreElsewhere",
                 {"C:\\a\\x.wav", "C:\\b\\y.wav", "C:\\c\\z.wav"},
                 "D:\\a\\x.wav",
                 platform::vbYes,
                 "Drive letter change",
                 {"D:\\a\\x.wav", "D:\\b\\y.wav", "C:\\c\\z.wav"},
                 {"C:\\c\\z.wav"},
                 2},
        LinkCase{"PathForOne",
                 {"C:\\a\\x.wav", "C:\\a\\y.wav"},
                 "D:\\moved\\x.wav",
                 platform::vbNo,
                 "File path has changed",
                 {"D:\\moved\\x.wav", "C:\\a\\y.wav"},
                 {"C:\\a\\y.wav"},
                 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReconcileWindowTest, TheAllOrphansQuestionsReadAsWritten) {
  Given({{"C:\\a\\x.wav", "n"}, {"C:\\b\\y.wav", "n"}}, {"D:\\a\\x.wav", "C:\\c\\x.wav"});
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  ASSERT_EQ(w.grdMatches->Rows(), 2);
  boxes.Answer(platform::vbNo);
  ChooseMatch(w, 0);
  MainPane().Reconcile().DetermineLinkKind();
  boxes.Answer(platform::vbNo);
  ChooseMatch(w, 1);
  MainPane().Reconcile().DetermineLinkKind();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text,
            "The file appears to have changed location by drive letter only.\n\r"
            "This may indicate a change in system configuration that may have\n\r"
            "caused other orphans in an identical way.\n\r\n\r"
            "Would you like to change the drive letter of all orphans \n\r"
            "referencing the same original drive?");
  EXPECT_EQ(boxes.shown()[1].text,
            "The path to this file has changed.\n\r"
            "This may indicate a path change on your system\n\r"
            "that may have orphaned other files from the same original location.\n\r\n\r"
            "Would you like to similarly change the path of any orphans \n\r"
            "from the same location?");
  EXPECT_EQ(LinkKindName(MainPane().Reconcile().state.gLinkKind), "Path");
}

TEST_F(ReconcileWindowTest, ALinkThatCannotBeWrittenIsToldAndTheListStaysUsable) {
  Given({{"C:\\a\\x.wav", "n"}, {"C:\\b\\y.wav", "n"}}, {"D:\\a\\x.wav"});
  const std::string before = UserDB();
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  ChooseMatch(w, 0);
  boxes.Answer(platform::vbNo);
  boxes.Answer(platform::vbOK);
  platform::InjectWriteFailureAfter(10);
  w.btnLink_Click();
  platform::InjectWriteFailureAfter(-1);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].title, "Note Not Linked");
  EXPECT_EQ(UserDB(), before);
  EXPECT_EQ(Column(*w.grdOrphans, 1), (Paths{"C:\\a\\x.wav", "C:\\b\\y.wav"}));
  EXPECT_TRUE(w.grdOrphans->Enabled());
  EXPECT_EQ(w.lblSearchStatus->Caption(), "");
  EXPECT_EQ(w.lblSearchStatus->BackColor(), kIdle);
}

// ---- browse

TEST_F(ReconcileWindowTest, BrowseLinksByNameToAnyFileAndStoresItsLength) {
  Given({{"C:\\a\\x.wav", "n", " 100"}, {"C:\\b\\y.wav", "n"}});
  drives.Write("D:\\elsewhere\\renamed.wav", std::string(777, 'x'));
  state.io.prefs.gBrowsePath = "D:\\elsewhere\\";
  frmReconcileDB& w = Prepare();
  w.browseInitDir = state.io.prefs.gBrowsePath;
  Choose(w, 0);

  dialogs.Cancel();
  w.btnBrowse_Click();
  EXPECT_EQ(Keys(), (Paths{"C:\\a\\x.wav", "C:\\b\\y.wav"}));
  ExpectButtons(w, false, true, true);

  dialogs.Choose("D:\\elsewhere\\renamed.wav");
  w.btnBrowse_Click();
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_EQ(dialogs.requests()[1].initDir, "D:\\elsewhere\\");
  EXPECT_EQ(dialogs.requests()[1].filter, state.launcher.gOpenFilter);
  EXPECT_TRUE(boxes.shown().empty()) << "no question for a browsed file";
  auto records = datafiles::ReadUserDB(Files()).records;
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Key(), "D:\\elsewhere\\renamed.wav");
  EXPECT_EQ(platform::TrimRight(records[0].Size), " 777");
  EXPECT_EQ(Column(*w.grdOrphans, 1), Paths{"C:\\b\\y.wav"});
  EXPECT_FALSE(MainPane().Reconcile().state.gLinkFromBrowse);
  ExpectButtons(w, false, false, false);
}

TEST_F(ReconcileWindowTest, BrowsingOntoAFileWithANoteIsRefusedAndKeepsTheChoice) {
  Given({{"C:\\a\\x.wav", "n"}, {"D:\\noted.wav", "own"}}, {"D:\\noted.wav"});
  const std::string before = UserDB();
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  dialogs.Choose("D:\\noted.wav");
  boxes.Answer(platform::vbOK);
  w.btnBrowse_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Note Not Linked");
  EXPECT_EQ(UserDB(), before);
  EXPECT_EQ(Column(*w.grdOrphans, 1), Paths{"C:\\a\\x.wav"});
  ExpectButtons(w, false, true, true);
  EXPECT_EQ(Selected(w)[0], "Caption: n");
}

// ---- delete and close

// The shown note and its row go; the second note of the same path stays, listed in its row.
TEST_F(ReconcileWindowTest, DeleteAsksThenRemovesTheShownNoteAndItsRow) {
  Given({{"C:\\a.wav", "first"}, {"C:\\b.wav", "b"}, {"C:\\a.wav", "second"}});
  frmReconcileDB& w = Prepare();
  ASSERT_EQ(w.grdOrphans->Rows(), 3);
  Choose(w, 0);

  boxes.Answer(platform::vbNo);
  w.btnDeleteRecord_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Deleting record");
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(boxes.shown()[0].text,
            "You are about to permanently delete the following record:\n\r\n\rC:\\a.wav\n\r\n\r"
            "Caption: first\n\rSubject: S-first\n\rProject: P-first\n\rKeywords: K-first\n\rPlayers: Pl-first\n\r"
            "\n\rAre you sure you want to delete this information?\n\r");
  EXPECT_EQ(w.grdOrphans->Rows(), 3);
  EXPECT_EQ(Keys(), (Paths{"C:\\a.wav", "C:\\b.wav", "C:\\a.wav"}));

  boxes.Answer(platform::vbYes);
  w.btnDeleteRecord_Click();
  EXPECT_EQ(Keys(), (Paths{"C:\\b.wav", "C:\\a.wav"}));
  EXPECT_EQ(Column(*w.grdOrphans, 1), (Paths{"C:\\b.wav", "C:\\a.wav"}));
  EXPECT_EQ(w.grdOrphans->Height(), 2 * 240 + 10);
  ExpectButtons(w, false, false, false);
  EXPECT_EQ(Selected(w), (Paths{"", "", "", "", ""}));
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, " 3") << "a delete does not count again";
}

TEST_F(ReconcileWindowTest, DeletingTheLastOrphanLeavesTheEmptyPlaceholderAndCloseAsksNothing) {
  Given({{"C:\\a.wav", "a"}});
  frmReconcileDB& w = Prepare();
  Choose(w, 0);
  boxes.Answer(platform::vbYes);
  w.btnDeleteRecord_Click();
  EXPECT_EQ(Column(*w.grdOrphans, 0), Paths{"No Orphans Found"});
  EXPECT_EQ(Column(*w.grdOrphans, 1), Paths{""});
  EXPECT_EQ(UserDB(), "");
  w.btnClose_Click();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, " 0");
}

TEST_F(ReconcileWindowTest, CloseWithOrphansLeftAsksAndTellsHowToComeBack) {
  Given({{"C:\\a.wav", "a"}, {"C:\\b.wav", "b"}});
  frmReconcileDB& w = Prepare();
  boxes.Answer(platform::vbNo);
  w.btnClose_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Orphans still exist");
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(boxes.shown()[0].text,
            "There are still orphaned records in your database.\n\r\n\r"
            "Are you sure you want to close the Reconcile form?");
  EXPECT_TRUE(w.isVisible());

  state.io.prefs.gOrphanQuantity = "n/a ";
  boxes.Answer(platform::vbYes);
  boxes.Answer(platform::vbOK);
  w.btnClose_Click();
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[2].title, "Reconciling Later");
  EXPECT_EQ(boxes.shown()[2].style, 64);
  EXPECT_EQ(boxes.shown()[2].text,
            "You may finish reconciling your database anytime later\n\r"
            "by clicking the \"Tools/Preferences\" button\n\r"
            "and selecting \"Reconcile Database\" from the tools screen.");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, " 2");
  EXPECT_EQ(drives.Read(Files().gPrefsFile), datafiles::PrefsLine(state.io.prefs));
}

TEST_F(ReconcileWindowTest, EscapeAsksAsCloseDoesAndTheCloseBoxDoesNot) {
  Given({{"C:\\a.wav", "a"}, {"C:\\b.wav", "b"}});
  frmReconcileDB& w = Prepare();
  boxes.Answer(platform::vbNo);
  QTest::keyClick(&w, Qt::Key_Escape);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Orphans still exist");
  EXPECT_TRUE(w.isVisible());
  boxes.Answer(platform::vbYes);
  boxes.Answer(platform::vbOK);
  QTest::keyClick(&w, Qt::Key_Escape);
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[2].title, "Reconciling Later");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, " 2");

  frmReconcileDB& again = Prepare();
  again.close();
  EXPECT_EQ(boxes.shown().size(), 3u) << "the close box asks nothing";
  EXPECT_FALSE(again.isVisible());
}

TEST_F(ReconcileWindowTest, HelpStartsTheViewerOnItsPage) {
  Given({{"C:\\a.wav", "a"}});
  frmReconcileDB& w = Prepare();
  w.btnReconcileHelp_Click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].args, Paths{"dbrecon.htm"});
}

}  // namespace
