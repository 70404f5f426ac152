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

// The player area's controls: the window's children, laid out in the window's player area.
struct PlayerAreaControls {
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
};

// What only the player area keeps between its calls.
struct PlayerAreaState {
  // The looping preset (0 none) and the user's stop.
  int gLoopingPreset = 0;
  bool gStopRequested = false;
  // SplitPlayDuration's result.
  int gPlayHours = 0;
  int gPlayMinutes = 0;
  float gPlaySeconds = 0;
};

// The main window's player: the file or preset loaded, its playback to the end and the
// looping preset's repetitions, the status, the timed reset, the volume.
class PlayerArea : public QObject, private PlayerAreaControls {
  Q_OBJECT
 public:
  PlayerArea(QWidget* window, platform::MediaPlayer& player, ProgramState& app, PlayerAreaHost& host);

  // The Stop button's picture, once the program's pictures can be read.
  void SetButtonPictures();
  // Plays preset `Index` (1 to 20); a preset without a file gives the tree the focus.
  void PlayPreset(int Index);
  // Loads `path` with its caption, and plays it; `loopingPreset` (0: none) repeats after it.
  void PlayEntry(const std::string& path, const std::string& caption, int loopingPreset);
  // Loads `path` into the player, stopped; throws what the player throws.
  void LoadFile(const std::string& path);
  // Shows the loaded file as `shownPath`, `caption` and `length`, and plays it.
  void PlayLoadedFile(const QString& shownPath, const QString& caption, const QString& length);
  // Stops a playback as the Stop button does: the host hears of it and the tree gets the focus.
  void StopPlayback();
  // Stops a playback without a word to the host: the caller shows the stop itself.
  void StopQuietly();
  // Plays the file loaded in the player to its end or to Stop, then each repetition of the
  // looping preset (gLoopingPreset) in turn. While a playback runs, a start takes the player
  // over and returns at once: the running loop goes on with the new file.
  void PlayCurrentFile();
  bool PlaybackRunning() const { return playbackLoop_ == playback::LoopState::Active; }
  // A start or playback that failed: the beep and "Error Playing File", and the area resets.
  void PlaybackFailed(const std::exception& failure);
  // Splits the player's duration into gPlayHours, gPlayMinutes, gPlaySeconds.
  void SplitPlayDuration();

  // Handlers.
  void btnStop_Click();
  void timPlayStopped_Timer();
  void sldPlayer_Scroll();
  void sldPlayer_MouseUp();
  void lblPlayFilePath_Change();

 private:
  friend class PlayerTestAccess;

  void Build(QWidget* window);
  void Wire();
  // Loads preset `Index` into the player and shows it; false (told) when it cannot be loaded.
  bool LoadPreset(int Index);
  void StartPlayer();
  void DrivePlayback();
  void ShowPlayStatus(const char* caption, std::uint32_t backColor);

  platform::MediaPlayer* mpPlayer;
  ProgramState& app_;
  PlayerAreaHost& host_;
  PlayerAreaState state_;
  playback::LoopState playbackLoop_ = playback::LoopState::Idle;
};

// Whether a preset's loop flag asks for looping ("True", in any case).
bool PresetLoops(const std::string& loopFlag);
