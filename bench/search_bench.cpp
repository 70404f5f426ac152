// The keyword search's core over a generated inventory of 1,000,000 distinct files:
//   BM_SearchPooled       one phrase, all three options on, the pool of threads, warm cache:
//                         1,000,000 inventory lines (one status call each), 10,000 notes,
//                         result.dat written, the hits sorted as the Result view shows them
//   BM_SearchOneThread    the same on the calling thread alone (for comparison)
//   BM_SearchCold...      the same two with the kernel's name cache dropped before each run
//                         (echo 2 > /proc/sys/vm/drop_caches: dentries and inodes; needs root)
//   BM_SearchThree        three phrases, pooled
//   BM_GrepCount          `grep -i -c` of the phrase over the same inventory.dat (the yardstick)
//   BM_SearchParts/n      pooled, the phrase with no option (0: reading, parsing, status calls)
//                         and with each option alone (1 attributes, 2 notes, 3 embedded)
// Every run checks its work: the number of hits against the count the generator knows, and
// result.dat byte for byte against the one-thread search's. Before the runs, the empty phrase
// with the attributes alone must list all 1,000,000 files, and a sample of the tree must be
// distinct files (one link each, inodes of their own). Then the figures are printed beside
// their goals; the exit status is not 0 when a check failed.
//
// The tree is made once in $TOLVAN_BENCH_SEARCH_TREE (default /tmp/tolvan-search-tree) and
// kept: 1,000 folders of 1,000 files of 200 bytes each (sparse: no data blocks), each with a
// modification time of its own spread over 18 years. Making it takes a minute or so.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "analysis/audioproperties.h"
#include "datafiles/datafilenames.h"
#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "inventory/searchcore.h"
#include "inventory/searchresult.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "verdicts.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 1000, kNamesPerFolder = 1000, kNotes = 10000;
constexpr int kFiles = kFolders * kNamesPerFolder;
constexpr const char* kPhrase = "jazz";
constexpr const char* kThreePhrases = "jazz, velvet morning, take 1#";
constexpr const char* kTreeMark = "distinct files: 1000 folders x 1000, 200 bytes, own times\n";

bench::Verdicts gVerdicts;

std::uint64_t gRandom = 0x9E3779B97F4A7C15ULL;
unsigned Next() {
  gRandom = gRandom * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<unsigned>(gRandom >> 33);
}

const char* const kGenres[] = {"Rock", "Pop", "Classical", "Jazz", "Blues", "Folk", "Ambient", "Soundtrack"};
const char* const kWords[] = {"Blue", "Night", "Morning", "River", "Stone", "Glass", "Summer", "Paper", "Iron", "Velvet"};

std::string FolderName(int k) {
  return std::string("Music/") + kWords[k % 10] + " " + kWords[(k / 10) % 10] + " " + std::to_string(k) + "/Disc 1";
}
std::string FileName(int k, int f) {
  return "Track " + std::to_string(f) + " " + kWords[(k + f) % 10] + (f % 7 == 0 ? ".mp3" : ".wav");
}

// 2005-01-01 plus up to 18 years, a different second for nearly every file.
std::time_t FileTime(int k, int f) {
  std::uint64_t x = static_cast<std::uint64_t>(k) * 1000003u + static_cast<std::uint64_t>(f) * 7919u + 12345u;
  x ^= x >> 17;
  x *= 0xED5AD4BBu;
  x ^= x >> 11;
  return static_cast<std::time_t>(1104537600 + x % (18ull * 365 * 86400));
}

[[noreturn]] void Fatal(const std::string& what) {
  std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  std::exit(2);
}

void MakeFolders(const std::string& root, int from, int to) {
  for (int k = from; k < to; ++k) {
    const std::string folder = root + "/" + FolderName(k);
    fs::create_directories(folder);
    for (int f = 0; f < kNamesPerFolder; ++f) {
      const std::string name = folder + "/" + FileName(k, f);
      const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      const timespec times[2] = {{FileTime(k, f), 0}, {FileTime(k, f), 0}};
      if (fd < 0 || ::ftruncate(fd, 200) != 0 || ::futimens(fd, times) != 0) Fatal("cannot make " + name);
      ::close(fd);
    }
  }
}

std::string TreeRoot() {
  const char* env = std::getenv("TOLVAN_BENCH_SEARCH_TREE");
  const std::string root = env && *env ? env : "/tmp/tolvan-search-tree";
  const std::string mark = root + "/.complete";
  {
    std::ifstream in(mark);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text == kTreeMark) return root;
  }
  fs::remove_all(root);
  std::fprintf(stderr, "making the tree of %d distinct files in %s ...\n", kFiles, root.c_str());
  // Four threads: the machine is shared.
  std::vector<std::thread> makers;
  for (int t = 0; t < 4; ++t) makers.emplace_back(MakeFolders, root, t * kFolders / 4, (t + 1) * kFolders / 4);
  for (std::thread& t : makers) t.join();
  std::ofstream(mark) << kTreeMark;
  return root;
}

// A sample of the tree: one file in 997, each a regular file of 200 bytes with one link and
// an inode of its own.
void CheckTreeIsDistinct(const std::string& root) {
  std::set<std::pair<dev_t, ino_t>> inodes;
  int sampled = 0;
  for (int i = 0; i < kFiles; i += 997) {
    const int k = i / kNamesPerFolder, f = i % kNamesPerFolder;
    const std::string name = root + "/" + FolderName(k) + "/" + FileName(k, f);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 200 || st.st_nlink != 1) {
      gVerdicts.Failed("the tree is not 1,000,000 distinct files: " + name);
      return;
    }
    inodes.emplace(st.st_dev, st.st_ino);
    ++sampled;
  }
  if (static_cast<int>(inodes.size()) != sampled) gVerdicts.Failed("files of the tree share inodes");
}

std::string DosPath(int k, int f) {
  std::string p = "C:\\" + FolderName(k) + "\\" + FileName(k, f);
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

inventory::SearchOutcome RunSearch(const datafiles::DataFileNames& files, const char* text,
                                   inventory::SearchOptions options, unsigned threads) {
  // The notes are part of the work: userdb.dat is read once per search.
  datafiles::UserDBContents contents = datafiles::ReadUserDB(files);
  inventory::SearchRequest request;
  request.searchText = text;
  request.options = options;
  request.inventoryFile = files.gInventoryFile;
  request.resultFile = files.gResultFile;
  request.notes = &contents.records;
  request.threads = threads;
  return inventory::SearchInventory(request);
}

struct Setup {
  std::string root;
  datafiles::DataFileNames files;
  std::string hostInventory;
  std::size_t expectedHits = 0;  // lines the phrase must hit, as the generator made them
  std::map<std::string, std::string> referenceResult;  // result.dat of the one-thread search, by text

  Setup() {
    root = TreeRoot();
    CheckTreeIsDistinct(root);
    fs::create_directories(root + "/app/data");
    platform::SetDriveMap(platform::DriveMap::Parse("C=" + root));
    files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
    hostInventory = platform::HostPathOf(files.gInventoryFile);

    // Header analysis on: every line carries its fields, a genre on one MP3 in eight.
    std::set<int> hit;  // the lines "jazz" hits: genre Jazz, or a note with the keyword
    std::string bytes;
    bytes.reserve(150u * kFiles);
    analysis::AudioProperties props;
    for (int k = 0; k < kFolders; ++k) {
      for (int f = 0; f < kNamesPerFolder; ++f) {
        props.Clear();
        const bool mp3 = f % 7 == 0;
        props.gAudioFileType = mp3 ? "MPEG" : "WAVE";
        props.gAudioBits = "16 bit";
        props.gAudioChannels = "Stereo";
        props.gAudioEncoding = mp3 ? "Layer 3" : "PCM";
        props.gAudioSampleRate = "44100 Hz";
        if (mp3) {
          props.gAudioArtist = std::string(kWords[Next() % 10]) + " Ensemble";
          props.gAudioAlbum = std::string(kWords[Next() % 10]) + " Sessions";
          props.gAudioName = std::string(kWords[Next() % 10]) + " " + kWords[Next() % 10];
          props.gAudioGenre = kGenres[Next() % 8];
          props.gAudioYear = std::to_string(1960 + Next() % 60);
          if (props.gAudioGenre == "Jazz") hit.insert(k * kNamesPerFolder + f);
        } else {
          props.gAudioName = std::string(kWords[Next() % 10]) + " take " + std::to_string(f);
          props.gAudioCreationDate = "1998-04-12";
          props.gAudioSoftware = "Sound Forge 4.5";
        }
        datafiles::AppendStoredInventoryLine(DosPath(k, f), &props, bytes);
      }
    }
    platform::OutFile out(files.gInventoryFile, platform::OutFile::Mode::Create);
    out.Write(bytes);
    out.Close();

    std::string db;
    for (int n = 0; n < kNotes; ++n) {
      datafiles::UserDBRecord r;
      const int k = static_cast<int>(Next() % kFolders), f = static_cast<int>(Next() % kNamesPerFolder);
      r.Path = DosPath(k, f);
      r.Caption = std::string("Take ") + std::to_string(n);
      r.Subject = std::string(kWords[n % 10]) + " session, late";
      r.Keywords = n % 5 == 0 ? "jazz, live" : "studio";
      r.Players = "the house band";
      if (n % 5 == 0) hit.insert(k * kNamesPerFolder + f);
      db += r.Bytes();
    }
    platform::OutFile udb(files.gUserDBFile, platform::OutFile::Mode::Create);
    udb.Write(db);
    udb.Close();
    expectedHits = hit.size();

    // Every file exists and is statted: the empty phrase lists them all.
    const inventory::SearchOutcome all = RunSearch(files, "", {true, false, false}, 0);
    if (all.hits.size() != static_cast<std::size_t>(kFiles) || !all.failure.empty()) {
      gVerdicts.Failed("the empty phrase listed " + std::to_string(all.hits.size()) + " of " +
                       std::to_string(kFiles) + " files " + all.failure);
    }
    // The one-thread search gives the reference result.dat of each text.
    for (const char* text : {kPhrase, kThreePhrases}) {
      const inventory::SearchOutcome one = RunSearch(files, text, {true, true, true}, 1);
      if (!one.failure.empty()) gVerdicts.Failed("one-thread search: " + one.failure);
      referenceResult[text] = platform::ReadWholeFile(files.gResultFile);
      if (text == std::string(kPhrase) && one.hits.size() != expectedHits) {
        gVerdicts.Failed("the one-thread search found " + std::to_string(one.hits.size()) + " hits, the tree has " +
                         std::to_string(expectedHits));
      }
    }
  }
};

Setup& Data() {
  static Setup setup;
  return setup;
}

// CPU time of the whole process, every thread, user and system.
double ProcessCpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Drops the kernel's dentries and inodes (not the page cache); an error text when it cannot.
std::string DropNameCache() {
  ::sync();
  std::FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w");
  if (!f) return "cannot open /proc/sys/vm/drop_caches (needs root)";
  const bool ok = std::fputs("2\n", f) >= 0;
  return std::fclose(f) == 0 && ok ? "" : "cannot write /proc/sys/vm/drop_caches";
}

// One search as the pane runs it (the sort included), checked against the generator's count
// and the one-thread search's result.dat.
void SearchAndCheck(benchmark::State& state, const std::string& name, const char* text, unsigned threads, bool cold) {
  Setup& s = Data();
  std::size_t hits = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      const std::string why = DropNameCache();
      if (!why.empty()) {
        state.SkipWithError(why.c_str());
        gVerdicts.Failed(name + ": " + why);
        break;
      }
      state.ResumeTiming();
    }
    const double cpu0 = ProcessCpuMs();
    inventory::SearchOutcome outcome = RunSearch(s.files, text, {true, true, true}, threads);
    std::vector<std::string> shown;
    shown.reserve(outcome.hits.size());
    for (const auto& h : outcome.hits) shown.push_back(AbbreviatePath(h.pathWithoutDrive, 73));
    inventory::SortSearchRows(outcome.hits, shown);
    hits = outcome.hits.size();
    benchmark::DoNotOptimize(outcome);
    cpuMs += ProcessCpuMs() - cpu0;

    state.PauseTiming();
    std::string failure = outcome.failure;
    if (failure.empty() && text == std::string(kPhrase) && hits != s.expectedHits) {
      failure = std::to_string(hits) + " hits, the tree has " + std::to_string(s.expectedHits);
    }
    if (failure.empty() && platform::ReadWholeFile(s.files.gResultFile) != s.referenceResult[text]) {
      failure = "result.dat differs from the one-thread search's";
    }
    if (!failure.empty()) {
      state.SkipWithError(failure.c_str());
      gVerdicts.Failed(name + ": " + failure);
      break;
    }
    state.ResumeTiming();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["threads"] = inventory::SearchThreads(threads);
  // All threads' CPU per search, which the machine's other load changes less than the time.
  state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

void BM_SearchPooled(benchmark::State& state) { SearchAndCheck(state, "pooled", kPhrase, 0, false); }
void BM_SearchOneThread(benchmark::State& state) { SearchAndCheck(state, "one thread", kPhrase, 1, false); }
void BM_SearchColdPooled(benchmark::State& state) { SearchAndCheck(state, "cold, pooled", kPhrase, 0, true); }
void BM_SearchColdOneThread(benchmark::State& state) { SearchAndCheck(state, "cold, one thread", kPhrase, 1, true); }
void BM_SearchThree(benchmark::State& state) { SearchAndCheck(state, "three phrases", kThreePhrases, 0, false); }

void BM_GrepCount(benchmark::State& state) {
  // Not into /dev/null: grep sees that and stops at the first match.
  const std::string command =
      std::string("grep -i -c ") + kPhrase + " '" + Data().hostInventory + "' > '" + Data().hostInventory + ".count'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("grep did not run");
      gVerdicts.Failed("grep did not run");
      break;
    }
  }
}

// The parts of the cost: no option (reading, parsing and the status calls), then each option alone.
void BM_SearchParts(benchmark::State& state) {
  Setup& s = Data();
  for (auto _ : state) {
    const int part = static_cast<int>(state.range(0));
    inventory::SearchOutcome outcome = RunSearch(s.files, kPhrase, {part == 1, part == 2, part == 3}, 0);
    if (!outcome.failure.empty()) {
      state.SkipWithError(outcome.failure.c_str());
      gVerdicts.Failed("BM_SearchParts: " + outcome.failure);
      break;
    }
    benchmark::DoNotOptimize(outcome);
  }
}

#define SEARCH_RUNS(n) Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(n)->ReportAggregatesOnly(true)
BENCHMARK(BM_SearchPooled)->SEARCH_RUNS(7);
BENCHMARK(BM_SearchOneThread)->SEARCH_RUNS(3);
BENCHMARK(BM_SearchColdPooled)->SEARCH_RUNS(3);
BENCHMARK(BM_SearchColdOneThread)->SEARCH_RUNS(3);
BENCHMARK(BM_SearchThree)->SEARCH_RUNS(5);
BENCHMARK(BM_GrepCount)->SEARCH_RUNS(5);
BENCHMARK(BM_SearchParts)->DenseRange(0, 3)->SEARCH_RUNS(3);

// The median of each benchmark, by name, as the console shows it.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& r : reports) {
      if (r.error_occurred) continue;
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        const std::string name = r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
        medians[name] = r.GetAdjustedRealTime();
        if (auto it = r.counters.find("cpu_ms"); it != r.counters.end()) cpuMedians[name] = it->second.value;
      }
    }
    ConsoleReporter::ReportRuns(reports);
  }
  std::map<std::string, double> medians;     // ms
  std::map<std::string, double> cpuMedians;  // ms of CPU, all threads
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Data();  // the tree, the data files and the checks before any timing
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  auto& m = reporter.medians;
  auto cpu = [&](const char* name) {
    auto it = reporter.cpuMedians.find(name);
    return it == reporter.cpuMedians.end() ? std::string() : "; CPU of all threads " + bench::Verdicts::Number(it->second) + " ms";
  };
  auto has = [&](const char* name) { return m.count(name) != 0; };
  const std::string pool = std::to_string(inventory::SearchThreads(0)) + " threads on " +
                           std::to_string(std::thread::hardware_concurrency()) + " cores";
  std::printf("\n1,000,000 distinct files, 10,000 notes, all three options on, phrase \"%s\"; medians\n", kPhrase);
  if (has("BM_SearchPooled")) {
    gVerdicts.Under("search, pooled (" + pool + "), warm", m["BM_SearchPooled"], 1000, "ms");
    if (reporter.cpuMedians.count("BM_SearchPooled")) {
      gVerdicts.Figure("  its CPU time, all threads", reporter.cpuMedians["BM_SearchPooled"], "ms");
    }
  }
  if (has("BM_SearchOneThread")) {
    gVerdicts.Figure("search, one thread, warm", m["BM_SearchOneThread"], "ms",
                     (has("BM_SearchPooled") ? "(pooled: " + bench::Verdicts::Number(m["BM_SearchOneThread"] / m["BM_SearchPooled"]) +
                                                   " x faster" : std::string("(")) + cpu("BM_SearchOneThread") + ")");
  }
  if (has("BM_SearchColdPooled")) {
    gVerdicts.Figure("search, pooled, cold name cache (dentries and inodes dropped)", m["BM_SearchColdPooled"], "ms",
                     "(no goal of its own; the goal is the warm figure's" + cpu("BM_SearchColdPooled") + ")");
  }
  if (has("BM_SearchColdOneThread")) {
    gVerdicts.Figure("search, one thread, cold name cache", m["BM_SearchColdOneThread"], "ms",
                     "(" + cpu("BM_SearchColdOneThread").substr(2) + ")");
  }
  if (has("BM_SearchThree")) gVerdicts.Figure("search, pooled, three phrases", m["BM_SearchThree"], "ms");
  if (has("BM_GrepCount")) {
    gVerdicts.Figure("grep -i -c over inventory.dat (yardstick)", m["BM_GrepCount"], "ms",
                     has("BM_SearchPooled")
                         ? "(the pooled search " + bench::Verdicts::Number(m["BM_SearchPooled"] / m["BM_GrepCount"]) + " x grep)"
                         : "");
  }
  const char* parts[] = {"no option", "attributes alone", "notes alone", "embedded alone"};
  for (int p = 0; p < 4; ++p) {
    const std::string name = "BM_SearchParts/" + std::to_string(p);
    if (m.count(name)) gVerdicts.Figure(std::string("search, pooled, ") + parts[p], m[name], "ms");
  }
  return gVerdicts.Finish();
}
