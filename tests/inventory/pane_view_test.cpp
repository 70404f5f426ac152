#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "pane/dbviewer.h"
#include "inventory_test_support.h"
#include "mainwindow/frmLauncher.h"
#include "pane/databasepane.h"
#include "support/window_steps.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"
#include "support/tree_access.h"
#include "support/player_access.h"

using testing_support::AppFixture;

namespace {

using Lines = std::vector<std::string>;

constexpr std::uint32_t kSkinBack = 0x473D01, kSkinText = 0xDCC281, kBusy = 0xDC, kRed = 255;
const std::string k187 = "\xC2\xBB";
const std::string kHeader = "Last Updated:  3/9/2024  2:05:07 PM";
const std::string kNoMatch = std::string(42, ' ') + ">> NO MATCHES FOUND <<";
const std::string kCrLf = "\r\n";

class PaneView : public AppFixture {
 protected:
  void SetUp() override { WriteDefaultSettings(); }
  void TearDown() override { SetDragStarter({}); }

  const datafiles::DataFileNames& Files() const { return state.decl.files; }

  // The drives C: and D: as the summary has them, and these files listed (each made with
  // `bytes` bytes unless it is to be missing).
  void Machine(const Lines& paths, std::size_t bytes = 20) {
    platform::ListWriter w;
    w.Text(kHeader).EndLine();
    for (int c = 0; c < 8; ++c) w.Number(0);
    w.EndLine();
    for (const char* d : {"C:", "D:"}) {
      w.Text(d).Number(104);
      for (int c = 0; c < 8; ++c) w.Number(0);
      w.EndLine();
    }
    drives.Write(Files().gInvSumFile, w.str());
    std::string inventory;
    for (const auto& p : paths) {
      datafiles::AppendStoredInventoryLine(p, nullptr, inventory);
      drives.Write(p, std::string(bytes, 'x'));
    }
    drives.Write(Files().gInventoryFile, inventory);
  }
  static datafiles::UserDBRecord Note(const std::string& path, const std::string& caption,
                                      const std::string& keywords = "") {
    datafiles::UserDBRecord r;
    r.Path = path;
    r.Size = " 20";
    r.Caption = caption;
    r.Keywords = keywords;
    return datafiles::UserDBRecord::FromBytes(r.Bytes());
  }
  void Notes(const std::vector<datafiles::UserDBRecord>& records) {
    std::string bytes;
    for (const auto& r : records) bytes += r.Bytes();
    drives.Write(Files().gUserDBFile, bytes);
  }

  void Open() {
    window = OpenMainWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
  }
  frmLauncher& W() { return *window; }
  platform::FlexGrid& Grid() { return *PaneUi(window->Pane()).grdTotals; }
  QTableView* View() { return PaneUi(window->Pane()).grdTotals->findChild<QTableView*>(); }
  DBViewerState& Db() { return PaneDb(W().Pane()); }

  // The row of the list whose file is `full`; -1 when none.
  int RowOf(const std::string& full) {
    for (int r = 1; r < Grid().Rows(); ++r) {
      if (Grid().TextMatrix(r, 1) + Grid().TextMatrix(r, 3) == full) return r;
    }
    return -1;
  }
  // The list of every file, then `full` opened from it as a click does.
  void OpenFromList(const std::string& full) {
    Db().gTypeFilter = "total";
    Db().gSelectedDrive = "";
    W().Pane().ShowInventoryDetail();
    const int row = RowOf(full);
    ASSERT_GT(row, 0) << full;
    Grid().SetRow(row);
    ASSERT_TRUE(W().Pane().OpenListedFile());
  }
  // A real release of `button` over a row of the grid, as the user makes it.
  void Release(int row, Qt::MouseButton button) {
    QApplication::processEvents();
    QTableView* v = View();
    const int x = v->columnViewportPosition(2) + 3;
    if (row == 0) {
      QTest::mouseClick(v->horizontalHeader()->viewport(), button, Qt::NoModifier, QPoint(x, 5));
    } else {
      const int y = v->rowViewportPosition(row - 1) + 3;
      QTest::mouseClick(v->viewport(), button, Qt::NoModifier, QPoint(x, y));
    }
    QApplication::processEvents();
  }
  void Search(const std::string& text, std::array<int, 3> options = {1, 1, 0}) {
    state.io.prefs.gSearchAttributes = options[0];
    state.io.prefs.gSearchUserDB = options[1];
    state.io.prefs.gSearchChunks = options[2];
    W().Pane().btnSelSearch_Click();
    PaneUi(W().Pane()).txtDBSearchText->setText(QString::fromStdString(text));
    W().Pane().btnSelSearch_Click();
  }
  // Each result row as "mark|drive|shown|path|hits".
  Lines Rows() {
    Lines out;
    for (int r = 1; r < Grid().Rows(); ++r) {
      std::string row;
      for (int c = 0; c < Grid().Cols(); ++c) row += (c ? "|" : "") + Grid().TextMatrix(r, c);
      out.push_back(row);
    }
    return out;
  }
  static void ExpectLook(const platform::Label* b, std::uint32_t back, std::uint32_t fore, const char* what) {
    EXPECT_EQ(b->BackColor(), back) << what;
    EXPECT_EQ(b->ForeColor(), fore) << what;
  }
  std::string Status1() { return PaneUi(W().Pane()).lblDBStatus1->Caption().toStdString(); }
  std::string Status2() { return PaneUi(W().Pane()).lblDBStatus2->Caption().toStdString(); }

  inventory_testing::FakeDriveFacts facts;
  std::unique_ptr<frmLauncher> window;
};

// ---- File Detail

TEST_F(PaneView, FileDetailShowsTheAnalysisTheLengthTheNoteAndTheMemberships) {
  const std::string path = "C:\\Music\\Live\\Second Set\\Long Name Of The Opening Song.wav";
  Machine({path});
  Notes({Note("C:\\other.wav", "other"), Note(path, "Opening", "live, jazz")});
  player.SetDuration(path, 205.4);
  Open();
  state.io.presets.gPresetPaths[2] = path;
  OpenFromList(path);
  EXPECT_EQ(ViewName(Db().gViewMode), "File");
  EXPECT_EQ(ViewName(Db().gPrevViewMode), "Detail");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "File Detail");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->toolTip().toStdString(), path);
  EXPECT_LE(PaneUi(W().Pane()).txtDBDescription->text().size(), 40);
  EXPECT_TRUE(PaneUi(W().Pane()).grdTotals->isHidden());
  EXPECT_TRUE(PaneUi(W().Pane()).lblDBFileCover->isHidden());
  EXPECT_EQ(PaneUi(W().Pane()).lblDBCaption->Caption(), "Opening");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBKeywords->Caption(), "live, jazz");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBSubject->Caption(), "");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBRallysets->Caption(), "[3]");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBLength->Caption(), " 0h 3m 25.4s");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBEncoding->Caption(), "n/a, n/a, n/a");
  EXPECT_EQ(PaneUi(W().Pane()).btnPlay->Caption(), "Play");
  EXPECT_EQ(PaneUi(W().Pane()).btnPlay->frameStyle(), QFrame::Box | QFrame::Plain);
  EXPECT_TRUE(PaneUi(W().Pane()).btnPlay->isEnabled());
  ExpectLook(PaneUi(W().Pane()).btnPlay, kSkinBack, kSkinText, "Play at rest");
  EXPECT_EQ(Status1(), "");
  EXPECT_EQ(Status2(), "");
  EXPECT_EQ(Db().gRestoreRow, RowOf(path));
}

struct LengthCase {
  const char* name;
  std::size_t bytes;  // 0: the file is missing
  bool refused;       // the player refuses it
  const char* status1;
  const char* status2;
  const char* length;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class FileLength : public PaneView, public ::testing::WithParamInterface<LengthCase> {};

// The player held another file before; its length never shows for this one.
TEST_P(FileLength, ShowsWhatTheFileAndThePlayerTell) {
  const std::string before = "C:\\before.wav", path = "C:\\Music\\f.wav";
  Machine({before, path}, GetParam().bytes ? GetParam().bytes : 20);
  player.SetDuration(before, 99);
  player.SetDuration(path, 12.5);
  if (GetParam().refused) player.Refuse(path);
  if (GetParam().bytes == 0) drives.Remove(path);
  Open();
  OpenFromList(before);
  OpenFromList(path);
  EXPECT_EQ(Status1(), GetParam().status1);
  EXPECT_EQ(Status2(), GetParam().status2);
  EXPECT_EQ(PaneUi(W().Pane()).lblDBLength->Caption().toStdString(), GetParam().length);
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "File Detail");
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileLength,
    ::testing::Values(LengthCase{"twelve", 12, false, "File length: 12 bytes", "This is not a valid audio file", " 0h 0m 12.5s"},
                      LengthCase{"thirteen", 13, false, "", "", " 0h 0m 12.5s"},
                      LengthCase{"missing", 0, false, "File length: 0 bytes", "This is not a valid audio file", " 0h 0m 0s"},
                      LengthCase{"refused", 20, true, "", "", " 0h 0m 0s"}));

// The system's player takes a file without a word and refuses it at the first reading of its
// length.
class LateRefusingPlayer : public testing_support::FakeMediaPlayer {
 public:
  double Duration() override {
    if (FileName() == refused) throw platform::VbError(platform::errUnspecified);
    return FakeMediaPlayer::Duration();
  }
  std::string refused;
};

TEST_F(PaneView, APlayerThatRefusesTheFileLateGivesALengthOfNothing) {
  const std::string path = "C:\\Music\\odd.wav";
  Machine({path});
  LateRefusingPlayer late;
  late.refused = path;
  state.decl.gRebuildInventory = false;
  window = std::make_unique<frmLauncher>(&late, state);
  window->Form_Load();
  OpenFromList(path);
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "File Detail");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBLength->Caption(), " 0h 0m 0s");
  EXPECT_EQ(PaneUi(W().Pane()).btnPlay->Caption(), "Play");
  window.reset();
}

// ---- rows that hold no file, playlists, the right button

// A search after File Detail takes its Play away: the Result view holds no file to play, and
// the earlier file does not play from it.
TEST_F(PaneView, ASearchAfterFileDetailLeavesNoPlayOfTheEarlierFile) {
  const std::string path = "C:\\Music\\a.wav";
  Machine({path});
  player.SetDuration(path, 30);
  Open();
  OpenFromList(path);
  ASSERT_EQ(PaneUi(W().Pane()).btnPlay->Caption(), "Play");
  Search("a");
  EXPECT_EQ(ViewName(Db().gViewMode), "Result");
  EXPECT_EQ(PaneUi(W().Pane()).btnPlay->Caption(), "");
  player.calls.clear();
  W().PlayOrStopShownFile();
  EXPECT_EQ(std::find(player.calls.begin(), player.calls.end(), "Play"), player.calls.end());
  EXPECT_EQ(PlayerUi(W().Player()).lblPlayStatus->Caption(), "");
}

TEST_F(PaneView, RowsWithoutAFileOpenNothingAndTheRightButtonLeavesThePlayerAlone) {
  Machine({"C:\\Music\\a.wav", "D:\\Lists\\Mix.M3U"});
  Open();
  Search("nothing like it");
  ASSERT_EQ(Rows(), (Lines{"| |" + kNoMatch + "| |"}));
  player.calls.clear();
  for (int row : {0, 1}) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
      Release(row, b);
      EXPECT_EQ(ViewName(Db().gViewMode), "Result") << "row " << row;
    }
  }
  // The reload of that result: a row without a drive, no file either.
  W().Pane().btnSelInventory_Click();
  W().Pane().btnSelDetail_Click();
  EXPECT_EQ(Rows(), (Lines{"||>> NO MATCHES FOUND <<|>> NO MATCHES FOUND <<|0"}));
  EXPECT_EQ(Status2(), "Total files listed: 1");
  Release(1, Qt::RightButton);
  EXPECT_EQ(ViewName(Db().gViewMode), "Result");
  EXPECT_TRUE(player.calls.empty());

  // A playlist goes to the playlist editor, never to File Detail.
  Db().gRestoreRow = 0;
  W().Pane().ShowInventoryDetail();
  const int list = RowOf("D:\\Lists\\Mix.M3U");
  Release(list, Qt::RightButton);
  EXPECT_EQ(Db().gCurrentPlaylistPath, "D:\\Lists\\Mix.M3U");
  EXPECT_EQ(ViewName(Db().gViewMode), "Detail");
  EXPECT_EQ(Db().gRestoreRow, 0);
  EXPECT_TRUE(player.calls.empty());
}

TEST_F(PaneView, ARightButtonReleaseOpensTheFileAndPlaysIt) {
  const std::string path = "C:\\Music\\a.wav";
  Machine({path});
  player.SetDuration(path, 30);
  Open();
  Db().gTypeFilter = "total";
  W().Pane().ShowInventoryDetail();
  testing_support::Steps steps(5, [this] {
    if (PaneUi(W().Pane()).btnPlay->Caption() != "Stop") return false;
    W().PlayOrStopShownFile();
    return true;
  });
  Release(1, Qt::RightButton);
  EXPECT_EQ(ViewName(Db().gViewMode), "File");
  EXPECT_EQ(Db().gCurrentFilePath, path);
  EXPECT_NE(std::find(player.calls.begin(), player.calls.end(), "Play"), player.calls.end());
  EXPECT_EQ(PlayerUi(W().Player()).lblPlayStatus->Caption(), "Stopped");
}

// ---- the Detail tab

struct DetailCase {
  const char* view;
  const char* previous;
  const char* title;  // after the click; "" for nothing drawn
  const char* viewAfter;
};

void PrintTo(const DetailCase& c, std::ostream* os) { *os << c.view << " after " << c.previous; }

class DetailTab : public PaneView, public ::testing::WithParamInterface<DetailCase> {};

TEST_P(DetailTab, GoesBackToTheListTheUserCameFrom) {
  Machine({"C:\\Music\\a.wav"});
  facts.volumes['C'] = {"Music", 7, "ext4"};
  facts.spaces['C'] = {1024, 2048, 1024};
  Open();
  drives.Write(Files().gResultFile, "Keyword search: a" + kCrLf + "C:,\\Music\\a.wav,3" + kCrLf);
  Db().gSelectedDrive = "C:";
  Db().gViewMode = ViewNamed(GetParam().view);
  Db().gPrevViewMode = ViewNamed(GetParam().previous);
  Grid().SetTextMatrix(0, 0, "untouched");
  PaneTestAccess::ShowTitle(W().Pane(), "before");
  W().Pane().btnSelDetail_Click();
  const std::string title = GetParam().title;
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption().toStdString(), title.empty() ? "before" : title);
  EXPECT_EQ(ViewName(Db().gViewMode), GetParam().viewAfter);
  if (title.empty()) {
    EXPECT_EQ(Grid().TextMatrix(0, 0), "untouched");
  }
  if (std::string(GetParam().viewAfter) == "Result" && !title.empty()) {
    EXPECT_EQ(Rows(), (Lines{"|C:|\\Music\\a.wav|\\Music\\a.wav|3"}));
  }
  ExpectLook(PaneUi(W().Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail current");
  ExpectLook(PaneUi(W().Pane()).btnSelSearch, kSkinBack, kSkinText, "Search at rest");
  ExpectLook(PaneUi(W().Pane()).btnSelInventory, kSkinBack, kSkinText, "Inventory at rest");
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetailTab,
    ::testing::Values(DetailCase{"Detail", "", "Inventory Detail", "Detail"},
                      DetailCase{"Drive", "Result", "Drive Detail", "Drive"},
                      DetailCase{"Result", "Detail", "", "Result"},
                      DetailCase{"Inventory", "Result", "Inventory Detail", "Result"},
                      DetailCase{"File", "Result", "Inventory Detail", "Result"},
                      DetailCase{"File", "Drive", "Drive Detail", "Drive"},
                      DetailCase{"File", "Detail", "Inventory Detail", "Detail"},
                      DetailCase{"Inventory", "", "Inventory Detail", "Detail"},
                      DetailCase{"File", "File", "Inventory Detail", "Detail"},
                      DetailCase{"", "Result", "", ""}));

// ---- search entry and the search

struct IncludeCase {
  std::array<int, 3> options;
  const char* line;
  bool none;
};

void PrintTo(const IncludeCase& c, std::ostream* os) { *os << c.line; }

class IncludeLine : public PaneView, public ::testing::WithParamInterface<IncludeCase> {};

TEST_P(IncludeLine, NamesTheOptionsInForce) {
  Machine({});
  Open();
  PaneTestAccess::ShowTitle(W().Pane(), "Search Inventory");
  PaneUi(W().Pane()).txtDBDescription->setToolTip("C:\\shown.wav");
  state.io.prefs.gSearchAttributes = GetParam().options[0];
  state.io.prefs.gSearchUserDB = GetParam().options[1];
  state.io.prefs.gSearchChunks = GetParam().options[2];
  W().Pane().ShowSearchIncludeLine();
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text().toStdString(), GetParam().line);
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->toolTip(), "");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->ForeColor(), GetParam().none ? kBusy : kSkinText);
  EXPECT_EQ(Status1(), GetParam().none ? "Select one or more DB Search Options from" : "Enter phrase(s) to search for");
  EXPECT_EQ(Status2(), GetParam().none ? "Tools/Preferences menu before continuing" : "Separate phrases with commas");

  // Outside search entry it does nothing.
  PaneTestAccess::ShowTitle(W().Pane(), "System Inventory");
  PaneUi(W().Pane()).txtDBDescription->setText("kept");
  W().Pane().ShowSearchIncludeLine();
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text(), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Table, IncludeLine,
    ::testing::Values(IncludeCase{{1, 1, 1}, "Include: File attributes,  User DB,  Embedded info", false},
                      IncludeCase{{1, 1, 0}, "Include: File attributes,  User DB", false},
                      IncludeCase{{1, 0, 1}, "Include: File attributes,  Embedded info", false},
                      IncludeCase{{0, 1, 1}, "Include: User DB,  Embedded info", false},
                      IncludeCase{{1, 0, 0}, "Include: File attributes", false},
                      IncludeCase{{0, 1, 0}, "Include: User DB", false},
                      IncludeCase{{0, 0, 1}, "Include: Embedded info", false},
                      IncludeCase{{0, 0, 0}, "NO SEARCH OPTIONS SET", true}));

TEST_F(PaneView, ASearchListsTheHitsHighestFirstAndKeepsThemForTheDetailTab) {
  // Hits by attributes and notes: 9 for nine.wav, 12 for twelve.wav, 1 for the folder alone.
  // A note with "jazz" as caption and keywords scores 3; a file of 12 bytes is never listed.
  Machine({"C:\\Jazz\\x.wav", "C:\\a\\nine.wav", "D:\\b, c\\twelve.wav", "C:\\Jazz\\small.wav"});
  drives.Write("C:\\Jazz\\small.wav", "twelve bytes");
  std::vector<datafiles::UserDBRecord> notes(3, Note("C:\\a\\nine.wav", "jazz", "jazz"));
  notes.insert(notes.end(), 4, Note("D:\\b, c\\twelve.wav", "jazz", "jazz"));
  Notes(notes);
  Open();
  W().Pane().btnSelSearch_Click();
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "Search Inventory");
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "Cancel");
  ExpectLook(PaneUi(W().Pane()).btnSelSearch, kSkinText, kSkinBack, "Search current");
  for (const platform::Label* b : {PaneUi(W().Pane()).btnSelDetail, PaneUi(W().Pane()).btnSelInventory, PaneUi(W().Pane()).btnPrint, PaneUi(W().Pane()).btnPlay}) {
    EXPECT_TRUE(b->isHidden());
    EXPECT_FALSE(b->isEnabled());
  }
  EXPECT_TRUE(PaneUi(W().Pane()).txtDBSearchText->isVisible());
  EXPECT_TRUE(PaneUi(W().Pane()).grdTotals->isHidden());
  PaneUi(W().Pane()).txtDBSearchText->setText("jazz");
  int searches = 0;
  QObject::connect(PaneUi(W().Pane()).lblDBStatus1, &platform::Label::Change, [&] {
    if (PaneUi(W().Pane()).lblDBStatus1->Caption() != "Initializing DB search...") return;
    ++searches;
    ExpectLook(PaneUi(W().Pane()).btnSelSearch, kBusy, kSkinBack, "Search pressed");
    // A second click waiting meanwhile is no second search.
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(PaneUi(W().Pane()).btnSelSearch,
                                  new QMouseEvent(t, QPointF(5, 5), QPointF(PaneUi(W().Pane()).btnSelSearch->mapToGlobal(QPoint(5, 5))),
                                                  Qt::LeftButton, t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                  Qt::NoModifier));
    }
  });
  W().Pane().btnSelSearch_Click();
  QApplication::processEvents();
  EXPECT_EQ(searches, 1);
  EXPECT_EQ(Rows(), (Lines{"  \xC2\xBB|D:|\\b, c\\twelve.wav|\\b, c\\twelve.wav|12",
                           "  \xC2\xBB|C:|\\a\\nine.wav|\\a\\nine.wav|9", "|C:|\\Jazz\\x.wav|\\Jazz\\x.wav|1"}));
  EXPECT_EQ(ViewName(Db().gViewMode), "Result");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text(), "Keyword search: jazz");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->ForeColor(), kSkinText);
  EXPECT_EQ(Status1(), "Search completed");
  EXPECT_EQ(Status2(), "Total files listed: 3");
  EXPECT_EQ(platform::ScreenPointer(), 0);
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "Update");
  ExpectLook(PaneUi(W().Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail current");
  ExpectLook(PaneUi(W().Pane()).btnSelSearch, kSkinBack, kSkinText, "Search at rest");
  EXPECT_TRUE(PaneUi(W().Pane()).txtDBSearchText->isHidden());
  EXPECT_TRUE(PaneUi(W().Pane()).grdTotals->isVisible());
  EXPECT_EQ(Grid().Height(), 240 * 5);
  EXPECT_EQ(drives.Read(Files().gResultFile), "Keyword search: jazz" + kCrLf + "C:,\\Jazz\\x.wav,1" + kCrLf +
                                                  "C:,\\a\\nine.wav,9" + kCrLf + "D:,\\b" + k187 + " c\\twelve.wav,12" + kCrLf);

  // Open the second row, then come back: the same rows, that row at the top.
  const Lines before = Rows();
  Release(2, Qt::LeftButton);
  ASSERT_EQ(ViewName(Db().gViewMode), "File");
  EXPECT_EQ(Db().gCurrentFilePath, "C:\\a\\nine.wav");
  W().Pane().btnSelDetail_Click();
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(Db().gRestoreRow, 0) << "used by the reload";
  EXPECT_EQ(Status1(), "Search completed");
  EXPECT_EQ(Status2(), "Total files listed: 3");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text(), "Keyword search: jazz");
}

TEST_F(PaneView, CancelPutsBackTheViewSearchEntryCameFrom) {
  const std::string path = "C:\\Music\\a.wav";
  Machine({path});
  Open();
  const QString title = PaneUi(W().Pane()).lblDBViewTitle->Caption(), text = PaneUi(W().Pane()).txtDBDescription->text();
  PaneUi(W().Pane()).lblDBStatus2->SetCaption("second line");
  W().Pane().btnSelSearch_Click();
  PaneUi(W().Pane()).txtDBSearchText->setText("typed");
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), title);
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text(), text);
  EXPECT_EQ(Status2(), "second line");
  EXPECT_TRUE(PaneUi(W().Pane()).grdTotals->isVisible());
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "Update");
  ExpectLook(PaneUi(W().Pane()).btnSelSearch, kSkinBack, kSkinText, "Search at rest");

  OpenFromList(path);
  W().Pane().btnSelSearch_Click();
  EXPECT_EQ(PaneUi(W().Pane()).txtDBSearchText->text(), "typed") << "the box keeps the last phrases";
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "File Detail");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->toolTip().toStdString(), path);
  EXPECT_TRUE(PaneUi(W().Pane()).grdTotals->isHidden());
  EXPECT_TRUE(PaneUi(W().Pane()).lblDBFileCover->isHidden());
  for (const platform::Label* b : {PaneUi(W().Pane()).btnSelDetail, PaneUi(W().Pane()).btnSelInventory, PaneUi(W().Pane()).btnPrint, PaneUi(W().Pane()).btnPlay}) {
    EXPECT_TRUE(b->isVisible());
    EXPECT_TRUE(b->isEnabled());
  }
  EXPECT_EQ(ViewName(Db().gViewMode), "File");
}

TEST_F(PaneView, AMissingInventoryIsRebuiltAndTheSearchTakesThePaneBack) {
  Machine({"C:\\Music\\a.wav"});
  Open();
  drives.Remove(Files().gInventoryFile);
  boxes.Answer(platform::vbOK);
  Search("music", {1, 0, 0});
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
  EXPECT_EQ(Rows(), (Lines{"|C:|\\Music\\a.wav|\\Music\\a.wav|1"}));
  EXPECT_EQ(Grid().Cols(), 5);
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text(), "Keyword search: music");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  EXPECT_EQ(Status1(), "Search completed");
}

TEST_F(PaneView, AResultThatCannotBeReadBackLeavesAnEmptyListAndAReadyPane) {
  Machine({"C:\\Music\\a.wav"});
  Open();
  Db().gViewMode = ViewNamed("File");
  Db().gPrevViewMode = ViewNamed("Result");
  W().Pane().btnSelDetail_Click();
  EXPECT_EQ(ViewName(Db().gViewMode), "Result");
  EXPECT_EQ(Grid().Rows(), 1);
  EXPECT_EQ(Status1(), "Previous search result not found");
  EXPECT_EQ(platform::ScreenPointer(), 0);
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->ForeColor(), kSkinText);
}

// ---- the grid's tool tip

struct TipCase {
  const char* view;
  bool overHeader;  // the grid reports the header row under the mouse
  int y;            // twips from the top of the header
  int topRow;       // scrolled to
  const char* tip;
};

void PrintTo(const TipCase& c, std::ostream* os) { *os << c.view << " at " << c.y << " top " << c.topRow; }

class GridTip : public PaneView, public ::testing::WithParamInterface<TipCase> {};

TEST_P(GridTip, NamesTheFileUnderTheMouseInTheLists) {
  Lines paths;
  for (int k = 10; k < 40; ++k) paths.push_back("C:\\f" + std::to_string(k) + ".wav");
  Machine(paths);
  Open();
  W().Pane().ShowInventoryDetail();
  QApplication::processEvents();
  Grid().SetTopRow(GetParam().topRow);
  ASSERT_EQ(Grid().TopRow(), GetParam().topRow);
  Db().gViewMode = ViewNamed(GetParam().view);
  // A real move tells the grid the row under the mouse; the handler then works from Y.
  QTableView* v = View();
  if (GetParam().overHeader) {
    QTest::mouseMove(v->horizontalHeader()->viewport(), QPoint(20, 5));
  } else {
    QTest::mouseMove(v->viewport(), QPoint(20, 5));
  }
  QApplication::processEvents();
  Grid().SetToolTipText("stale");
  W().Pane().grdTotals_MouseMove(0, 0, 300, GetParam().y);
  EXPECT_EQ(Grid().ToolTipText(), GetParam().tip);
}

INSTANTIATE_TEST_SUITE_P(Table, GridTip,
                         ::testing::Values(TipCase{"Detail", true, 100, 1, ""},
                                           TipCase{"Detail", false, 250, 1, "\\f10.wav"},
                                           TipCase{"Result", false, 500, 1, "\\f11.wav"},
                                           TipCase{"Detail", false, 250, 5, "\\f14.wav"},
                                           TipCase{"Detail", false, 479, 5, "\\f14.wav"},
                                           TipCase{"Detail", false, 240 * 30, 1, "\\f39.wav"},
                                           TipCase{"Detail", false, 240 * 31, 1, ""},
                                           TipCase{"Inventory", false, 250, 1, ""},
                                           TipCase{"File", false, 250, 1, ""}));

TEST_F(PaneView, APressStoresTheRowUnderTheMouse) {
  Machine({"C:\\a.wav", "C:\\b.wav", "C:\\c.wav"});
  Open();
  W().Pane().ShowInventoryDetail();
  QApplication::processEvents();
  QTableView* v = View();
  QTest::mousePress(v->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, v->rowViewportPosition(2) + 3));
  EXPECT_EQ(Db().gTargetRow, 3);
  QTest::mouseRelease(v->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, v->rowViewportPosition(2) + 3));
}

// ---- the note edit mode

struct EditCase {
  const char* name;
  std::array<const char*, 5> typed;  // caption, subject, project, keywords, players
  int answer;                        // 0: no question expected
  bool editing;                      // still in the edit mode afterwards
  std::array<const char*, 5> labels;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class NoteEdit : public PaneView, public ::testing::WithParamInterface<EditCase> {
 protected:
  const std::string path = "C:\\Music\\shown.wav";
  std::vector<datafiles::UserDBRecord> stored{Note("C:\\before.wav", "first"), Note(path, "Live", "jazz"),
                                              Note("C:\\after.wav", "third")};
};

TEST_P(NoteEdit, EndsAsTheAnswerSays) {
  Machine({path});
  Notes(stored);
  Open();
  OpenFromList(path);
  W().Pane().btnUpdate_Click();
  // Entering: the boxes in place of the labels, the tabs blank.
  EXPECT_EQ(Status1(), "EDITING DATABASE");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBStatus1->ForeColor(), kRed);
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "End Edit");
  ExpectLook(PaneUi(W().Pane()).btnUpdate, kBusy, kSkinBack, "End Edit pressed");
  EXPECT_EQ(PaneUi(W().Pane()).btnSelSearch->Caption(), "Erase All");
  for (const platform::Label* b : {PaneUi(W().Pane()).btnSelDetail, PaneUi(W().Pane()).btnSelInventory, PaneUi(W().Pane()).btnPrint, PaneUi(W().Pane()).btnPlay}) {
    EXPECT_EQ(b->Caption(), "");
    EXPECT_FALSE(b->isEnabled());
  }
  EXPECT_EQ(PaneUi(W().Pane()).txtDBCaption->text(), "Live");
  EXPECT_EQ(PaneUi(W().Pane()).txtDBKeywords->text(), "jazz");
  EXPECT_TRUE(PaneUi(W().Pane()).txtDBCaption->isVisible());
  EXPECT_TRUE(PaneUi(W().Pane()).lblDBCaption->isHidden());
  EXPECT_FALSE(TreeTestAccess::Groups(W().Tree())->focusPolicy() & Qt::TabFocus);

  const std::string bytesBefore = drives.Read(Files().gUserDBFile);
  // Another look-up moves the record number meanwhile; the removal goes by the key.
  Db().userdb.gUserDBRecNo = 1;
  if (std::string(GetParam().name) == "erase all") {
    W().Pane().btnSelSearch_Click();
  } else {
    platform::TextBox* boxes5[] = {PaneUi(W().Pane()).txtDBCaption, PaneUi(W().Pane()).txtDBSubject, PaneUi(W().Pane()).txtDBProject, PaneUi(W().Pane()).txtDBKeywords,
                                   PaneUi(W().Pane()).txtDBPlayers};
    for (int k = 0; k < 5; ++k) boxes5[k]->setText(QString::fromUtf8(GetParam().typed[k]));
  }
  if (GetParam().answer) boxes.Answer(GetParam().answer);
  W().Pane().btnUpdate_Click();

  if (GetParam().answer) {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "User database values have changed");
    EXPECT_EQ(boxes.shown()[0].style, 51);
    EXPECT_EQ(boxes.shown()[0].text,
              "Changes have been made to the user database.\r\nDo you wish to save these changes?\r\n\r\n"
              "Press 'Cancel' to continue editing changes.");
  } else {
    EXPECT_TRUE(boxes.shown().empty());
  }
  const platform::Label* labels[] = {PaneUi(W().Pane()).lblDBCaption, PaneUi(W().Pane()).lblDBSubject, PaneUi(W().Pane()).lblDBProject, PaneUi(W().Pane()).lblDBKeywords,
                                     PaneUi(W().Pane()).lblDBPlayers};
  if (GetParam().editing) {
    EXPECT_EQ(Status1(), "EDITING DATABASE");
    EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "End Edit");
    EXPECT_EQ(PaneUi(W().Pane()).txtDBCaption->text().toStdString(), GetParam().typed[0]);
    EXPECT_EQ(drives.Read(Files().gUserDBFile), bytesBefore);
    return;
  }
  for (int k = 0; k < 5; ++k) EXPECT_EQ(labels[k]->Caption().toStdString(), GetParam().labels[k]) << k;
  EXPECT_EQ(Status1(), "");
  EXPECT_EQ(PaneUi(W().Pane()).lblDBStatus1->ForeColor(), kSkinText);
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "Update");
  ExpectLook(PaneUi(W().Pane()).btnUpdate, kSkinBack, kSkinText, "Update at rest");
  ExpectLook(PaneUi(W().Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail current");
  EXPECT_EQ(PaneUi(W().Pane()).btnSelSearch->Caption(), "Search");
  EXPECT_EQ(PaneUi(W().Pane()).btnPlay->Caption(), "Play");
  EXPECT_TRUE(PaneUi(W().Pane()).btnPrint->isEnabled());
  EXPECT_TRUE(PaneUi(W().Pane()).txtDBCaption->isHidden());
  EXPECT_EQ(PaneUi(W().Pane()).txtDBCaption->text(), "");
  EXPECT_TRUE(PaneUi(W().Pane()).lblDBCaption->isVisible());
  EXPECT_TRUE(TreeTestAccess::Groups(W().Tree())->focusPolicy() & Qt::TabFocus);

  std::string expected;
  const std::string name = GetParam().name;
  if (name == "yes" || name == "only the case" || name == "blanks stay a note") {
    datafiles::UserDBRecord saved = Note(path, GetParam().typed[0]);
    saved.Subject = GetParam().typed[1];
    saved.Project = GetParam().typed[2];
    saved.Keywords = GetParam().typed[3];
    saved.Players = GetParam().typed[4];
    expected = stored[0].Bytes() + saved.Bytes() + stored[2].Bytes();
  } else if (name == "erase all" || name == "emptied one by one") {
    expected = stored[0].Bytes() + stored[2].Bytes();
  } else {
    expected = bytesBefore;
  }
  EXPECT_EQ(drives.Read(Files().gUserDBFile), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoteEdit,
    ::testing::Values(
        EditCase{"unchanged", {"Live", "", "", "jazz", ""}, 0, false, {"Live", "", "", "jazz", ""}},
        EditCase{"yes", {"Live set", "Second", "P1", "jazz, live", "Band"}, platform::vbYes, false,
                 {"Live set", "Second", "P1", "jazz, live", "Band"}},
        EditCase{"only the case", {"live", "", "", "jazz", ""}, platform::vbYes, false, {"live", "", "", "jazz", ""}},
        EditCase{"no", {"Other", "", "", "jazz", ""}, platform::vbNo, false, {"Live", "", "", "jazz", ""}},
        EditCase{"cancel", {"Other", "", "", "jazz", ""}, platform::vbCancel, true, {}},
        EditCase{"erase all", {"", "", "", "", ""}, platform::vbYes, false, {"", "", "", "", ""}},
        EditCase{"emptied one by one", {"", "", "", "", ""}, platform::vbYes, false, {"", "", "", "", ""}},
        EditCase{"blanks stay a note", {" ", "", "", "", ""}, platform::vbYes, false, {" ", "", "", "", ""}}));

// Erasing the shown note removes that note; a second note of the same path, never shown, stays.
TEST_F(PaneView, ErasingTheShownNoteKeepsAnotherNoteOfThePath) {
  const std::string path = "C:\\Music\\twice.wav";
  Machine({path});
  const datafiles::UserDBRecord shown = Note(path, "Shown"), other = Note(path, "Never shown");
  Notes({shown, other});
  Open();
  OpenFromList(path);
  EXPECT_EQ(PaneUi(W().Pane()).lblDBCaption->Caption(), "Shown");
  W().Pane().btnUpdate_Click();
  W().Pane().btnSelSearch_Click();  // Erase All
  boxes.Answer(platform::vbYes);
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(drives.Read(Files().gUserDBFile), other.Bytes());
}

TEST_F(PaneView, ANoteForAFileWithoutOneIsAddedAndCancelAsksAgain) {
  const std::string path = "C:\\Music\\new.wav";
  Machine({path});
  Open();
  OpenFromList(path);
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(PaneUi(W().Pane()).txtDBCaption->text(), "");
  PaneUi(W().Pane()).txtDBCaption->setText("Fresh");
  boxes.Answer(platform::vbCancel);
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "End Edit");
  boxes.Answer(platform::vbYes);
  W().Pane().btnUpdate_Click();
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(drives.Read(Files().gUserDBFile), Note(path, "Fresh").Bytes());
  EXPECT_EQ(PaneUi(W().Pane()).lblDBCaption->Caption(), "Fresh");
}

// ---- the note boxes by themselves

TEST_F(PaneView, NoteBoxesShowTheEditLookAndMarkAChangedValueRed) {
  Machine({});
  Open();
  platform::TextBox* box = PaneUi(W().Pane()).txtDBSubject;
  PaneUi(W().Pane()).lblDBSubject->SetCaption("Second Set");
  box->setText("Second Set");
  W().Pane().txtDBNote_GotFocus(box);
  EXPECT_EQ(box->BackColor(), kBusy);
  EXPECT_EQ(box->ForeColor(), kSkinBack);
  struct {
    const char* text;
    std::uint32_t fore;
  } const leaves[] = {{"Second Set", kSkinText}, {"second Set", kRed}, {"Second Set ", kRed}, {"", kRed}};
  for (const auto& l : leaves) {
    box->setText(l.text);
    W().Pane().txtDBNote_LostFocus(box, PaneUi(W().Pane()).lblDBSubject);
    EXPECT_EQ(box->BackColor(), kSkinBack) << l.text;
    EXPECT_EQ(box->ForeColor(), l.fore) << l.text;
  }
  box->setText("Second Set");
  box->setCursorPosition(3);
  W().Pane().txtDBNote_DblClick(box);
  EXPECT_EQ(box->selectedText(), "Second Set");
  EXPECT_EQ(box->BackColor(), kBusy);
}

TEST_F(PaneView, NoteBoxesTakeNoMoreBytesThanTheirFields) {
  Machine({});
  Open();
  const std::string e = "\xC3\xA9";  // two bytes
  struct {
    platform::TextBox* box;
    int width;
  } const fields[] = {{PaneUi(W().Pane()).txtDBCaption, 15}, {PaneUi(W().Pane()).txtDBSubject, 44}, {PaneUi(W().Pane()).txtDBProject, 15},
                      {PaneUi(W().Pane()).txtDBKeywords, 44}, {PaneUi(W().Pane()).txtDBPlayers, 70}};
  for (const auto& f : fields) {
    EXPECT_EQ(W().Pane().NoteFieldWidth(f.box), f.width);
    f.box->setText(QString::fromStdString(std::string(f.width + 5, 'a')));
    EXPECT_EQ(f.box->text().toUtf8().size(), f.width);
    std::string wide;
    for (int k = 0; k < f.width; ++k) wide += e;
    f.box->setText(QString::fromStdString(wide));
    EXPECT_EQ(f.box->text().size(), f.width / 2) << "whole characters only";
    EXPECT_LE(f.box->text().toUtf8().size(), f.width);
  }
}

// ---- the drag out of the description line

TEST_F(PaneView, TheShownFilesPathDragsOutAsHostTextWithTheLeftButtonInFileDetailOnly) {
  const std::string path = "C:\\Music\\a b.wav";
  Machine({path});
  Open();
  std::vector<std::string> drags;
  SetDragStarter([&](QWidget* source, QMimeData* data, Qt::DropActions allowed) {
    EXPECT_EQ(source, PaneUi(W().Pane()).txtDBDescription);
    EXPECT_EQ(allowed, Qt::CopyAction);
    drags.push_back(data->text().toStdString());
    EXPECT_EQ(data->formats(), QStringList{"text/plain"});
    delete data;
  });
  W().Pane().txtDBDescription_MouseMove(1, 0, 0, 0);  // System Inventory
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->cursor().shape(), Qt::ArrowCursor);
  OpenFromList(path);
  for (int buttons : {0, 2, 3, 1}) W().Pane().txtDBDescription_MouseMove(buttons, 0, 0, 0);
  EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(drags, std::vector<std::string>{drives.Host(path)});
  // Also while the note is edited: the title still reads File Detail.
  W().Pane().btnUpdate_Click();
  W().Pane().txtDBDescription_MouseMove(1, 0, 0, 0);
  EXPECT_EQ(drags.size(), 2u);
}

// ---- the report

TEST_F(PaneView, FileDetailPrintsItsTwentyFieldsInFiveGroups) {
  const std::string path = "C:\\Music\\a.wav";
  Machine({path});
  Open();
  OpenFromList(path);
  const std::vector<std::pair<const char*, platform::Label*>> fields = {
      {"Caption: ", PaneUi(W().Pane()).lblDBCaption},     {"Subject: ", PaneUi(W().Pane()).lblDBSubject},     {"Project: ", PaneUi(W().Pane()).lblDBProject},
      {"Keywords: ", PaneUi(W().Pane()).lblDBKeywords},   {"Players: ", PaneUi(W().Pane()).lblDBPlayers},     {"", nullptr},
      {"Rallysets: ", PaneUi(W().Pane()).lblDBRallysets}, {"", nullptr},                       {"Artist: ", PaneUi(W().Pane()).lblDBArtist},
      {"Album: ", PaneUi(W().Pane()).lblDBAlbum},         {"Year: ", PaneUi(W().Pane()).lblDBYear},           {"Genre: ", PaneUi(W().Pane()).lblDBGenre},
      {"", nullptr},                       {"File Type: ", PaneUi(W().Pane()).lblDBFileType},  {"Format: ", PaneUi(W().Pane()).lblDBFormatVersion},
      {"Name: ", PaneUi(W().Pane()).lblDBName},           {"Created: ", PaneUi(W().Pane()).lblDBCreationDate}, {"Engineer: ", PaneUi(W().Pane()).lblDBEngineer},
      {"Copyright: ", PaneUi(W().Pane()).lblDBCopyright}, {"Comment: ", PaneUi(W().Pane()).lblDBComment},     {"", nullptr},
      {"Length: ", PaneUi(W().Pane()).lblDBLength},       {"Channels: ", PaneUi(W().Pane()).lblDBChannels},   {"Encoding: ", PaneUi(W().Pane()).lblDBEncoding}};
  int k = 0;
  for (const auto& [literal, label] : fields) {
    if (label) label->SetCaption(k++ == 0 ? "" : QString("value %1").arg(k));  // the first one empty
  }
  printer.clear();
  W().Pane().btnPrint_Click();
  Lines expected = {"Copies 1", "PrintQuality -4", "Orientation 1", "FontSize 10",
                    "Line |Audio Database Report - Tolvan Audio Manager|", "Line |12/10/2026|", "Line", "Line",
                    "FontSize 14", "FontBold true", "Line |File Detail|", "FontSize 10",
                    "Line |C:\\Music\\a.wav|", "Line"};
  for (const auto& [literal, label] : fields) {
    expected.push_back(label ? "Line |" + std::string(literal) + label->Caption().toStdString() + "|" : "Line");
  }
  expected.push_back("EndDoc");
  EXPECT_EQ(printer.calls(), expected);
  EXPECT_EQ(printer.calls()[14], "Line |Caption: |");
  EXPECT_EQ(printer.calls().back(), "EndDoc");
  EXPECT_EQ(printer.calls()[printer.calls().size() - 2], "Line |Encoding: value 20|");
  EXPECT_EQ(Status1(), "Print request completed");
  ExpectLook(PaneUi(W().Pane()).btnPrint, kSkinBack, kSkinText, "Print at rest");
  EXPECT_EQ(platform::ScreenPointer(), 0);
}

// The list's hidden path column prints without a header, never the one System Inventory's
// grid held in that cell before.
TEST_F(PaneView, TheInventoryDetailPrintoutHasNoStaleHeaderOverThePaths) {
  Machine({"C:\\Music\\a.wav"});
  Open();
  ASSERT_EQ(Grid().TextMatrix(0, 3), "Wav") << "System Inventory's header in that cell";
  Db().gTypeFilter = "total";
  W().Pane().ShowInventoryDetail();
  printer.clear();
  W().Pane().btnPrint_Click();
  ASSERT_EQ(printer.calls().size(), 16u);
  EXPECT_EQ(printer.calls()[14], "Line |DB\tDrv\tFile\t\r\tC:\t\\Music\\a.wav\t\\Music\\a.wav|");
}

TEST_F(PaneView, AGridViewPrintsTheWholeGridWithItsHiddenColumn) {
  Machine({"C:\\Music\\a.wav"});
  Open();
  Search("music", {1, 0, 0});
  printer.clear();
  W().Pane().btnPrint_Click();
  ASSERT_EQ(printer.calls().size(), 16u);
  EXPECT_EQ(printer.calls()[10], "Line |Inventory Detail|");
  EXPECT_EQ(printer.calls()[12], "Line |Keyword search: music|");
  EXPECT_EQ(printer.calls()[14], "Line |DB\tDrv\tFile\t\tHits\r\tC:\t\\Music\\a.wav\t\\Music\\a.wav\t1|");
  EXPECT_EQ(printer.calls()[15], "EndDoc");
  EXPECT_EQ(Grid().Row(), 0);
  EXPECT_EQ(Grid().RowSel(), 1);
  EXPECT_EQ(Grid().ColSel(), 4);
}

TEST_F(PaneView, APrinterFailureIsShownAndNotReportedAsDone) {
  Machine({});
  Open();
  printer.FailNextEndDoc();
  boxes.Answer(platform::vbOK);
  W().Pane().btnPrint_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::kNoPrinterInstalled);
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_NE(Status1(), "Print request completed");
  ExpectLook(PaneUi(W().Pane()).btnPrint, kSkinBack, kSkinText, "Print at rest");
  EXPECT_EQ(platform::ScreenPointer(), 0);
}

}  // namespace

// ---- the restore row is used once, also by a list with no file in it

struct EmptyListCase {
  const char* name;
  int how;  // 0: a search without a hit; 1: result.dat holding only its header; 2: a type with no file
};

void PrintTo(const EmptyListCase& c, std::ostream* os) { *os << c.name; }

class EmptyList : public PaneView, public ::testing::WithParamInterface<EmptyListCase> {};

TEST_P(EmptyList, ClearsTheRestoreRowSoTheNextListOpensAtItsTop) {
  Lines paths;
  for (int k = 10; k < 40; ++k) paths.push_back("C:\\f" + std::to_string(k) + ".wav");
  Machine(paths);
  Open();
  OpenFromList("C:\\f30.wav");
  ASSERT_EQ(Db().gRestoreRow, 21);
  switch (GetParam().how) {
    case 0:
      Search("nothing like it", {1, 0, 0});
      ASSERT_EQ(ViewName(Db().gViewMode), "Result");
      break;
    case 1:
      drives.Write(Files().gResultFile, "Keyword search: old" + kCrLf);
      Db().gPrevViewMode = ViewNamed("Result");
      W().Pane().btnSelDetail_Click();
      ASSERT_EQ(ViewName(Db().gViewMode), "Result");
      ASSERT_EQ(Grid().Rows(), 1);
      break;
    default:
      Db().gTypeFilter = "mp3";
      W().Pane().ShowInventoryDetail();
      ASSERT_EQ(Grid().Rows(), 1);
  }
  EXPECT_EQ(Db().gRestoreRow, 0);
  Db().gTypeFilter = "total";
  W().Pane().ShowInventoryDetail();
  EXPECT_EQ(Grid().TopRow(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, EmptyList,
                         ::testing::Values(EmptyListCase{"search without a hit", 0},
                                           EmptyListCase{"result with its header alone", 1},
                                           EmptyListCase{"type without a file", 2}));

// ---- Exit during a note edit

struct ExitCase {
  const char* name;
  const char* typed;  // the caption box's text at Exit
  int answer;         // 0: no question expected
  bool exits;
  const char* stored;  // the caption userdb.dat holds afterwards
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ExitWhileEditing : public PaneView, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitWhileEditing, AsksTheEditsQuestionFirst) {
  const std::string path = "C:\\Music\\a.wav";
  Machine({path});
  Notes({Note(path, "Live")});
  Open();
  OpenFromList(path);
  W().Pane().btnUpdate_Click();
  ASSERT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), "End Edit");
  PaneUi(W().Pane()).txtDBCaption->setText(GetParam().typed);
  if (GetParam().answer) boxes.Answer(GetParam().answer);
  W().btnExit_Click();
  if (GetParam().answer) {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "User database values have changed");
  } else {
    EXPECT_TRUE(boxes.shown().empty());
  }
  EXPECT_EQ(W().Exiting(), GetParam().exits);
  EXPECT_EQ(PaneUi(W().Pane()).btnUpdate->Caption(), GetParam().exits ? "Update" : "End Edit");
  EXPECT_EQ(drives.Read(Files().gUserDBFile), Note(path, GetParam().stored).Bytes());
}

INSTANTIATE_TEST_SUITE_P(Table, ExitWhileEditing,
                         ::testing::Values(ExitCase{"unchanged", "Live", 0, true, "Live"},
                                           ExitCase{"yes saves", "Changed", platform::vbYes, true, "Changed"},
                                           ExitCase{"no discards", "Changed", platform::vbNo, true, "Live"},
                                           ExitCase{"cancel keeps running", "Changed", platform::vbCancel, false, "Live"}));

// ---- File Detail over a sequence of files: nothing of the file before stays

TEST_F(PaneView, FileDetailShowsOnlyWhatEachFileCarriesWhateverWasShownBefore) {
  using namespace audio_builders;
  struct Made {
    std::string path, bytes;
    double seconds;
  };
  const std::vector<Made> made = {
      {"C:\\m\\a.wav",
       RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) +
                            RiffChunk("LIST", "INFO" + InfoText("INAM", "Wave name") + InfoText("IART", "Wave artist") +
                                                  InfoText("ICMT", "Wave comment") + InfoText("ICOP", "Wave copy")) +
                            RiffChunk("data", Zeros(400))),
       3.5},
      {"C:\\m\\b.aif", PcmAiff(0.25, 22050, 1, 8), 0.25},
      {"C:\\m\\c.aifc",
       AiffFile("AIFC", AiffChunk("FVER", Be32(0xA2805140)) + AiffComm(2, 800, 16, Extended80(8000), "NONE") +
                            AiffChunk("SSND", Zeros(8) + Zeros(3200))),
       0.1},
      {"C:\\m\\d.au", AuFile(24 + 16, 3, 8000, 1, std::string("AU note") + Zeros(9) + Zeros(800)), 0.05},
      {"C:\\m\\e.snd", PcmAu(0.1), 0.1},
      {"C:\\m\\f.mp3", SilentMp3(4) + Id3v1("Mp3 title", "Mp3 artist", "Mp3 album", "1999", "Mp3 comment", 8), 0.1},
      {"C:\\m\\g.mid", MidiFile(1, 2, 96, MidiTrack(Hex("00 FF 2F 00")) + MidiTrack(Hex("00 FF 2F 00"))), 1.25},
      {"C:\\m\\h.rmi", RmidFile(MidiFile(0, 1, 480, MidiTrack(Hex("00 FF 2F 00")))), 2},
      {"C:\\m\\i.xyz", "neither header nor tag, just bytes", 0},
      {"C:\\m\\j.wav", "short", 0},
  };
  Lines paths;
  for (const Made& m : made) paths.push_back(m.path);
  Machine(paths);
  for (const Made& m : made) {
    drives.Write(m.path, m.bytes);
    player.SetDuration(m.path, m.seconds);
  }
  Open();
  Db().gTypeFilter = "total";
  Db().gSelectedDrive = "";
  W().Pane().ShowInventoryDetail();
  auto shown = [&](const std::string& path) {
    Grid().SetRow(RowOf(path));
    EXPECT_TRUE(W().Pane().OpenListedFile()) << path;
    Lines texts;
    for (const platform::Label* l :
         {PaneUi(W().Pane()).lblDBFileType, PaneUi(W().Pane()).lblDBName, PaneUi(W().Pane()).lblDBFormatVersion, PaneUi(W().Pane()).lblDBCreationDate, PaneUi(W().Pane()).lblDBEngineer,
          PaneUi(W().Pane()).lblDBCopyright, PaneUi(W().Pane()).lblDBComment, PaneUi(W().Pane()).lblDBLength, PaneUi(W().Pane()).lblDBChannels, PaneUi(W().Pane()).lblDBEncoding,
          PaneUi(W().Pane()).lblDBArtist, PaneUi(W().Pane()).lblDBAlbum, PaneUi(W().Pane()).lblDBYear, PaneUi(W().Pane()).lblDBGenre, PaneUi(W().Pane()).lblDBStatus1, PaneUi(W().Pane()).lblDBStatus2}) {
      texts.push_back(l->Caption().toStdString());
    }
    return texts;
  };
  // Each file shown after itself is what it carries alone.
  std::map<std::string, Lines> alone;
  for (const Made& m : made) {
    shown(m.path);
    alone[m.path] = shown(m.path);
  }
  EXPECT_EQ(alone["C:\\m\\a.wav"][1], "Wave name");
  EXPECT_EQ(alone["C:\\m\\f.mp3"][10], std::string("Mp3 artist") + std::string(20, '\0'));
  EXPECT_EQ(alone["C:\\m\\b.aif"][10], "");
  EXPECT_EQ(alone["C:\\m\\b.aif"][7], " 0h 0m 0.25s");
  for (const Made& before : made) {
    for (const Made& after : made) {
      shown(before.path);
      EXPECT_EQ(shown(after.path), alone[after.path]) << after.path << " after " << before.path;
    }
  }
}

// A playlist saved or deleted redraws the pane where it lists playlists: a list whose line
// names m3u (of that type, or a search for it); other lists stay as they are.
enum class Shown { ListOfPlaylists, ListOfWaves, SearchNamingPlaylists, OtherSearch };

struct RedrawCase {
  const char* name;
  Shown shown;
  bool relisted;
};

void PrintTo(const RedrawCase& c, std::ostream* os) { *os << c.name; }

class RedrawAfterPlaylist : public PaneView, public ::testing::WithParamInterface<RedrawCase> {
 protected:
  void ListOf(const char* type) {
    Db().gTypeFilter = type;
    Db().gSelectedDrive = "";
    W().Pane().ShowInventoryDetail();
  }
};

TEST_P(RedrawAfterPlaylist, RelistsOnlyWhereTheLineNamesPlaylists) {
  Machine({"D:\\Lists\\mix.m3u", "D:\\Lists\\mix.wav"});
  Notes({Note("D:\\Lists\\mix.wav", "mix"), Note("D:\\Lists\\mix.m3u", "mix.m3u")});
  Open();
  switch (GetParam().shown) {
    case Shown::ListOfPlaylists: ListOf("m3u"); break;
    case Shown::ListOfWaves: ListOf("wav"); break;
    case Shown::SearchNamingPlaylists: Search("mix.m3u"); break;
    case Shown::OtherSearch: Search("mix"); break;
  }
  const std::string line = PaneUi(W().Pane()).txtDBDescription->text().toStdString();
  ASSERT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  ASSERT_GT(Grid().Rows(), 1) << line;
  Machine({"D:\\Lists\\mix.m3u", "D:\\Lists\\mix.wav", "D:\\Lists\\new.m3u", "D:\\Lists\\new.wav"});
  W().Pane().RedrawAfterPlaylistChange();
  const bool relisted = RowOf("D:\\Lists\\new.m3u") > 0 || RowOf("D:\\Lists\\new.wav") > 0;
  EXPECT_EQ(relisted, GetParam().relisted) << line;
  EXPECT_EQ(PaneUi(W().Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  if (!GetParam().relisted) EXPECT_EQ(PaneUi(W().Pane()).txtDBDescription->text().toStdString(), line);
}

INSTANTIATE_TEST_SUITE_P(
    Views, RedrawAfterPlaylist,
    ::testing::Values(RedrawCase{"ListOfPlaylists", Shown::ListOfPlaylists, true},
                      RedrawCase{"ListOfWaves", Shown::ListOfWaves, false},
                      RedrawCase{"SearchNamingPlaylists", Shown::SearchNamingPlaylists, true},
                      RedrawCase{"OtherSearch", Shown::OtherSearch, false}),
    [](const auto& info) { return std::string(info.param.name); });
