#include "platform/qt/mediaplayer_qt.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/qt/eventpump.h"

namespace platform {
namespace {

// How long to wait for the backend to estimate the length of a stream whose header has
// none (an MPEG stream without its length in a first frame).
constexpr int kEstimateTimeoutMs = 500;

bool Settled(QMediaPlayer::MediaStatus status) {
  return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
         status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia;
}

qint64 Milliseconds(double seconds) { return static_cast<qint64>(std::llround(seconds * 1000.0)); }

bool IsUtf8(const std::string& text) { return QString::fromStdString(text).toStdString() == text; }

bool Playable(QMediaPlayer::MediaStatus status) {
  return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
         status == QMediaPlayer::EndOfMedia;
}

}  // namespace

QtMediaPlayer::QtMediaPlayer(DurationProbe probe) : probe_(std::move(probe)) {}

QtMediaPlayer::FileStamp QtMediaPlayer::StampOf(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return {};
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

bool QtMediaPlayer::HoldsUnchanged(const std::string& host, const FileStamp& stamp) const {
  // A backend that reported an error since may hold a broken pipeline: it loads afresh.
  return player_ && !sourceHost_.empty() && sourceHost_ == host && sourceStamp_ == stamp && stamp.size >= 0 &&
         player_->error() == QMediaPlayer::NoError && Playable(player_->mediaStatus());
}

QUrl QtMediaPlayer::SourceUrl(const std::string& hostPath) {
  CloseOpenedFile();
  if (IsUtf8(hostPath)) return QUrl::fromLocalFile(QString::fromStdString(hostPath));
  // A name that is not UTF-8 (legal here) has no QString of its own: the backend would look for
  // a file with U+FFFD in its name. It gets the file opened here, by its own bytes.
  openedFile_ = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (openedFile_ < 0) return {};
  return QUrl::fromLocalFile(QStringLiteral("/proc/self/fd/%1").arg(openedFile_));
}

void QtMediaPlayer::CloseOpenedFile() {
  if (openedFile_ >= 0) ::close(openedFile_);
  openedFile_ = -1;
}

void QtMediaPlayer::DropBackend() {
  sourceHost_.clear();
  if (!player_) return;
  player_->stop();
  player_->setAudioOutput(nullptr);
  player_.reset();
}

QMediaPlayer& QtMediaPlayer::Backend() {
  if (!player_) {
    if (!output_) {
      output_ = std::make_unique<QAudioOutput>();
      output_->setVolume(static_cast<float>(std::pow(10.0, volume_ / 2000.0)));
    }
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
    // An end that is not this playback's is played past at once, not at the next reading; a
    // real one ends the waits of the loops that follow the player.
    QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(), [this](QMediaPlayer::MediaStatus s) {
      if (s != QMediaPlayer::EndOfMedia || load_ != Load::Loaded) return;
      if (restartedFromMs_ >= 0 && !restartRetried_) NoteEnd();
      if (restartedFromMs_ < 0) EndWaits();
    });
  }
  return *player_;
}

QtMediaPlayer::~QtMediaPlayer() {
  DropBackend();
  CloseOpenedFile();
}

bool QtMediaPlayer::HeaderDuration() {
  if (!probed_) {
    probed_ = true;
    const std::string host = HostPathOf(fileName_);
    if (!host.empty() && probe_) headerDuration_ = probe_(host);
  }
  return headerDuration_.has_value();
}

template <typename Done>
void QtMediaPlayer::WaitFor(Done done, int ms) {
  if (done()) return;
  QEventLoop loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  auto check = [&] {
    if (done()) loop.quit();
  };
  QObject::connect(player_.get(), &QMediaPlayer::mediaStatusChanged, &loop, check);
  QObject::connect(player_.get(), &QMediaPlayer::durationChanged, &loop, check);
  QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, &loop, check);
  timeout.start(ms);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtMediaPlayer::SetFileName(const std::string& dosPath) {
  EndWaits();  // a loop following the player looks again at once
  if (player_ && player_->playbackState() != QMediaPlayer::StoppedState) player_->stop();  // the old file goes quiet now
  fileName_ = dosPath;
  restartedFromMs_ = -1;
  probed_ = false;
  headerDuration_.reset();
  duration_ = 0;
  heldPosition_ = 0;
  atEnd_ = false;
  startWhenLoaded_ = false;
  if (dosPath.empty()) {
    load_ = Load::None;
    state_ = Closed;
    if (player_) player_->setSource(QUrl());
    sourceHost_.clear();
    return;
  }
  load_ = Load::Pending;
  state_ = Stopped;
  startWhenLoaded_ = autoStart_;
}

void QtMediaPlayer::Refuse() {
  load_ = Load::Refused;
  state_ = Closed;
  duration_ = 0;
  heldPosition_ = 0;
  startWhenLoaded_ = false;
  // A failed pipeline goes on reporting errors for a while; the next file gets a new one.
  DropBackend();
}

void QtMediaPlayer::RaiseRefusal() const {
  if (load_ == Load::Refused) throw VbError(errUnspecified);
}

void QtMediaPlayer::EnsureLoaded() {
  // A call from inside the wait below (a timer's handler) finds the file still pending.
  if (load_ != Load::Pending || loading_) return;
  loading_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{loading_};

  const std::string host = HostPathOf(fileName_);
  if (host.empty() || !FileLenHost(host).ok()) {
    Refuse();
    return;
  }

  const FileStamp stamp = StampOf(host);
  if (HoldsUnchanged(host, stamp)) {
    // Loading it again would build a new pipeline and find the type again. SetFileName has
    // stopped the backend; the seek takes it out of its end, which it would otherwise go on
    // reporting for a moment after playing again.
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia || player_->position() != 0) player_->setPosition(0);
    duration_ = HeaderDuration() ? *headerDuration_ : std::max<qint64>(player_->duration(), 0) / 1000.0;
    load_ = Load::Loaded;
    if (startWhenLoaded_) StartPlaying();
    return;
  }

  Backend();
  ++backendLoads_;
  // The backend's error() still tells of an earlier file: only what it reports now counts.
  bool failed = false;
  QObject guard;
  QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, &guard, [&failed] { failed = true; });
  sourceHost_.clear();
  player_->setSource(QUrl());  // a file of the same name, changed since, loads afresh
  player_->setSource(SourceUrl(host));
  WaitFor([&] { return failed || Settled(player_->mediaStatus()); }, kLoadTimeoutMs);
  if (failed || !Settled(player_->mediaStatus()) || player_->mediaStatus() == QMediaPlayer::InvalidMedia) {
    Refuse();
    return;
  }
  if (!HeaderDuration() && player_->duration() <= 0) {
    // The backend works the length out when it is made to seek.
    player_->setPosition(1);
    WaitFor([&] { return failed || player_->duration() > 0; }, kEstimateTimeoutMs);
    player_->setPosition(0);
  }
  if (failed) {
    Refuse();
    return;
  }
  duration_ = headerDuration_ ? *headerDuration_ : std::max<qint64>(player_->duration(), 0) / 1000.0;
  load_ = Load::Loaded;
  sourceHost_ = host;
  sourceStamp_ = stamp;
  if (startWhenLoaded_) StartPlaying();
}

double QtMediaPlayer::BackendPosition() const {
  double position = std::max<qint64>(player_->position(), 0) / 1000.0;
  return duration_ > 0 ? std::min(position, duration_) : position;
}

void QtMediaPlayer::NoteEnd() {
  // The end is the backend's own; a stream that runs on past its headers' length reads the
  // duration meanwhile (see BackendPosition).
  if (state_ != Playing || atEnd_) return;
  if (restartedFromMs_ >= 0) {
    // Stopped just short of its end, the backend can report that end once it plays again,
    // before anything of the new playback; played from an end, it reads that end for a moment
    // while it plays. Neither ends the new playback: the first starts it again, once.
    if (player_->position() > restartedFromMs_) {
      restartedFromMs_ = -1;
    } else if (player_->playbackState() == QMediaPlayer::PlayingState) {
      return;
    } else if (!restartRetried_) {
      restartRetried_ = true;
      player_->play();
      if (restartedFromMs_ > 0) player_->setPosition(restartedFromMs_);
      return;
    }
  }
  if (player_->mediaStatus() == QMediaPlayer::EndOfMedia || player_->playbackState() == QMediaPlayer::StoppedState) {
    atEnd_ = true;
  }
}

double QtMediaPlayer::Duration() {
  if (load_ == Load::Pending && !startWhenLoaded_ && HeaderDuration()) return *headerDuration_;
  EnsureLoaded();
  if (load_ != Load::Loaded) return 0;
  if (duration_ <= 0 && player_->duration() > 0) duration_ = player_->duration() / 1000.0;
  return duration_;
}

double QtMediaPlayer::CurrentPosition() {
  if (load_ == Load::Pending && startWhenLoaded_) EnsureLoaded();
  if (load_ == Load::Pending) return heldPosition_;
  if (load_ != Load::Loaded) return 0;
  if (state_ != Playing) return heldPosition_;
  NoteEnd();
  return atEnd_ ? duration_ : BackendPosition();
}

void QtMediaPlayer::SetCurrentPosition(double seconds) {
  EndWaits();
  if (load_ == Load::Pending && !startWhenLoaded_ && HeaderDuration()) {
    heldPosition_ = std::clamp(seconds, 0.0, *headerDuration_);  // taken up when the file plays
    return;
  }
  EnsureLoaded();
  if (load_ != Load::Loaded) return;
  heldPosition_ = std::clamp(seconds, 0.0, duration_);
  atEnd_ = false;
  restartedFromMs_ = -1;
  if (state_ == Playing) {
    if (heldPosition_ >= duration_) {
      atEnd_ = true;
      player_->pause();
    } else {
      player_->setPosition(Milliseconds(heldPosition_));
      if (player_->playbackState() != QMediaPlayer::PlayingState) player_->play();
    }
  } else if (state_ == Paused) {
    player_->setPosition(Milliseconds(heldPosition_));
  }
}

int QtMediaPlayer::PlayState() {
  if (load_ == Load::Pending && startWhenLoaded_) EnsureLoaded();
  if (load_ == Load::None || load_ == Load::Refused) return Closed;
  return state_;
}

void QtMediaPlayer::StartPlaying() {
  startWhenLoaded_ = false;
  if (state_ == Playing) return;
  state_ = Playing;
  atEnd_ = false;
  if (duration_ > 0 && heldPosition_ >= duration_) {  // playing from the end ends at once
    atEnd_ = true;
    return;
  }
  const qint64 target = Milliseconds(heldPosition_);
  if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) {
    player_->play();  // starts over from the beginning
    if (target > 0) player_->setPosition(target);
  } else {
    if (std::llabs(player_->position() - target) > 1) player_->setPosition(target);
    player_->play();
  }
  // A backend of unknown length reads no position at its end to tell the two ends apart.
  restartedFromMs_ = player_->duration() > 0 ? target : -1;
  restartRetried_ = false;
}

void QtMediaPlayer::Play() {
  EndWaits();
  EnsureLoaded();
  RaiseRefusal();
  if (load_ == Load::Loaded) StartPlaying();
}

void QtMediaPlayer::Pause() {
  EndWaits();
  EnsureLoaded();
  RaiseRefusal();
  if (load_ != Load::Loaded) return;
  restartedFromMs_ = -1;
  if (state_ == Playing) heldPosition_ = CurrentPosition();
  state_ = Paused;
  atEnd_ = false;
  player_->pause();
}

void QtMediaPlayer::Stop() {
  EndWaits();
  startWhenLoaded_ = false;
  if (load_ != Load::Loaded) return;  // a pending file stays unloaded and stopped
  restartedFromMs_ = -1;
  if (state_ == Playing) heldPosition_ = CurrentPosition();
  state_ = Stopped;
  atEnd_ = false;
  if (player_->playbackState() == QMediaPlayer::PlayingState) player_->pause();
}

void QtMediaPlayer::SetVolume(long hundredthsOfDb) {
  volume_ = std::clamp(hundredthsOfDb, -10000L, 0L);
  if (output_) output_->setVolume(static_cast<float>(std::pow(10.0, volume_ / 2000.0)));
}

}  // namespace platform
