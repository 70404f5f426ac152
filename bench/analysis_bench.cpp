// The header analyser's throughput against TagLib over a generated corpus of small files of
// every analysed type, and one sequential pass over large files that hold nothing to skip,
// against reading such a file once.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <cstdio>
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

struct Corpus {
  std::string root;
  std::vector<std::string> dosPaths;
  std::vector<std::string> hostPaths;
  std::string largeWave, largeAiff, largeMpeg;  // drive-letter paths
  std::string largeWaveHost;
};

void WriteFile(const std::string& host, const std::string& bytes) {
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SmallFile(int i, std::string& extension) {
  const std::string n = std::to_string(i);
  const std::string sound = Zeros(800);
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

const Corpus& TheCorpus() {
  static Corpus corpus = [] {
    Corpus c;
    std::string templ = (std::filesystem::temp_directory_path() / "tolvan-bench-XXXXXX").string();
    if (!::mkdtemp(templ.data())) std::abort();
    c.root = templ;
    platform::SetDriveMap(platform::DriveMap({{'C', c.root}}));
    for (int i = 0; i < kCorpusFiles; ++i) {
      std::string extension;
      std::string bytes = SmallFile(i, extension);
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
    std::atexit([] { std::filesystem::remove_all(TheCorpus().root); });
    return c;
  }();
  return corpus;
}

void BM_AnalyserCorpus(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  analysis::AudioProperties props;
  for (auto _ : state) {
    for (const std::string& path : c.dosPaths) {
      analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(path, props, nullptr);
      benchmark::DoNotOptimize(status);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCorpusFiles);
}
BENCHMARK(BM_AnalyserCorpus)->Unit(benchmark::kMillisecond);

void BM_TagLibCorpus(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  for (auto _ : state) {
    for (const std::string& path : c.hostPaths) {
      TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
      if (file.isNull()) continue;
      if (TagLib::Tag* tag = file.tag()) {
        benchmark::DoNotOptimize(tag->title().size() + tag->artist().size() + tag->album().size() +
                                 tag->comment().size() + tag->genre().size() + tag->year());
      }
      if (TagLib::AudioProperties* audio = file.audioProperties()) {
        benchmark::DoNotOptimize(audio->sampleRate() + audio->channels() + audio->bitrate());
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kCorpusFiles);
}
BENCHMARK(BM_TagLibCorpus)->Unit(benchmark::kMillisecond);

// The yardstick: one sequential read of the large file, 1 MiB at a time.
void BM_ReadLargeFileOnce(benchmark::State& state) {
  const Corpus& c = TheCorpus();
  std::vector<char> buffer(1024 * 1024);
  for (auto _ : state) {
    int fd = ::open(c.largeWaveHost.c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t r;
    std::size_t total = 0;
    while ((r = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<std::size_t>(r);
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kLargeFile));
}
BENCHMARK(BM_ReadLargeFileOnce)->Unit(benchmark::kMillisecond);

void AnalyseLarge(benchmark::State& state, const std::string& path) {
  analysis::AudioProperties props;
  for (auto _ : state) benchmark::DoNotOptimize(analysis::AnalyzeAudioFile(path, props, nullptr));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kLargeFile));
}
void BM_LargeWaveWithoutData(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeWave); }
void BM_LargeAiffWithoutSsnd(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeAiff); }
void BM_LargeMpegWithoutSync(benchmark::State& state) { AnalyseLarge(state, TheCorpus().largeMpeg); }
BENCHMARK(BM_LargeWaveWithoutData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeAiffWithoutSsnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMpegWithoutSync)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
