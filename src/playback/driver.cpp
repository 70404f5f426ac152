#include "playback/driver.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "platform/core/mediaplayer.h"

namespace playback {

using platform::MediaPlayer;

Driver::Driver(MediaPlayer& player, LoopState& state, Cadence cadence, Wait wait, Gone gone)
    : player_(player), state_(state), cadence_(cadence), wait_(std::move(wait)), gone_(std::move(gone)) {
  state_ = LoopState::Active;
}

Driver::~Driver() { state_ = LoopState::Idle; }

bool Driver::NextPass() {
  if (ended_) return false;
  if (!first_) {
    const int playState = player_.PlayState();
    if (playState != MediaPlayer::Playing && playState != MediaPlayer::Paused) return Finish(LoopEnd::Stopped);
    const double duration = player_.Duration();
    if (!(position_ < duration)) return Finish(LoopEnd::TrackEnded);
    wait_(WaitMs(duration));
    // The window's events have run: the window, and the player with it, may be gone.
    if (gone_ && gone_()) return Finish(LoopEnd::Gone);
  }
  first_ = false;
  // One reading serves the window's display and the next pass's test against the duration:
  // each asks the whole of a backend's pipeline.
  position_ = player_.CurrentPosition();
  if (position_ < 0) return Finish(LoopEnd::TrackEnded);
  return true;
}

void Driver::Restart() {
  first_ = true;
  ended_ = false;
  position_ = 0;
}

int Driver::WaitMs(double duration) const {
  int everyMs = cadence_.everyMs;
  if (cadence_.displaySteps > 0 && duration > 0) {
    const double stepMs = std::ceil(duration * 1000.0 / cadence_.displaySteps);
    everyMs = static_cast<int>(std::clamp(stepMs, static_cast<double>(everyMs), static_cast<double>(INT_MAX)));
  }
  if (!cadence_.wakeAtTrackEnd) return everyMs;
  const double toEnd = (duration - position_) * 1000.0;
  if (!(toEnd < everyMs)) return everyMs;
  // Not less than this, should a player's position stop short of its end.
  constexpr int kShortestMs = 10;
  return std::max(kShortestMs, static_cast<int>(std::ceil(toEnd)) + 1);
}

bool Driver::Finish(LoopEnd end) {
  ended_ = true;
  end_ = end;
  return false;
}

}  // namespace playback
