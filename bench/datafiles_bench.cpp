// inventory.dat written and read back against a plain buffered stream, and the lookup of many
// notes' paths in a large inventory. Each benchmark checks its work (every line read back as
// written, the orphans found); the figures are then printed beside their goals, and the exit
// status is not 0 when a check failed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datafiles/datafilenames.h"
#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "times_reporter.h"
#include "verdicts.h"

namespace {

constexpr int kLines = 1000000;
constexpr int kNotes = 10000;
constexpr int kOrphans = kNotes / 2;  // the even-numbered notes name no listed file

bench::Verdicts gVerdicts;

// A temporary folder as drive C:, the data folder inside it.
struct Workspace {
  Workspace() {
    std::string templ = (std::filesystem::temp_directory_path() / "tolvan-bench-XXXXXX").string();
    if (!::mkdtemp(templ.data())) std::abort();
    root = templ;
    std::filesystem::create_directories(root + "/data");
    platform::SetDriveMap(platform::DriveMap({{'C', root}}));
    files = datafiles::DataFileNames::InFolder("C:\\data\\");
  }
  ~Workspace() {
    std::error_code ec;
    for (auto& e : std::filesystem::recursive_directory_iterator(root, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
  }
  std::string Host(const std::string& name) const { return root + "/data/" + name; }

  std::string root;
  datafiles::DataFileNames files;
};

std::string PathOf(int i) {
  return "C:\\Music\\Artist " + std::to_string(i / 1000) + "\\Album " + std::to_string(i / 10 % 100) + "\\Track " +
         std::to_string(i) + " title.wav";
}

std::vector<std::vector<std::string>> DriveLists() {
  std::vector<std::vector<std::string>> lists(2);
  lists[1].reserve(kLines);
  for (int i = 0; i < kLines; ++i) lists[1].push_back(PathOf(i));
  return lists;
}

// Reads inventory.dat back, untimed: every line's path in the order written.
bool ReadsBackAsWritten(const datafiles::DataFileNames& files, const std::vector<std::string>& paths, std::string& why) {
  datafiles::InventoryReader reader(files.gInventoryFile);
  datafiles::InventoryLine line;
  std::size_t n = 0;
  std::string path;
  while (reader.Next(line)) {
    line.FullPathInto(path);
    if (n >= paths.size() || path != paths[n]) {
      why = "line " + std::to_string(n + 1) + " read back as \"" + path + "\"";
      return false;
    }
    ++n;
  }
  if (n != paths.size()) why = std::to_string(n) + " lines read back of " + std::to_string(paths.size());
  return n == paths.size();
}

void BM_InventoryWriteAndRead(benchmark::State& state) {
  Workspace ws;
  const auto source = DriveLists();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto lists = source;
    state.ResumeTiming();
    if (datafiles::WriteInventoryFile(ws.files, lists, 0, nullptr) != 0) state.SkipWithError("write failed");
    datafiles::InventoryReader reader(ws.files.gInventoryFile);
    datafiles::InventoryLine line;
    std::size_t seen = 0;
    std::size_t lines = 0;
    while (reader.Next(line)) {
      seen += line.gInvFileName.size();
      ++lines;
    }
    benchmark::DoNotOptimize(seen);
    bytes = static_cast<std::int64_t>(reader.Data().size());
    if (!gVerdicts.Check(state, "write and read: " + std::to_string(lines) + " lines read back of " + std::to_string(kLines),
               lines == static_cast<std::size_t>(kLines))) {
      return;
    }
  }
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  std::string why;
  const bool asWritten = ReadsBackAsWritten(ws.files, source[1], why);
  gVerdicts.Check(state, "write and read: " + why, asWritten);
}

// The two halves on their own.
void BM_InventoryWrite(benchmark::State& state) {
  Workspace ws;
  const auto source = DriveLists();
  for (auto _ : state) {
    state.PauseTiming();
    auto lists = source;
    state.ResumeTiming();
    if (!gVerdicts.Check(state, "write: the writer failed", datafiles::WriteInventoryFile(ws.files, lists, 0, nullptr) == 0)) return;
  }
  std::string why;
  const bool asWritten = ReadsBackAsWritten(ws.files, source[1], why);
  gVerdicts.Check(state, "write: " + why, asWritten);
}

void BM_InventoryRead(benchmark::State& state) {
  Workspace ws;
  const auto source = DriveLists();
  auto lists = source;
  if (!gVerdicts.Check(state, "read: the writer failed", datafiles::WriteInventoryFile(ws.files, lists, 0, nullptr) == 0)) return;
  std::string why;
  const bool asWritten = ReadsBackAsWritten(ws.files, source[1], why);
  if (!gVerdicts.Check(state, "read: " + why, asWritten)) return;
  for (auto _ : state) {
    datafiles::InventoryReader reader(ws.files.gInventoryFile);
    datafiles::InventoryLine line;
    std::size_t seen = 0, lines = 0;
    while (reader.Next(line)) {
      seen += line.gInvFileName.size();
      ++lines;
    }
    benchmark::DoNotOptimize(seen);
    if (!gVerdicts.Check(state, "read: " + std::to_string(lines) + " lines of " + std::to_string(kLines),
               lines == static_cast<std::size_t>(kLines))) {
      return;
    }
  }
}

// The same bytes through std::ofstream and std::getline, the lines already formatted; with
// `sync` the file is flushed to the disk before it is read, as the inventory's writer does.
void BM_PlainStreamWriteAndRead(benchmark::State& state) {
  const bool sync = state.range(0) != 0;
  Workspace ws;
  std::vector<std::string> stored;
  {
    auto lists = DriveLists();
    stored.reserve(kLines);
    for (const auto& path : lists[1]) {
      std::string text;
      datafiles::AppendStoredInventoryLine(path, nullptr, text);
      stored.push_back(std::move(text));
    }
  }
  const std::string file = ws.Host("plain.dat");
  for (auto _ : state) {
    {
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      for (const auto& text : stored) out << text;
    }
    if (sync) {
      int fd = ::open(file.c_str(), O_RDONLY);
      ::fsync(fd);
      ::close(fd);
    }
    std::ifstream in(file, std::ios::binary);
    std::string text;
    std::size_t seen = 0, lines = 0;
    while (std::getline(in, text)) {
      seen += text.size();
      ++lines;
    }
    benchmark::DoNotOptimize(seen);
    if (!gVerdicts.Check(state, "plain stream: " + std::to_string(lines) + " lines of " + std::to_string(kLines),
               lines == static_cast<std::size_t>(kLines))) {
      return;
    }
  }
}

// 10,000 notes, half of them on inventory lines, against 1,000,000 lines: the orphan test.
void BM_NotesAgainstInventory(benchmark::State& state) {
  Workspace ws;
  {
    auto lists = DriveLists();
    if (!gVerdicts.Check(state, "notes: the writer failed", datafiles::WriteInventoryFile(ws.files, lists, 0, nullptr) == 0)) return;
    std::ofstream out(ws.Host("userdb.dat"), std::ios::binary);
    for (int n = 0; n < kNotes; ++n) {
      datafiles::UserDBRecord r;
      r.Path = n % 2 ? PathOf(n * 97) : "C:\\Gone\\" + std::to_string(n) + ".wav";
      r.Caption = "note";
      out << r.Bytes();
    }
  }
  std::size_t orphans = 0;
  for (auto _ : state) {
    auto notes = datafiles::ReadUserDB(ws.files);
    std::vector<std::string> paths;
    paths.reserve(notes.records.size());
    for (const auto& r : notes.records) paths.emplace_back(r.Key());
    auto found = datafiles::FindPathsInInventory(ws.files.gInventoryFile, paths);
    orphans = 0;
    for (bool f : found) orphans += f ? 0 : 1;
    benchmark::DoNotOptimize(orphans);
    if (!gVerdicts.Check(state, "notes: " + std::to_string(notes.records.size()) + " notes read, " + std::to_string(orphans) +
                          " orphans found; the data hold " + std::to_string(kNotes) + " and " + std::to_string(kOrphans),
               notes.records.size() == static_cast<std::size_t>(kNotes) && orphans == static_cast<std::size_t>(kOrphans))) {
      return;
    }
  }
  state.counters["orphans"] = static_cast<double>(orphans);
}

BENCHMARK(BM_InventoryWriteAndRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_InventoryWrite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_InventoryRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainStreamWriteAndRead)->Arg(0)->Arg(1)->ArgName("synced")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NotesAgainstInventory)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n1,000,000 inventory lines, header analysis off; wall time, means of the iterations\n");
  double ms = 0, write = 0, read = 0, plain = 0, synced = 0;
  const bool haveSynced = reporter.Ms("BM_PlainStreamWriteAndRead/synced:1", synced);
  if (reporter.Ms("BM_InventoryWriteAndRead", ms)) {
    gVerdicts.RatioUnder("write inventory.dat (through its synced twin) and read it back", ms,
                         "a plain stream that syncs", haveSynced ? synced : 0, 1.5, "ms");
  }
  if (reporter.Ms("BM_InventoryWrite", write)) gVerdicts.Figure("  the write alone", write, "ms");
  if (reporter.Ms("BM_InventoryRead", read)) gVerdicts.Figure("  the read alone", read, "ms");
  if (haveSynced) gVerdicts.Figure("the same bytes, ofstream with an fsync, then getline (the yardstick)", synced, "ms");
  if (reporter.Ms("BM_PlainStreamWriteAndRead/synced:0", plain)) {
    gVerdicts.Figure("the same bytes, ofstream without an fsync, then getline", plain, "ms",
                     ms > 0 ? "(the inventory's " + bench::Verdicts::Number(ms / plain) + " x it)" : "");
  }
  if (reporter.Ms("BM_NotesAgainstInventory", ms)) gVerdicts.Under("10,000 notes against 1,000,000 lines", ms, 1000, "ms");
  return gVerdicts.Finish();
}
