// The inventory on a generated tree of 1,000,000 entries (about 50,000 folders; a third of the
// names audio or playlist ones in mixed case), warm cache:
//   BM_FindListing       find -xdev listing the tree, no patterns (the yardstick)
//   BM_FindPatterns      find -xdev with the eleven -iname patterns
//   BM_Scan              ScanFolderForAudio over the tree's drive
//   BM_Update            the whole UpdateInventory without header analysis (scan, grid,
//                        inventory.dat, invsum.dat, orphan search)
//   BM_InventoryDetail   ShowInventoryDetail of a 1,000,000-line inventory.dat with 10,000
//                        notes: read, marked, filled and sorted; rss_MB/peak_MB after it
//   BM_OrphanSearch      10,000 notes against the 1,000,000-line inventory.dat
// Each benchmark checks its work (the files the scan and the update find, the rows listed, the
// orphans found); the figures are then printed beside their goals, and the exit status is not 0
// when a check failed.
// The tree is made once in $TOLVAN_BENCH_TREE (default /tmp/tolvan-inventory-tree) and kept.
// For a clean peak_MB of the listing, run it alone: --benchmark_filter=InventoryDetail.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "pane/dbviewer.h"
#include "inventory/folderscan.h"
#include "inventory/orphans.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "offscreen.h"
#include "platform/core/drives.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "support/fake_mediaplayer.h"
#include "support/pane_access.h"
#include "times_reporter.h"
#include "verdicts.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTop = 50, kMiddle = 20, kLeaves = 50, kFilesPerLeaf = 19;  // 51,050 folders, 950,000 files
constexpr int kListLines = 1000000, kNotes = 10000;
// Every third name of a leaf folder is an audio or playlist one; half the notes are on no line.
constexpr int kAudioFiles = kTop * kMiddle * kLeaves * ((kFilesPerLeaf + 2) / 3);
constexpr int kOrphans = kNotes / 2;

bench::Verdicts gVerdicts;
// What the Inventory Detail listing left resident, and the run's peak, in MB.
double gDetailRssMB = -1, gDetailPeakMB = -1;

std::uint64_t gSeed = 0x9E3779B97F4A7C15ULL;
unsigned Next() {
  gSeed = gSeed * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<unsigned>(gSeed >> 33);
}

std::string MixedCase(std::string s) {
  for (char& c : s) {
    if (Next() % 2) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return s;
}

const char* const kAudio[] = {"wav", "mp3", "mid", "midi", "rmi", "aif", "aifc", "aiff", "au", "snd", "m3u"};
const char* const kOther[] = {"txt", "jpg", "png", "nfo", "wave", "mp4", "cue", "log", "pdf", "doc"};

std::string TreeRoot() {
  const char* env = std::getenv("TOLVAN_BENCH_TREE");
  const std::string root = env && *env ? env : "/tmp/tolvan-inventory-tree";
  if (fs::exists(root + "/.complete")) return root;
  fs::remove_all(root);
  std::fprintf(stderr, "making the tree in %s ...\n", root.c_str());
  for (int a = 0; a < kTop; ++a) {
    for (int b = 0; b < kMiddle; ++b) {
      for (int c = 0; c < kLeaves; ++c) {
        const std::string folder = root + "/Artist " + std::to_string(a) + "/Album " + std::to_string(b) +
                                   "/Disc " + std::to_string(c);
        fs::create_directories(folder);
        for (int f = 0; f < kFilesPerLeaf; ++f) {
          std::string name = "Track " + std::to_string(Next() % 100000) + " " + std::to_string(f) + ".";
          name += f % 3 == 0 ? MixedCase(kAudio[Next() % 11]) : std::string(kOther[Next() % 10]);
          int fd = ::open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
          if (fd >= 0) ::close(fd);
        }
      }
    }
  }
  std::FILE* done = std::fopen((root + "/.complete").c_str(), "w");
  if (done) std::fclose(done);
  return root;
}

double RssMB(const char* field) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, field, std::strlen(field)) == 0) kb = std::atof(line + std::strlen(field));
  }
  std::fclose(f);
  return kb / 1024.0;
}

class QuietBoxes : public platform::MessageBoxService {
 public:
  int Show(std::string_view text, int, std::string_view title) override {
    std::fprintf(stderr, "[box] %.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
    return platform::vbNo;
  }
};

// The program on drives C: (a small folder with the program and its data) and D: (the tree).
struct World {
  std::string tree = TreeRoot();
  std::string work;
  QuietBoxes boxes;
  testing_support::FakeMediaPlayer player;
  std::unique_ptr<frmLauncher> window;

  World() {
    char templ[] = "/tmp/tolvan-inventory-bench-XXXXXX";
    work = ::mkdtemp(templ);
    fs::create_directories(work + "/c/app/data");
    fs::create_directories(work + "/c/list");
    platform::SetDriveMap(platform::DriveMap({{'C', work + "/c"}, {'D', tree}}));
    platform::SetMessageBoxes(&boxes);
    App().decl.gAppPath = "C:\\app\\";
    UseData("C:\\app\\data\\");
    window = std::make_unique<frmLauncher>(&player, App());
    MakeListing();
  }
  ~World() {
    window.reset();
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(work, ec); it != fs::recursive_directory_iterator(); ++it) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(work, ec);
  }
  void UseData(const std::string& dataPath) { App().decl.files = datafiles::DataFileNames::InFolder(dataPath); }

  // C:\list\: an inventory.dat of a million lines and a userdb.dat of 10,000 notes, half of
  // them on listed files.
  void MakeListing() {
    UseData("C:\\list\\");
    std::string lines;
    std::vector<std::string> paths;
    for (int i = 0; i < kListLines; ++i) {
      std::string path = std::string(i % 4 == 0 ? "D:" : "C:") + "\\Music\\Collection\\Artist " +
                         std::to_string(Next() % 5000) + "\\Album " + std::to_string(Next() % 20) + "\\" +
                         std::to_string(Next() % 30) + " - Title of track " + std::to_string(Next() % 100000) + "." +
                         kAudio[Next() % 11];
      datafiles::AppendStoredInventoryLine(path, nullptr, lines);
      if (i % 200 == 0) paths.push_back(path);
    }
    std::string notes;
    for (int n = 0; n < kNotes; ++n) {
      datafiles::UserDBRecord r;
      r.Path = n % 2 == 0 && static_cast<std::size_t>(n / 2) < paths.size() ? paths[static_cast<std::size_t>(n / 2)]
                                                                           : "C:\\Gone\\note " + std::to_string(n) + ".wav";
      r.Caption = "note";
      notes += r.Bytes();
    }
    WriteHost(work + "/c/list/inventory.dat", lines);
    WriteHost(work + "/c/list/userdb.dat", notes);
    UseData("C:\\app\\data\\");
  }
  static void WriteHost(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
};

// Made on first use, gone before the application object.
std::unique_ptr<World> gWorld;
World& TheWorld() {
  if (!gWorld) gWorld = std::make_unique<World>();
  return *gWorld;
}

void RunFind(benchmark::State& state, const std::string& tail) {
  const std::string command = "find '" + TheWorld().tree + "' -xdev " + tail + " > /dev/null";
  if (std::system(command.c_str()) != 0) state.SkipWithError("find failed");  // warms the cache too
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("find failed");
  }
}

void BM_FindListing(benchmark::State& state) { RunFind(state, ""); }

void BM_FindPatterns(benchmark::State& state) {
  std::string patterns = "\\(";
  for (int i = 0; i < 11; ++i) patterns += std::string(i ? " -o" : "") + " -iname '*." + kAudio[i] + "'";
  RunFind(state, patterns + " \\)");
}

void BM_Scan(benchmark::State& state) {
  TheWorld();
  std::size_t found = 0;
  for (auto _ : state) {
    inventory::DriveTypeCounts counts{};
    std::vector<std::string> paths = inventory::ScanFolderForAudio("D:\\", 2, counts);
    found = paths.size();
    benchmark::DoNotOptimize(paths.data());
  }
  state.counters["files"] = static_cast<double>(found);
  gVerdicts.Check(state, "the scan found " + std::to_string(found) + " files, the tree has " + std::to_string(kAudioFiles),
        found == static_cast<std::size_t>(kAudioFiles));
}

void BM_Update(benchmark::State& state) {
  World& w = TheWorld();
  w.UseData("C:\\app\\data\\");
  App().io.prefs.gEnableEmbedded = 0;
  for (auto _ : state) w.window->Pane().UpdateInventory();
  const auto total = PaneDb(w.window->Pane()).summary.gTypeTotals[0];
  state.counters["total"] = static_cast<double>(total);
  std::error_code ec;
  const auto bytes = fs::file_size(w.work + "/c/app/data/inventory.dat", ec);
  state.counters["inventory_MB"] = ec ? 0.0 : static_cast<double>(bytes) / 1e6;
  if (!gVerdicts.Check(state, "the update counted " + std::to_string(total) + " files, the tree has " + std::to_string(kAudioFiles),
             total == kAudioFiles)) {
    return;
  }
  std::size_t lines = 0;
  if (!ec) {
    datafiles::InventoryReader reader(App().decl.files.gInventoryFile);
    datafiles::InventoryLine line;
    while (reader.Next(line, 4)) ++lines;
  }
  gVerdicts.Check(state, "the update wrote " + std::to_string(lines) + " inventory lines, the tree has " + std::to_string(kAudioFiles),
        lines == static_cast<std::size_t>(kAudioFiles));
}

void BM_InventoryDetail(benchmark::State& state) {
  World& w = TheWorld();
  w.UseData("C:\\list\\");
  PaneDb(w.window->Pane()).gSelectedDrive.clear();
  PaneDb(w.window->Pane()).gTypeFilter = "total";
  for (auto _ : state) w.window->Pane().ShowInventoryDetail();
  const std::int64_t rows = PaneDb(w.window->Pane()).gListRow;
  state.counters["rows"] = static_cast<double>(rows);
  gDetailRssMB = RssMB("VmRSS:");
  gDetailPeakMB = RssMB("VmHWM:");
  state.counters["rss_MB"] = gDetailRssMB;
  state.counters["peak_MB"] = gDetailPeakMB;
  const int gridRows = PaneUi(w.window->Pane()).grdTotals->Rows();
  gVerdicts.Check(state, "Inventory Detail listed " + std::to_string(rows) + " lines in " + std::to_string(gridRows) +
                   " grid rows, inventory.dat has " + std::to_string(kListLines),
        rows == kListLines && gridRows > kListLines);
  PaneUi(w.window->Pane()).grdTotals->SetRows(1);
  w.UseData("C:\\app\\data\\");
}

void BM_OrphanSearch(benchmark::State& state) {
  World& w = TheWorld();
  w.UseData("C:\\list\\");
  datafiles::Preferences prefs;
  ReconcileDBState reconcile;
  for (auto _ : state) inventory::FindOrphanedRecords(App().decl.files, prefs, reconcile);
  state.counters["orphans"] = static_cast<double>(reconcile.gOrphanRecordCount);
  w.UseData("C:\\app\\data\\");
  gVerdicts.Check(state, "the orphan search found " + std::to_string(reconcile.gOrphanRecordCount) + " orphans of " +
                   std::to_string(kOrphans),
        reconcile.gOrphanRecordCount == kOrphans);
}

BENCHMARK(BM_FindListing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FindPatterns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Update)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_InventoryDetail)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OrphanSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  bench::ChooseOffscreenPlatform();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  gWorld.reset();
  benchmark::Shutdown();

  std::printf("\n%d folders, %d files (%d audio or playlist ones), warm cache; means of the iterations\n",
              1 + kTop + kTop * kMiddle + kTop * kMiddle * kLeaves, kTop * kMiddle * kLeaves * kFilesPerLeaf, kAudioFiles);
  double listing = 0, ms = 0;
  const bool haveListing = reporter.Ms("BM_FindListing", listing);
  if (haveListing) gVerdicts.Figure("find -xdev listing the tree (the yardstick)", listing, "ms");
  if (reporter.Ms("BM_FindPatterns", ms)) gVerdicts.Figure("find -xdev with the eleven -iname patterns", ms, "ms");
  if (reporter.Ms("BM_Scan", ms)) {
    gVerdicts.RatioUnder("ScanFolderForAudio over the tree", ms, "the listing", haveListing ? listing : 0, 1.2, "ms");
  }
  if (reporter.Ms("BM_Update", ms)) {
    gVerdicts.RatioUnder("UpdateInventory, no header analysis", ms, "the listing", haveListing ? listing : 0, 2, "ms");
  }
  if (reporter.Ms("BM_InventoryDetail", ms)) {
    gVerdicts.Under("Inventory Detail of 1,000,000 lines and 10,000 notes", ms, 3000, "ms");
    gVerdicts.Under("  resident after it (VmRSS)", gDetailRssMB, 500, "MB");
    gVerdicts.Figure("  the run's peak so far (VmHWM)", gDetailPeakMB, "MB",
                     "(the listing's own when run alone: --benchmark_filter=InventoryDetail)");
  }
  if (reporter.Ms("BM_OrphanSearch", ms)) gVerdicts.Under("orphan search, 10,000 notes against 1,000,000 lines", ms, 1000, "ms");
  return gVerdicts.Finish();
}
