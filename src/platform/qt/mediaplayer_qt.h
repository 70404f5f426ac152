#pragma once

#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>

#include "platform/core/mediaplayer.h"

class QAudioOutput;
class QMediaPlayer;
class QUrl;

namespace platform {

// The media player over Qt Multimedia. A file is loaded lazily: SetFileName only takes the
// name. Duration comes from the file's headers when they give it (the probe it is given), and
// a position set while stopped is only held, so that setting a file name, stopping and
// reading the duration build no backend pipeline: a playlist of thousands of tracks loads
// at once. The first call that needs the backend (Play, Pause, a Duration the headers do
// not give, ...) loads the file, waiting for the backend in a local event loop that leaves
// user input queued, at most kLoadTimeoutMs; a file the backend cannot play is refused
// there (see MediaPlayer). The backend itself is made on first use. A file set again while
// the backend still holds it, unchanged on disk, is not loaded again: the backend's source
// is kept and played from its start (a looping preset repeats without a new pipeline).
//
// Without a sound device the backend plays into a null sink: positions still advance in
// real time and durations are reported.
class QtMediaPlayer : public MediaPlayer {
 public:
  static constexpr int kLoadTimeoutMs = 5000;

  // `probe` reads a file's duration from its headers; an empty one leaves every duration to
  // the backend.
  explicit QtMediaPlayer(DurationProbe probe);
  ~QtMediaPlayer() override;
  QtMediaPlayer(const QtMediaPlayer&) = delete;
  QtMediaPlayer& operator=(const QtMediaPlayer&) = delete;

  void SetFileName(const std::string& dosPath) override;
  std::string FileName() const override { return fileName_; }
  double Duration() override;
  double CurrentPosition() override;
  void SetCurrentPosition(double seconds) override;
  int PlayState() override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  long Volume() const override { return volume_; }
  void SetVolume(long hundredthsOfDb) override;
  bool AutoStart() const override { return autoStart_; }
  void SetAutoStart(bool on) override { autoStart_ = on; }

  // How many files have been handed to the backend so far.
  int BackendLoads() const { return backendLoads_; }

 private:
  enum class Load { None, Pending, Loaded, Refused };
  // What tells a file on disk from another one or from itself rewritten.
  struct FileStamp {
    unsigned long long device = 0, inode = 0;
    long long size = -1, modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(const std::string& hostPath);

  // Loads a pending file; a file the backend cannot play is marked refused.
  void EnsureLoaded();
  // Whether the backend's source is `host` as it was loaded, ready to play again.
  bool HoldsUnchanged(const std::string& host, const FileStamp& stamp) const;
  void Refuse();
  // Play and Pause: the refusal of a file the backend cannot play.
  void RaiseRefusal() const;
  QMediaPlayer& Backend();
  void DropBackend();
  // The URL the backend loads the file by; a name that is not UTF-8 goes through a descriptor
  // opened here and kept until the next file.
  QUrl SourceUrl(const std::string& hostPath);
  void CloseOpenedFile();
  // Whether the file's headers give its duration (probed once per file name).
  bool HeaderDuration();
  // Waits until `done` holds or `ms` have passed, handling all but user input meanwhile.
  template <typename Done>
  void WaitFor(Done done, int ms);
  void StartPlaying();
  // A playing track has run out when the backend stopped by itself.
  void NoteEnd();
  double BackendPosition() const;

  std::unique_ptr<QMediaPlayer> player_;
  std::unique_ptr<QAudioOutput> output_;
  std::string fileName_;
  Load load_ = Load::None;
  int state_ = Closed;
  double duration_ = 0;
  double heldPosition_ = 0;  // the position while not playing
  bool atEnd_ = false;       // playing, and the track has run out
  bool startWhenLoaded_ = false;
  bool autoStart_ = false;
  bool loading_ = false;
  long volume_ = 0;
  DurationProbe probe_;
  bool probed_ = false;
  std::optional<double> headerDuration_;
  int backendLoads_ = 0;
  int openedFile_ = -1;
  // Where the backend was last started from while it has not yet passed that point (else -1).
  qint64 restartedFromMs_ = -1;
  bool restartRetried_ = false;
  // The file the backend's source was loaded from, and how it stood then.
  std::string sourceHost_;
  FileStamp sourceStamp_;
};

}  // namespace platform
