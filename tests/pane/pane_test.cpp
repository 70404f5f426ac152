// The database pane on its own, in a bare window, asking a recording host what it asks of
// the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

#include "datafiles/inventoryline.h"
#include "pane/databasepane.h"
#include "platform/core/clock.h"
#include "platform/qt/grid.h"
#include "support/fake_mediaplayer.h"
#include "support/pane_access.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"
#include "windows/shareddata.h"

namespace {

class RecordingPaneHost : public PaneHost {
 public:
  std::vector<std::string> asked;
  void PlayOrStopShownFile() override { asked.push_back("play or stop"); }
  void OpenPlaylistWindow() override { asked.push_back("open playlist"); }
  void ShowFileRallysets() override { asked.push_back("rallysets"); }
  void KeepTabInNoteBoxes(bool keep) override { asked.push_back(keep ? "keep tab" : "free tab"); }
  void OrphanCountChanged() override { asked.push_back("orphan count"); }
};

class PaneAlone : public ::testing::Test {
 protected:
  static constexpr const char* kSong = "C:\\Music\\song.wav";
  static constexpr const char* kList = "C:\\Lists\\mix.m3u";

  PaneAlone() {
    decl.gAppPath = "C:\\app\\";
    decl.files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
    drives.MakeFolder("C:\\app\\data\\");
    platform::SetClock(&clock);
    std::string inventory;
    for (const char* path : {kSong, kList}) {
      datafiles::AppendStoredInventoryLine(path, nullptr, inventory);
      drives.Write(path, std::string(20, 'x'));
    }
    drives.Write(decl.files.gInventoryFile, inventory);
    frame.resize(1200, 560);
    pane = new DatabasePane(&frame, host, player, decl, io, "");
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  ~PaneAlone() override { platform::SetClock(nullptr); }

  DatabasePaneControls& Ui() { return PaneUi(*pane); }
  platform::FlexGrid& Grid() { return *Ui().grdTotals; }
  std::string Title() { return Ui().lblDBViewTitle->Caption().toStdString(); }

  // The list of every file.
  void ListAll() {
    PaneDb(*pane).gTypeFilter = "total";
    pane->ShowInventoryDetail();
  }
  int RowOf(const std::string& full) {
    for (int r = 1; r < Grid().Rows(); ++r) {
      if (Grid().TextMatrix(r, 1) + Grid().TextMatrix(r, 3) == full) return r;
    }
    return -1;
  }
  // A real release of `button` over the list row of `full`.
  void Release(const std::string& full, Qt::MouseButton button) {
    const int row = RowOf(full);
    ASSERT_GT(row, 0) << full;
    QApplication::processEvents();
    auto* view = Grid().findChild<QTableView*>();
    const QPoint at(view->columnViewportPosition(2) + 3, view->rowViewportPosition(row - 1) + 3);
    QTest::mouseClick(view->viewport(), button, Qt::NoModifier, at);
    QApplication::processEvents();
  }

  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  testing_support::FakeMediaPlayer player;
  platform::FixedClock clock{{2026, 12, 10, 9, 30, 0}};
  Declarations decl;
  DataFileIO io;
  RecordingPaneHost host;
  QWidget frame;
  DatabasePane* pane = nullptr;
};

TEST_F(PaneAlone, ARowOpensInFileDetailAndTheRightButtonAsksTheHostToPlayIt) {
  ListAll();
  Release(kSong, Qt::LeftButton);
  EXPECT_TRUE(pane->ShowsFileDetail());
  EXPECT_EQ(pane->ShownFilePath(), kSong);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"rallysets"})) << "a left release only opens";
  EXPECT_TRUE(pane->OffersPlay());

  host.asked.clear();
  QTest::mouseClick(Ui().btnPlay, Qt::LeftButton);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"play or stop"}));

  ListAll();
  host.asked.clear();
  Release(kSong, Qt::RightButton);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"rallysets", "play or stop"}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PaneAlone, AListedPlaylistAsksTheHostToOpenItAndLeavesTheListOnShow) {
  ListAll();
  Release(kList, Qt::RightButton);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"open playlist"})) << "nothing plays a playlist row";
  EXPECT_EQ(pane->CurrentPlaylistPath(), kList);
  EXPECT_FALSE(pane->ShowsFileDetail());
  EXPECT_EQ(Title(), "Inventory Detail");
}

TEST_F(PaneAlone, TheNoteEditKeepsTabInTheNoteBoxesUntilItEnds) {
  ListAll();
  Release(kSong, Qt::LeftButton);
  host.asked.clear();
  pane->btnUpdate_Click();
  EXPECT_TRUE(pane->EditsNote());
  EXPECT_EQ(Ui().btnUpdate->Caption(), "End Edit");
  EXPECT_EQ(Ui().btnSelSearch->Caption(), "Erase All");
  EXPECT_EQ(host.asked, (std::vector<std::string>{"keep tab"}));

  // Unchanged boxes end the edit without a question.
  pane->btnUpdate_Click();
  EXPECT_FALSE(pane->EditsNote());
  EXPECT_EQ(Ui().btnUpdate->Caption(), "Update");
  EXPECT_EQ(Ui().btnSelSearch->Caption(), "Search");
  EXPECT_EQ(host.asked, (std::vector<std::string>{"keep tab", "free tab"}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PaneAlone, SearchEntryOpensOnTheListAndItsCancelPutsTheListBack) {
  ListAll();
  pane->btnSelSearch_Click();
  EXPECT_EQ(Title(), "Search Inventory");
  EXPECT_EQ(Ui().btnUpdate->Caption(), "Cancel");
  pane->btnUpdate_Click();
  EXPECT_EQ(Title(), "Inventory Detail");
  EXPECT_EQ(Ui().btnUpdate->Caption(), "Update");
  EXPECT_EQ(ViewName(PaneDb(*pane).gViewMode), "Detail");
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(PaneAlone, TheDetailTabGoesFromFileDetailBackToTheList) {
  ListAll();
  Release(kSong, Qt::LeftButton);
  ASSERT_EQ(Title(), "File Detail");
  pane->btnSelDetail_Click();
  EXPECT_EQ(Title(), "Inventory Detail");
  EXPECT_FALSE(pane->ShowsFileDetail());
  EXPECT_GT(RowOf(kSong), 0);
}

struct PlaybackCase {
  const char* what;
  bool fileDetail;
  const char* playAfter;
};

class PlaybackOnPane : public PaneAlone, public ::testing::WithParamInterface<PlaybackCase> {};

TEST_P(PlaybackOnPane, HidesUpdateAndSearchWhileItRunsAndGivesPlayBackOnlyInFileDetail) {
  ListAll();
  Release(kSong, Qt::LeftButton);
  pane->ShowPlaying();
  pane->ShowBusyForPlayback();
  EXPECT_TRUE(pane->PlaysShownFile());
  EXPECT_TRUE(Ui().btnUpdate->isHidden());
  EXPECT_TRUE(Ui().btnSelSearch->isHidden());
  if (!GetParam().fileDetail) ListAll();
  EXPECT_EQ(Ui().btnPlay->Caption(), "Stop") << "a view keeps Stop while the file plays";

  pane->ShowPlaybackOver();
  EXPECT_EQ(Ui().btnPlay->Caption().toStdString(), GetParam().playAfter);
  EXPECT_EQ(pane->OffersPlay(), GetParam().fileDetail);
  EXPECT_FALSE(pane->PlaysShownFile());
  EXPECT_FALSE(Ui().btnUpdate->isHidden());
  EXPECT_FALSE(Ui().btnSelSearch->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Views, PlaybackOnPane,
                         ::testing::Values(PlaybackCase{"FileDetail", true, "Play"},
                                           PlaybackCase{"List", false, ""}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
