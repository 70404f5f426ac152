// The player area: playback of presets and of tree entries, the status, the timed reset, the
// volume.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "windows/shareddata.h"
#include "windows/eventhook.h"
#include "windows/playduration.h"
#include "mainwindow/playerarea.h"
#include "mainwindow/toolbutton.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/resources.h"
#include "playback/driver.h"

namespace {

// The playback loop's wake-up: often enough for the bar to move on, rare enough to cost
// little (each pass asks the player's pipeline for the position and repaints the bar), and
// no sooner than the bar moves a pixel. A pass due after the track's end comes at that end
// instead, so that an end is seen at once.
constexpr playback::Cadence kPlaybackCadence{100, true};

constexpr std::uint32_t kPlayingColor = platform::RGB(192, 192, 0);
constexpr std::uint32_t kLoopingColor = platform::RGB(255, 128, 64);
constexpr std::uint32_t kEndedColor = platform::RGB(0, 192, 0);
constexpr std::uint32_t kStoppedColor = platform::RGB(228, 0, 0);
constexpr std::uint32_t kIdleColor = platform::RGB(1, 61, 71);

// The progress bar counts milliseconds, so that short files move smoothly too.
int Milliseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  return static_cast<int>(std::min(seconds * 1000.0, static_cast<double>(INT_MAX)));
}

}  // namespace

// Only this program writes the flag, as True or False; a hand-edited one loops when it reads
// true in any case.
bool PresetLoops(const std::string& loopFlag) { return platform::LowerCase(loopFlag) == "true"; }

using platform::Label;

PlayerArea::PlayerArea(QWidget* window, platform::MediaPlayer& player, ProgramState& app, PlayerAreaHost& host)
    : QObject(window), mpPlayer(&player), app_(app), host_(host) {
  Build(window);
  Wire();
}

void PlayerArea::Build(QWidget* window) {
  lblPlayStatus = new Label(window);
  lblPlayStatus->setGeometry(12, 362, 96, 24);
  lblPlayStatus->setAlignment(Qt::AlignCenter);
  lblPlayStatus->SetBackColor(platform::RGB(1, 61, 71));
  lblPlayStatus->SetForeColor(0);  // dark text reads on every status colour
  btnStop = ToolButton(window, "Stop playback", 116, 358, 32);
  pbrPlayFile = new QProgressBar(window);
  pbrPlayFile->setGeometry(156, 364, 256, 20);
  pbrPlayFile->setTextVisible(false);
  pbrPlayFile->setRange(0, 1);
  pbrPlayFile->setValue(0);

  auto row = [window](const char* heading, int y, Label*& headingLabel, Label*& value) {
    headingLabel = new Label(window, heading);
    headingLabel->setGeometry(12, y, 60, 20);
    value = new Label(window);
    value->setGeometry(76, y, 336, 20);
  };
  row("Caption", 394, lblPlayFileNameLabel, lblPlayFileName);
  row("Length", 416, lblDurationLabel, lblDuration);
  row("File", 438, lblPlayFilePathLabel, lblPlayFilePath);

  lblVolumeBorder = new Label(window, "Volume");
  lblVolumeBorder->setGeometry(12, 464, 400, 46);
  lblVolumeBorder->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lblVolumeBorder->SetBorder(true);
  sldPlayer = new QSlider(Qt::Horizontal, window);
  sldPlayer->setGeometry(20, 484, 384, 20);
  sldPlayer->setRange(-5000, 0);
  sldPlayer->setSingleStep(50);
  sldPlayer->setPageStep(500);
  sldPlayer->setValue(0);

  timPlayStopped = new platform::VbTimer(window, 1000);
}

void PlayerArea::SplitPlayDuration() {
  const PlayDuration d = SplitDuration(mpPlayer->Duration());
  state_.gPlayHours = d.hours;
  state_.gPlayMinutes = d.minutes;
  state_.gPlaySeconds = d.seconds;
}

void PlayerArea::SetButtonPictures() { platform::SetButtonPicture(btnStop, 204, platform::ResKind::Icon); }

void PlayerArea::Wire() {
  // The bar repaints many times a second while a file plays: filled with the skin's background
  // itself, it is opaque, so that the window beneath is not painted again each time.
  pbrPlayFile->setAutoFillBackground(true);
  connect(btnStop, &QPushButton::clicked, this, &PlayerArea::btnStop_Click);
  connect(timPlayStopped, &platform::VbTimer::Timer, this, &PlayerArea::timPlayStopped_Timer);
  connect(sldPlayer, &QSlider::valueChanged, this, &PlayerArea::sldPlayer_Scroll);
  new EventHook(sldPlayer, [this](QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) sldPlayer_MouseUp();
    return false;
  });
  connect(lblPlayFilePath, &platform::Label::Change, this, &PlayerArea::lblPlayFilePath_Change);
}

void PlayerArea::ShowPlayStatus(const char* caption, std::uint32_t backColor) {
  // Written on every pass of the loop; only a change reaches the screen.
  if (lblPlayStatus->frameStyle() != (QFrame::Box | QFrame::Plain)) lblPlayStatus->SetBorder(true);
  if (lblPlayStatus->BackColor() != backColor) lblPlayStatus->SetBackColor(backColor);
  lblPlayStatus->SetCaption(caption);
}

void PlayerArea::PlaybackFailed(const std::exception& failure) {
  QApplication::beep();
  auto* error = dynamic_cast<const platform::VbError*>(&failure);
  if (error && error->number() == platform::errUnspecified) {
    platform::MsgBox(std::string("Tolvan is unable to play the selected file.") + std::string(platform::vbLf) +
                         std::string(platform::vbCr) +
                         "The file may be missing, corrupted or in use by another application.",
                     platform::vbExclamation, "Error Playing File");
  }
  // A failed playback is over, whatever started it: no repetition, and the area resets.
  state_.gStopRequested = true;
  state_.gLoopingPreset = 0;
  mpPlayer->Stop();
  timPlayStopped->SetEnabled(false);
  timPlayStopped->SetEnabled(true);
}

bool PlayerArea::LoadPreset(int Index) {
  PlayerAreaState& state = state_;
  const datafiles::Presets& presets = app_.io.presets;
  const std::string path = presets.gPresetPaths[Index - 1];
  try {
    mpPlayer->Stop();
    mpPlayer->SetFileName(path);
    state.gLoopingPreset = PresetLoops(presets.gPresetLoop[Index - 1]) ? Index : 0;
    lblPlayFilePath->SetCaption(QString::fromStdString(path));
    lblPlayFileName->SetCaption(QString::fromStdString(presets.gPresetCaptions[Index - 1]));
    SplitPlayDuration();
    lblDuration->SetCaption(
        QString::fromStdString(PlayDurationText(state.gPlayHours, state.gPlayMinutes, state.gPlaySeconds)));
    return true;
  } catch (const std::exception& failure) {
    // The area names the preset that failed, with no length: never the previous file's.
    lblPlayFilePath->SetCaption(QString::fromStdString(path));
    lblPlayFileName->SetCaption(QString::fromStdString(presets.gPresetCaptions[Index - 1]));
    lblDuration->SetCaption("");
    PlaybackFailed(failure);
    return false;
  }
}

void PlayerArea::PlayPreset(int Index) {
  if (Index < 1 || Index > datafiles::kPresetCount) return;
  if (app_.io.presets.gPresetPaths[Index - 1].empty()) {
    host_.FocusTree();
    return;
  }
  // A stop of an earlier playback, waiting for its reset, does not end this one.
  state_.gStopRequested = false;
  if (LoadPreset(Index)) PlayCurrentFile();
}

void PlayerArea::StartPlayer() {
  host_.PlaybackStarting();
  mpPlayer->Play();
  pbrPlayFile->setMaximum(std::max(1, Milliseconds(mpPlayer->Duration())));
}

void PlayerArea::PlayCurrentFile() {
  try {
    StartPlayer();
  } catch (const std::exception& failure) {
    PlaybackFailed(failure);
    return;
  }
  if (playbackLoop_ == playback::LoopState::Active) return;  // the running loop plays this file now
  DrivePlayback();
}

void PlayerArea::DrivePlayback() {
  PlayerAreaState& state = state_;
  playback::Cadence cadence = kPlaybackCadence;
  cadence.displaySteps = pbrPlayFile->width();
  playback::Driver driver(*mpPlayer, playbackLoop_, cadence, platform::WaitEvents,
                          [this] { return host_.Exiting(); });
  for (;;) {
    // One playback: until the file is at its end, stopped, or the player plays no more
    // (another file was loaded into it). A start inside the wait has taken the player over
    // and is followed from then on.
    try {
      // The bar and the status follow every pass, written here so that each repetition
      // shows its statuses from this same frame.
      while (driver.NextPass()) {
        pbrPlayFile->setValue(std::min(pbrPlayFile->maximum(), Milliseconds(driver.Position())));
        if (state.gLoopingPreset < 1) {
          ShowPlayStatus("Playing", kPlayingColor);
        } else {
          ShowPlayStatus("Looping", kLoopingColor);
        }
      }
    } catch (const std::exception& failure) {
      PlaybackFailed(failure);
      return;
    }
    if (driver.End() == playback::LoopEnd::Gone) return;
    if (state.gStopRequested) {
      state.gLoopingPreset = 0;
      pbrPlayFile->setValue(0);
      ShowPlayStatus("Stopped", kStoppedColor);
    } else {
      ShowPlayStatus("Ended", kEndedColor);
    }
    // The reset comes a second after this end, not after an earlier one.
    timPlayStopped->SetEnabled(false);
    timPlayStopped->SetEnabled(true);

    const int next = state.gLoopingPreset;
    if (next < 1 || next > datafiles::kPresetCount || app_.io.presets.gPresetPaths[next - 1].empty()) return;
    if (!LoadPreset(next)) return;
    try {
      StartPlayer();
    } catch (const std::exception& failure) {
      PlaybackFailed(failure);
      return;
    }
    driver.Restart();
  }
}

void PlayerArea::btnStop_Click() { StopPlayback(); }

void PlayerArea::StopPlayback() {
  if (!lblPlayStatus->Caption().isEmpty()) {
    StopQuietly();
    host_.PlaybackStoppedByUser();
  }
  host_.FocusTree();
}

void PlayerArea::StopQuietly() {
  mpPlayer->Stop();
  state_.gStopRequested = true;
  mpPlayer->SetCurrentPosition(mpPlayer->Duration());
}

void PlayerArea::LoadFile(const std::string& path) {
  mpPlayer->SetFileName(path);
  mpPlayer->Stop();
}

void PlayerArea::PlayLoadedFile(const QString& shownPath, const QString& caption, const QString& length) {
  state_.gStopRequested = false;
  lblPlayFilePath->SetCaption(shownPath);
  lblPlayFileName->SetCaption(caption);
  lblDuration->SetCaption(length);
  PlayCurrentFile();
}

void PlayerArea::timPlayStopped_Timer() {
  timPlayStopped->SetEnabled(false);
  // A playback started since the end owns the area; its own end arms the reset again.
  if (playbackLoop_ == playback::LoopState::Active) return;
  pbrPlayFile->setValue(0);
  lblPlayStatus->SetBackColor(kIdleColor);
  lblPlayStatus->SetCaption("");
  host_.PlaybackReset();
  state_.gStopRequested = false;
}

void PlayerArea::sldPlayer_Scroll() {
  const int value = sldPlayer->value();
  mpPlayer->SetVolume(value);
  // Down to the next lower whole decibel: -2550 reads -26dB.
  const int db = static_cast<int>(std::floor(value / 100.0));
  const QString tip = QString::number(db) + "dB";
  sldPlayer->setToolTip(tip);
  if (sldPlayer->isSliderDown()) QToolTip::showText(QCursor::pos(), tip, sldPlayer);
}

void PlayerArea::sldPlayer_MouseUp() { host_.FocusTree(); }

void PlayerArea::lblPlayFilePath_Change() {
  lblPlayFilePath->setToolTip(QString::fromStdString(mpPlayer->FileName()));
}

void PlayerArea::PlayEntry(const std::string& path, const std::string& caption, int loopingPreset) {
  PlayerAreaState& state = state_;
  try {
    mpPlayer->Stop();
    mpPlayer->SetFileName(path);
  } catch (const std::exception& failure) {
    PlaybackFailed(failure);
    return;
  }
  state.gLoopingPreset = loopingPreset;
  state.gStopRequested = false;
  lblPlayFilePath->SetCaption(QString::fromStdString(path));
  lblPlayFileName->SetCaption(QString::fromStdString(caption));
  SplitPlayDuration();
  lblDuration->SetCaption(
      QString::fromStdString(PlayDurationText(state.gPlayHours, state.gPlayMinutes, state.gPlaySeconds)));
  // The playback loop hands over to the looping preset when this file ends: it plays
  // gLoopingPreset again and again until Stop, also when this call runs inside a playback.
  PlayCurrentFile();
}
