#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform {

// The playing time of the file at a host path as its headers give it, in seconds; none when
// they do not settle it. The program hands the player the one that reads audio headers: this
// layer knows nothing of audio formats.
using DurationProbe = std::function<std::optional<double>(const std::string& hostPath)>;

// The media player control: one file at a time, positions and lengths in seconds, the volume
// in hundredths of a decibel (0 full, -5000 quietest).
//
// - SetFileName loads a file (in drive-letter form) stopped at position 0; with AutoStart on
//   it also starts playing it. Duration is valid as soon as it is asked for: read from the
//   file's headers where they give it (the player's DurationProbe), else the backend's figure.
// - A file the backend cannot play is refused with VbError(errUnspecified), &H80004005, by
//   the calls that would play it: Play and Pause (a player that opens files at once may also
//   refuse it in SetFileName). Until the next SetFileName the player then holds no file:
//   Duration 0, CurrentPosition 0, PlayState Closed, Stop and SetCurrentPosition do nothing,
//   and every Play or Pause raises the refusal again. No other call raises it: a duration
//   probe reads 0 for a file that cannot be played.
// - Stop keeps the position; SetCurrentPosition holds in every state, so Stop followed by
//   SetCurrentPosition(Duration()) reads position == duration.
// - When a playing track runs out, CurrentPosition reads Duration and PlayState keeps
//   reading Playing until the next command (Play, Pause, Stop, SetCurrentPosition,
//   SetFileName): a polling loop sees the end as "position reached the duration while
//   playing", and tells it from a Stop, which reads Stopped.
// - Before any file, and after SetFileName(""), PlayState reads Closed.
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
  // Whether setting FileName starts playing the file (off unless set).
  virtual bool AutoStart() const = 0;
  virtual void SetAutoStart(bool on) = 0;
};

}  // namespace platform
