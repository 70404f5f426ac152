// CPU use of the main window while it is idle and while a looping preset plays through the
// real media player. Runs the window on a temporary drive C: holding a generated 4 s WAV file,
// and reads the process's CPU time (every thread, the player's included) over each phase,
// with the share of each thread, so that it shows where the time goes.
//
//   playback_cpu [seconds per phase, default 10] [seconds of the tone, default 4]
//
// The short tone makes the preset start over every 4 s, as a looping jingle does (the player
// keeps the file loaded and starts it again); a tone longer than the phase shows the cost of
// playing alone. Goal: under 1 % of one core while the preset loops.
//
// Needs a display: run it under xvfb-run (the goal is stated for Xvfb), or with
// QT_QPA_PLATFORM=offscreen. The player plays into GStreamer's fake audio sink, chosen here
// through the plugins' ranks so that it opens on any machine, sound device or not; it keeps
// to the clock, so the file is decoded and played in real time. The run fails (exit status 1)
// when the position did not advance as a playing file's does or the preset did not loop.
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
#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/durationprobe.h"
#include "datafiles/prefs.h"
#include "windows/datafilesteps.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "platform/core/drives.h"
#include "platform/qt/mediaplayer_qt.h"
#include "platform/core/msgbox.h"
#include "platform/qt/printer_qt.h"
#include "support/player_access.h"
#include "verdicts.h"

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

// CPU seconds of each thread of the process by its name (threads of one name added up).
std::map<std::string, double> ThreadCpu() {
  std::map<std::string, double> byName;
  const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
  std::error_code ec;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream in(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    const std::string name = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    // After the name: state (3) ... utime (14) and stime (15).
    for (int k = 3; k <= 15 && rest >> field; ++k) {
      if (k == 14) utime = std::atof(field.c_str());
      if (k == 15) stime = std::atof(field.c_str());
    }
    byName[name] += (utime + stime) / tick;
  }
  return byName;
}

struct Phase {
  double cpu0 = 0, wall0 = 0, cpu = 0, wall = 0;
  std::map<std::string, double> threads0, threads;
  void Begin() {
    threads0 = ThreadCpu();
    cpu0 = CpuSeconds();
    wall0 = WallSeconds();
  }
  void End() {
    cpu = CpuSeconds() - cpu0;
    wall = WallSeconds() - wall0;
    threads = ThreadCpu();
    for (auto& [name, seconds] : threads) {
      auto it = threads0.find(name);
      if (it != threads0.end()) seconds -= it->second;
    }
  }
  double Percent() const { return wall > 0 ? 100.0 * cpu / wall : 0; }
  void PrintThreads(const char* title) const {
    std::printf("%s, by thread (%% of one core):\n", title);
    std::vector<std::pair<double, std::string>> order;
    for (const auto& [name, seconds] : threads) order.emplace_back(seconds, name);
    std::sort(order.rbegin(), order.rend());
    for (const auto& [seconds, name] : order) {
      if (seconds > 0) std::printf("  %-24s %.2f\n", name.c_str(), 100.0 * seconds / wall);
    }
  }
};

// A message box would wait for a click that never comes: each one is noted and answered OK
// (1), and the run then fails.
class NotedBoxes : public platform::MessageBoxService {
 public:
  int Show(std::string_view text, int, std::string_view title) override {
    shown.push_back(std::string(title) + ": " + std::string(text));
    return 1;
  }
  std::vector<std::string> shown;
};

// The player's position, sampled twice a second while the preset plays: how far it moved
// forward in all, and how often it started over.
struct PositionWatch {
  double last = 0, advanced = 0;
  int restarts = 0, samples = 0, looping = 0;
  void Sample(double position, bool showsLooping) {
    if (showsLooping) ++looping;
    if (samples++ == 0) {
      last = position;
    } else if (position + 0.5 < last) {
      ++restarts;
      advanced += position;
    } else if (position > last) {
      advanced += position - last;
    }
    last = position;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int kToneSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tolvan-playback-cpu-" + std::to_string(::getpid()));
  fs::create_directories(root / "app" / "data");
  fs::create_directories(root / "Sounds");
  std::ofstream(root / "Sounds" / "tone.wav", std::ios::binary) << Wave(kToneSeconds);
  ::setenv("TOLVAN_DRIVES", ("C=" + root.string()).c_str(), 1);
  // A sink that always opens: no sound devices for the player to pick (the device providers
  // out of the running), and the fake audio sink first among the sinks it may choose from.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
  std::string ranks =
      "fakeaudiosink:MAX,pulsedeviceprovider:NONE,alsadeviceprovider:NONE,pipewiredeviceprovider:NONE,"
      "jackdeviceprovider:NONE,osxaudiodeviceprovider:NONE";
  if (const char* old = std::getenv("GST_PLUGIN_FEATURE_RANK"); old && *old) ranks = std::string(old) + "," + ranks;
  ::setenv("GST_PLUGIN_FEATURE_RANK", ranks.c_str(), 1);

  QApplication app(argc, argv);
  NotedBoxes boxes;
  platform::SetMessageBoxes(&boxes);
  platform::QtPrinter printer;
  platform::SetPrinter(&printer);
  platform::QtMediaPlayer player{analysis::ProbeDurationHost};

  ProgramState& state = App();
  state.decl.gAppPath = "C:\\app\\";
  state.decl.files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
  state.decl.gRebuildInventory = true;  // the first view builds the inventory without asking
  datafiles::Presets presets;
  presets.gPresetCaptions[0] = "Tone";
  presets.gPresetPaths[0] = "C:\\Sounds\\tone.wav";
  presets.gPresetLoop[0] = "True";
  datafilesteps::SavePreferences(state.decl.files, datafiles::Preferences());
  datafilesteps::SaveTapdeckPresets(state.decl.files, presets);

  frmLauncher window(&player, App());
  window.Form_Load();
  window.show();

  Phase idle, playing;
  PositionWatch watch;
  QTimer sampler;
  sampler.setInterval(500);
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    watch.Sample(player.CurrentPosition(), PlayerUi(window.Player()).lblPlayStatus->Caption() == "Looping");
  });
  // Idle: a second to settle, then the measured phase; then the preset, which loops (a 4 s
  // tone repeated) until the measured phase ends and Stop is pressed.
  QTimer::singleShot(1000, [&] { idle.Begin(); });
  QTimer::singleShot(1000 + seconds * 1000, [&] {
    idle.End();
    QTimer::singleShot(1000, [&] {
      playing.Begin();
      sampler.start();
    });
    QTimer::singleShot(1000 + seconds * 1000, [&] {
      sampler.stop();
      playing.End();
      window.Player().btnStop_Click();
    });
    window.btnPreset_Click(1);  // returns when Stop ends the loop
    QTimer::singleShot(0, [] { QApplication::exit(0); });  // quit() would ask the window to close
  });
  app.exec();

  const std::string platformName = QApplication::platformName().toStdString();
  std::printf("platform %s, %d s per phase, a %d s tone looping\n", platformName.c_str(), seconds, kToneSeconds);
  idle.PrintThreads("idle");
  playing.PrintThreads("looping preset playing");
  std::printf("position: advanced %.1f s in %.1f s, %d restarts, \"Looping\" in %d of %d samples\n", watch.advanced,
              playing.wall, watch.restarts, watch.looping, watch.samples);

  bench::Verdicts verdicts;
  const std::string where = platformName == "xcb" ? "" : " (the goal is stated for Xvfb; this run: " + platformName + ")";
  verdicts.Under("idle" + where, idle.Percent(), 2.0, "% of one core");
  if (playing.wall > 0) {
    verdicts.Under("looping preset playing" + where, playing.Percent(), 1.0, "% of one core");
  } else {
    verdicts.Failed("the preset's playback ended before its phase began: nothing played");
  }
  // Played in real time (within the half-second sampling), and started over as a loop does.
  if (watch.advanced < 0.7 * playing.wall - 1.0) {
    verdicts.Failed("the position advanced " + bench::Verdicts::Number(watch.advanced) + " s in " +
                    bench::Verdicts::Number(playing.wall) + " s: nothing or too little played");
  }
  if (playing.wall >= 2 * kToneSeconds && watch.restarts < static_cast<int>(playing.wall / kToneSeconds) - 1) {
    verdicts.Failed("the preset started over " + std::to_string(watch.restarts) + " times: it did not loop");
  }
  if (watch.samples < 4) verdicts.Failed("too short a phase to tell whether the file played");
  if (watch.looping * 10 < watch.samples * 9) verdicts.Failed("the status did not read \"Looping\" while it played");
  for (const std::string& box : boxes.shown) verdicts.Failed("a message box came up: " + box);
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return verdicts.Finish();
}
