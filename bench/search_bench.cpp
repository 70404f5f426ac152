// The keyword search's core over a generated inventory, warm cache:
//   BM_Search         one phrase, all three options on: 1,000,000 inventory lines whose files
//                     exist (one status call each), 10,000 notes, result.dat written, the hits
//                     sorted as the Result view shows them
//   BM_SearchThree    the same with three phrases
//   BM_GrepCount      `grep -i -c` of the phrase over the same inventory.dat (the yardstick)
//   BM_SearchParts/n  the phrase with no option (0: reading, parsing, status calls) and with
//                     each option alone (1 attributes, 2 notes, 3 embedded)
// The tree is made once in $TOLVAN_BENCH_SEARCH_TREE (default /tmp/tolvan-search-tree) and
// kept: 1,000 folders of 1,000 names each, every name of a folder a hard link to one file of
// 200 bytes, so that a million names cost a thousand files.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/audioproperties.h"
#include "datafiles/datafilenames.h"
#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "inventory/searchcore.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 1000, kNamesPerFolder = 1000, kNotes = 10000;
constexpr const char* kPhrase = "jazz";

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

std::string TreeRoot() {
  const char* env = std::getenv("TOLVAN_BENCH_SEARCH_TREE");
  const std::string root = env && *env ? env : "/tmp/tolvan-search-tree";
  if (fs::exists(root + "/.complete")) return root;
  fs::remove_all(root);
  std::fprintf(stderr, "making the tree in %s ...\n", root.c_str());
  const std::string bytes(200, 'x');
  for (int k = 0; k < kFolders; ++k) {
    const std::string folder = root + "/" + FolderName(k);
    fs::create_directories(folder);
    const std::string first = folder + "/" + FileName(k, 0);
    if (FILE* f = std::fopen(first.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    for (int n = 1; n < kNamesPerFolder; ++n) {
      const std::string name = folder + "/" + FileName(k, n);
      if (::link(first.c_str(), name.c_str()) != 0) std::perror(name.c_str());
    }
  }
  std::fclose(std::fopen((root + "/.complete").c_str(), "w"));
  return root;
}

std::string DosPath(int k, int f) {
  std::string p = "C:\\" + FolderName(k) + "\\" + FileName(k, f);
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

struct Setup {
  datafiles::DataFileNames files;
  std::vector<datafiles::UserDBRecord> notes;
  std::string hostInventory;

  Setup() {
    const std::string root = TreeRoot();
    fs::create_directories(root + "/app/data");
    platform::SetDriveMap(platform::DriveMap::Parse("C=" + root));
    files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
    hostInventory = platform::HostPathOf(files.gInventoryFile);

    // Header analysis on: every line carries its fields, a genre on one in eight.
    std::string bytes;
    bytes.reserve(220u * kFolders * kNamesPerFolder);
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
      db += r.Bytes();
    }
    platform::OutFile udb(files.gUserDBFile, platform::OutFile::Mode::Create);
    udb.Write(db);
    udb.Close();
    notes = datafiles::ReadUserDB(files).records;
  }
};

Setup& Data() {
  static Setup setup;
  return setup;
}

void RunSearch(benchmark::State& state, const char* text) {
  Setup& s = Data();
  std::size_t hits = 0;
  for (auto _ : state) {
    // The notes are part of the work: userdb.dat is read once per search.
    datafiles::UserDBContents contents = datafiles::ReadUserDB(s.files);
    inventory::SearchRequest request;
    request.searchText = text;
    request.options = {true, true, true};
    request.inventoryFile = s.files.gInventoryFile;
    request.resultFile = s.files.gResultFile;
    request.notes = &contents.records;
    inventory::SearchOutcome outcome = inventory::SearchInventory(request);
    if (!outcome.failure.empty()) state.SkipWithError(outcome.failure.c_str());
    std::vector<std::string> shown;
    shown.reserve(outcome.hits.size());
    for (const auto& h : outcome.hits) shown.push_back(AbbreviatePath(h.pathWithoutDrive, 73));
    inventory::SortSearchRows(outcome.hits, shown);
    hits = outcome.hits.size();
    benchmark::DoNotOptimize(outcome);
  }
  state.counters["hits"] = static_cast<double>(hits);
}

void BM_Search(benchmark::State& state) { RunSearch(state, kPhrase); }
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_SearchThree(benchmark::State& state) { RunSearch(state, "jazz, velvet morning, take 1#"); }
BENCHMARK(BM_SearchThree)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_GrepCount(benchmark::State& state) {
  // Not into /dev/null: grep sees that and stops at the first match.
  const std::string command =
      std::string("grep -i -c ") + kPhrase + " '" + Data().hostInventory + "' > '" + Data().hostInventory + ".count'";
  for (auto _ : state) {
    if (std::system(command.c_str()) == -1) state.SkipWithError("grep did not run");
  }
}
BENCHMARK(BM_GrepCount)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);


// The parts of the cost: no option (reading, parsing and the status calls), then each option alone.
void BM_SearchParts(benchmark::State& state) {
  Setup& s = Data();
  for (auto _ : state) {
    datafiles::UserDBContents contents = datafiles::ReadUserDB(s.files);
    inventory::SearchRequest request;
    request.searchText = kPhrase;
    request.options = {state.range(0) == 1, state.range(0) == 2, state.range(0) == 3};
    request.inventoryFile = s.files.gInventoryFile;
    request.resultFile = s.files.gResultFile;
    request.notes = &contents.records;
    benchmark::DoNotOptimize(inventory::SearchInventory(request));
  }
}
BENCHMARK(BM_SearchParts)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
