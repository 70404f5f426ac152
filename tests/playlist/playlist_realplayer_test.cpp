// The playlist window with the real media player on short generated WAV files: the list
// plays through to its end, track after track, and comes back loaded at its head.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/window_steps.h"
#include "platform/qt/grid.h"
#include "playlist/frmPlaylist.h"
#include "platform/qt/mediaplayer_qt.h"
#include "playlist/playlist.h"
#include "support/app_fixture.h"

using testing_support::Steps;

namespace {

// The Qt player, telling which file each Play started: a loaded machine may play a short track
// in less time than any sampling of the player's state would see.
class RecordingQtPlayer : public platform::QtMediaPlayer {
 public:
  void Play() override {
    started.push_back(FileName());
    QtMediaPlayer::Play();
  }
  std::vector<std::string> started;
};

class RealPlayerPlaylist : public testing_support::AppFixture {
 protected:
  RealPlayerPlaylist() {
    PlaylistModule() = PlaylistState{};
    SetPlaylistPlayer(&player);
    WriteDefaultSettings();
  }
  ~RealPlayerPlaylist() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete PlaylistWindowOrNull();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetPlaylistPlayer(nullptr);
    PlaylistModule() = PlaylistState{};
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
  frmPlaylist& w = PlaylistWindow();
  ASSERT_EQ(w.grdListDetail->Rows(), 3);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(w.grdListDetail->TextMatrix(r, 2), "0:01  ");
  EXPECT_EQ(w.lblTotalTime->Caption(), "0:03  ");  // rounded after each addition

  Steps rescue(100, [] { return false; }, [&w] { w.btnStop_Click(); }, 15000);
  QElapsedTimer clock;
  clock.start();
  w.btnPlay_Click();
  EXPECT_EQ(player.started, tracks);
  // Not instant: the tracks played (a loaded backend may skip late buffers, so not the full 1.8 s).
  EXPECT_GE(clock.elapsed(), 600);
  EXPECT_EQ(PlaylistModule().gCurrentTrack, 1);
  EXPECT_EQ(w.mpPlaylist->PlayState(), 0);
  EXPECT_EQ(w.mpPlaylist->FileName(), tracks[0]);
  EXPECT_TRUE(w.btnSaveList->isEnabled());
  EXPECT_TRUE(w.lblPlayStatus->isHidden());
}

}  // namespace
