// The player area on its own, in a bare window, with the fake media player, asking a
// recording host what it asks of the main window.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

#include "mainwindow/playerarea.h"
#include "support/fake_mediaplayer.h"
#include "support/player_access.h"
#include "support/window_steps.h"
#include "windows/shareddata.h"

using testing_support::FakeMediaPlayer;
using testing_support::Steps;

namespace {

class RecordingPlayerHost : public PlayerAreaHost {
 public:
  std::vector<std::string> asked;
  bool exiting = false;
  void FocusTree() override { asked.push_back("focus tree"); }
  bool Exiting() const override { return exiting; }
  void PlaybackStarting() override { asked.push_back("starting"); }
  void PlaybackReset() override { asked.push_back("reset"); }
  void PlaybackStoppedByUser() override { asked.push_back("stopped by user"); }
};

class PlayerAlone : public ::testing::Test {
 protected:
  PlayerAlone() {
    SetPreset(2, "Jingle", "C:\\Sounds\\jingle.wav", "False");
    SetPreset(4, "Bed", "C:\\Sounds\\bed.wav", "true");
    player.SetDuration("C:\\Sounds\\jingle.wav", 3);
    player.SetDuration("C:\\Sounds\\bed.wav", 2);
    frame.resize(420, 520);
    area = new PlayerArea(&frame, player, app, host);
    QObject::connect(Ui().lblPlayStatus, &platform::Label::Change,
                     [this] { statuses.push_back(Ui().lblPlayStatus->Caption().toStdString()); });
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }

  void SetPreset(int n, const char* caption, const char* path, const char* loop) {
    app.io.presets.gPresetCaptions[n - 1] = caption;
    app.io.presets.gPresetPaths[n - 1] = path;
    app.io.presets.gPresetLoop[n - 1] = loop;
  }
  PlayerAreaControls& Ui() { return PlayerUi(*area); }
  int Loads(const std::string& path) const { return player.Loads(path); }
  // Ends a playback that the test failed to end itself.
  std::function<void()> Rescue() {
    return [this] {
      PlayerStateOf(*area).gLoopingPreset = 0;
      area->StopPlayback();
    };
  }

  ProgramState app;
  FakeMediaPlayer player;
  RecordingPlayerHost host;
  QWidget frame;
  PlayerArea* area = nullptr;
  std::vector<std::string> statuses;
};

TEST_F(PlayerAlone, APresetPlaysToItsEndShowsEndedAndResetsASecondLater) {
  Steps steps(5, [this] {
    player.Advance(1);
    return player.CurrentPosition() >= 3;
  }, Rescue(), 3000);
  area->PlayPreset(2);

  EXPECT_EQ(statuses, (std::vector<std::string>{"Playing", "Ended"}));
  EXPECT_EQ(host.asked, (std::vector<std::string>{"starting"}));
  EXPECT_EQ(Ui().lblPlayFileName->Caption(), "Jingle");
  EXPECT_EQ(Ui().lblDuration->Caption(), " 0h 0m 3s");
  EXPECT_EQ(Ui().pbrPlayFile->value(), Ui().pbrPlayFile->maximum());
  EXPECT_FALSE(area->PlaybackRunning());

  EXPECT_TRUE(QTest::qWaitFor([this] { return !Ui().timPlayStopped->Enabled(); }, 3000));
  EXPECT_EQ(Ui().lblPlayStatus->Caption(), "");
  EXPECT_EQ(Ui().pbrPlayFile->value(), 0);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"starting", "reset"}));
}

TEST_F(PlayerAlone, ALoopingPresetStartsAgainUntilStopWhichShowsStopped) {
  Steps steps(5, [this] {
    if (Loads("C:\\Sounds\\bed.wav") >= 3) {
      Ui().btnStop->click();
      return true;
    }
    player.Advance(1);
    return false;
  }, Rescue());
  area->PlayPreset(4);

  EXPECT_EQ(statuses, (std::vector<std::string>{"Looping", "Ended", "Looping", "Ended", "Looping", "Stopped"}));
  EXPECT_EQ(host.asked, (std::vector<std::string>{"starting", "starting", "starting", "stopped by user", "focus tree"}));
  EXPECT_EQ(PlayerStateOf(*area).gLoopingPreset, 0);
  EXPECT_TRUE(PlayerStateOf(*area).gStopRequested);
  EXPECT_EQ(Ui().pbrPlayFile->value(), 0);
  EXPECT_FALSE(area->PlaybackRunning());
}

TEST_F(PlayerAlone, AProgramThatEndsEndsThePlaybackWithoutAnEnd) {
  Steps steps(5, [this] {
    host.exiting = true;
    return true;
  }, Rescue());
  area->PlayPreset(4);

  EXPECT_EQ(statuses, (std::vector<std::string>{"Looping"}));
  EXPECT_FALSE(area->PlaybackRunning());
  EXPECT_FALSE(Ui().timPlayStopped->Enabled()) << "no reset is armed for a playback that did not end";
  EXPECT_EQ(Loads("C:\\Sounds\\bed.wav"), 1);
}

struct PresetCase {
  int index;
  std::vector<std::string> asked;
};

class PresetWithoutFile : public PlayerAlone, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(PresetWithoutFile, LeavesThePlayerAloneAndAtMostFocusesTheTree) {
  area->PlayPreset(GetParam().index);
  EXPECT_EQ(host.asked, GetParam().asked);
  EXPECT_TRUE(player.calls.empty());
  EXPECT_TRUE(statuses.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, PresetWithoutFile,
                         ::testing::Values(PresetCase{7, {"focus tree"}}, PresetCase{0, {}}, PresetCase{21, {}}));

TEST_F(PlayerAlone, StopWithNothingPlayedOnlyFocusesTheTree) {
  Ui().btnStop->click();
  EXPECT_EQ(host.asked, (std::vector<std::string>{"focus tree"}));
  EXPECT_TRUE(player.calls.empty());
}

}  // namespace
