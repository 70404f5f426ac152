// The media player over the real backend, on small generated files. Headless there is no
// sound device: the backend plays into a null sink, in real time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "analysis/durationprobe.h"
#include "platform/core/errors.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/mediaplayer_qt.h"
#include "support/temp_drives.h"

using namespace audio_builders;
using platform::MediaPlayer;

namespace {

void RunEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class QtMediaPlayerTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  platform::QtMediaPlayer player{analysis::ProbeDurationHost};
};

}  // namespace

TEST_F(QtMediaPlayerTest, DurationOfGeneratedFiles) {
  const std::string midiHalfSecond =
      MidiFile(0, 1, 480, MidiTrack(Hex("00 90 3C 40  83 60 80 3C 00  00 FF 2F 00")));
  const struct {
    const char* path;
    std::string bytes;
    double seconds;
  } files[] = {
      {"C:\\a.wav", PcmWave(0.5), 0.5},
      {"C:\\b.wav", PcmWave(1.25, 22050, 2, 8), 1.25},
      {"C:\\a.aif", PcmAiff(0.75), 0.75},
      {"C:\\a.au", PcmAu(0.5), 0.5},
      {"C:\\a.mp3", SilentMp3(40), 40 * 1152 / 44100.0},
      {"C:\\a.mid", midiHalfSecond, 0.5},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.path);
    drives.Write(f.path, f.bytes);
    player.SetFileName(f.path);
    EXPECT_EQ(player.FileName(), f.path);
    EXPECT_EQ(player.PlayState(), MediaPlayer::Stopped);
    EXPECT_NEAR(player.Duration(), f.seconds, 0.03);
    EXPECT_EQ(player.CurrentPosition(), 0.0);
  }
}

// What a playlist load does per track: no file reaches the backend while the headers give
// the duration; playing is what loads it.
TEST_F(QtMediaPlayerTest, HeaderDurationsLoadNothingIntoTheBackend) {
  const struct {
    const char* path;
    std::string bytes;
    double seconds;
  } files[] = {
      {"C:\\a.wav", PcmWave(0.5), 0.5},
      {"C:\\a.aif", PcmAiff(0.75), 0.75},
      {"C:\\a.au", PcmAu(0.5), 0.5},
      {"C:\\a.mp3", SilentMp3(40), 40 * 1152 / 44100.0},
      {"C:\\a.mid", MidiFile(0, 1, 480, MidiTrack(Hex("00 90 3C 40  83 60 80 3C 00  00 FF 2F 00"))), 0.5},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.path);
    drives.Write(f.path, f.bytes);
    player.SetFileName(f.path);
    player.Stop();
    EXPECT_NEAR(player.Duration(), f.seconds, 1e-6);
    EXPECT_EQ(player.PlayState(), MediaPlayer::Stopped);
    EXPECT_EQ(player.CurrentPosition(), 0.0);
    // The program's way of ending a playback holds without the backend too.
    player.SetCurrentPosition(player.Duration());
    EXPECT_EQ(player.CurrentPosition(), player.Duration());
  }
  EXPECT_EQ(player.BackendLoads(), 0);

  player.SetFileName("C:\\a.wav");
  player.SetCurrentPosition(0.25);
  player.Play();
  EXPECT_EQ(player.BackendLoads(), 1);
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
  EXPECT_GE(player.CurrentPosition(), 0.2) << "playing starts where the position was set";
  EXPECT_NEAR(player.Duration(), 0.5, 1e-6) << "the headers' figure stays";
  player.Stop();
}

// However long the backend's own stream runs, a playing track ends at the length its headers
// give: position = duration while still playing.
TEST_F(QtMediaPlayerTest, TracksEndAtTheirHeadersLength) {
  const struct {
    const char* path;
    std::string bytes;
  } files[] = {
      {"C:\\end.mp3", SilentMp3(12)},
      {"C:\\end.mid", MidiFile(0, 1, 480, MidiTrack(Hex("00 90 3C 40  83 60 80 3C 00  00 FF 2F 00")))},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.path);
    drives.Write(f.path, f.bytes);
    player.SetFileName(f.path);
    player.Stop();
    const double length = player.Duration();
    player.Play();
    QElapsedTimer clock;
    clock.start();
    while (player.CurrentPosition() < length && clock.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(player.CurrentPosition(), length);
    EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
    EXPECT_GT(clock.elapsed(), length * 1000 * 0.5) << "it played, in something like real time";
    player.Stop();
  }
}

// A file the player cannot play has no duration; only playing it is refused, each time.
TEST_F(QtMediaPlayerTest, FileItCannotPlayHasNoDurationAndIsRefusedWhenPlayed) {
  drives.Write("C:\\bad.wav", "RIFF this is not audio at all, not at all");
  const auto refused = [this](void (MediaPlayer::*command)()) {
    try {
      (player.*command)();
    } catch (const platform::VbError& e) {
      return e.number() == platform::errUnspecified;
    }
    return false;
  };
  for (const char* path : {"C:\\bad.wav", "C:\\missing.wav", "Q:\\unmapped.wav"}) {
    SCOPED_TRACE(path);
    player.SetFileName(path);
    player.Stop();
    EXPECT_EQ(player.Duration(), 0.0);
    EXPECT_EQ(player.CurrentPosition(), 0.0);
    EXPECT_EQ(player.PlayState(), MediaPlayer::Closed);
    player.SetCurrentPosition(player.Duration());
    EXPECT_TRUE(refused(&MediaPlayer::Play));
    EXPECT_TRUE(refused(&MediaPlayer::Pause));
    EXPECT_TRUE(refused(&MediaPlayer::Play)) << "as often as it is asked";
    EXPECT_EQ(player.PlayState(), MediaPlayer::Closed);
  }
  // The next good file plays as usual.
  drives.Write("C:\\good.wav", PcmWave(0.5));
  player.SetFileName("C:\\good.wav");
  EXPECT_NEAR(player.Duration(), 0.5, 0.03);
  player.Play();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
  player.Stop();
}

// A name whose bytes are not UTF-8 (legal on this platform) names its own file for the backend.
TEST_F(QtMediaPlayerTest, PlaysAFileWhoseNameIsNotUtf8) {
  const std::string path = "C:\\\xE9t\xE9 \xFF.wav";
  drives.Write(path, PcmWave(0.5));
  player.SetFileName(path);
  player.Play();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
  QElapsedTimer clock;
  clock.start();
  while (player.CurrentPosition() <= 0 && clock.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_GT(player.CurrentPosition(), 0.0) << "it plays";
  player.Stop();
}

TEST_F(QtMediaPlayerTest, PlaysToTheEndAndStopKeepsThePositionSet) {
  drives.Write("C:\\a.wav", PcmWave(0.4));
  player.SetFileName("C:\\a.wav");
  player.Play();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
  QElapsedTimer clock;
  clock.start();
  double last = 0;
  bool advanced = false;
  while (player.CurrentPosition() < player.Duration() && clock.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    double now = player.CurrentPosition();
    advanced = advanced || (now > 0 && now < player.Duration());
    EXPECT_GE(now, last);
    last = now;
  }
  EXPECT_TRUE(advanced) << "the position moves while playing";
  EXPECT_EQ(player.CurrentPosition(), player.Duration()) << "at the end the position is the duration";
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing) << "until the next command";
  player.Stop();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Stopped);

  // The program's way of ending a playback: stop, then move the position to the end.
  player.SetFileName("C:\\a.wav");
  player.Play();
  RunEventsFor(100);
  player.Stop();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Stopped);
  player.SetCurrentPosition(player.Duration());
  RunEventsFor(50);
  EXPECT_EQ(player.CurrentPosition(), player.Duration());
  player.SetCurrentPosition(0.1);
  player.Pause();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Paused);
  EXPECT_NEAR(player.CurrentPosition(), 0.1, 1e-9);
}

// Plays the loaded file until its end (or `ms`): whether the position moved on from its start
// and reached the duration.
struct PlayedThrough {
  double first = -1;
  bool advanced = false, ended = false;
};
PlayedThrough PlayThrough(MediaPlayer& player, int ms = 5000) {
  PlayedThrough played;
  player.Play();
  QElapsedTimer clock;
  clock.start();
  played.first = player.CurrentPosition();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double now = player.CurrentPosition();
    played.advanced = played.advanced || (now > played.first && now < player.Duration());
    if (now >= player.Duration()) break;
  }
  played.ended = player.CurrentPosition() == player.Duration() && player.PlayState() == MediaPlayer::Playing;
  return played;
}

// A file set again plays from its start, as a newly loaded one: without a new load when the
// backend still holds it unchanged (a looping preset), loaded afresh when the file changed or
// another one came between.
TEST_F(QtMediaPlayerTest, AFileSetAgainPlaysFromItsStartAndIsLoadedOnlyWhenChanged) {
  using Between = std::function<void(platform::QtMediaPlayer&, const testing_support::TempDrives&)>;
  const struct {
    const char* what;
    Between between;  // after the first playback, before the file is set again
    double seconds;   // the second playback's length
    int loads;        // files handed to the backend in all
  } cases[] = {
      {"played to its end", [](auto&, auto&) {}, 0.4, 1},
      {"played again and stopped halfway",
       [](platform::QtMediaPlayer& p, auto&) {
         p.SetFileName("C:\\a.wav");
         p.Play();
         RunEventsFor(150);
         p.Stop();
       },
       0.4, 1},
      {"rewritten with another length", [](auto&, auto& d) { d.Write("C:\\a.wav", PcmWave(0.6)); }, 0.6, 2},
      {"another file played between",
       [](platform::QtMediaPlayer& p, auto&) {
         p.SetFileName("C:\\b.au");
         p.Play();
         p.Stop();
       },
       0.4, 3},
      {"no file between", [](platform::QtMediaPlayer& p, auto&) { p.SetFileName(""); }, 0.4, 2},
  };
  drives.Write("C:\\b.au", PcmAu(0.3));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    drives.Write("C:\\a.wav", PcmWave(0.4));
    platform::QtMediaPlayer looping{analysis::ProbeDurationHost};
    looping.SetFileName("C:\\a.wav");
    EXPECT_TRUE(PlayThrough(looping).ended);
    looping.Stop();
    c.between(looping, drives);

    looping.SetFileName("C:\\a.wav");
    EXPECT_EQ(looping.PlayState(), MediaPlayer::Stopped);
    EXPECT_EQ(looping.CurrentPosition(), 0.0);
    EXPECT_NEAR(looping.Duration(), c.seconds, 1e-6);
    const PlayedThrough again = PlayThrough(looping);
    EXPECT_LT(again.first, 0.1) << "it starts over";
    EXPECT_TRUE(again.advanced);
    EXPECT_TRUE(again.ended);
    EXPECT_EQ(looping.BackendLoads(), c.loads);
    looping.Stop();
  }
}

// A loop following the player waits long when nothing is due: a command to the player, from
// a handler run inside the wait, or the track's end ends that wait at once.
TEST_F(QtMediaPlayerTest, ACommandOrTheTracksEndEndsTheWaitOfALoop) {
  drives.Write("C:\\a.wav", PcmWave(0.3));
  const struct {
    const char* what;
    std::function<void(MediaPlayer&)> command;  // none: the track plays to its end
  } cases[] = {
      {"Stop", [](MediaPlayer& p) { p.Stop(); }},
      {"Pause", [](MediaPlayer& p) { p.Pause(); }},
      {"Play", [](MediaPlayer& p) { p.Play(); }},
      {"SetCurrentPosition", [](MediaPlayer& p) { p.SetCurrentPosition(0.1); }},
      {"SetFileName", [](MediaPlayer& p) { p.SetFileName("C:\\a.wav"); }},
      {"the track's end", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    player.SetFileName("C:\\a.wav");
    player.Play();
    if (c.command) QTimer::singleShot(50, [&] { c.command(player); });
    QElapsedTimer clock;
    clock.start();
    platform::WaitEvents(10000);
    EXPECT_LT(clock.elapsed(), 5000);
    if (!c.command) EXPECT_EQ(player.CurrentPosition(), player.Duration());
    player.Stop();
  }
  QElapsedTimer clock;
  clock.start();
  platform::WaitEvents(200);
  EXPECT_GE(clock.elapsed(), 150) << "with nothing to end it, a wait runs its time";
}

TEST_F(QtMediaPlayerTest, AutoStartAndVolume) {
  drives.Write("C:\\a.au", PcmAu(0.5));
  EXPECT_EQ(player.PlayState(), MediaPlayer::Closed) << "no file yet";
  player.SetAutoStart(true);
  player.SetFileName("C:\\a.au");
  EXPECT_EQ(player.PlayState(), MediaPlayer::Playing);
  player.SetFileName("C:\\a.au");
  player.Stop();
  EXPECT_EQ(player.PlayState(), MediaPlayer::Stopped) << "Stop straight after loading keeps it from playing";
  player.SetVolume(-2550);
  EXPECT_EQ(player.Volume(), -2550);
  player.SetVolume(-20000);
  EXPECT_EQ(player.Volume(), -10000);
  player.SetVolume(100);
  EXPECT_EQ(player.Volume(), 0);
  player.SetFileName("");
  EXPECT_EQ(player.PlayState(), MediaPlayer::Closed);
  EXPECT_EQ(player.Duration(), 0.0);
}

// The player reads its durations through the probe it is given, once per file name; what the
// probe does not settle is the backend's.
TEST(QtMediaPlayerProbe, DurationsComeFromTheProbeItIsGiven) {
  testing_support::TempDrives drives{"C"};
  drives.Write("C:\\a.wav", PcmWave(0.5));
  std::vector<std::string> asked;
  platform::QtMediaPlayer player([&](const std::string& host) -> std::optional<double> {
    asked.push_back(host);
    return 12.5;
  });
  player.SetFileName("C:\\a.wav");
  player.Stop();
  EXPECT_EQ(player.Duration(), 12.5);
  player.SetCurrentPosition(20);
  EXPECT_EQ(player.CurrentPosition(), 12.5) << "a position is held within that duration";
  EXPECT_EQ(player.Duration(), 12.5);
  EXPECT_EQ(asked, std::vector<std::string>{drives.Host("C:\\a.wav")}) << "asked once, with the host path";
  EXPECT_EQ(player.BackendLoads(), 0);
}

TEST(QtMediaPlayerProbe, WhatTheProbeDoesNotSettleIsTheBackends) {
  testing_support::TempDrives drives{"C"};
  drives.Write("C:\\a.wav", PcmWave(0.5));
  const struct {
    const char* what;
    platform::DurationProbe probe;
  } cases[] = {
      {"a probe that gives none", [](const std::string&) -> std::optional<double> { return std::nullopt; }},
      {"no probe", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::QtMediaPlayer player(c.probe);
    player.SetFileName("C:\\a.wav");
    player.Stop();
    EXPECT_NEAR(player.Duration(), 0.5, 0.03);
    EXPECT_EQ(player.BackendLoads(), 1);
  }
}
