// The player area: playback of presets and of the shown file, the status, the timed reset,
// the volume.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "inventory/abbreviatepath.h"
#include "main/declarations.h"
#include "windows/eventhook.h"
#include "windows/playduration.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
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

void SplitPlayDuration() {
  LauncherState& state = App().launcher;
  const PlayDuration d = SplitDuration(MainWindow().mpPlayer->Duration());
  state.gPlayHours = d.hours;
  state.gPlayMinutes = d.minutes;
  state.gPlaySeconds = d.seconds;
}

void frmLauncher::WirePlayer() {
  // The bar repaints many times a second while a file plays: filled with the skin's background
  // itself, it is opaque, so that the window beneath is not painted again each time.
  pbrPlayFile->setAutoFillBackground(true);
  connect(btnStop, &QPushButton::clicked, this, &frmLauncher::btnStop_Click);
  connect(timPlayStopped, &platform::VbTimer::Timer, this, &frmLauncher::timPlayStopped_Timer);
  connect(sldPlayer, &QSlider::valueChanged, this, &frmLauncher::sldPlayer_Scroll);
  new EventHook(sldPlayer, [this](QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) sldPlayer_MouseUp();
    return false;
  });
  connect(lblPlayFilePath, &platform::Label::Change, this, &frmLauncher::lblPlayFilePath_Change);
}

void frmLauncher::ShowPlayStatus(const char* caption, std::uint32_t backColor) {
  // Written on every pass of the loop; only a change reaches the screen.
  if (lblPlayStatus->frameStyle() != (QFrame::Box | QFrame::Plain)) lblPlayStatus->SetBorder(true);
  if (lblPlayStatus->BackColor() != backColor) lblPlayStatus->SetBackColor(backColor);
  lblPlayStatus->SetCaption(caption);
}

void frmLauncher::PlaybackFailed(const std::exception& failure) {
  LauncherState& state = App().launcher;
  QApplication::beep();
  auto* error = dynamic_cast<const platform::VbError*>(&failure);
  if (error && error->number() == platform::errUnspecified) {
    platform::MsgBox(std::string("Tolvan is unable to play the selected file.") + std::string(platform::vbLf) +
                         std::string(platform::vbCr) +
                         "The file may be missing, corrupted or in use by another application.",
                     platform::vbExclamation, "Error Playing File");
  }
  // A failed playback is over, whatever started it: no repetition, and the area resets.
  state.gStopRequested = true;
  state.gLoopingPreset = 0;
  mpPlayer->Stop();
  timPlayStopped->SetEnabled(false);
  timPlayStopped->SetEnabled(true);
}

bool frmLauncher::LoadPreset(int Index) {
  LauncherState& state = App().launcher;
  const datafiles::Presets& presets = App().io.presets;
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

void frmLauncher::btnPreset_Click(int Index) {
  if (Index < 1 || Index > datafiles::kPresetCount) return;
  if (App().io.presets.gPresetPaths[Index - 1].empty()) {
    tvwGroups->setFocus();
    return;
  }
  // A stop of an earlier playback, waiting for its reset, does not end this one.
  App().launcher.gStopRequested = false;
  if (LoadPreset(Index)) PlayCurrentFile();
}

void frmLauncher::StartPlayer() {
  pane_->btnUpdate->setEnabled(false);
  pane_->btnUpdate->hide();
  pane_->btnSelSearch->setEnabled(false);
  pane_->btnSelSearch->hide();
  mpPlayer->Play();
  pbrPlayFile->setMaximum(std::max(1, Milliseconds(mpPlayer->Duration())));
}

void frmLauncher::PlayCurrentFile() {
  try {
    StartPlayer();
  } catch (const std::exception& failure) {
    PlaybackFailed(failure);
    return;
  }
  if (playbackLoop_ == playback::LoopState::Active) return;  // the running loop plays this file now
  DrivePlayback();
}

void frmLauncher::DrivePlayback() {
  LauncherState& state = App().launcher;
  playback::Cadence cadence = kPlaybackCadence;
  cadence.displaySteps = pbrPlayFile->width();
  playback::Driver driver(*mpPlayer, playbackLoop_, cadence, platform::WaitEvents,
                          [this] { return exiting_; });
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
    if (next < 1 || next > datafiles::kPresetCount || App().io.presets.gPresetPaths[next - 1].empty()) return;
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

void frmLauncher::btnPlay_Click() {
  LauncherState& state = App().launcher;
  const QString caption = pane_->btnPlay->Caption();
  try {
    mpPlayer->SetFileName(pane_->db.gCurrentFilePath);
    mpPlayer->Stop();
  } catch (const std::exception& failure) {
    if (caption == "Play") {
      PlaybackFailed(failure);
      return;
    }
  }
  if (caption == "Play") {
    state.gStopRequested = false;
    pane_->btnPlay->SetBackColor(skin::kHighlight);
    pane_->btnPlay->SetForeColor(skin::kBack);
    pane_->lblDBStatus1->SetCaption("Playing/previewing file...");
    lblPlayFilePath->SetCaption(
        QString::fromStdString(AbbreviatePath(pane_->txtDBDescription->toolTip().toStdString(), 50)));
    lblPlayFileName->SetCaption(pane_->lblDBCaption->Caption());
    lblDuration->SetCaption(pane_->lblDBLength->Caption());
    pane_->btnPlay->SetCaption("Stop");
    PlayCurrentFile();
  } else if (caption == "Stop") {
    pane_->lblDBStatus1->SetCaption("Playback stopped");
    mpPlayer->Stop();
    state.gStopRequested = true;
    mpPlayer->SetCurrentPosition(mpPlayer->Duration());
  }
}

void frmLauncher::btnStop_Click() {
  LauncherState& state = App().launcher;
  if (!lblPlayStatus->Caption().isEmpty()) {
    mpPlayer->Stop();
    state.gStopRequested = true;
    mpPlayer->SetCurrentPosition(mpPlayer->Duration());
    if (pane_->btnPlay->Caption() == "Stop") pane_->lblDBStatus1->SetCaption("Playback stopped");
  }
  tvwGroups->setFocus();
}

void frmLauncher::timPlayStopped_Timer() {
  timPlayStopped->SetEnabled(false);
  // A playback started since the end owns the area; its own end arms the reset again.
  if (playbackLoop_ == playback::LoopState::Active) return;
  pbrPlayFile->setValue(0);
  lblPlayStatus->SetBackColor(kIdleColor);
  lblPlayStatus->SetCaption("");
  if (pane_->btnPlay->isEnabled()) {
    pane_->btnPlay->SetBackColor(skin::kBack);
    pane_->btnPlay->SetForeColor(skin::kText);
    if (pane_->lblDBViewTitle->Caption() == "File Detail") {
      pane_->btnPlay->SetCaption("Play");
      pane_->lblDBStatus1->SetCaption("");
    } else {
      pane_->btnPlay->SetCaption("");
      pane_->btnPlay->setEnabled(false);
    }
  }
  pane_->btnSelSearch->setEnabled(true);
  pane_->btnSelSearch->show();
  pane_->btnUpdate->setEnabled(true);
  pane_->btnUpdate->show();
  App().launcher.gStopRequested = false;
}

void frmLauncher::sldPlayer_Scroll() {
  const int value = sldPlayer->value();
  mpPlayer->SetVolume(value);
  // Down to the next lower whole decibel: -2550 reads -26dB.
  const int db = static_cast<int>(std::floor(value / 100.0));
  const QString tip = QString::number(db) + "dB";
  sldPlayer->setToolTip(tip);
  if (sldPlayer->isSliderDown()) QToolTip::showText(QCursor::pos(), tip, sldPlayer);
}

void frmLauncher::sldPlayer_MouseUp() { tvwGroups->setFocus(); }

void frmLauncher::lblPlayFilePath_Change() {
  lblPlayFilePath->setToolTip(QString::fromStdString(mpPlayer->FileName()));
}
