#pragma once

#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <cstdint>
#include <exception>
#include <string>

#include "platform/core/mediaplayer.h"
#include "platform/qt/controls.h"
#include "playback/driver.h"
#include "windows/shareddata.h"

// What the player area asks of the window it lies in.
class PlayerAreaHost {
 public:
  virtual void FocusTree() = 0;
  // The program is ending: a playback stops.
  virtual bool Exiting() const = 0;
  // A playback starts: the pane's work that would load files into the player is put away.
  virtual void PlaybackStarting() = 0;
  // The second after a playback's end: the pane's Play and its put-away work come back.
  virtual void PlaybackReset() = 0;
  // The user stopped a playback with the area's Stop button.
  virtual void PlaybackStoppedByUser() = 0;

 protected:
  ~PlayerAreaHost() = default;
};

// The main window's player: the file or preset loaded, its playback to the end and the
// looping preset's repetitions, the status, the timed reset, the volume.
class PlayerArea : public QObject {
  Q_OBJECT
 public:
  // The controls are the window's children, laid out in the window's player area.
  PlayerArea(QWidget* window, platform::MediaPlayer& player, ProgramState& app, PlayerAreaHost& host);

  // Plays preset `Index` (1 to 20); a preset without a file gives the tree the focus.
  void PlayPreset(int Index);
  // Loads `path` with its caption, and plays it; `loopingPreset` (0: none) repeats after it.
  void PlayEntry(const std::string& path, const std::string& caption, int loopingPreset);
  // Plays the file loaded in mpPlayer to its end or to Stop, then each repetition of the
  // looping preset (gLoopingPreset) in turn. While a playback runs, a start takes the player
  // over and returns at once: the running loop goes on with the new file.
  void PlayCurrentFile();
  bool PlaybackRunning() const { return playbackLoop_ == playback::LoopState::Active; }
  // A start or playback that failed: the beep and "Error Playing File", and the area resets.
  void PlaybackFailed(const std::exception& failure);
  // Splits mpPlayer's duration into gPlayHours, gPlayMinutes, gPlaySeconds.
  void SplitPlayDuration();

  // Handlers.
  void btnStop_Click();
  void timPlayStopped_Timer();
  void sldPlayer_Scroll();
  void sldPlayer_MouseUp();
  void lblPlayFilePath_Change();

  platform::MediaPlayer* mpPlayer;
  QPushButton* btnStop;
  QProgressBar* pbrPlayFile;
  platform::Label* lblVolumeBorder;
  QSlider* sldPlayer;
  platform::Label* lblPlayStatus;
  platform::Label* lblPlayFileNameLabel;
  platform::Label* lblPlayFileName;
  platform::Label* lblDurationLabel;
  platform::Label* lblDuration;
  platform::Label* lblPlayFilePathLabel;
  platform::Label* lblPlayFilePath;
  platform::VbTimer* timPlayStopped;

 private:
  void Build(QWidget* window);
  void Wire();
  // Loads preset `Index` into the player and shows it; false (told) when it cannot be loaded.
  bool LoadPreset(int Index);
  void StartPlayer();
  void DrivePlayback();
  void ShowPlayStatus(const char* caption, std::uint32_t backColor);

  ProgramState& app_;
  PlayerAreaHost& host_;
  playback::LoopState playbackLoop_ = playback::LoopState::Idle;
};

// Whether a preset's loop flag asks for looping ("True", in any case).
bool PresetLoops(const std::string& loopFlag);
