// The playlist window on temporary drives with a player double: loading, the inventory kept
// in step, playback, the track edits and the popup.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/inventoryfiles.h"
#include "pane/dbviewer.h"
#include "mainwindow/frmLauncher.h"
#include "support/window_steps.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/window/playlist.h"
#include "support/app_fixture.h"
#include "support/playlist_access.h"
#include "support/pane_access.h"

using testing_support::AppFixture;
using testing_support::FakeMediaPlayer;
using testing_support::State;
using testing_support::Steps;
using testing_support::Ui;

namespace {

constexpr std::uint32_t kRed = platform::RGB(255, 75, 75);
constexpr std::uint32_t kSkinText = 0xDCC281;

const char* const kA = "C:\\Music\\a.wav";
const char* const kB = "C:\\Music\\b.mp3";
const char* const kC = "C:\\Music\\c.wav";
const char* const kD = "C:\\Music\\d.wav";
const char* const kGone = "C:\\Music\\gone.wav";
const char* const kJazz = "C:\\Lists\\jazz.m3u";
const char* const kRock = "C:\\Lists\\rock.m3u";

class PlaylistTest : public AppFixture {
 protected:
  PlaylistTest() {
    playlistPlayer = &mp;
    WriteDefaultSettings();
    for (const char* f : {kA, kB, kC, kD}) drives.Write(f, "audio");
    mp.SetDuration(kA, 2.5);   // shows 0:02
    mp.SetDuration(kB, 3.5);   // shows 0:04
    mp.SetDuration(kC, 65);
    mp.SetDuration(kD, 4);
  }
  ~PlaylistTest() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A playlist file of host paths, one a line.
  void WriteList(const char* dosPath, const std::vector<std::string>& tracks) const {
    std::string bytes;
    for (const std::string& t : tracks) bytes += (t.size() > 2 && t[2] == '\\' ? drives.Host(t) : t) + "\r\n";
    drives.Write(dosPath, bytes);
  }

  // The main window over an inventory scanned from the drives, then the playlist window.
  frmPlaylist& Open() {
    main = OpenMainWindow();
    return MainPlaylist().Window();
  }

  std::vector<std::string> Column(int col) const {
    const platform::FlexGrid& g = *Ui(*MainPlaylist().WindowOrNull()).grdListDetail;
    std::vector<std::string> texts;
    for (int r = 0; r < g.Rows(); ++r) texts.push_back(g.TextMatrix(r, col));
    return texts;
  }

  // The rows drawn in the current-track colour.
  std::vector<int> RedRows() const {
    platform::FlexGrid& g = *Ui(*MainPlaylist().WindowOrNull()).grdListDetail;
    std::vector<int> rows;
    const int row = g.Row(), col = g.Col();
    for (int r = 0; r < g.Rows(); ++r) {
      g.SetRow(r);
      g.SetCol(1);
      if (g.CellForeColor() == kRed) rows.push_back(r);
    }
    g.SetRow(row);
    g.SetCol(col);
    return rows;
  }

  std::vector<std::string> Loads() const {
    std::vector<std::string> files;
    for (const std::string& c : mp.calls) {
      if (c.rfind("SetFileName ", 0) == 0) files.push_back(c.substr(12));
    }
    return files;
  }

  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& b : boxes.shown()) titles.push_back(b.title);
    return titles;
  }

  FakeMediaPlayer mp;
  std::unique_ptr<frmLauncher> main;
};

// ---- loading --------------------------------------------------------------------------------

TEST_F(PlaylistTest, LoadsTheFirstListedPlaylistWithTitlesTimesAndTheFirstValidTrackInRed) {
  WriteList(kJazz, {kGone, kB, kC});
  WriteList(kRock, {kA});
  boxes.Answer(platform::vbOK);
  frmPlaylist& w = Open();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1.", "2.", "3."}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"gone.wav", "b", "c.wav"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"0:00  ", "0:04  ", "1:05  "}));
  EXPECT_EQ(Column(4), (std::vector<std::string>{kGone, kB, kC}));
  EXPECT_EQ(RedRows(), std::vector<int>{1});
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 2);
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "3");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "1:09  ");  // 3.5 rounds to 4, then 4 + 65
  EXPECT_EQ(Ui(w).lblTrack->Caption(), "1 ");
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), "C:\\Lists\\jazz.m3u");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Invalid audio track");
  EXPECT_EQ(boxes.shown()[0].text,
            "There is an error in the playlist being loaded. The file \n\r\n\r1.  C:\\Music\\gone.wav\n\r\n\r"
            "either no longer exists where the playlist thinks,\n\ror is a corrupted or invalid audio file type. \n\r");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  const platform::FlexGrid& inv = *Ui(w).grdPlaylistInventory;
  ASSERT_EQ(inv.Rows(), 2);
  EXPECT_EQ(inv.TextMatrix(0, 1), kJazz);
  EXPECT_EQ(inv.TextMatrix(1, 1), kRock);
}

TEST_F(PlaylistTest, AHostPathOnNoMappedDriveStaysListedAsInvalidAndSavesBackAsItWas) {
  drives.Write(kJazz, drives.Host(kA) + "\r\n/elsewhere/x.mp3\r\n#EXTINF:1,y\r\nrelative.mp3\r\n");
  boxes.Answer(platform::vbOK);
  Open();
  EXPECT_EQ(Column(4), (std::vector<std::string>{kA, "/elsewhere/x.mp3"}));
  EXPECT_EQ(Column(2)[1], "0:00  ");
  State(MainPlaylist()).gSavePlaylistPath = "C:\\Lists\\copy.m3u";
  MainPlaylist().WritePlaylistFile();
  EXPECT_EQ(drives.Read("C:\\Lists\\copy.m3u"), drives.Host(kA) + "\r\n/elsewhere/x.mp3\r\n");
}

// A list whose lines are all skipped opens as what it is, an empty list under its own name;
// saving it writes no line, never an empty one per row of the list shown before.
TEST_F(PlaylistTest, AListWithoutATrackOpensEmptyUnderItsNameAndSavesNoLine) {
  WriteList(kJazz, {kA, kB, kC});
  drives.Write(kRock, "relative.mp3\r\n#EXTM3U\r\n\x01\x02binary\r\n");
  frmPlaylist& w = Open();
  ASSERT_EQ(Column(4).size(), 3u);
  platform::FlexGrid& inv = *Ui(w).grdPlaylistInventory;
  inv.SetRow(1);
  w.grdPlaylistInventory_MouseDown(1, 0, 0, 0);
  EXPECT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, kRock);
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Column(4), std::vector<std::string>{""});
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), "C:\\Lists\\rock.m3u");
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "0");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "0:00  ");
  EXPECT_EQ(Ui(w).grdListDetail->Height(), 250);
  State(MainPlaylist()).gSavePlaylistPath = kRock;
  MainPlaylist().WritePlaylistFile();
  EXPECT_EQ(drives.Read(kRock), "");
}

TEST_F(PlaylistTest, WithNoPlaylistsTheEditorStartsANewOne) {
  frmPlaylist& w = Open();
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), "New playlist...");
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "0");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "0:00  ");
  EXPECT_EQ(Ui(w).lblTrack->Caption(), "0  ");
  EXPECT_EQ(Ui(w).grdListDetail->Height(), 250);
  w.btnDeleteList_Click();
  EXPECT_TRUE(boxes.shown().empty()) << "Delete with no playlist does nothing";
  EXPECT_EQ(State(MainPlaylist()).gInventoryOp, InventoryOp::None);
}

TEST_F(PlaylistTest, AMissingPlaylistIsRemovedFromTheInventoryOnceAndTheNextOneOpens) {
  WriteList(kJazz, {kA});
  WriteList(kRock, {kC});
  main = OpenMainWindow();
  drives.Remove(kJazz);
  const std::int64_t lists = PaneDb(MainPane()).summary.gTypeTotals[datafiles::kLists];
  boxes.Answer(platform::vbOK);
  frmPlaylist& w = MainPlaylist().Window();
  EXPECT_EQ(Titles(), std::vector<std::string>{"Playlist File Missing"});
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find the following playlist file:\n\r\n\rC:\\Lists\\jazz.m3u\n\r\n\r"
            "This filename will be removed from inventory.");
  EXPECT_EQ(drives.Read(state.decl.files.gInventoryFile).find("jazz"), std::string::npos);
  EXPECT_EQ(PaneDb(MainPane()).summary.gTypeTotals[datafiles::kLists], lists - 1);
  EXPECT_EQ(Ui(w).grdPlaylistInventory->Rows(), 1);
  EXPECT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, kRock);
  EXPECT_EQ(Column(4), std::vector<std::string>{kC});
  EXPECT_EQ(Ui(w).lblPlaylistName->ForeColor(), kSkinText);
}

// ---- the inventory kept in step -------------------------------------------------------------

TEST_F(PlaylistTest, SaveUnderANewNameAddsTheM3uExtensionTheInventoryLineAndMakesItCurrent) {
  WriteList(kJazz, {kA, kB});
  frmPlaylist& w = Open();
  ASSERT_EQ(PaneUi(main->Pane()).lblDBViewTitle->Caption(), "System Inventory");
  auto paneTexts = [this] {
    std::string all;
    const platform::FlexGrid& g = *PaneUi(main->Pane()).grdTotals;
    for (int r = 0; r < g.Rows(); ++r) {
      for (int c = 0; c < g.Cols(); ++c) all += g.TextMatrix(r, c) + "|";
    }
    return all;
  };
  const std::string paneBefore = paneTexts();
  const std::int64_t lists = PaneDb(MainPane()).summary.gTypeTotals[datafiles::kLists];
  dialogs.Choose("C:\\Lists\\mix");
  w.btnSaveList_Click();
  const std::string saved = "C:\\Lists\\mix.m3u";
  EXPECT_EQ(drives.Read(saved), drives.Host(kA) + "\r\n" + drives.Host(kB) + "\r\n");
  EXPECT_NE(drives.Read(state.decl.files.gInventoryFile).find("mix"), std::string::npos);
  EXPECT_EQ(PaneDb(MainPane()).summary.gTypeTotals[datafiles::kLists], lists + 1);
  EXPECT_NE(paneTexts(), paneBefore) << "the System Inventory view shows the new counts";
  EXPECT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, saved);
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), platform::Q(saved));
  const platform::FlexGrid& inv = *Ui(w).grdPlaylistInventory;
  EXPECT_EQ(inv.TextMatrix(inv.Row(), 1), saved);
  EXPECT_FALSE(w.HasUnsavedEdit());
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_EQ(dialogs.requests()[0].filter, "M3U file (*.m3u)|*.m3u|All files (*.*)|*.*|");
  EXPECT_EQ(dialogs.requests()[0].flags, 1028);
  EXPECT_EQ(dialogs.requests()[0].initDir, "C:\\Lists\\");
  EXPECT_TRUE(boxes.shown().empty());
}

// A summary that cannot be written is told once; the list and its inventory line are saved.
TEST_F(PlaylistTest, ASaveWhoseSummaryCannotBeWrittenIsToldOnce) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  const std::string summaryBefore = drives.Read(state.decl.files.gInvSumFile);
  drives.MakeFolder(state.decl.files.gInvSumFile + ".new");  // its twin cannot be made
  boxes.Answer(platform::vbOK);
  dialogs.Choose("C:\\Lists\\mix.m3u");
  w.btnSaveList_Click();
  ASSERT_EQ(Titles(), std::vector<std::string>{"Data File Not Saved"});
  EXPECT_NE(boxes.shown()[0].text.find("C:\\app\\data\\invsum.dat"), std::string::npos) << boxes.shown()[0].text;
  EXPECT_TRUE(drives.Exists("C:\\Lists\\mix.m3u"));
  EXPECT_NE(drives.Read(state.decl.files.gInventoryFile).find("mix"), std::string::npos);
  EXPECT_EQ(drives.Read(state.decl.files.gInvSumFile), summaryBefore);
}

// inventory.dat lists a playlist that invsum.dat does not count (a summary left behind): the
// playlist opens all the same.
TEST_F(PlaylistTest, AListedPlaylistOpensWhateverTheSummaryCounts) {
  WriteList(kJazz, {kA});
  main = OpenMainWindow();
  PaneDb(MainPane()).summary.gTypeTotals[datafiles::kLists] = 0;
  frmPlaylist& w = MainPlaylist().Window();
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), "C:\\Lists\\jazz.m3u");
  EXPECT_EQ(Column(4), std::vector<std::string>{kA});
}

TEST_F(PlaylistTest, SaveOverAnotherExistingFileAsksFirstAndUnderTheOpenOneDoesNot) {
  WriteList(kJazz, {kA});
  WriteList(kRock, {kC});
  frmPlaylist& w = Open();
  const std::string before = drives.Read(state.decl.files.gInventoryFile);
  boxes.Answer(platform::vbNo);
  dialogs.Choose(kRock);
  w.btnSaveList_Click();
  EXPECT_EQ(drives.Read(kRock), drives.Host(kC) + "\r\n");
  ASSERT_EQ(Titles(), std::vector<std::string>{"Save Playlist"});
  dialogs.Choose(kJazz);
  w.btnSaveList_Click();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(drives.Read(state.decl.files.gInventoryFile), before) << "a listed playlist changes no inventory";
  dialogs.Cancel();
  w.btnSaveList_Click();
  EXPECT_EQ(State(MainPlaylist()).gInventoryOp, InventoryOp::Save);
}

// A new list is not the playlist open before it: saving it under that one's name asks first,
// and once the new list is saved under its own name, saving it again there does not.
TEST_F(PlaylistTest, ANewListSavedOverThePlaylistOpenBeforeItAsksFirst) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  w.btnNewList_Click();
  ASSERT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, kJazz);
  boxes.Answer(platform::vbNo);
  dialogs.Choose(kJazz);
  w.btnSaveList_Click();
  EXPECT_EQ(Titles(), std::vector<std::string>{"Save Playlist"});
  EXPECT_EQ(drives.Read(kJazz), drives.Host(kA) + "\r\n");
  dialogs.Choose("C:\\Lists\\mix.m3u");
  w.btnSaveList_Click();
  dialogs.Choose("C:\\Lists\\mix.m3u");
  w.btnSaveList_Click();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(drives.Read("C:\\Lists\\mix.m3u"), "");
}

TEST_F(PlaylistTest, DeleteRemovesTheNamedPlaylistAndOpensTheOneAboveOrTheFirst) {
  WriteList(kJazz, {kA});
  WriteList(kRock, {kC});
  WriteList("C:\\Lists\\zen.m3u", {kD});
  frmPlaylist& w = Open();
  platform::FlexGrid& inv = *Ui(w).grdPlaylistInventory;
  inv.SetRow(1);  // rock
  boxes.Answer(platform::vbCancel);
  w.btnDeleteList_Click();
  EXPECT_TRUE(drives.Exists(kRock));
  boxes.Answer(platform::vbOK);
  w.btnDeleteList_Click();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].text,
            "You are about to delete the following playlist file: \n\r\n\rC:\\Lists\\rock.m3u\n\r\n\r"
            "Click 'OK' to delete the file.\n\rClick 'Cancel' to cancel delete request.");
  EXPECT_EQ(boxes.shown()[1].style, 305);
  EXPECT_FALSE(drives.Exists(kRock));
  EXPECT_EQ(drives.Read(state.decl.files.gInventoryFile).find("rock"), std::string::npos);
  EXPECT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, kJazz);
  EXPECT_EQ(Column(4), std::vector<std::string>{kA});
  EXPECT_EQ(inv.Rows(), 2);
  inv.SetRow(0);
  boxes.Answer(platform::vbOK);
  w.btnDeleteList_Click();
  EXPECT_EQ(PaneDb(MainPane()).gCurrentPlaylistPath, "C:\\Lists\\zen.m3u");
  EXPECT_EQ(Column(4), std::vector<std::string>{kD});
}

TEST_F(PlaylistTest, ChoosingAnotherPlaylistWithUnsavedEditsAndAnsweringNoKeepsListAndHighlight) {
  WriteList(kJazz, {kA});
  WriteList(kRock, {kC});
  frmPlaylist& w = Open();
  w.MarkUnsaved(true);
  platform::FlexGrid& inv = *Ui(w).grdPlaylistInventory;
  inv.SetRow(1);
  boxes.Answer(platform::vbNo);
  w.grdPlaylistInventory_MouseDown(1, 0, 0, 0);
  EXPECT_EQ(boxes.shown()[0].text,
            "Changes made to the current playlist have not been saved.\r\n"
            "Do you wish to start a new playlist without saving the changes?");
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(Column(4), std::vector<std::string>{kA});
  EXPECT_EQ(inv.Row(), 0);
  inv.SetCol(0);
  EXPECT_EQ(inv.CellBackColor(), platform::RGB(0, 0, 128));
  inv.SetRow(1);
  boxes.Answer(platform::vbYes);
  w.grdPlaylistInventory_MouseDown(1, 0, 0, 0);
  EXPECT_EQ(Column(4), std::vector<std::string>{kC});
  EXPECT_FALSE(w.HasUnsavedEdit());
}

TEST_F(PlaylistTest, TheDatabasePaneOpensAListedPlaylistInTheEditor) {
  WriteList(kJazz, {kA});
  WriteList(kRock, {kC, kD});
  main = OpenMainWindow();
  DBViewerState& db = PaneDb(MainPane());
  db.gTypeFilter = "m3u";
  db.gSelectedDrive.clear();
  MainPane().ShowInventoryDetail();
  platform::FlexGrid& g = *PaneUi(main->Pane()).grdTotals;
  int rockRow = -1;
  for (int r = 1; r < g.Rows(); ++r) {
    if (g.TextMatrix(r, 3).find("rock") != std::string::npos) rockRow = r;
  }
  ASSERT_GT(rockRow, 0);
  g.SetRow(rockRow);
  EXPECT_FALSE(MainPane().OpenListedFile());
  frmPlaylist* w = MainPlaylist().WindowOrNull();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(Column(4), (std::vector<std::string>{kC, kD}));
  // The window shown: the pane's next listed playlist opens in it at once.
  for (int r = 1; r < g.Rows(); ++r) {
    if (g.TextMatrix(r, 3).find("jazz") != std::string::npos) g.SetRow(r);
  }
  MainPane().OpenListedFile();
  EXPECT_EQ(Column(4), std::vector<std::string>{kA});
}

// ---- playback -------------------------------------------------------------------------------

TEST_F(PlaylistTest, PlayRunsThroughTheValidTracksInOneLoopAndEndsLoadedAtTheHead) {
  WriteList(kJazz, {kA, kGone, kC, kD});
  boxes.Answer(platform::vbOK);
  frmPlaylist& w = Open();
  mp.calls.clear();
  std::vector<bool> editingDisabled;
  Steps steps(2, [&] {
    editingDisabled.push_back(!Ui(w).btnSaveList->isEnabled() && !Ui(w).grdPlaylistInventory->isEnabled());
    mp.Advance(3);
    return false;
  });
  w.btnPlay_Click();
  EXPECT_EQ(Loads(), (std::vector<std::string>{kA, kC, kD, kA}));
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 1);
  EXPECT_EQ(RedRows(), std::vector<int>{0});
  EXPECT_EQ(mp.PlayState(), 0);
  EXPECT_TRUE(Ui(w).btnSaveList->isEnabled());
  EXPECT_TRUE(Ui(w).lblPlayStatus->isHidden());
  EXPECT_EQ(State(MainPlaylist()).gPlayerLoopState, playback::LoopState::Idle);
  ASSERT_FALSE(editingDisabled.empty());
  EXPECT_TRUE(editingDisabled.front());
}

TEST_F(PlaylistTest, AListEndingInTwoInvalidEntriesGoesBackToTheHeadInsteadOfReplaying) {
  WriteList(kJazz, {kA, kC, kGone, "C:\\Music\\gone2.wav"});
  boxes.Answer(platform::vbOK);
  boxes.Answer(platform::vbOK);
  frmPlaylist& w = Open();
  mp.calls.clear();
  Steps steps(2, [&] {
    mp.Advance(30);
    return false;
  });
  w.btnPlay_Click();
  EXPECT_EQ(Loads(), (std::vector<std::string>{kA, kC, kA}));
  EXPECT_EQ(mp.PlayState(), 0);
}

TEST_F(PlaylistTest, StopDuringPlayEndsTheLoopAndResetsTheTimes) {
  WriteList(kJazz, {kA, kC, kD});
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 1;
  s.gPlayerCommand = {playerrules::Action::Load, playerrules::Target::Clik};
  MainPlaylist().RunPlayerCommand();
  mp.calls.clear();
  // A step after each pass of the polling loop, so that its labels have followed.
  Steps steps(40, [&] {
    if (mp.CurrentPosition() >= 10) {
      EXPECT_EQ(Ui(w).lblPlayStatus->Caption(), "Playing");
      EXPECT_NE(Ui(w).lblTrackTime->Caption(), "0:00  ");
      w.btnStop_Click();
      return true;
    }
    mp.Advance(1);
    return false;
  }, [&] { w.btnStop_Click(); });
  w.btnPlay_Click();
  EXPECT_EQ(Loads(), std::vector<std::string>{kC});
  EXPECT_EQ(Ui(w).lblTrackTime->Caption(), "0:00  ");
  EXPECT_EQ(Ui(w).lblTimeRemaining->Caption(), "1:08  ");  // 71 in all, less track 1's 2.5 s, cut
  EXPECT_EQ(Ui(w).pbrPlayFile->Value(), 0);
  EXPECT_NEAR(Ui(w).pbrPlaylist->Value(), 2.5, 1e-9);
  EXPECT_TRUE(Ui(w).lblPlayStatus->isHidden());
}

TEST_F(PlaylistTest, PauseKeepsTheLoopPollingAndResumeGoesOn) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  int phase = 0;
  Steps steps(2, [&] {
    if (phase == 0) {
      w.btnPause_Click();
      EXPECT_EQ(Ui(w).lblPlayStatus->Caption(), "Paused");
      EXPECT_FALSE(Ui(w).btnNewList->isEnabled());
      phase = 1;
    } else if (phase < 5) {
      mp.Advance(1);  // a paused player does not move
      ++phase;
    } else if (phase == 5) {
      EXPECT_EQ(mp.CurrentPosition(), 0);
      w.btnPause_Click();
      EXPECT_EQ(Ui(w).lblPlayStatus->Caption(), "Playing");
      phase = 6;
    } else {
      mp.Advance(1);
    }
    return false;
  });
  w.btnPlay_Click();
  EXPECT_EQ(phase, 6);
  EXPECT_EQ(mp.PlayState(), 0);
}

TEST_F(PlaylistTest, ClicksOnTheTrackGridLoadATrackAndARightClickOpensThePopup) {
  WriteList(kJazz, {kA, kB, kC});
  frmPlaylist& w = Open();
  w.show();
  QWidget* port = Ui(w).grdListDetail->findChild<QAbstractItemView*>()->viewport();
  const int rowPx = platform::TwipsToPixels(platform::FlexGrid::kRowHeightTwips);
  QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(100, 2 * rowPx + rowPx / 2));
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 3);
  EXPECT_EQ(State(MainPlaylist()).gTargetRow, 2);
  EXPECT_EQ(mp.FileName(), kC);
  EXPECT_EQ(RedRows(), std::vector<int>{2});
  EXPECT_EQ(w.Popup(), nullptr);
  QTest::mouseClick(port, Qt::RightButton, {}, QPoint(100, rowPx / 2));
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 1);
  ASSERT_NE(w.Popup(), nullptr);
  EXPECT_TRUE(w.Popup()->isVisible());
}

TEST_F(PlaylistTest, ExitDuringPlayStartedByATrackClickClosesTheWindow) {
  WriteList(kJazz, {kA, kC});
  frmPlaylist& w = Open();
  w.show();
  QPointer<frmPlaylist> alive(&w);
  bool asked = false;
  Steps steps(2, [&] {
    if (!asked && mp.PlayState() == 2) {
      asked = true;
      w.btnExit_Click();
      return true;
    }
    return false;
  });
  // A left click on track 2 while stopped loads it; then Play from the track popup's grid:
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 1;
  s.gPlayerCommand = {playerrules::Action::Play, playerrules::Target::Clik};
  MainPlaylist().RunPlayerCommand();
  EXPECT_TRUE(asked);
  EXPECT_EQ(mp.PlayState(), 0);
  EXPECT_TRUE(w.Unloaded());
  EXPECT_EQ(MainPlaylist().WindowOrNull(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

TEST_F(PlaylistTest, ProgressBarsNeverTakeAnEmptyRangeAndRemainingTimeIsNeverNegative) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  Ui(w).pbrPlaylist->SetMax(0);
  EXPECT_DOUBLE_EQ(Ui(w).pbrPlaylist->Max(), 0.01);
  Ui(w).pbrPlaylist->SetValue(5);
  EXPECT_DOUBLE_EQ(Ui(w).pbrPlaylist->Value(), 0.01);
  State(MainPlaylist()).gTotalSeconds = 1;  // falls short of the 2.5 s played
  std::vector<QString> remaining;
  Steps steps(2, [&] {
    mp.Advance(0.25);
    remaining.push_back(Ui(w).lblTimeRemaining->Caption());
    return false;
  });
  w.btnPlay_Click();
  ASSERT_FALSE(remaining.empty());
  for (const QString& r : remaining) EXPECT_TRUE(r == "0:00  " || r == "0:01  ") << r.toStdString();
  EXPECT_TRUE(boxes.shown().empty()) << "no invalid-duration message from rounding";
}

// ---- edits ----------------------------------------------------------------------------------

TEST_F(PlaylistTest, InsertAtRowZeroRenumbersCountsAndMarksTheListChangedWithoutReprobingTheRest) {
  WriteList(kJazz, {kA, kB, kC});
  frmPlaylist& w = Open();
  const int height = Ui(w).grdListDetail->Height();
  mp.calls.clear();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 0;
  s.gTrackToAdd = kD;
  MainPlaylist().InsertTrackAtRow();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1.", "2.", "3.", "4."}));
  EXPECT_EQ(Column(4), (std::vector<std::string>{kD, kA, kB, kC}));
  EXPECT_EQ(Column(2)[0], "0:04  ");
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "4");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "1:15  ");  // 4, 6.5 to 6, 9.5 to 10, 75
  EXPECT_EQ(Ui(w).grdListDetail->Height(), height + 240);
  EXPECT_TRUE(w.HasUnsavedEdit());
  EXPECT_EQ(Loads(), std::vector<std::string>{kD}) << "only the new file is read";
  EXPECT_EQ(RedRows(), std::vector<int>{0}) << "the mark stays on its row position";
}

TEST_F(PlaylistTest, AFileWithoutDurationIsRefusedAndNothingChanges) {
  WriteList(kJazz, {kA, kC});
  frmPlaylist& w = Open();
  drives.Write("C:\\Music\\bad.wav", "x");
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 1;
  s.gTrackToAdd = "C:\\Music\\bad.wav";
  boxes.Answer(platform::vbOK);
  MainPlaylist().ReplaceTrackAtRow();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Invalid audio file");
  EXPECT_EQ(boxes.shown()[0].text,
            "Tolvan is unable to perform the requested edit. \n\r\n\rThe selected file has an invalid duration. "
            "\n\rIt may be corrupted or be an invalid audio file type. \n\r");
  EXPECT_EQ(Column(4), (std::vector<std::string>{kA, kC}));
  EXPECT_FALSE(w.HasUnsavedEdit());
  EXPECT_EQ(mp.FileName(), kC) << "the player gets the row's file back";
}

TEST_F(PlaylistTest, NewTrackFillsTheEmptyRowOfANewPlaylist) {
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 0;
  s.gTrackToAdd = "C:\\Music\\b.mp3";
  MainPlaylist().ReplaceTrackAtRow();
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Column(1), std::vector<std::string>{"b"});
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "1");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "0:04  ");
  EXPECT_TRUE(w.HasUnsavedEdit());
}

// Deleting a row above the current last track takes the current track to the deleted row's
// index: deleting invalid track 9 of 12 while track 12 is current makes track 8 current.
TEST_F(PlaylistTest, DeletingAnInvalidRowAboveTheCurrentLastTrackMakesTheRowsIndexCurrent) {
  std::vector<std::string> tracks;
  for (int i = 1; i <= 12; ++i) {
    const std::string t = "C:\\Music\\t" + std::to_string(i) + ".wav";
    if (i != 9) drives.Write(t, "audio");
    mp.SetDuration(t, 10);
    tracks.push_back(t);
  }
  WriteList(kJazz, tracks);
  boxes.Answer(platform::vbOK);  // track 9's file is missing
  frmPlaylist& w = Open();
  w.show();
  PlaylistState& s = State(MainPlaylist());
  ASSERT_EQ(Column(2)[8], "0:00  ");
  QWidget* port = Ui(w).grdListDetail->findChild<QAbstractItemView*>()->viewport();
  const int rowPx = platform::TwipsToPixels(platform::FlexGrid::kRowHeightTwips);
  Ui(w).grdListDetail->SetTopRow(1);
  QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(100, (11 - Ui(w).grdListDetail->TopRow()) * rowPx + rowPx / 2));
  ASSERT_EQ(s.gCurrentTrack, 12);
  QTest::mouseClick(port, Qt::RightButton, {}, QPoint(100, (8 - Ui(w).grdListDetail->TopRow()) * rowPx + rowPx / 2));
  ASSERT_NE(w.Popup(), nullptr);
  ASSERT_EQ(s.gTargetRow, 8);
  w.Popup()->lblDeleteTrack_Click();
  EXPECT_EQ(Column(4).size(), 11u);
  EXPECT_EQ(s.gCurrentTrack, 8);
  EXPECT_EQ(RedRows(), std::vector<int>{7});
}

TEST_F(PlaylistTest, DeletingTheCurrentLastTrackMakesTheNewLastCurrentWithOneRedRow) {
  WriteList(kJazz, {kA, kB, kC, kD});
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 3;
  s.gPlayerCommand = {playerrules::Action::Load, playerrules::Target::Clik};
  MainPlaylist().RunPlayerCommand();
  ASSERT_EQ(s.gCurrentTrack, 4);
  MainPlaylist().DeleteTrackAtRow();
  EXPECT_EQ(Column(4), (std::vector<std::string>{kA, kB, kC}));
  EXPECT_EQ(s.gCurrentTrack, 3);
  EXPECT_EQ(RedRows(), std::vector<int>{2});
  EXPECT_EQ(mp.FileName(), kC);
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "3");
  // Deleting the first row while the last is current: the current track stays a grid row.
  s.gTargetRow = 0;
  MainPlaylist().DeleteTrackAtRow();
  EXPECT_EQ(s.gCurrentTrack, 1);
  EXPECT_EQ(RedRows(), std::vector<int>{0});
  s.gTargetRow = 0;
  MainPlaylist().DeleteTrackAtRow();
  s.gTargetRow = 0;
  MainPlaylist().DeleteTrackAtRow();
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Column(4), std::vector<std::string>{""});
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "0");
  EXPECT_EQ(Ui(w).lblTrack->Caption(), "0  ");
  EXPECT_TRUE(w.HasUnsavedEdit());
}

TEST_F(PlaylistTest, APressDragsTheWindowOnlyOnItsBareSkin) {
  frmPlaylist& w = Open();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const frmPlaylistControls& ui = Ui(w);
  for (QWidget* control : std::initializer_list<QWidget*>{ui.pbrPlayFile, ui.pbrPlaylist, ui.lblPlaylistName}) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) QTest::mousePress(control, b, {}, QPoint(2, 2));
    EXPECT_EQ(w.WindowDragsStarted(), 0) << control->metaObject()->className();
  }
  QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(w.width() - 6, w.height() - 6));
  EXPECT_EQ(w.WindowDragsStarted(), 1);
}

TEST_F(PlaylistTest, DraggingARowRenumbersAndKeepsTheMarkOnItsPosition) {
  WriteList(kJazz, {kA, kB, kC});
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gDragSourceRow = 1;
  w.grdListDetail_DragDrop(1);
  EXPECT_FALSE(w.HasUnsavedEdit()) << "a row dropped on itself changes nothing";
  s.gDragSourceRow = 0;
  w.grdListDetail_DragDrop(2);
  EXPECT_EQ(Column(4), (std::vector<std::string>{kB, kC, kA}));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1.", "2.", "3."}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"0:04  ", "1:05  ", "0:02  "}));
  EXPECT_EQ(RedRows(), std::vector<int>{0});
  EXPECT_TRUE(w.HasUnsavedEdit());
}

// ---- the popup ------------------------------------------------------------------------------

struct PopupCase {
  const char* name;
  bool emptyList;
  int row;
  bool copied;
  bool add, replace, copy, paste, del;
  const char* replaceCaption;
};

class PopupItems : public PlaylistTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupItems, AreEnabledByTheRowAndTheCopyBuffer) {
  const PopupCase& c = GetParam();
  if (!c.emptyList) {
    WriteList(kJazz, {kA, kGone});
    boxes.Answer(platform::vbOK);
  }
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = c.row;
  if (c.copied) s.gTrackClipboard = kD;
  w.ShowTrackPopup(0, 0);
  frmPlaylistPopup* p = w.Popup();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(Ui(*p).lblAddTrack->isEnabled(), c.add);
  EXPECT_EQ(Ui(*p).lblReplaceTrack->isEnabled(), c.replace);
  EXPECT_EQ(Ui(*p).lblCopyTrack->isEnabled(), c.copy);
  EXPECT_EQ(Ui(*p).lblPasteTrack->isEnabled(), c.paste);
  EXPECT_EQ(Ui(*p).lblDeleteTrack->isEnabled(), c.del);
  EXPECT_EQ(Ui(*p).lblReplaceTrack->Caption(), c.replaceCaption);
  EXPECT_EQ(Ui(*p).lblDeleteTrack->Caption(), "Delete ");
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupItems,
    ::testing::Values(PopupCase{"EmptyList", true, 0, false, false, true, false, false, false, "New Track"},
                      PopupCase{"EmptyListCopied", true, 0, true, false, true, false, true, false, "New Track"},
                      PopupCase{"ValidRow", false, 0, false, true, true, true, false, true, "Replace"},
                      PopupCase{"InvalidRowCopied", false, 1, true, false, true, false, true, true, "Replace"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaylistTest, CopyThenPasteIntoAnotherPlaylistInsertsTheCopiedPath) {
  WriteList(kJazz, {kA, kB});
  WriteList(kRock, {kC});
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 1;
  w.ShowTrackPopup(0, 0);
  w.Popup()->lblCopyTrack_Click();
  EXPECT_EQ(s.gTrackClipboard, kB);
  Ui(w).grdPlaylistInventory->SetRow(1);
  w.grdPlaylistInventory_MouseDown(1, 0, 0, 0);
  s.gTargetRow = 0;
  w.ShowTrackPopup(0, 0);
  w.Popup()->lblPasteTrack_Click();
  EXPECT_EQ(Column(4), (std::vector<std::string>{kB, kC}));
  EXPECT_EQ(s.gTrackClipboard, kB);
}

// On an empty playlist the popup is in its New Track form: Paste fills the one row.
TEST_F(PlaylistTest, PasteOnAnEmptyPlaylistFillsItsOneRow) {
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTrackClipboard = kD;
  s.gTargetRow = 0;
  w.ShowTrackPopup(0, 0);
  w.Popup()->lblPasteTrack_Click();
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Column(4), std::vector<std::string>{kD});
  EXPECT_EQ(Ui(w).lblTotalTracks->Caption(), "1");
}

TEST_F(PlaylistTest, AddFromTheOpenDialogInsertsAndACancelChangesNothing) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  PlaylistState& s = State(MainPlaylist());
  s.gTargetRow = 0;
  dialogs.Cancel();
  w.ShowTrackPopup(0, 0);
  w.Popup()->lblAddTrack_Click();
  EXPECT_EQ(Column(4), std::vector<std::string>{kA});
  dialogs.Choose(kC);
  w.ShowTrackPopup(0, 0);
  w.Popup()->lblAddTrack_Click();
  EXPECT_EQ(Column(4), (std::vector<std::string>{kC, kA}));
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_EQ(dialogs.requests()[1].flags, 4);
  EXPECT_EQ(dialogs.requests()[1].filter, state.launcher.gOpenFilter);
  EXPECT_TRUE(boxes.shown().empty());
}

// The Save dialog's and the popup's file dialog's errors: the description under the program's title.
TEST_F(PlaylistTest, ADialogErrorIsShownUnderTheProgramsTitleAndChangesNothing) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  const std::string inventoryBefore = drives.Read(state.decl.files.gInventoryFile);
  PlaylistState& s = State(MainPlaylist());
  const struct {
    const char* what;
    std::function<void()> click;
  } cases[] = {
      {"Save", [&] { w.btnSaveList_Click(); }},
      {"Add track", [&] { w.ShowTrackPopup(0, 0); w.Popup()->lblAddTrack_Click(); }},
      {"Replace track", [&] { w.ShowTrackPopup(0, 0); w.Popup()->lblReplaceTrack_Click(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = boxes.shown().size();
    s.gTargetRow = 0;
    boxes.Answer(platform::vbOK);
    dialogs.Fail(platform::errPathNotFound);
    c.click();
    ASSERT_EQ(boxes.shown().size(), before + 1);
    EXPECT_EQ(boxes.shown().back().text, platform::VbError::DescribeError(platform::errPathNotFound));
    EXPECT_EQ(boxes.shown().back().style, platform::vbOKOnly);
    EXPECT_EQ(boxes.shown().back().title, "Tolvan Audio Manager");
    EXPECT_EQ(Column(4), std::vector<std::string>{kA});
    EXPECT_EQ(drives.Read(state.decl.files.gInventoryFile), inventoryBefore);
  }
}

// ---- the window's other buttons -------------------------------------------------------------

TEST_F(PlaylistTest, NewAndExitAskBeforeDiscardingAnUnsavedEditAndOnlyNoStops) {
  WriteList(kJazz, {kA, kB});
  frmPlaylist& w = Open();
  w.MarkUnsaved(true);
  boxes.Answer(platform::vbNo);
  w.btnNewList_Click();
  EXPECT_EQ(Column(4), (std::vector<std::string>{kA, kB}));
  boxes.Answer(platform::vbNo);
  w.btnExit_Click();
  EXPECT_FALSE(w.Unloaded());
  EXPECT_EQ(boxes.shown()[1].text,
            "Changes made to the current playlist have not been saved.\r\n"
            "Do you wish to exit the Playlist Editor without saving the changes?");
  boxes.Answer(platform::vbYes);
  w.btnNewList_Click();
  EXPECT_EQ(Column(0), std::vector<std::string>{"1."});
  EXPECT_EQ(Column(4), std::vector<std::string>{""});
  EXPECT_EQ(Ui(w).lblPlaylistName->Caption(), "New playlist...");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "0:00  ");
  EXPECT_FALSE(w.HasUnsavedEdit());
  w.btnPlay_Click();
  EXPECT_TRUE(mp.calls.empty() || mp.calls.back() != "Play") << "a list of 0:00 does not start";
  w.btnExit_Click();
  EXPECT_TRUE(w.Unloaded()) << "stopped, Exit closes at once";
}

TEST_F(PlaylistTest, TheVolumeSliderSetsThePlayerInHundredthsOfADecibel) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  for (const auto& [value, tip] : std::vector<std::pair<int, const char*>>{{-2550, "-26dB"}, {-5000, "-50dB"},
                                                                            {-1, "-1dB"}, {0, "0dB"}}) {
    Ui(w).sldPlaylist->setValue(value == 0 ? -100 : 0);
    Ui(w).sldPlaylist->setValue(value);
    EXPECT_EQ(mp.Volume(), value);
    EXPECT_EQ(Ui(w).sldPlaylist->toolTip(), tip);
  }
}

TEST_F(PlaylistTest, FunctionKeysReachTheMainWindowOnlyWithoutCtrlOrAlt) {
  WriteList(kJazz, {kA});
  frmPlaylist& w = Open();
  bool handled = false;
  w.Form_KeyDown(112, 2, handled);
  EXPECT_FALSE(handled);
  w.Form_KeyDown(122, 1, handled);
  EXPECT_FALSE(handled);
  w.Form_KeyDown(123, 0, handled);
  EXPECT_TRUE(handled);
  EXPECT_NE(std::find(printer.calls().begin(), printer.calls().end(), "EndDoc"), printer.calls().end());
}

TEST_F(PlaylistTest, HelpStartsTheViewerOnItsPageAndPrintListsTheGrid) {
  WriteList(kJazz, {kA, kB});
  frmPlaylist& w = Open();
  w.btnHelp_Click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].args, std::vector<std::string>{"playedit.htm"});
  printer.clear();
  w.btnPrint_Click();
  const std::vector<std::string> expected = {
      "Copies 1",
      "PrintQuality -4",
      "Orientation 1",
      "FontSize 10",
      "Line |Playlist Listing - Tolvan Audio Manager|",
      "Line |12/10/2026|",
      "Line",
      "Line",
      "FontSize 14",
      "FontBold true",
      "Line |Playlist Detail|",
      "FontSize 10",
      "Line |C:\\Lists\\jazz.m3u|",
      "Line |# of Tracks: 2| zone|Total Time: 0:06  |",
      "Line",
      std::string("Line |1.\ta.wav\t0:02  \tC:\\Music\\a.wav\tC:\\Music\\a.wav\r2.\tb\t0:04  \tC:\\Music\\b.mp3\t") +
          "C:\\Music\\b.mp3|",
      "EndDoc",
  };
  EXPECT_EQ(printer.calls(), expected);
}

}  // namespace

// The window opens beside the main window, not over it, where the screen has room.
TEST(PlaylistWindowPlace, BesideTheMainWindowWhereTheScreenHasRoom) {
  const QRect main(0, 0, 1200, 672);
  const QSize size(712, 428);
  EXPECT_EQ(PlaceBeside(main, size, QRect(0, 0, 1920, 1080)), QPoint(1200, 0)) << "to its right";
  EXPECT_EQ(PlaceBeside(main, size, QRect(0, 0, 1280, 1200)), QPoint(0, 672)) << "else below it";
  EXPECT_EQ(PlaceBeside(main, size, QRect(0, 0, 1280, 1024)), QPoint(568, 596)) << "else the far corner";
  EXPECT_EQ(PlaceBeside(QRect(100, 50, 300, 200), size, QRect(0, 0, 400, 300)), QPoint(0, 0)) << "never off the screen";
}

// The track grid shows every text whole: an hour-long time under its heading, a long
// shortened path in full (the grid scrolls sideways, with room for the bar below the rows).
TEST_F(PlaylistTest, TimesAndShortenedPathsShowWholeAndNoRowIsCovered) {
  const std::string hour = "C:\\Music\\hour.wav";
  const std::string wide = "C:\\Music\\WWWWWWWWWWWW MMMMMMMMMMMM\\QQQQQQQQ WWWWWWWW.wav";
  for (const std::string& t : {hour, wide}) drives.Write(t, "audio");
  mp.SetDuration(hour, 3661);
  mp.SetDuration(wide, 5);
  WriteList(kJazz, {kA, hour, wide});
  frmPlaylist& w = Open();
  w.show();
  platform::FlexGrid& g = *Ui(w).grdListDetail;
  ASSERT_EQ(Column(2)[1], "1:01:01  ");
  for (int r = 0; r < g.Rows(); ++r) {
    EXPECT_TRUE(g.CellTextFits(r, 2)) << "time of row " << r;
    EXPECT_TRUE(g.CellTextFits(r, 3)) << "path of row " << r;
  }
  const int timeRight = g.x() + platform::TwipsToPixels(g.ColWidth(0) + g.ColWidth(1) + g.ColWidth(2));
  EXPECT_EQ(Ui(w).lblTime->geometry().right() + 1, timeRight) << "the heading over its column";
  EXPECT_GT(Ui(w).lblFile->x(), timeRight);
  int columns = 0;
  for (int c = 0; c < g.Cols(); ++c) columns += g.ColWidth(c);
  ASSERT_GT(platform::TwipsToPixels(columns), g.width()) << "this list is wider than the grid";
  const int bar = platform::PixelsToTwips(w.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  EXPECT_EQ(g.Height(), g.RowHeight(0) * 3 + 10 + bar) << "room for the bar below the three rows";
  EXPECT_LE(g.geometry().bottom(), w.height()) << "the grid, bar and all, inside the window";
}
