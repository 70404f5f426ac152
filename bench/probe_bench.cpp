// The header duration probe over 10,000 short files of every type it reads (goal: within
// 1 s), and, where Qt is built, what a playlist load asks of the Qt player per track:
// FileName, Stop, Duration (goal: 10,000 tracks within 5 s). Warm cache; medians of 5 runs.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/audio_builders.h"
#include "analysis/durationprobe.h"
#include "platform/core/drives.h"

#if defined(TOLVAN_PROBE_BENCH_QT)
#include <QCoreApplication>

#include "platform/qt/mediaplayer_qt.h"
#endif

using namespace audio_builders;

namespace {

constexpr int kFiles = 10000;
constexpr int kRuns = 5;

// An MPEG 1 layer 3 frame at 44.1 kHz of the bitrate index given.
std::string Mpeg1Frame(int index) {
  static const int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  const std::string header = {'\xFF', '\xFB', static_cast<char>(index << 4), '\x64'};
  return MpegFrame(header, 144 * kKbps[index] * 1000 / 44100);
}

std::string ShortFile(int i, std::string& extension) {
  switch (i % 9) {
    case 0: extension = ".wav"; return PcmWave(0.2 + (i % 7) * 0.01, 8000, 1, 16);
    case 1: extension = ".aif"; return PcmAiff(0.2, 8000);
    case 2:
      extension = ".aifc";
      return AiffFile("AIFC", AiffChunk("FVER", Be32(0xA2805140)) + AiffComm(1, 1600, 16, Extended80(8000), std::string("NONE\0", 5)) +
                                  AiffChunk("SSND", Zeros(8) + Zeros(3200)));
    case 3: extension = ".au"; return PcmAu(0.2);
    case 4: extension = ".mp3"; return SilentMp3(20 + i % 5);
    case 5: {  // constant bitrate without a header, behind an ID3v2 tag
      extension = ".mp3";
      std::string out = "ID3" + std::string{3, 0, 0, 0, 0, 1, 0} + Zeros(128);
      for (int k = 0; k < 20; ++k) out += Mpeg1Frame(9);
      return out;
    }
    case 6: {  // varying bitrate without a header: the frames are walked
      extension = ".mp3";
      std::string out;
      for (int k = 0; k < 24; ++k) out += Mpeg1Frame(k % 3 ? 5 : 14);
      return out;
    }
    case 7:
      extension = ".mid";
      return MidiFile(1, 2, 480,
                      MidiTrack(Hex("00 FF 51 03 07 A1 20  83 60 FF 51 03 0F 42 40  00 FF 2F 00")) +
                          MidiTrack(Hex("00 90 3C 40 87 40 80 3C 00 00 FF 2F 00")));
    default: extension = ".mid"; return MidiFile(0, 1, 96, MidiTrack(Hex("00 90 3C 40 60 80 3C 00 00 FF 2F 00")));
  }
}

template <typename Pass>
double MedianMs(Pass pass) {
  pass();  // warms the cache
  std::vector<double> ms;
  for (int r = 0; r < kRuns; ++r) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[kRuns / 2];
}

void Report(const char* what, double ms, double goalMs) {
  std::printf("%-58s %9.1f ms  goal %6.0f ms  %s\n", what, ms, goalMs, ms <= goalMs ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  char templ[] = "/tmp/tolvan-probe-bench-XXXXXX";
  if (!::mkdtemp(templ)) return 1;
  const std::string root = templ;
  std::vector<std::string> hosts, dosPaths;
  for (int i = 0; i < kFiles; ++i) {
    std::string extension;
    const std::string bytes = ShortFile(i, extension);
    const std::string name = "f" + std::to_string(i) + extension;
    std::ofstream(root + "/" + name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    hosts.push_back(root + "/" + name);
    dosPaths.push_back("C:\\" + name);
  }
  platform::SetDriveMap(platform::DriveMap({{'C', root}}));

  int probed = 0;
  double total = 0;
  const double probeMs = MedianMs([&] {
    probed = 0;
    total = 0;
    for (const std::string& host : hosts) {
      if (auto seconds = analysis::ProbeDurationHost(host)) {
        ++probed;
        total += *seconds;
      }
    }
  });
  std::printf("%d files, %d with a duration from their headers, %.1f s in all\n", kFiles, probed, total);
  Report("10,000 short files of all types, ProbeDurationHost", probeMs, 1000);

#if defined(TOLVAN_PROBE_BENCH_QT)
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QCoreApplication app(argc, argv);
  platform::QtMediaPlayer player{analysis::ProbeDurationHost};
  const double playerMs = MedianMs([&] {
    for (const std::string& path : dosPaths) {
      player.SetFileName(path);
      player.Stop();
      try {
        (void)player.Duration();
      } catch (...) {
        // a refused file reads 0, as a playlist load takes it
      }
    }
  });
  Report("10,000 tracks through the Qt player: FileName, Stop, Duration", playerMs, 5000);
  std::printf("files handed to the backend: %d\n", player.BackendLoads());
#else
  (void)argc;
  (void)argv;
#endif
  std::filesystem::remove_all(root);
  return 0;
}
