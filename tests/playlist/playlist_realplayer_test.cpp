// The playlist window with the real media player on short generated WAV files: the list
// plays through to its end, track after track, and comes back loaded at its head.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "analysis/durationprobe.h"
#include "mainwindow/frmLauncher.h"
#include "support/window_steps.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "platform/qt/mediaplayer_qt.h"
#include "playlist/window/playlist.h"
#include "support/app_fixture.h"
#include "support/playlist_access.h"

using testing_support::State;
using testing_support::Steps;
using testing_support::Ui;

namespace {

// The Qt player, telling which file each Play started: a loaded machine may play a short track
// in less time than any sampling of the player's state would see.
class RecordingQtPlayer : public platform::QtMediaPlayer {
 public:
  RecordingQtPlayer() : QtMediaPlayer(analysis::ProbeDurationHost) {}
  void Play() override {
    started.push_back(FileName());
    QtMediaPlayer::Play();
  }
  std::vector<std::string> started;
};

class RealPlayerPlaylist : public testing_support::AppFixture {
 protected:
  RealPlayerPlaylist() {
    playlistPlayer = &player;
    WriteDefaultSettings();
  }
  ~RealPlayerPlaylist() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  RecordingQtPlayer player;
};

TEST_F(RealPlayerPlaylist, PlaysEveryTrackToItsEndThenLoadsTheHeadStopped) {
  const std::vector<std::string> tracks = {"C:\\Music\\one.wav", "C:\\Music\\two.wav", "C:\\Music\\three.wav"};
  std::string list;
  for (const std::string& t : tracks) {
    drives.Write(t, audio_builders::PcmWave(0.6));
    list += drives.Host(t) + "\r\n";
  }
  drives.Write("C:\\Lists\\short.m3u", list);
  auto main = OpenMainWindow();
  frmPlaylist& w = MainPlaylist().Window();
  ASSERT_EQ(Ui(w).grdListDetail->Rows(), 3);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(Ui(w).grdListDetail->TextMatrix(r, 2), "0:01  ");
  EXPECT_EQ(Ui(w).lblTotalTime->Caption(), "0:03  ");  // rounded after each addition

  Steps rescue(100, [] { return false; }, [&w] { w.btnStop_Click(); }, 15000);
  QElapsedTimer clock;
  clock.start();
  w.btnPlay_Click();
  EXPECT_EQ(player.started, tracks);
  // Not instant: the tracks played (a loaded backend may skip late buffers, so not the full 1.8 s).
  EXPECT_GE(clock.elapsed(), 600);
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 1);
  EXPECT_EQ(Ui(w).mpPlaylist->PlayState(), 0);
  EXPECT_EQ(Ui(w).mpPlaylist->FileName(), tracks[0]);
  EXPECT_TRUE(Ui(w).btnSaveList->isEnabled());
  EXPECT_TRUE(Ui(w).lblPlayStatus->isHidden());
}

// A track whose file went away after the list was loaded, clicked with the system's player:
// stopped, the click loads nothing and Play then does nothing; while another track plays, the
// click is refused with the window's message and the playback ends as a stop.
TEST_F(RealPlayerPlaylist, ATrackWhoseFileWentAwayIsRefusedOnlyWhenPlayed) {
  drives.Write("C:\\Music\\long.wav", audio_builders::PcmWave(3));
  drives.Write("C:\\Music\\gone.wav", audio_builders::PcmWave(1));
  drives.Write("C:\\Lists\\two.m3u", drives.Host("C:\\Music\\gone.wav") + "\r\n" +
                                          drives.Host("C:\\Music\\long.wav") + "\r\n");
  auto main = OpenMainWindow();
  frmPlaylist& w = MainPlaylist().Window();
  w.show();
  ASSERT_EQ(Ui(w).grdListDetail->Rows(), 2);
  drives.Remove("C:\\Music\\gone.wav");
  QWidget* port = Ui(w).grdListDetail->findChild<QAbstractItemView*>()->viewport();
  const int rowPx = platform::TwipsToPixels(platform::FlexGrid::kRowHeightTwips);
  const QPoint row0(100, rowPx / 2), row1(100, rowPx + rowPx / 2);

  QTest::mouseClick(port, Qt::LeftButton, {}, row0);
  EXPECT_EQ(State(MainPlaylist()).gCurrentTrack, 1);
  EXPECT_EQ(Ui(w).mpPlaylist->PlayState(), platform::MediaPlayer::Closed);
  EXPECT_EQ(Ui(w).mpPlaylist->Duration(), 0.0);
  w.btnPlay_Click();
  EXPECT_TRUE(boxes.shown().empty()) << "Play on a closed player sends nothing";
  EXPECT_TRUE(player.started.empty());

  boxes.Answer(platform::vbOK);
  QTest::mouseClick(port, Qt::LeftButton, {}, row1);
  bool clicked = false;
  Steps steps(20, [&] {
    if (Ui(w).mpPlaylist->PlayState() != platform::MediaPlayer::Playing) return false;
    clicked = true;
    QTest::mouseClick(port, Qt::LeftButton, {}, row0);
    return true;
  }, [&w] { w.btnStop_Click(); });
  w.btnPlay_Click();
  EXPECT_TRUE(clicked);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Invalid audio file");
  EXPECT_NE(boxes.shown()[0].text.find("C:\\Music\\gone.wav"), std::string::npos);
  EXPECT_EQ(State(MainPlaylist()).gPlayerLoopState, playback::LoopState::Idle);
  EXPECT_TRUE(Ui(w).btnSaveList->isEnabled()) << "the playback ended";
}

}  // namespace
