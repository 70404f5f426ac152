#pragma once

#include <functional>

namespace platform {
class MediaPlayer;
}

// The polling of a media player while a track plays. The player reports no events: a window
// learns of a track's end, a stop or another file taking the player over only by asking it,
// pass after pass, with its own events running between the passes. Both of the program's
// players are followed this way; what a window shows and does at an end stays its own.
namespace playback {

// Whether a polling loop runs. A start or a command that comes in while one runs hands its
// file to that loop rather than starting a second one.
enum class LoopState { Idle, Active };

// Why a polling loop ended.
enum class LoopEnd {
  TrackEnded,  // the position reached the duration (or fell below 0) while playing or paused
  Stopped,     // the player plays no more: a Stop, or another file loaded into it
  Gone,        // the window went away or the program is ending; the player was not asked again
};

// How often a loop wakes: every `everyMs`, and, with `wakeAtTrackEnd`, at the track's end
// where that comes sooner, so that the end is seen at once. With `displaySteps` (the steps of
// the window's display of the track, the pixels of its bar) no sooner than the display moves
// a step: a long track wakes less often. A wait that something else ends early (a command to
// the player, the track's end reported) is the platform's to cut short.
struct Cadence {
  int everyMs;
  bool wakeAtTrackEnd;
  int displaySteps = 0;
};

// Lets the window's events run for about `ms` milliseconds (the platform's WaitEvents). A
// handler run inside it may start another file, pause, stop, or close the window.
using Wait = std::function<void(int ms)>;
// Whether the window the loop serves has gone; asked after each wait, before the player is.
using Gone = std::function<bool()>;

// One polling loop over `player`. It marks `state` Active while it lives and Idle when it
// goes, also when a failure ends the loop; construct it only while `state` is Idle. The
// window takes the passes one by one and shows each position in its own frame:
//
//   playback::Driver driver(player, loopState, cadence, platform::WaitEvents, gone);
//   while (driver.NextPass()) Show(driver.Position());
//   ... driver.End() ...
//
// A pass reads the position; the next one first asks whether the player still plays or is
// paused and is short of the duration, then waits, then reads again. A file started inside a
// wait (the player stopped, loaded and played again) is simply followed on. Failures of the
// player or of the wait pass through to the caller.
class Driver {
 public:
  Driver(platform::MediaPlayer& player, LoopState& state, Cadence cadence, Wait wait, Gone gone);
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  // The next pass; false once the loop has ended (End() tells why; later calls stay false).
  bool NextPass();
  // The position the last pass read, in seconds.
  double Position() const { return position_; }
  // Why the loop ended, once NextPass has returned false.
  LoopEnd End() const { return end_; }
  // Follows the player anew after an end, within the same loop: the next repetition of a
  // track starts from here, at the depth of the first, with the loop Active throughout.
  void Restart();

 private:
  int WaitMs(double duration) const;
  bool Finish(LoopEnd end);

  platform::MediaPlayer& player_;
  LoopState& state_;
  Cadence cadence_;
  Wait wait_;
  Gone gone_;
  double position_ = 0;
  bool first_ = true;
  bool ended_ = false;
  LoopEnd end_ = LoopEnd::Stopped;
};

}  // namespace playback
