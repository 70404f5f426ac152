// CPU use of the main window while it is idle and while a looping preset plays through the
// real media player. Runs the window on a temporary drive C: holding a generated WAV file,
// and reads the process's CPU time (every thread, the player's included) over each phase.
//
//   playback_cpu [seconds per phase, default 10]
//
// Needs a display (Xvfb will do) or QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "datafiles/prefs.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "platform/core/drives.h"
#include "platform/qt/mediaplayer_qt.h"
#include "platform/qt/msgbox_qt.h"
#include "platform/qt/printer_qt.h"

namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A 16-bit stereo PCM sine of `seconds` at 44.1 kHz.
std::string Wave(int seconds) {
  const std::uint32_t rate = 44100, frames = rate * static_cast<std::uint32_t>(seconds);
  std::string data;
  data.reserve(frames * 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    auto s = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate));
    Put16(data, static_cast<std::uint16_t>(s));
    Put16(data, static_cast<std::uint16_t>(s));
  }
  std::string wav = "RIFF";
  Put32(wav, 36 + static_cast<std::uint32_t>(data.size()));
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);
  Put16(wav, 2);
  Put32(wav, rate);
  Put32(wav, rate * 4);
  Put16(wav, 4);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, static_cast<std::uint32_t>(data.size()));
  return wav + data;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Phase {
  double cpu0 = 0, wall0 = 0;
  void Begin() {
    cpu0 = CpuSeconds();
    wall0 = WallSeconds();
  }
  double Percent() const { return 100.0 * (CpuSeconds() - cpu0) / (WallSeconds() - wall0); }
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tolvan-playback-cpu-" + std::to_string(::getpid()));
  fs::create_directories(root / "app" / "data");
  fs::create_directories(root / "Sounds");
  std::ofstream(root / "Sounds" / "tone.wav", std::ios::binary) << Wave(4);
  ::setenv("TOLVAN_DRIVES", ("C=" + root.string()).c_str(), 1);

  QApplication app(argc, argv);
  platform::QtMessageBoxes boxes;
  platform::SetMessageBoxes(&boxes);
  platform::QtPrinter printer;
  platform::SetPrinter(&printer);
  platform::QtMediaPlayer player;

  ProgramState& state = App();
  state.decl.gAppPath = "C:\\app\\";
  state.decl.files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
  state.decl.gRebuildInventory = true;  // the first view builds the inventory without asking
  datafiles::Presets presets;
  presets.gPresetCaptions[0] = "Tone";
  presets.gPresetPaths[0] = "C:\\Sounds\\tone.wav";
  presets.gPresetLoop[0] = "True";
  datafiles::SavePreferences(state.decl.files, datafiles::Preferences());
  datafiles::SaveTapdeckPresets(state.decl.files, presets);

  frmLauncher window(&player);
  window.Form_Load();
  window.show();

  Phase idle, playing;
  double idlePercent = 0, playingPercent = 0;
  // Idle: a second to settle, then the measured phase; then the preset, which loops (a 4 s
  // tone repeated) until the measured phase ends and Stop is pressed.
  QTimer::singleShot(1000, [&] { idle.Begin(); });
  QTimer::singleShot(1000 + seconds * 1000, [&] {
    idlePercent = idle.Percent();
    QTimer::singleShot(1000, [&] { playing.Begin(); });
    QTimer::singleShot(1000 + seconds * 1000, [&] {
      playingPercent = playing.Percent();
      window.btnStop_Click();
    });
    window.btnPreset_Click(1);  // returns when Stop ends the loop
    QTimer::singleShot(0, [] { QApplication::exit(0); });  // quit() would ask the window to close
  });
  app.exec();

  std::printf("platform %s, %d s per phase\n", qPrintable(QApplication::platformName()), seconds);
  std::printf("idle:                   %.2f %% of one core\n", idlePercent);
  std::printf("looping preset playing: %.2f %% of one core\n", playingPercent);
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}
