// The header analyser's throughput against TagLib over a generated corpus of small files of
// every analysed type (and over the part of it that TagLib opens at all), one sequential pass
// over large files that hold nothing to skip, each against reading such a file once, and files
// crafted with a text chunk every 8 bytes at 1, 4 and 16 MiB, judged by their time per chunk
// as they grow. Every result is checked first and in the
// timed loops: a file that comes back with the wrong type, or a status other than done,
// makes the program end with a non-zero exit. A summary at the end gives each figure beside
// its goal, "met" or "missed".
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analysis/analyzer.h"
#include "analysis/audio_builders.h"
#include "platform/core/drives.h"

using namespace audio_builders;

namespace {

constexpr int kCorpusFiles = 10000;
constexpr std::size_t kLargeFile = 50u * 1024 * 1024;
constexpr std::size_t kMiB = 1024 * 1024;
constexpr int kCraftedMiB[] = {1, 4, 16};
constexpr int kCraftedSizes = 3;

// A crafted file: a text chunk every 8 bytes to the end.
struct Crafted {
  std::string path;  // drive-letter path
  std::string text;  // the comment it must give
  std::size_t chunks = 0;
};

struct Corpus {
  std::string root;
  std::vector<std::string> dosPaths;
  std::vector<std::string> hostPaths;
  std::vector<std::string> types;  // the type each file must come back with
  // The files TagLib opens, the same for the analyser: indices into the lists above.
  std::vector<std::size_t> bothOpen;
  std::string largeWave, largeAiff, largeMpeg;  // drive-letter paths
  std::string largeWaveHost;
  Crafted craftedWave[kCraftedSizes], craftedAiff[kCraftedSizes];
};

// A check of the work failed: reported at once, and the exit is non-zero.
int gFailures = 0;
void Fail(const std::string& what) {
  std::fprintf(stderr, "analysis_bench: %s\n", what.c_str());
  ++gFailures;
}

void WriteFile(const std::string& host, const std::string& bytes) {
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SmallFile(int i, std::string& extension, std::string& type) {
  const std::string n = std::to_string(i);
  const std::string sound = Zeros(800);
  static const char* const kTypes[7] = {"WAVE", "RMID", "MIDI", "Sun/NeXT AU", "AIFF", "AIFF-C", "MPEG"};
  type = kTypes[i % 7];
  switch (i % 7) {
    case 0:
      extension = ".wav";
      return RiffFile("WAVE", WaveFmt(1, 1, 8000, 16) + RiffChunk("data", sound) +
                                  RiffChunk("LIST", "INFO" + InfoText("INAM", "Take " + n) +
                                                        InfoText("ICMT", "Rehearsal " + n) + InfoText("ISFT", "Rec")));
    case 1:
      extension = ".rmi";
      return RmidFile(MidiFile(1, 2, 480,
                               MidiTrack(Hex("00 FF 51 03 07 A1 20 00 FF 2F 00")) +
                                   MidiTrack(Hex("00 90 3C 40 83 60 80 3C 00 00 FF 2F 00"))));
    case 2:
      extension = ".mid";
      return MidiFile(0, 1, 96, MidiTrack(Hex("00 90 3C 40 60 80 3C 00 00 FF 2F 00")));
    case 3:
      extension = ".au";
      return AuFile(32, 3, 8000, 1,
                    "take" + n.substr(0, 4) + std::string(4 - std::min<std::size_t>(4, n.size()), '\0') + sound);
    case 4:
      extension = ".aif";
      return AiffFile("AIFF", AiffComm(1, 400, 16, Extended80(22050)) + AiffChunk("COMT", "Take " + n + "!") +
                                  AiffChunk("SSND", Zeros(8) + sound));
    case 5:
      extension = ".aifc";
      return AiffFile("AIFC", AiffChunk("FVER", Hex("A2805140")) + AiffComm(1, 400, 16, Extended80(22050), "NONE") +
                                  AiffChunk("SSND", Zeros(8) + sound));
    default:
      extension = ".mp3";
      return SilentMp3(8) + Id3v1("Take " + n, "Band", "Demos", "2001", "rough mix", 17);
  }
}

// Random bytes in which no identifier of the readers (in any case) and no frame sync
// stand: every offset must be tried, none skipped.
std::string Filler(std::size_t size, std::mt19937& rng) {
  static const char* const kIds[] = {"fmt ", "data", "icmt", "icop", "icrd", "ieng", "inam",
                                     "iprd", "isft", "fver", "comm", "ssnd", "comt", "(c) "};
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\xFF') bytes[i] = '\xFE';
    if (i + 4 > size) continue;
    for (const char* id : kIds) {
      if (lower(bytes[i]) == id[0] && lower(bytes[i + 1]) == id[1] && lower(bytes[i + 2]) == id[2] &&
          lower(bytes[i + 3]) == id[3]) {
        bytes[i + 3] = '\x01';
      }
    }
  }
  return bytes;
}

// A text chunk every 8 bytes from `start` on, each reaching to the end of the file, the last
// one holding `text` and its zero byte; `text` is "the end" with points added so that the
// chunks fill the file exactly. `chunks` is how many there are.
std::string CraftedTexts(std::string head, const char* id, bool bigEndian, std::size_t length, std::string& text,
                         std::size_t& chunks) {
  text = "the end";
  while ((length - head.size() - text.size() - 1) % 8 != 0) text += '.';
  std::string file = std::move(head);
  file.reserve(length);
  chunks = 0;
  while (file.size() + 8 + text.size() + 1 <= length) {
    auto size = static_cast<std::uint32_t>(length - file.size() - 8);
    file += std::string(id) + (bigEndian ? Be32(size) : Le32(size));
    ++chunks;
  }
  return file + text + '\0';
}

const Corpus& TheCorpus() {
  static Corpus corpus = [] {
    Corpus c;
    std::string templ = (std::filesystem::temp_directory_path() / "tolvan-bench-XXXXXX").string();
    if (!::mkdtemp(templ.data())) std::abort();
    c.root = templ;
    platform::SetDriveMap(platform::DriveMap({{'C', c.root}}));
    for (int i = 0; i < kCorpusFiles; ++i) {
      std::string extension, type;
      std::string bytes = SmallFile(i, extension, type);
      c.types.push_back(type);
      std::string name = "f" + std::to_string(i) + extension;
      WriteFile(c.root + "/" + name, bytes);
      c.dosPaths.push_back("C:\\" + name);
      c.hostPaths.push_back(c.root + "/" + name);
    }
    std::mt19937 rng(7);
    const std::string filler = Filler(kLargeFile, rng);
    WriteFile(c.root + "/large.wav", RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + filler));
    WriteFile(c.root + "/large.aif", AiffFile("AIFF", AiffComm(2, 1, 16, Extended80(44100)) + filler));
    WriteFile(c.root + "/large.mp3", "x" + filler);
    c.largeWave = "C:\\large.wav";
    c.largeAiff = "C:\\large.aif";
    c.largeMpeg = "C:\\large.mp3";
    c.largeWaveHost = c.root + "/large.wav";
    for (int k = 0; k < kCraftedSizes; ++k) {
      const std::size_t length = static_cast<std::size_t>(kCraftedMiB[k]) * kMiB;
      const std::string n = std::to_string(kCraftedMiB[k]);
      Crafted& wave = c.craftedWave[k];
      Crafted& aiff = c.craftedAiff[k];
      WriteFile(c.root + "/crafted" + n + ".wav", CraftedTexts(RiffFile("WAVE", WaveFmt(1, 2, 44100, 16)), "ICMT",
                                                               false, length, wave.text, wave.chunks));
      WriteFile(c.root + "/crafted" + n + ".aif",
                CraftedTexts(AiffFile("AIFF", AiffComm(2, 1, 16, Extended80(44100))), "COMT", true, length, aiff.text,
                             aiff.chunks));
      wave.path = "C:\\crafted" + n + ".wav";
      aiff.path = "C:\\crafted" + n + ".aif";
    }
    for (std::size_t i = 0; i < c.hostPaths.size(); ++i) {
      TagLib::FileRef file(c.hostPaths[i].c_str(), true, TagLib::AudioProperties::Average);
      if (!file.isNull()) c.bothOpen.push_back(i);
    }
    std::atexit([] { std::filesystem::remove_all(TheCorpus().root); });
    return c;
  }();
  return corpus;
}

// The analyser over the files given by index; a wrong status or type is a failed run.
void AnalyseFiles(benchmark::State& state, const std::vector<std::size_t>* only) {
  const Corpus& c = TheCorpus();
  analysis::AudioProperties props;
  const std::size_t n = only ? only->size() : c.dosPaths.size();
  for (auto _ : state) {
    std::size_t wrong = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = only ? (*only)[k] : k;
      analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(c.dosPaths[i], props, nullptr);
      wrong += status != analysis::AnalysisStatus::Done || props.gAudioFileType != c.types[i];
    }
    if (wrong != 0) {
      Fail(std::to_string(wrong) + " files came back with the wrong type or status while timed");
      state.SkipWithError("wrong results");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void TagLibFiles(benchmark::State& state, const std::vector<std::size_t>* only) {
  const Corpus& c = TheCorpus();
  const std::size_t n = only ? only->size() : c.hostPaths.size();
  for (auto _ : state) {
    std::size_t opened = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = only ? (*only)[k] : k;
      TagLib::FileRef file(c.hostPaths[i].c_str(), true, TagLib::AudioProperties::Average);
      if (file.isNull()) continue;
      ++opened;
      if (TagLib::Tag* tag = file.tag()) {
        benchmark::DoNotOptimize(tag->title().size() + tag->artist().size() + tag->album().size() +
                                 tag->comment().size() + tag->genre().size() + tag->year());
      }
      if (TagLib::AudioProperties* audio = file.audioProperties()) {
        benchmark::DoNotOptimize(audio->sampleRate() + audio->channels() + audio->bitrate());
      }
    }
    if (opened != c.bothOpen.size()) {
      Fail("TagLib opened " + std::to_string(opened) + " files, not " + std::to_string(c.bothOpen.size()));
      state.SkipWithError("TagLib opened other files");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void BM_AnalyserCorpus(benchmark::State& state) { AnalyseFiles(state, nullptr); }
void BM_TagLibCorpus(benchmark::State& state) { TagLibFiles(state, nullptr); }
void BM_AnalyserBothOpen(benchmark::State& state) { AnalyseFiles(state, &TheCorpus().bothOpen); }
void BM_TagLibBothOpen(benchmark::State& state) { TagLibFiles(state, &TheCorpus().bothOpen); }
BENCHMARK(BM_AnalyserCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagLibCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyserBothOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagLibBothOpen)->Unit(benchmark::kMillisecond);

// The yardstick: one sequential read of a file, 1 MiB at a time.
void ReadOnce(benchmark::State& state, const std::string& host, std::size_t length) {
  std::vector<char> buffer(1024 * 1024);
  for (auto _ : state) {
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t r;
    std::size_t total = 0;
    while ((r = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<std::size_t>(r);
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(length));
}
void BM_ReadLargeFileOnce(benchmark::State& state) { ReadOnce(state, TheCorpus().largeWaveHost, kLargeFile); }
BENCHMARK(BM_ReadLargeFileOnce)->Unit(benchmark::kMillisecond);

void AnalyseLarge(benchmark::State& state, const std::string& path, std::int64_t length) {
  analysis::AudioProperties props;
  for (auto _ : state) {
    if (analysis::AnalyzeAudioFile(path, props, nullptr) != analysis::AnalysisStatus::Done) {
      Fail(path + " was not analysed while timed");
      state.SkipWithError("not analysed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * length);
}
void BM_LargeWaveWithoutData(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeWave, kLargeFile); }
void BM_LargeAiffWithoutSsnd(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeAiff, kLargeFile); }
void BM_LargeMpegWithoutSync(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeMpeg, kLargeFile); }
BENCHMARK(BM_LargeWaveWithoutData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeAiffWithoutSsnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMpegWithoutSync)->Unit(benchmark::kMillisecond);

// The argument is the file's size in MiB; items are its chunks.
void AnalyseCrafted(benchmark::State& state, const Crafted (&files)[kCraftedSizes]) {
  for (int k = 0; k < kCraftedSizes; ++k) {
    if (kCraftedMiB[k] != state.range(0)) continue;
    AnalyseLarge(state, files[k].path, state.range(0) * static_cast<std::int64_t>(kMiB));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(files[k].chunks));
    return;
  }
  state.SkipWithError("no crafted file of that size");
}
void BM_CraftedWaveComments(benchmark::State& state) { AnalyseCrafted(state, TheCorpus().craftedWave); }
void BM_CraftedAiffComments(benchmark::State& state) { AnalyseCrafted(state, TheCorpus().craftedAiff); }
BENCHMARK(BM_CraftedWaveComments)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CraftedAiffComments)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

// Every file analysed once before anything is timed, its fields against what it holds.
void CheckResults() {
  const Corpus& c = TheCorpus();
  analysis::AudioProperties props;
  std::map<std::string, int> wrong;
  for (std::size_t i = 0; i < c.dosPaths.size(); ++i) {
    analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(c.dosPaths[i], props, nullptr);
    if (status != analysis::AnalysisStatus::Done || props.gAudioFileType != c.types[i]) {
      if (wrong[c.types[i]]++ == 0) {
        Fail(c.dosPaths[i] + " came back as \"" + props.gAudioFileType + "\", not \"" + c.types[i] + "\"");
      }
    }
  }
  struct Expect {
    std::string path, type, rate, comment;
  };
  std::vector<Expect> expected = {
      {c.largeWave, "WAVE", "44.1 kHz", ""},
      {c.largeAiff, "AIFF", "44.100 kHz", ""},
      {c.largeMpeg, "MPEG", "", ""},
  };
  for (int k = 0; k < kCraftedSizes; ++k) {
    expected.push_back({c.craftedWave[k].path, "WAVE", "44.1 kHz", c.craftedWave[k].text});
    expected.push_back({c.craftedAiff[k].path, "AIFF", "44.100 kHz", c.craftedAiff[k].text});
  }
  for (const Expect& e : expected) {
    analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(e.path, props, nullptr);
    if (status != analysis::AnalysisStatus::Done || props.gAudioFileType != e.type ||
        props.gAudioSampleRate != e.rate || props.gAudioComment != e.comment) {
      Fail(e.path + " gave type \"" + props.gAudioFileType + "\", rate \"" + props.gAudioSampleRate +
           "\", comment of " + std::to_string(props.gAudioComment.size()) + " bytes");
    }
  }
  if (c.bothOpen.empty()) Fail("TagLib opened none of the files");
}

// Seconds per iteration of each benchmark run: the median when repeated.
class Recorder : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name =
          run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
      const double s = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") seconds[name] = s;
      } else if (!medianSeen_.count(name) && run.repetitions <= 1) {
        seconds[name] = s;
      }
      if (run.run_type == Run::RT_Aggregate) medianSeen_[name] = true;
    }
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  std::map<std::string, bool> medianSeen_;
};

// One line of the summary: a ratio against its anchor and the goal it must meet.
void Summarise(const Recorder& r) {
  const Corpus& c = TheCorpus();
  auto get = [&](const char* name) {
    auto it = r.seconds.find(name);
    return it == r.seconds.end() ? -1.0 : it->second;
  };
  std::printf("\nsummary (the analyser without a player; times are medians when repeated)\n");
  // faster: the anchor's time over the figure's, at least `goal`; else the figure's over the
  // anchor's, at most `goal`.
  auto line = [&](const std::string& what, const char* figure, const char* anchor, bool faster, double goal) {
    const double f = get(figure), a = get(anchor);
    if (f <= 0 || a <= 0) {
      std::printf("  %s\n      not run\n", what.c_str());
      return;
    }
    const double ratio = faster ? a / f : f / a;
    const bool met = faster ? ratio >= goal : ratio <= goal;
    std::printf("  %s\n      %.3f ms against %.3f ms: %.2f x %s, goal %s %.0f x: %s\n", what.c_str(), f * 1e3,
                a * 1e3, ratio, faster ? "faster" : "the time", faster ? "at least" : "within", goal,
                met ? "met" : "missed");
  };
  line("10,000 files, analyser, against TagLib on the same files", "BM_AnalyserCorpus", "BM_TagLibCorpus",
       true, 2);
  line(std::to_string(c.bothOpen.size()) + " files TagLib opens too (WAVE, AIFF, AIFF-C, MPEG), against TagLib",
       "BM_AnalyserBothOpen", "BM_TagLibBothOpen", true, 2);
  line("50 MB WAVE without a data chunk, against one read", "BM_LargeWaveWithoutData", "BM_ReadLargeFileOnce",
       false, 3);
  line("50 MB AIFF without an SSND chunk, against one read", "BM_LargeAiffWithoutSsnd", "BM_ReadLargeFileOnce",
       false, 3);
  line("50 MB MPEG without a sync, against one read", "BM_LargeMpegWithoutSync", "BM_ReadLargeFileOnce", false, 3);
  // The crafted files by their time per chunk: steady as they grow (within 1.2 x the 1 MiB
  // file's), and under 20 ns.
  auto growth = [&](const char* what, const char* name, const Crafted (&files)[kCraftedSizes]) {
    const double base = get((std::string(name) + "/" + std::to_string(kCraftedMiB[0])).c_str());
    for (int k = 0; k < kCraftedSizes; ++k) {
      const std::string figure = std::string(name) + "/" + std::to_string(kCraftedMiB[k]);
      const double t = get(figure.c_str());
      std::printf("  %d MiB %s every 8 bytes to the end, %zu chunks\n", kCraftedMiB[k], what, files[k].chunks);
      if (t <= 0) {
        std::printf("      not run\n");
        continue;
      }
      const double ns = t * 1e9 / static_cast<double>(files[k].chunks);
      std::printf("      %.3f ms, %.1f ns a chunk, goal under 20 ns: %s\n", t * 1e3, ns, ns < 20 ? "met" : "missed");
      if (k == 0) continue;
      if (base <= 0) {
        std::printf("      the 1 MiB file not run: no growth figure\n");
        continue;
      }
      const double linear = t / (base * static_cast<double>(files[k].chunks) / static_cast<double>(files[0].chunks));
      std::printf("      %.2f x linear from the 1 MiB file, goal within 1.2 x: %s\n", linear,
                  linear < 1.2 ? "met" : "missed");
    }
  };
  growth("WAVE, an ICMT", "BM_CraftedWaveComments", c.craftedWave);
  growth("AIFF, a COMT", "BM_CraftedAiffComments", c.craftedAiff);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CheckResults();
  if (gFailures != 0) return 1;
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  benchmark::Shutdown();
  Summarise(recorder);
  return gFailures == 0 ? 0 : 1;
}
