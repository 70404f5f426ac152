// The program's start, from the splash's check to the drawn System Inventory view, with an
// inventory.dat of one line and of 1,000,000 lines (header analysis off) whose invsum.dat
// agrees: the start must not grow with the inventory (goal: the large one within 50 ms of the
// small one). Warm cache, offscreen platform, fake player; prefs.dat and preset.dat in place so
// that no message box comes. Then the start that finds the summary behind the inventory and
// counts it again from the 1,000,000 lines, a figure without a goal. Each start checks what it
// drew: the totals row's Total is the number of lines, no box was shown, and inventory.dat and
// invsum.dat keep their bytes.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QApplication>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "inventory/driveconfig.h"
#include "main/declarations.h"
#include "main/frmSplash.h"
#include "mainwindow/frmLauncher.h"
#include "pane/databasepane.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "support/fake_mediaplayer.h"
#include "support/pane_access.h"
#include "times_reporter.h"
#include "verdicts.h"

namespace fs = std::filesystem;

namespace {

bench::Verdicts gVerdicts;

class CountedBoxes : public platform::MessageBoxService {
 public:
  int shown = 0;
  int Show(std::string_view text, int, std::string_view title) override {
    ++shown;
    std::fprintf(stderr, "[box] %.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
    return platform::vbOK;
  }
};

const char* const kAudio[] = {"wav", "mp3", "mid", "midi", "rmi", "aif", "aifc", "aiff", "au", "snd", "m3u"};

std::string ReadHost(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

void WriteHost(const std::string& path, const std::string& bytes) {
  ::chmod(path.c_str(), 0644);
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// The program on drive C: (a temporary folder) with `lines` inventory lines on C: and D:, and
// the summary that a scan of them would have written, written after inventory.dat.
struct World {
  std::string work;
  std::string inventoryBytes, summaryBytes;
  std::int64_t lines;
  CountedBoxes boxes;
  testing_support::FakeMediaPlayer player;

  explicit World(std::int64_t n) : lines(n) {
    char templ[] = "/tmp/tolvan-start-bench-XXXXXX";
    work = ::mkdtemp(templ);
    fs::create_directories(work + "/c/app/data");
    fs::create_directories(work + "/d");
    platform::SetDriveMap(platform::DriveMap({{'C', work + "/c"}, {'D', work + "/d"}}));
    platform::SetMessageBoxes(&boxes);
    Reset();
    const datafiles::DataFileNames& files = App().decl.files;
    WriteHost(Host(files.gPrefsFile), datafiles::PrefsLine(datafiles::Preferences()));
    WriteHost(Host(files.gPresetFile), datafiles::PresetLines(datafiles::Presets()));

    inventory::DriveConfiguration drives;
    inventory::ReadDriveConfiguration(drives);
    datafiles::InventorySummary summary;
    std::string text;
    std::uint64_t rng = 0x9E3779B97F4A7C15ULL;
    for (std::int64_t i = 0; i < n; ++i) {
      rng = rng * 6364136223846793005ULL + 1442695040888963407ULL;
      const unsigned r = static_cast<unsigned>(rng >> 33);
      const int drive = i % 4 == 0 ? 2 : 1;
      const int type = static_cast<int>(r % 11);
      const std::string path = drives.gDriveLetters[static_cast<std::size_t>(drive)] + "\\Music\\Collection\\Artist " +
                               std::to_string(r % 5000) + "\\Album " + std::to_string(r % 20) + "\\Title of track " +
                               std::to_string(i) + "." + kAudio[type];
      datafiles::AppendStoredInventoryLine(path, nullptr, text);
      static constexpr int kColumn[] = {datafiles::kWav,  datafiles::kMP3, datafiles::kMIDI, datafiles::kMIDI,
                                        datafiles::kMIDI, datafiles::kAiff, datafiles::kAiff, datafiles::kAiff,
                                        datafiles::kAu,   datafiles::kSnd, datafiles::kLists};
      for (int c : {static_cast<int>(datafiles::kTotal), kColumn[type]}) {
        ++summary.gTypeTotals[static_cast<std::size_t>(c)];
        ++summary.gDriveTypeCounts[static_cast<std::size_t>(c)][static_cast<std::size_t>(drive)];
      }
    }
    WriteHost(Host(files.gInventoryFile), text);
    std::int32_t error = datafiles::SaveInventorySummary(files, "Last Updated:  12/10/2026  9:30:00 AM",
                                                         drives.gDriveLetters, drives.gDriveIcons, drives.gDriveCount,
                                                         summary);
    if (error != 0) std::fprintf(stderr, "invsum.dat not written: %d\n", error);
    // The summary is the later of the two, as a finished update leaves them.
    const auto t = fs::last_write_time(Host(files.gInventoryFile));
    fs::last_write_time(Host(files.gInvSumFile), t + std::chrono::seconds(1));
    inventoryBytes = ReadHost(Host(files.gInventoryFile));
    summaryBytes = ReadHost(Host(files.gInvSumFile));
  }
  ~World() {
    platform::SetMessageBoxes(nullptr);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(work, ec); it != fs::recursive_directory_iterator(); ++it) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(work, ec);
  }
  static void Reset() {
    App() = ProgramState{};
    App().decl.gAppPath = "C:\\app\\";
    App().decl.files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
  }
  static std::string Host(const std::string& dos) { return *platform::CurrentDriveMap().ToHost(dos); }
};

// One start: the splash's tick opens the main window, whose load draws the System Inventory;
// the events that follow paint it. Returns the totals row's Total as drawn.
std::string Start(World& w, std::unique_ptr<frmLauncher>& window) {
  frmSplash splash(App(), [&] {
    window = std::make_unique<frmLauncher>(&w.player, App());
    window->Form_Load();
    window->show();
  });
  splash.timHoldSplash_Timer();
  QApplication::processEvents();
  platform::FlexGrid& g = *PaneUi(window->Pane()).grdTotals;
  return g.TextMatrix(g.Rows() - 1, 2);
}

// Made once for each size, gone before the application object.
std::map<std::int64_t, std::unique_ptr<World>> gWorlds;
World& WorldOf(std::int64_t lines) {
  auto& w = gWorlds[lines];
  if (!w) w = std::make_unique<World>(lines);
  return *w;
}

// The world's files as their drives, and its box counter reset.
void Enter(World& w) {
  platform::SetDriveMap(platform::DriveMap({{'C', w.work + "/c"}, {'D', w.work + "/d"}}));
  platform::SetMessageBoxes(&w.boxes);
  w.boxes.shown = 0;
}

// One timed start: `prepare` before it and `check` after it are not timed. False, with the
// bench failed, when the start drew the wrong Total or `check` fails (said as `checkFails`).
bool TimedStart(benchmark::State& state, World& w, const std::function<void()>& prepare = {},
                const std::function<bool()>& check = {}, const char* checkFails = "") {
  state.PauseTiming();
  World::Reset();
  if (prepare) prepare();
  std::unique_ptr<frmLauncher> window;
  state.ResumeTiming();
  const std::string total = Start(w, window);
  state.PauseTiming();
  window.reset();
  QApplication::processEvents();
  const bool checked = !check || check();
  state.ResumeTiming();
  return gVerdicts.Check(state, "the start drew a Total of " + total + " for " + std::to_string(w.lines) + " lines",
                         total == std::to_string(w.lines)) &&
         gVerdicts.Check(state, checkFails, checked);
}

void BM_Start(benchmark::State& state) {
  World& w = WorldOf(state.range(0));
  Enter(w);
  for (auto _ : state) {
    if (!TimedStart(state, w)) return;
  }
  const datafiles::DataFileNames& files = App().decl.files;
  gVerdicts.Check(state, std::to_string(w.boxes.shown) + " message box(es) during the starts", w.boxes.shown == 0);
  gVerdicts.Check(state, "the start changed inventory.dat", ReadHost(World::Host(files.gInventoryFile)) == w.inventoryBytes);
  gVerdicts.Check(state, "the start changed invsum.dat", ReadHost(World::Host(files.gInvSumFile)) == w.summaryBytes);
}
BENCHMARK(BM_Start)->Arg(1)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same start with the summary older than inventory.dat, as a kill between their writes
// leaves it: the summary is counted again from the 1,000,000 lines before the view is drawn
// (its counts were right, so it is written back with the same bytes).
void BM_StartRecount(benchmark::State& state) {
  World& w = WorldOf(state.range(0));
  Enter(w);
  const std::string inventoryHost = World::Host(App().decl.files.gInventoryFile);
  const std::string summaryHost = World::Host(App().decl.files.gInvSumFile);
  const auto behind = [&] {
    fs::last_write_time(summaryHost, fs::last_write_time(inventoryHost) - std::chrono::seconds(1));
  };
  // invsum.dat written again: newer than inventory.dat.
  const auto recounted = [&] { return fs::last_write_time(summaryHost) > fs::last_write_time(inventoryHost); };
  for (auto _ : state) {
    if (!TimedStart(state, w, behind, recounted, "the start did not write invsum.dat again")) return;
  }
  gVerdicts.Check(state, std::to_string(w.boxes.shown) + " message box(es) during the starts", w.boxes.shown == 0);
  gVerdicts.Check(state, "the recount changed invsum.dat's bytes", ReadHost(summaryHost) == w.summaryBytes);
  // In step again for any start that follows.
  fs::last_write_time(summaryHost, fs::last_write_time(inventoryHost) + std::chrono::seconds(1));
}
BENCHMARK(BM_StartRecount)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  gWorlds.clear();
  benchmark::Shutdown();

  std::printf("\nstart to the drawn System Inventory, warm cache; means of the iterations\n");
  double small = 0, large = 0;
  const bool haveSmall = reporter.Ms("BM_Start/1", small);
  if (haveSmall) gVerdicts.Figure("start, inventory.dat of 1 line", small, "ms");
  if (reporter.Ms("BM_Start/1000000", large)) {
    gVerdicts.Figure("start, inventory.dat of 1,000,000 lines", large, "ms");
    if (haveSmall) gVerdicts.Under("  longer than the start with 1 line", large - small, 50, "ms");
  }
  if (reporter.Ms("BM_StartRecount/1000000", large)) {
    gVerdicts.Figure("start, 1,000,000 lines, the summary counted again", large, "ms");
  }
  return gVerdicts.Finish();
}
