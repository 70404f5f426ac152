// The header duration probe: against what independent readers say of files made by real
// tools, and on built headers for the cases those files do not reach.
#include "analysis/durationprobe.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "analysis/audio_builders.h"
#include "support/temp_drives.h"

using namespace audio_builders;
using analysis::ProbeDurationBytes;
using analysis::ProbeDurationHost;

namespace {

std::string ReadFixture(const std::string& relative) {
  std::ifstream in(std::string(TOLVAN_AUDIO_FIXTURES) + "/" + relative, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A MIDI track of events, each a delta time (one byte, below 128) and its bytes.
std::string Tempo(std::uint32_t micros) {
  return Hex("FF 51 03") + std::string{static_cast<char>(micros >> 16), static_cast<char>(micros >> 8),
                                       static_cast<char>(micros)};
}

// An MPEG 1 layer 3 frame at 44.1 kHz of the bitrate index given (no padding).
std::string Mpeg1Frame(int index) {
  static const int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  const std::string header = {'\xFF', '\xFB', static_cast<char>(index << 4), '\x64'};
  return MpegFrame(header, 144 * kKbps[index] * 1000 / 44100);
}

// Sound of a second at 8000 Hz, under a rate whose exponent (0x4D54) spells about 2^3413 Hz.
// The compression's empty name is padded, so that SSND follows COMM at an even offset.
std::string AifcAtARatePastADouble() {
  return AiffFile("AIFC", AiffComm(1, 8000, 16, Hex("4D 54 72 6B 00 00 00 00 00 00"), std::string("NONE\0", 5)) +
                              AiffChunk("SSND", Zeros(8) + Zeros(16000)));
}

}  // namespace

TEST(DurationProbe, FilesOfRealToolsAgreeWithIndependentReaders) {
  std::ifstream table(std::string(TOLVAN_AUDIO_FIXTURES) + "/durations.tsv");
  ASSERT_TRUE(table);
  std::string line;
  std::getline(table, line);
  int files = 0;
  while (std::getline(table, line)) {
    std::istringstream row(line);
    std::string file, seconds, reader;
    std::getline(row, file, '\t');
    std::getline(row, seconds, '\t');
    std::getline(row, reader, '\t');
    SCOPED_TRACE(file + " against " + reader);
    const std::optional<double> probed = ProbeDurationHost(std::string(TOLVAN_AUDIO_FIXTURES) + "/" + file);
    ASSERT_TRUE(probed.has_value());
    EXPECT_NEAR(*probed, std::stod(seconds), 0.05);
    EXPECT_EQ(ProbeDurationBytes(ReadFixture(file), file), probed) << "bytes and file give the same";
    ++files;
  }
  EXPECT_GE(files, 13);
}

TEST(DurationProbe, BuiltHeaders) {
  // 480 ticks a quarter: a quarter at 120, then a quarter at 60 after a tempo change.
  const std::string tempoTrack = MidiTrack(Zeros(1) + Tempo(500000) + Hex("83 60") + Tempo(1000000) + Hex("83 60 FF 2F 00"));
  const std::string notes = MidiTrack(Hex("00 90 3C 40  83 60 80 3C 00  00 FF 2F 00"));
  std::string wideData = PcmWave(0.25, 8000, 1, 16);
  wideData.replace(40, 4, Le32(8000 * 2 * 10));  // a data size past the file's end
  std::string cbrStream;
  while (cbrStream.size() < 400 * 1024) cbrStream += Mpeg1Frame(9);
  std::string vbrStream;
  int vbrFrames = 0;
  for (; vbrStream.size() < 400 * 1024; ++vbrFrames) vbrStream += Mpeg1Frame(vbrFrames % 3 == 0 ? 14 : 5);
  std::string vbri = Mpeg1Frame(9);
  vbri.replace(36, 18, "VBRI" + Be16(1) + Be16(0) + Be16(0) + Be32(0) + Be32(100));
  vbri += Mpeg1Frame(9) + Mpeg1Frame(9);

  const struct {
    const char* what;
    std::string bytes;
    const char* name;
    std::optional<double> seconds;
  } cases[] = {
      {"PCM wave", PcmWave(1.25, 16000, 2, 8), "a.wav", 1.25},
      {"a data size past the end counts what the file holds", wideData, "a.wav", 0.25},
      {"extensible PCM wave",
       RiffFile("WAVE", RiffChunk("fmt ", Le16(0xFFFE) + Le16(2) + Le32(16000) + Le32(64000) + Le16(4) + Le16(16) +
                                              Le16(22) + Le16(16) + Le32(3) + Le16(1) + Zeros(14)) +
                            RiffChunk("data", Zeros(16000 * 4 / 2))),
       "a.wav", 0.5},
      {"an encoding left to the backend", RiffFile("WAVE", WaveFmt(0x55, 1, 8000, 0) + RiffChunk("data", Zeros(800))),
       "a.wav", std::nullopt},
      {"no fmt before data", RiffFile("WAVE", RiffChunk("data", Zeros(800))), "a.wav", std::nullopt},
      {"another RIFF form", RiffFile("AVI ", RiffChunk("data", Zeros(800))), "a.wav", std::nullopt},
      {"AIFF at 8000 Hz", PcmAiff(0.75, 8000), "a.aif", 0.75},
      {"AIFF-C at a rate beyond a double's range",
       AifcAtARatePastADouble(),
       "a.aifc", std::nullopt},
      {"AIFF at the first rate past a double's range",
       AiffFile("AIFF", AiffComm(1, 1, 8, Hex("43 FF 80 00 00 00 00 00 00 00")) + AiffChunk("SSND", Zeros(9))),
       "a.aif", std::nullopt},
      {"AU of unknown data size", AuFile(24, 3, 8000, 1, Zeros(8000)), "a.au", 0.5},
      {"AU of an encoding left to the backend", AuFile(24, 23, 8000, 1, Zeros(800)), "a.au", std::nullopt},
      {"MIDI through its tempo map", MidiFile(1, 2, 480, tempoTrack + notes), "a.mid", 1.5},
      {"MIDI in frames a second", MidiFile(0, 1, 0xE728, notes), "a.mid", 480.0 / (25 * 40)},
      {"MIDI of format 2 is left to the backend", MidiFile(2, 1, 480, notes), "a.mid", std::nullopt},
      {"MP3 with an Info frame count", SilentMp3(40), "a.mp3", 40 * 1152 / 44100.0},
      {"MP3 with a VBRI frame count", vbri, "a.mp3", 100 * 1152 / 44100.0},
      {"MP3 of constant bitrate", cbrStream, "a.mp3", cbrStream.size() * 8 / 128000.0},
      {"MP3 of varying bitrate without a header: its frames", vbrStream, "a.mp3", vbrFrames * 1152 / 44100.0},
      {"MP3 named otherwise, found by its first frame", SilentMp3(10), "a.dat", 10 * 1152 / 44100.0},
      {"a lone sync confirms no stream", "\xFF\xFB\x90\x64" + Zeros(100), "a.mp3", std::nullopt},
      {"text", "just some text, not audio at all", "a.mp3", std::nullopt},
      {"empty", "", "a.wav", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<double> got = ProbeDurationBytes(c.bytes, c.name);
    EXPECT_EQ(got.has_value(), c.seconds.has_value());
    if (got && c.seconds) {
      EXPECT_NEAR(*got, *c.seconds, 1e-6);
    }
  }
}

TEST(DurationProbe, HostFiles) {
  testing_support::TempDrives drives{"C"};
  drives.Write("C:\\a.wav", PcmWave(0.5));
  EXPECT_NEAR(ProbeDurationHost(drives.Host("C:\\a.wav")).value_or(-1), 0.5, 1e-9);
  EXPECT_FALSE(ProbeDurationHost(drives.Host("C:\\missing.wav")));
  // A rate past a double's range times nothing from a file as from memory.
  drives.Write("C:\\a.aifc", AifcAtARatePastADouble());
  EXPECT_FALSE(ProbeDurationHost(drives.Host("C:\\a.aifc")));
  drives.MakeFolder("C:\\folder.wav");
  EXPECT_FALSE(ProbeDurationHost(drives.Host("C:\\folder.wav")));
}
