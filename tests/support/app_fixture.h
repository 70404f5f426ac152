#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/core/clock.h"
#include "support/fake_mediaplayer.h"
#include "support/recording_printer.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"
#include "windows/shareddata.h"

class DatabasePane;
class PlaylistEditor;
class frmLauncher;

namespace testing_support {

// A program on temporary drives: its folder is C:\app\ with an empty data folder, every
// service is a double, the clock reads 12/10/2026 9:30:00 AM and the program state is the
// fixture's own, fresh for each test.
class AppFixture : public ::testing::Test {
 protected:
  AppFixture();
  ~AppFixture() override;

  // prefs.dat and preset.dat with their defaults, so that loading announces nothing.
  void WriteDefaultSettings() const;
  // The main window on `state`, built and loaded as the splash does it, playing through
  // `mainPlayer` (the fake `player` unless given).
  std::unique_ptr<frmLauncher> OpenMainWindow(platform::MediaPlayer* mainPlayer = nullptr);
  // Runs `step` with every write failing. True when it told so in exactly one box, "Data File
  // Not Saved" (answered OK); otherwise the test fails.
  bool FailsToWrite(const std::function<void()>& step);
  // The database pane and the playlist editor of the main window OpenMainWindow made last
  // (while that window lives).
  DatabasePane& MainPane() const;
  PlaylistEditor& MainPlaylist() const;
  // The player the playlist window of the next main window gets (its own Qt player if null).
  platform::MediaPlayer* playlistPlayer = nullptr;

  static constexpr const char* kAppPath = "C:\\app\\";
  static constexpr const char* kDataPath = "C:\\app\\data\\";

  ProgramState state;
  TempDrives drives{"CD"};
  ScriptedMessageBoxes boxes;
  RecordingProgramStarter starter;
  ScriptedFileDialogs dialogs;
  RecordingPrinter printer;
  FakeMediaPlayer player;
  platform::FixedClock clock{{2026, 12, 10, 9, 30, 0}};

 private:
  frmLauncher* opened_ = nullptr;
};

}  // namespace testing_support
