#include "support/fake_mediaplayer.h"

#include <algorithm>
#include <sstream>

#include "platform/core/errors.h"

namespace testing_support {
namespace {

std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

int FakeMediaPlayer::Loads(const std::string& dosPath) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), "SetFileName " + dosPath));
}

void FakeMediaPlayer::SetFileName(const std::string& dosPath) {
  calls.push_back("SetFileName " + dosPath);
  fileName_ = dosPath;
  position_ = 0;
  duration_ = 0;
  state_ = Closed;
  if (dosPath.empty()) return;
  if (refused_.count(dosPath)) throw platform::VbError(platform::errUnspecified);
  auto it = durations_.find(dosPath);
  duration_ = it != durations_.end() ? it->second : defaultDuration_;
  state_ = autoStart_ ? Playing : Stopped;
}

void FakeMediaPlayer::SetCurrentPosition(double seconds) {
  calls.push_back("SetCurrentPosition " + Number(seconds));
  if (state_ == Closed) return;
  position_ = std::clamp(seconds, 0.0, duration_);
}

void FakeMediaPlayer::Play() {
  calls.push_back("Play");
  if (state_ != Closed) state_ = Playing;
}

void FakeMediaPlayer::Pause() {
  calls.push_back("Pause");
  if (state_ != Closed) state_ = Paused;
}

void FakeMediaPlayer::Stop() {
  calls.push_back("Stop");
  if (state_ != Closed) state_ = Stopped;
}

void FakeMediaPlayer::SetVolume(long hundredthsOfDb) {
  calls.push_back("SetVolume " + std::to_string(hundredthsOfDb));
  volume_ = std::clamp(hundredthsOfDb, -10000L, 0L);
}

void FakeMediaPlayer::SetAutoStart(bool on) {
  calls.push_back(std::string("SetAutoStart ") + (on ? "1" : "0"));
  autoStart_ = on;
}

void FakeMediaPlayer::Advance(double seconds) {
  if (state_ == Playing) position_ = std::min(position_ + seconds, duration_);
}

}  // namespace testing_support
