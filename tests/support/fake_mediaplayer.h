#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/core/mediaplayer.h"

namespace testing_support {

// A media player with a manual clock: nothing plays until Advance() moves the position of a
// playing file. Durations are set per file; chosen files are refused by SetFileName.
// It keeps the contract of platform::MediaPlayer: at the end of a track the position reads
// the duration and PlayState stays Playing until the next command.
class FakeMediaPlayer : public platform::MediaPlayer {
 public:
  // Every command received, in order: "SetFileName C:\a.wav", "Stop", "Play", "Pause",
  // "SetCurrentPosition 12.5", "SetVolume -2000", "SetAutoStart 1". Reads are not listed.
  std::vector<std::string> calls;
  // How many times `dosPath` was loaded.
  int Loads(const std::string& dosPath) const;

  void SetDuration(const std::string& dosPath, double seconds) { durations_[dosPath] = seconds; }
  // The duration of files without one of their own (0 unless set).
  void SetDefaultDuration(double seconds) { defaultDuration_ = seconds; }
  void Refuse(const std::string& dosPath) { refused_.insert(dosPath); }
  // Moves the position of a playing file on, up to its duration.
  void Advance(double seconds);

  void SetFileName(const std::string& dosPath) override;
  std::string FileName() const override { return fileName_; }
  double Duration() override { return duration_; }
  double CurrentPosition() override { return position_; }
  void SetCurrentPosition(double seconds) override;
  int PlayState() override { return state_; }
  void Play() override;
  void Pause() override;
  void Stop() override;
  long Volume() const override { return volume_; }
  void SetVolume(long hundredthsOfDb) override;
  bool AutoStart() const override { return autoStart_; }
  void SetAutoStart(bool on) override;

 private:
  std::map<std::string, double> durations_;
  std::set<std::string> refused_;
  double defaultDuration_ = 0;
  std::string fileName_;
  double duration_ = 0;
  double position_ = 0;
  int state_ = Closed;
  long volume_ = 0;
  bool autoStart_ = false;
};

}  // namespace testing_support
