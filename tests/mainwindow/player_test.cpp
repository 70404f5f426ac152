#include <gtest/gtest.h>

#include <QTest>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "analysis/durationprobe.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/playduration.h"
#include "support/window_steps.h"
#include "platform/qt/controls.h"
#include "platform/qt/mediaplayer_qt.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"
#include "support/tree_access.h"
#include "support/player_access.h"
#include "support/preset_access.h"

using testing_support::AppFixture;
using testing_support::Steps;

namespace {

constexpr std::uint32_t kPlaying = platform::RGB(192, 192, 0);
constexpr std::uint32_t kLooping = platform::RGB(255, 128, 64);
constexpr std::uint32_t kEnded = platform::RGB(0, 192, 0);
constexpr std::uint32_t kStopped = platform::RGB(228, 0, 0);
constexpr std::uint32_t kIdle = platform::RGB(1, 61, 71);

const char* const kRefusal =
    "Tolvan is unable to play the selected file.\n\r"
    "The file may be missing, corrupted or in use by another application.";

// --- the length split ---------------------------------------------------------------------

struct DurationCase {
  double seconds;
  int hours, minutes;
  float secondsPart;
  const char* text;
};

void PrintTo(const DurationCase& c, std::ostream* os) { *os << c.seconds << " s"; }

class DurationSplit : public AppFixture, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(DurationSplit, SplitsThePlayersLengthAndWritesItsText) {
  WriteDefaultSettings();
  auto window = OpenMainWindow();
  player.SetDuration("C:\\a.wav", GetParam().seconds);
  player.SetFileName("C:\\a.wav");
  window->Player().SplitPlayDuration();
  const PlayerAreaState& s = PlayerStateOf(window->Player());
  EXPECT_EQ(s.gPlayHours, GetParam().hours);
  EXPECT_EQ(s.gPlayMinutes, GetParam().minutes);
  EXPECT_FLOAT_EQ(s.gPlaySeconds, GetParam().secondsPart);
  EXPECT_EQ(PlayDurationText(s.gPlayHours, s.gPlayMinutes, s.gPlaySeconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DurationSplit,
    ::testing::Values(DurationCase{83.5, 0, 1, 23.5f, " 0h 1m 23.5s"}, DurationCase{59.5, 0, 0, 59.5f, " 0h 0m 59.5s"},
                      DurationCase{3723.25, 1, 2, 3.25f, " 1h 2m 3.25s"}, DurationCase{5400, 1, 30, 0, " 1h 30m 0s"},
                      DurationCase{36000, 10, 0, 0, " 10h 0m 0s"}, DurationCase{0, 0, 0, 0, " 0h 0m 0s"},
                      DurationCase{59.996, 0, 0, 60, " 0h 0m 60s"}, DurationCase{60, 0, 1, 0, " 0h 1m 0s"},
                      DurationCase{0.126, 0, 0, 0.13f, " 0h 0m 0.13s"},
                      DurationCase{40000.5, 11, 6, 40.5f, " 11h 6m 40.5s"}));

// --- playback -----------------------------------------------------------------------------

class PlayerTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    window = OpenMainWindow();
    SetPreset(3, "Intro", "C:\\Sounds\\intro.wav", "True");
    SetPreset(5, "Jingle", "C:\\Sounds\\jingle.wav", "False");
    SetPreset(6, "Outro", "C:\\Sounds\\outro.wav", "True");
    player.SetDuration("C:\\Sounds\\intro.wav", 2);
    player.SetDuration("C:\\Sounds\\jingle.wav", 83.5);
    player.SetDuration("C:\\Sounds\\outro.wav", 4);
    window->Bank().RefreshPresetButtons();
    QObject::connect(Ui().lblPlayStatus, &platform::Label::Change, [this] {
      statuses.push_back(Ui().lblPlayStatus->Caption().toStdString());
      int here = 0;
      depths.push_back(reinterpret_cast<std::uintptr_t>(&here));
    });
  }

  void SetPreset(int n, const char* caption, const char* path, const char* loop) {
    auto& p = state.io.presets;
    p.gPresetCaptions[n - 1] = caption;
    p.gPresetPaths[n - 1] = path;
    p.gPresetLoop[n - 1] = loop;
  }

  int Loads(const std::string& path) const { return player.Loads(path); }
  // Ends a playback that the test failed to end itself.
  std::function<void()> Rescue() {
    return [this] {
      Run().gLoopingPreset = 0;
      window->Player().btnStop_Click();
    };
  }

  void WaitForReset() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Ui().timPlayStopped->Enabled(); }, 3000));
    EXPECT_EQ(Ui().lblPlayStatus->Caption(), "");
  }

  PlayerAreaControls& Ui() { return PlayerUi(window->Player()); }
  PlayerAreaState& Run() { return PlayerStateOf(window->Player()); }

  std::unique_ptr<frmLauncher> window;
  std::vector<std::string> statuses;
  std::vector<std::uintptr_t> depths;
};

TEST_F(PlayerTest, ALoopingPresetRepeatsInOneLoopUntilStop) {
  Steps steps(5, [this] {
    if (Ui().lblPlayStatus->Caption() == "Looping") {
      EXPECT_EQ(Ui().lblPlayStatus->BackColor(), kLooping);
    }
    if (Loads("C:\\Sounds\\intro.wav") >= 4) {
      Ui().btnStop->click();
      return true;
    }
    player.Advance(1);
    return false;
  }, Rescue());
  window->btnPreset_Click(3);

  EXPECT_EQ(statuses, (std::vector<std::string>{"Looping", "Ended", "Looping", "Ended", "Looping", "Ended", "Looping",
                                                "Stopped"}));
  for (std::uintptr_t depth : depths) EXPECT_EQ(depth, depths.front()) << "each repetition runs at the same depth";
  const PlayerAreaState& s = Run();
  EXPECT_EQ(s.gLoopingPreset, 0);
  EXPECT_TRUE(s.gStopRequested);
  EXPECT_FALSE(window->Player().PlaybackRunning());
  EXPECT_EQ(Ui().lblPlayStatus->BackColor(), kStopped);
  EXPECT_EQ(Ui().pbrPlayFile->value(), 0);
  EXPECT_TRUE(Ui().timPlayStopped->Enabled());
  EXPECT_EQ(Ui().lblPlayFileName->Caption(), "Intro");
  EXPECT_EQ(Ui().lblPlayFilePath->Caption(), "C:\\Sounds\\intro.wav");
  EXPECT_EQ(Ui().lblPlayFilePath->toolTip(), "C:\\Sounds\\intro.wav");
  EXPECT_EQ(Ui().lblDuration->Caption(), " 0h 0m 2s");
  EXPECT_TRUE(PaneUi(window->Pane()).btnUpdate->isHidden());
  EXPECT_TRUE(PaneUi(window->Pane()).btnSelSearch->isHidden());

  WaitForReset();
  EXPECT_EQ(Ui().lblPlayStatus->BackColor(), kIdle);
  EXPECT_FALSE(PaneUi(window->Pane()).btnUpdate->isHidden());
  EXPECT_TRUE(PaneUi(window->Pane()).btnUpdate->isEnabled());
  EXPECT_FALSE(PaneUi(window->Pane()).btnSelSearch->isHidden());
  EXPECT_FALSE(Run().gStopRequested);
  EXPECT_FALSE(Ui().timPlayStopped->Enabled());
}

TEST_F(PlayerTest, APresetWithoutLoopPlaysOnceAndEnds) {
  Steps steps(5, [this] {
    EXPECT_EQ(Ui().lblPlayStatus->BackColor(), kPlaying);
    player.Advance(40);
    return false;
  }, Rescue(), 3000);
  window->btnPreset_Click(5);
  EXPECT_EQ(statuses, (std::vector<std::string>{"Playing", "Ended"}));
  EXPECT_EQ(Ui().lblPlayStatus->BackColor(), kEnded);
  EXPECT_EQ(Ui().lblDuration->Caption(), " 0h 1m 23.5s");
  EXPECT_EQ(Ui().pbrPlayFile->value(), Ui().pbrPlayFile->maximum()) << "the bar reached the end";
  EXPECT_EQ(Loads("C:\\Sounds\\jingle.wav"), 1);
  EXPECT_FALSE(Run().gStopRequested);
}

TEST_F(PlayerTest, AnotherFileLoadedIntoThePlayerEndsTheWait) {
  // As the analyser does when a file is opened in the database pane meanwhile.
  Steps steps(5, [this] {
    player.SetFileName("D:\\Music\\analysed.wav");
    return true;
  }, Rescue());
  window->btnPreset_Click(5);
  EXPECT_EQ(statuses, (std::vector<std::string>{"Playing", "Ended"}));
  EXPECT_FALSE(window->Player().PlaybackRunning());
  EXPECT_TRUE(Ui().timPlayStopped->Enabled());
  EXPECT_EQ(player.FileName(), "D:\\Music\\analysed.wav");
}

struct TakeoverCase {
  int by;  // the preset started inside the running loop
  std::vector<std::string> statuses;
  int repetitionsOfTheNewcomer;
};

void PrintTo(const TakeoverCase& c, std::ostream* os) { *os << "preset " << c.by; }

class Takeover : public PlayerTest, public ::testing::WithParamInterface<TakeoverCase> {};

TEST_P(Takeover, AStartInsideTheLoopTakesThePlayerOverAndReturnsAtOnce) {
  const int by = GetParam().by;
  const std::string path = state.io.presets.gPresetPaths[by - 1];
  bool started = false;
  Steps steps(5, [&] {
    if (!started) {
      player.Advance(1);
      window->btnPreset_Click(by);  // from inside the waiting loop
      started = true;
      EXPECT_TRUE(window->Player().PlaybackRunning()) << "the first loop goes on";
      EXPECT_EQ(player.FileName(), path);
      return false;
    }
    if (Loads(path) > GetParam().repetitionsOfTheNewcomer) {
      Ui().btnStop->click();
      return true;
    }
    player.Advance(50);
    return false;
  }, Rescue());
  window->btnPreset_Click(3);
  EXPECT_EQ(statuses, GetParam().statuses);
  EXPECT_EQ(Loads("C:\\Sounds\\intro.wav"), 1) << "the preset taken over does not come back";
  EXPECT_EQ(Ui().lblPlayFileName->Caption(), QString::fromStdString(state.io.presets.gPresetCaptions[by - 1]));
  EXPECT_EQ(Run().gLoopingPreset, 0);
  for (std::uintptr_t depth : depths) EXPECT_EQ(depth, depths.front());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Takeover,
    ::testing::Values(
        // A preset without loop plays once, and the looping ends with it.
        TakeoverCase{5, {"Looping", "Playing", "Ended"}, 1},
        // A looping one loops in its place.
        TakeoverCase{6, {"Looping", "Ended", "Looping", "Ended", "Looping", "Stopped"}, 2}),
    [](const auto& info) { return "Preset" + std::to_string(info.param.by); });

TEST_F(PlayerTest, TheResetWaitsWhileTheNextRepetitionPlays) {
  // The first repetition ends at once; the second is left playing over the reset's second.
  int phase = 0;
  Steps steps(5, [&] {
    if (phase == 0) {
      player.Advance(2);
      phase = 1;
      return false;
    }
    if (phase == 1) {
      if (Ui().timPlayStopped->Enabled()) phase = 2;  // the first end armed the reset
      return false;
    }
    if (!Ui().timPlayStopped->Enabled()) {
      EXPECT_TRUE(PaneUi(window->Pane()).btnUpdate->isHidden());
      EXPECT_TRUE(PaneUi(window->Pane()).btnSelSearch->isHidden());
      EXPECT_EQ(Ui().lblPlayStatus->Caption(), "Looping");
      Ui().btnStop->click();
      return true;
    }
    return false;
  }, Rescue(), 5000);
  window->btnPreset_Click(3);
  EXPECT_EQ(Ui().lblPlayStatus->Caption(), "Stopped");
  WaitForReset();
  EXPECT_FALSE(PaneUi(window->Pane()).btnUpdate->isHidden());
}

TEST_F(PlayerTest, AStopWaitingForItsResetDoesNotEndTheNextPlayback) {
  Steps first(5, [this] {
    Ui().btnStop->click();
    return true;
  }, Rescue());
  window->btnPreset_Click(5);
  ASSERT_EQ(Ui().lblPlayStatus->Caption(), "Stopped");
  ASSERT_TRUE(Run().gStopRequested);
  Steps second(5, [&] {
    if (Loads("C:\\Sounds\\intro.wav") >= 2) {
      Ui().btnStop->click();
      return true;
    }
    player.Advance(2);
    return false;
  }, Rescue());
  window->btnPreset_Click(3);
  EXPECT_EQ(Loads("C:\\Sounds\\intro.wav"), 2) << "the looping preset repeated";
  EXPECT_EQ(statuses.back(), "Stopped");
}

// --- failures -----------------------------------------------------------------------------

enum class Start { PresetKey, Loop, Takeover, PlayLabel };

void PrintTo(Start s, std::ostream* os) {
  const char* names[] = {"PresetKey", "Loop", "Takeover", "PlayLabel"};
  *os << names[static_cast<int>(s)];
}

class Refusal : public PlayerTest, public ::testing::WithParamInterface<Start> {};

TEST_P(Refusal, IsShownOnceEndsTheLoopAndResetsTheArea) {
  boxes.Answer(platform::vbOK);
  const char* bad = "C:\\Sounds\\broken.wav";
  Steps steps(5, [&] {
    switch (GetParam()) {
      case Start::Loop:
        player.Refuse("C:\\Sounds\\intro.wav");  // gone before its second repetition
        player.Advance(2);
        return true;
      case Start::Takeover:
        window->btnPreset_Click(7);
        return true;
      default: return true;
    }
  }, Rescue());
  SetPreset(7, "Broken", bad, "True");
  player.Refuse(bad);
  switch (GetParam()) {
    case Start::PresetKey: window->btnPreset_Click(7); break;
    case Start::Loop:
    case Start::Takeover: window->btnPreset_Click(3); break;
    case Start::PlayLabel:
      ShowInFileDetail(window->Pane(), bad, true);
      window->PlayOrStopShownFile();
      break;
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return steps.done(); }, 3000));
  EXPECT_FALSE(window->Player().PlaybackRunning());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Error Playing File");
  EXPECT_EQ(boxes.shown()[0].text, kRefusal);
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(Run().gLoopingPreset, 0);
  EXPECT_TRUE(Run().gStopRequested);
  EXPECT_TRUE(Ui().timPlayStopped->Enabled());
  WaitForReset();
  EXPECT_FALSE(Run().gStopRequested);
  EXPECT_FALSE(PaneUi(window->Pane()).btnUpdate->isHidden());
  EXPECT_EQ(boxes.shown().size(), 1u) << "no further repetition, no second message";
}

// The player area keeps nothing of the file before: a refused preset shows its own caption
// and path and no length.
TEST_F(PlayerTest, ARefusedPresetShowsNoLengthOfTheFileBefore) {
  const char* bad = "C:\\Sounds\\broken.wav";
  SetPreset(7, "Broken", bad, "False");
  player.Refuse(bad);
  Ui().lblPlayFileName->SetCaption("Jingle");
  Ui().lblDuration->SetCaption(" 0h 1m 23.5s");
  Ui().lblPlayFilePath->SetCaption("C:\\Sounds\\jingle.wav");
  boxes.Answer(platform::vbOK);
  window->btnPreset_Click(7);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Error Playing File");
  EXPECT_EQ(Ui().lblDuration->Caption(), "");
  EXPECT_EQ(Ui().lblPlayFileName->Caption(), "Broken");
  EXPECT_EQ(Ui().lblPlayFilePath->Caption(), bad);
  WaitForReset();
}

INSTANTIATE_TEST_SUITE_P(Starts, Refusal,
                         ::testing::Values(Start::PresetKey, Start::Loop, Start::Takeover, Start::PlayLabel));

TEST_F(PlayerTest, AnUnassignedPresetOnlyMovesTheFocusEvenDuringALoop) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Ui().btnStop->setFocus();
  window->btnPreset_Click(9);
  EXPECT_TRUE(TreeTestAccess::Groups(window->Tree())->hasFocus());
  EXPECT_TRUE(player.calls.empty());

  Steps steps(5, [this] {
    Ui().btnStop->setFocus();
    window->btnPreset_Click(9);
    EXPECT_TRUE(TreeTestAccess::Groups(window->Tree())->hasFocus());
    EXPECT_EQ(Run().gLoopingPreset, 3);
    Ui().btnStop->click();
    return true;
  }, Rescue());
  window->btnPreset_Click(3);
  EXPECT_EQ(Loads("C:\\Sounds\\intro.wav"), 1);
}

TEST_F(PlayerTest, StopWhileIdleOnlyMovesTheFocus) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  BankUi(window->Bank()).btnPreset[1]->setFocus();
  Ui().btnStop->click();
  EXPECT_TRUE(TreeTestAccess::Groups(window->Tree())->hasFocus());
  EXPECT_TRUE(player.calls.empty());
  EXPECT_FALSE(Run().gStopRequested);
  EXPECT_FALSE(Ui().timPlayStopped->Enabled());
}

// The system's player takes a file it cannot play without a word and reads its length as 0;
// only playing it is refused. A tree entry, a preset and the Play label with such a file all
// end in the one message, and the area resets.
enum class RealStart { TreeDoubleClick, PresetKey, PlayLabel };

struct RealRefusalCase {
  RealStart start;
  const char* file;  // the bytes written, or nothing: the file is missing
};

void PrintTo(const RealRefusalCase& c, std::ostream* os) {
  const char* names[] = {"TreeDoubleClick", "PresetKey", "PlayLabel"};
  *os << names[static_cast<int>(c.start)] << (c.file ? "/NotAudio" : "/Missing");
}

class RealPlayerRefusal : public AppFixture, public ::testing::WithParamInterface<RealRefusalCase> {
 protected:
  platform::QtMediaPlayer real{analysis::ProbeDurationHost};
};

TEST_P(RealPlayerRefusal, EndsInTheRefusalMessageAndTheAreaResets) {
  WriteDefaultSettings();
  const char* bad = "C:\\Sounds\\bad.wav";
  if (GetParam().file) drives.Write(bad, GetParam().file);
  auto window = OpenMainWindow(&real);
  boxes.Answer(platform::vbOK);
  switch (GetParam().start) {
    case RealStart::TreeDoubleClick: {
      platform::TreeModel& tree = TreeTestAccess::Groups(window->Tree())->Nodes();
      platform::TreeNode* entry =
          tree.Add(tree.Root(), platform::TreeModel::Relation::Last, "n1-file-Groups-Bad", "Bad", "audio_wav");
      entry->tag = bad;
      tree.Select(entry);
      window->Tree().tvwGroups_DblClick();
      break;
    }
    case RealStart::PresetKey:
      state.io.presets.gPresetCaptions[3] = "Bad";
      state.io.presets.gPresetPaths[3] = bad;
      state.io.presets.gPresetLoop[3] = "True";
      window->btnPreset_Click(4);
      break;
    case RealStart::PlayLabel:
      ShowInFileDetail(window->Pane(), bad, true);
      window->PlayOrStopShownFile();
      break;
  }
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Error Playing File");
  EXPECT_EQ(boxes.shown()[0].text, kRefusal);
  EXPECT_FALSE(window->Player().PlaybackRunning());
  EXPECT_EQ(PlayerStateOf(window->Player()).gLoopingPreset, 0) << "a refused file is not played again";
  EXPECT_TRUE(PlayerUi(window->Player()).timPlayStopped->Enabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !PlayerUi(window->Player()).timPlayStopped->Enabled(); }, 3000));
  EXPECT_EQ(PlayerUi(window->Player()).lblPlayStatus->Caption(), "");
  EXPECT_FALSE(PaneUi(window->Pane()).btnUpdate->isHidden());
  EXPECT_EQ(boxes.shown().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealPlayerRefusal,
    ::testing::Values(RealRefusalCase{RealStart::TreeDoubleClick, nullptr},
                      RealRefusalCase{RealStart::TreeDoubleClick, "RIFF this is not audio at all"},
                      RealRefusalCase{RealStart::PresetKey, nullptr},
                      RealRefusalCase{RealStart::PresetKey, "RIFF this is not audio at all"},
                      RealRefusalCase{RealStart::PlayLabel, nullptr}));

// --- the Play label -----------------------------------------------------------------------

struct PlayLabelCase {
  const char* viewAtReset;
  const char* captionAfterReset;
  bool enabledAfterReset;
};

void PrintTo(const PlayLabelCase& c, std::ostream* os) { *os << c.viewAtReset; }

class PlayLabel : public PlayerTest, public ::testing::WithParamInterface<PlayLabelCase> {};

TEST_P(PlayLabel, PlaysTheShownFileAndStopsIt) {
  const std::string path = "D:\\Music\\Live Recordings 2026\\Second Set\\opening song.wav";
  player.SetDuration(path, 30);
  ShowInFileDetail(window->Pane(), path, true);
  PaneUi(window->Pane()).lblDBCaption->SetCaption("Opening");
  PaneUi(window->Pane()).lblDBLength->SetCaption(" 0h 0m 30s");
  Steps steps(5, [this] {
    EXPECT_EQ(PaneUi(window->Pane()).btnPlay->Caption(), "Stop");
    EXPECT_EQ(PaneUi(window->Pane()).btnPlay->BackColor(), 0xDCu);
    EXPECT_EQ(PaneUi(window->Pane()).btnPlay->ForeColor(), 0x473D01u);
    EXPECT_EQ(PaneUi(window->Pane()).lblDBStatus1->Caption(), "Playing/previewing file...");
    PaneTestAccess::ShowTitle(window->Pane(), GetParam().viewAtReset);
    window->PlayOrStopShownFile();  // reads "Stop"
    return true;
  }, Rescue());
  window->PlayOrStopShownFile();
  EXPECT_EQ(PaneUi(window->Pane()).lblDBStatus1->Caption(), "Playback stopped");
  EXPECT_EQ(Ui().lblPlayStatus->Caption(), "Stopped");
  EXPECT_EQ(Ui().lblPlayFileName->Caption(), "Opening");
  EXPECT_EQ(Ui().lblDuration->Caption(), " 0h 0m 30s");
  EXPECT_EQ(Ui().lblPlayFilePath->toolTip(), QString::fromStdString(path)) << "the full path in the tooltip";
  EXPECT_LE(Ui().lblPlayFilePath->Caption().size(), 50);
  EXPECT_NE(Ui().lblPlayFilePath->Caption(), QString::fromStdString(path));

  WaitForReset();
  EXPECT_EQ(PaneUi(window->Pane()).btnPlay->Caption(), GetParam().captionAfterReset);
  EXPECT_EQ(PaneUi(window->Pane()).btnPlay->isEnabled(), GetParam().enabledAfterReset);
  EXPECT_EQ(PaneUi(window->Pane()).btnPlay->BackColor(), 0x473D01u);
  EXPECT_EQ(PaneUi(window->Pane()).btnPlay->ForeColor(), 0xDCC281u);
  if (GetParam().enabledAfterReset) {
    EXPECT_EQ(PaneUi(window->Pane()).lblDBStatus1->Caption(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Views, PlayLabel,
                         ::testing::Values(PlayLabelCase{"File Detail", "Play", true},
                                           PlayLabelCase{"System Inventory", "", false}));

// --- volume -------------------------------------------------------------------------------

struct VolumeCase {
  int value;
  const char* tip;
};

void PrintTo(const VolumeCase& c, std::ostream* os) { *os << c.value; }

class Volume : public PlayerTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(Volume, SetsThePlayerAndShowsWholeDecibelsRoundedDown) {
  Ui().sldPlayer->setValue(GetParam().value == 0 ? -1 : 0);  // so that the value below is a change
  Ui().sldPlayer->setValue(GetParam().value);
  EXPECT_EQ(player.Volume(), GetParam().value);
  EXPECT_EQ(Ui().sldPlayer->toolTip(), GetParam().tip);
}

INSTANTIATE_TEST_SUITE_P(Table, Volume,
                         ::testing::Values(VolumeCase{-2550, "-26dB"}, VolumeCase{0, "0dB"},
                                           VolumeCase{-5000, "-50dB"}, VolumeCase{-100, "-1dB"},
                                           VolumeCase{-1, "-1dB"}, VolumeCase{-2500, "-25dB"}));

TEST_F(PlayerTest, ReleasingTheSliderGivesTheFocusToTheTree) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Ui().sldPlayer->setFocus();
  QTest::mouseClick(Ui().sldPlayer, Qt::RightButton);
  EXPECT_TRUE(TreeTestAccess::Groups(window->Tree())->hasFocus());
}

}  // namespace
