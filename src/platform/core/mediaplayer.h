#pragma once

#include <string>

namespace platform {

// The media player control: one file at a time, positions and lengths in seconds, the volume
// in hundredths of a decibel (0 full, -5000 quietest). A file the backend cannot play is
// refused with VbError(errUnspecified), &H80004005.
class MediaPlayer {
 public:
  enum PlayStateValue : int { Stopped = 0, Paused = 1, Playing = 2, Closed = 6 };

  virtual ~MediaPlayer() = default;

  virtual void SetFileName(const std::string& dosPath) = 0;
  virtual std::string FileName() const = 0;
  virtual double Duration() = 0;
  virtual double CurrentPosition() = 0;
  virtual void SetCurrentPosition(double seconds) = 0;
  virtual int PlayState() = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual long Volume() const = 0;
  virtual void SetVolume(long hundredthsOfDb) = 0;
};

}  // namespace platform
