// The playback driver over a player with a manual clock. The window's event pump is the
// test's own: each wait moves the clock on by one step and then runs what the test planned
// for that wake-up, as a handler delivered by the pump would.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "playback/driver.h"
#include "support/fake_mediaplayer.h"

namespace {

using playback::Cadence;
using playback::Driver;
using playback::LoopEnd;
using playback::LoopState;

const char* const kA = "C:\\Music\\a.wav";
const char* const kB = "C:\\Music\\b.wav";

// The double, also counting what it is asked, and able to report a position below 0.
class CountedPlayer : public testing_support::FakeMediaPlayer {
 public:
  int reads = 0;
  std::optional<double> reportedPosition;

  double Duration() override {
    ++reads;
    return FakeMediaPlayer::Duration();
  }
  double CurrentPosition() override {
    ++reads;
    return reportedPosition ? *reportedPosition : FakeMediaPlayer::CurrentPosition();
  }
  int PlayState() override {
    ++reads;
    return FakeMediaPlayer::PlayState();
  }
};

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    player.SetDuration(kA, 3);
    player.SetDuration(kB, 2);
    player.SetFileName(kA);
    player.Play();
  }

  // A pump that plays `step` seconds on per wake-up, then runs `during` with the wake-up's
  // number (from 1).
  playback::Wait Pump() {
    return [this](int ms) {
      waits.push_back(ms);
      stateInWaits.insert(state);
      player.Advance(step);
      if (during) during(static_cast<int>(waits.size()));
    };
  }

  LoopEnd Run(Cadence cadence = kPlaylistLike) {
    Driver driver(player, state, cadence, Pump(), [this] { return gone; });
    while (driver.NextPass()) shown.push_back(driver.Position());
    return driver.End();
  }

  static constexpr Cadence kPlaylistLike{25, false};

  CountedPlayer player;
  LoopState state = LoopState::Idle;
  double step = 1;
  bool gone = false;
  std::function<void(int wake)> during;
  std::vector<int> waits;
  std::vector<double> shown;
  std::set<LoopState> stateInWaits;
};

// --- how a loop ends ----------------------------------------------------------------------

struct EndCase {
  const char* name;
  std::function<void(CountedPlayer&, bool& gone, int wake)> during;
  LoopEnd end;
  std::vector<double> shown;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class LoopEnds : public DriverTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(LoopEnds, ForItsReasonAfterShowingEveryPass) {
  during = [this](int wake) { GetParam().during(player, gone, wake); };
  EXPECT_EQ(Run(), GetParam().end);
  EXPECT_EQ(shown, GetParam().shown);
  EXPECT_EQ(stateInWaits, std::set<LoopState>{LoopState::Active});
  EXPECT_EQ(state, LoopState::Idle);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoopEnds,
    ::testing::Values(
        EndCase{"TheTrackRunsOut", [](CountedPlayer&, bool&, int) {}, LoopEnd::TrackEnded, {0, 1, 2, 3}},
        EndCase{"AStop",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 2) p.Stop();
                },
                LoopEnd::Stopped,
                {0, 1, 2}},
        // The main window's Stop: the position is moved to the end as well.
        EndCase{"AStopThatMovesToTheEnd",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake != 1) return;
                  p.Stop();
                  p.SetCurrentPosition(p.Duration());
                },
                LoopEnd::Stopped,
                {0, 3}},
        // As a duration probe or the analyser does with the same player.
        EndCase{"AnotherFileLoaded",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 2) p.SetFileName(kB);
                },
                LoopEnd::Stopped,
                {0, 1, 0}},
        EndCase{"NoFileLeft",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 1) p.SetFileName("");
                },
                LoopEnd::Stopped,
                {0, 0}},
        EndCase{"TheWindowGoes",
                [](CountedPlayer&, bool& gone, int wake) {
                  if (wake == 2) gone = true;
                },
                LoopEnd::Gone,
                {0, 1}},
        // A paused player is polled on; it ends its track only once it plays again.
        EndCase{"APauseAndAResume",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 2) p.Pause();
                  if (wake == 4) p.Play();
                },
                LoopEnd::TrackEnded,
                {0, 1, 2, 2, 2, 3}},
        EndCase{"APauseAtTheEnd",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 3) p.Pause();
                },
                LoopEnd::TrackEnded,
                {0, 1, 2, 3}},
        EndCase{"APositionBelowZero",
                [](CountedPlayer& p, bool&, int wake) {
                  if (wake == 2) p.reportedPosition = -1;
                },
                LoopEnd::TrackEnded,
                {0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverTest, AGoneWindowsPlayerIsNotAskedAgain) {
  int readsWhenGone = -1;
  during = [&](int wake) {
    if (wake != 2) return;
    gone = true;
    readsWhenGone = player.reads;
  };
  EXPECT_EQ(Run(), LoopEnd::Gone);
  EXPECT_EQ(player.reads, readsWhenGone);
}

TEST_F(DriverTest, AFileAlreadyAtItsEndIsShownOnceAndEnds) {
  player.SetCurrentPosition(3);
  EXPECT_EQ(Run(), LoopEnd::TrackEnded);
  EXPECT_EQ(shown, std::vector<double>{3});
  EXPECT_TRUE(waits.empty());
}

TEST_F(DriverTest, AFailureInsideAWaitPassesThroughAndLeavesTheLoopIdle) {
  during = [](int wake) {
    if (wake == 2) throw std::runtime_error("a handler failed");
  };
  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_EQ(state, LoopState::Idle);
  EXPECT_EQ(shown, (std::vector<double>{0, 1}));
}

TEST_F(DriverTest, AfterAnEndTheLoopStaysEnded) {
  Driver driver(player, state, kPlaylistLike, Pump(), {});
  while (driver.NextPass()) {
  }
  const int reads = player.reads;
  EXPECT_FALSE(driver.NextPass());
  EXPECT_EQ(driver.End(), LoopEnd::TrackEnded);
  EXPECT_EQ(player.reads, reads);
}

// --- re-entry -----------------------------------------------------------------------------

// A start inside a wait finds the loop running and takes the player over (stop, load, play)
// instead of starting a second loop; the running loop follows the new file to its end.
TEST_F(DriverTest, AStartInsideAWaitIsFollowedByTheRunningLoop) {
  int loopsStarted = 0;
  during = [&](int wake) {
    if (wake != 2) return;
    if (state == LoopState::Idle) ++loopsStarted;
    player.Stop();
    player.SetFileName(kB);
    player.Play();
  };
  EXPECT_EQ(Run(), LoopEnd::TrackEnded);
  EXPECT_EQ(loopsStarted, 0);
  EXPECT_EQ(shown, (std::vector<double>{0, 1, 0, 1, 2}));
  EXPECT_EQ(player.FileName(), kB);
  EXPECT_EQ(waits.size(), 4u);
}

// Commands that come in through the pump run to their end and return into the loop, which
// goes on with whatever track and state they left: pause, another track loaded paused, resume.
TEST_F(DriverTest, CommandsInsideWaitsReturnIntoTheLoop) {
  std::vector<std::string> afterEachWake;
  during = [&](int wake) {
    if (wake == 1) player.Pause();
    if (wake == 2) {
      player.SetFileName(kB);
      player.Pause();
    }
    if (wake == 3) player.Play();
    afterEachWake.push_back(player.FileName() + " " + std::to_string(player.PlayState()));
  };
  EXPECT_EQ(Run(), LoopEnd::TrackEnded);
  EXPECT_EQ(shown, (std::vector<double>{0, 1, 0, 0, 1, 2}));
  EXPECT_EQ(afterEachWake.front(), std::string(kA) + " 1");
  EXPECT_EQ(afterEachWake.back(), std::string(kB) + " 2");
  EXPECT_EQ(stateInWaits, std::set<LoopState>{LoopState::Active});
}

// --- repetitions --------------------------------------------------------------------------

// A track played again and again (a looping preset) is followed by the same loop, at the
// same depth, however often it repeats; the loop stays Active between repetitions.
TEST_F(DriverTest, RepetitionsRunInOneLoopWithoutNesting) {
  constexpr int kRepetitions = 1000;
  std::set<std::uintptr_t> depths;
  std::set<LoopState> betweenRepetitions;
  int ends = 0;
  {
    Driver driver(
        player, state, kPlaylistLike,
        [&](int) {
          int here = 0;
          depths.insert(reinterpret_cast<std::uintptr_t>(&here));
          player.Advance(step);
        },
        {});
    for (;;) {
      while (driver.NextPass()) {
      }
      ASSERT_EQ(driver.End(), LoopEnd::TrackEnded);
      if (++ends == kRepetitions) break;
      betweenRepetitions.insert(state);
      player.Stop();
      player.SetFileName(kA);
      player.Play();
      driver.Restart();
    }
  }
  EXPECT_EQ(ends, kRepetitions);
  EXPECT_EQ(depths.size(), 1u);
  EXPECT_EQ(betweenRepetitions, std::set<LoopState>{LoopState::Active});
  EXPECT_EQ(state, LoopState::Idle);
}

// --- wake-ups -----------------------------------------------------------------------------

struct CadenceCase {
  const char* name;
  Cadence cadence;
  double duration;
  std::vector<int> waits;
};

void PrintTo(const CadenceCase& c, std::ostream* os) { *os << c.name; }

class WakeUps : public DriverTest, public ::testing::WithParamInterface<CadenceCase> {};

TEST_P(WakeUps, ComeEveryIntervalAndAtTheTracksEndWhereAsked) {
  player.SetDuration(kA, GetParam().duration);
  player.SetFileName(kA);
  player.Play();
  EXPECT_EQ(Run(GetParam().cadence), LoopEnd::TrackEnded);
  EXPECT_EQ(waits, GetParam().waits);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WakeUps,
    ::testing::Values(
        // 62.5 ms before the end: woken 1 ms after it.
        CadenceCase{"EarlyAtTheEnd", {100, true}, 2.0625, {100, 100, 64}},
        // 3.9 ms before the end: no sooner than 10 ms.
        CadenceCase{"NeverSoonerThanTenMs", {100, true}, 2.00390625, {100, 100, 10}},
        CadenceCase{"WholeIntervalsToTheEnd", {100, true}, 3, {100, 100, 100}},
        CadenceCase{"EveryIntervalOnly", {25, false}, 2.0625, {25, 25, 25}},
        // A display of 8 steps moves every 257.8 ms: woken as it does, and at the end.
        CadenceCase{"AsTheDisplayMoves", {100, true, 8}, 2.0625, {258, 258, 64}},
        CadenceCase{"AsTheDisplayMovesWithoutTheEnd", {25, false, 8}, 2.0625, {258, 258, 258}},
        // A display that moves faster than the interval: the interval.
        CadenceCase{"TheIntervalWhereTheDisplayIsFaster", {100, true, 256}, 3, {100, 100, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
