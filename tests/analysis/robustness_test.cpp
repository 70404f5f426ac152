// Every fixture cut at every length, and random mutations of each (the same ones on every
// run), through the analyser: it must end normally every time, with texts whose size stays
// in proportion to the file, and give the same result twice.
#include <random>

#include "analysis_test_support.h"
#include "audio_builders.h"

using namespace audio_builders;
using namespace analysis_test;
using analysis::AnalysisStatus;

namespace {

struct Fixture {
  const char* path;
  std::string bytes;
};

std::vector<Fixture> Fixtures() {
  const std::string tag = Id3v1("Title", "Artist", "Album", "1999", "Comment", 17);
  return {
      {"C:\\f.wav", RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + RiffChunk("data", Zeros(16)) +
                                         RiffChunk("LIST", "INFO" + InfoText("INAM", "Name") + InfoText("ICMT", "Note") +
                                                               InfoText("ISFT", "Soft")))},
      {"C:\\f.rmi", RmidFile(MidiFile(1, 2, 480, MidiTrack(Hex("00 90 3C 40 60 80 3C 00 00 FF 2F 00"))))},
      {"C:\\f.mid", MidiFile(0, 1, 96, MidiTrack(Hex("00 FF 2F 00")))},
      {"C:\\f.au", AuFile(32, 3, 8000, 1, "note" + Zeros(4) + Zeros(16))},
      {"C:\\f.aif", AiffFile("AIFF", AiffComm(2, 4, 16, Extended80(44100)) + AiffChunk("COMT", "Recommended!") +
                                         AiffChunk("(c) ", "Me.") + AiffChunk("SSND", Zeros(24)))},
      {"C:\\f.aifc", AiffFile("AIFC", AiffChunk("FVER", Hex("A2805140")) +
                                          AiffComm(1, 4, 8, Extended80(22050), "MAC6") + AiffChunk("SSND", Zeros(16)))},
      {"C:\\f.mp3", std::string(1, '\0') + MpegFrame(Hex("FF FB 90 64"), 104) + MpegFrame(Hex("FF FB 90 64"), 104) + tag},
  };
}

// Byte patterns that steer the readers into their corners: identifiers, sizes that are
// huge, just fit or overflow, sync bytes.
const std::vector<std::string>& Patterns() {
  static const std::vector<std::string> patterns = {
      "fmt ", "data", "INAM", "icmt", "COMM", "SSND", "COMT", "(c) ", "FVER", "TAG", "RIFF", "FORM", ".snd",
      "MThd", Hex("FFFFFFFF"), Hex("7FFFFFFF"), Hex("80000000"), Hex("FFFFFF7F"), Hex("00000080"),
      Hex("00000000"), Hex("01000000"), Hex("00000001"), Hex("FF FB 90 C4"), Hex("FF E0")};
  return patterns;
}

std::string Mutate(std::string bytes, std::mt19937& rng) {
  int edits = 1 + static_cast<int>(rng() % 6);
  for (int e = 0; e < edits; ++e) {
    std::size_t at = bytes.empty() ? 0 : rng() % bytes.size();
    switch (rng() % 5) {
      case 0:
        if (!bytes.empty()) bytes[at] = static_cast<char>(rng());
        break;
      case 1: {
        Put(bytes, at, Patterns()[rng() % Patterns().size()]);
        break;
      }
      case 2:
        bytes.insert(at, Patterns()[rng() % Patterns().size()]);
        break;
      case 3:
        bytes.resize(at);
        break;
      default:
        if (!bytes.empty()) bytes.erase(at, 1 + rng() % 8);
        break;
    }
  }
  return bytes;
}

}  // namespace

TEST_F(AnalyzerTest, SurvivesEveryCutAndThousandsOfMutations) {
  std::mt19937 rng(20240611);
  auto check = [&](const std::string& path, const std::string& bytes) {
    Write(path, bytes);
    AnalysisStatus first = analysis::AnalyzeAudioFile(path, props, nullptr);
    ASSERT_TRUE(first == AnalysisStatus::Done || first == AnalysisStatus::Unsupported)
        << path << " of " << bytes.size() << " bytes";
    ASSERT_EQ(props.gAudioFileLength, static_cast<std::int64_t>(bytes.size()));
    // A Windows-1252 byte is at most three bytes of UTF-8; an AU annotation may reach
    // 64 KiB past the end.
    const std::size_t bound = 3 * (bytes.size() + 64 * 1024);
    for (std::string* text : props.Texts()) ASSERT_LE(text->size(), bound);
    analysis::AudioProperties again;
    analysis::AnalyzeAudioFile(path, again, nullptr);
    ASSERT_EQ(Fields(again), Fields(props)) << path << " of " << bytes.size() << " bytes";
  };
  for (const Fixture& f : Fixtures()) {
    SCOPED_TRACE(f.path);
    for (std::size_t cut = 0; cut <= f.bytes.size(); ++cut) check(f.path, f.bytes.substr(0, cut));
    for (int m = 0; m < 3000; ++m) {
      check(f.path, Mutate(f.bytes, rng));
      if (HasFatalFailure()) return;
    }
    // The same bytes under the other names, so that every reader meets every fixture.
    for (int m = 0; m < 300; ++m) {
      check("C:\\other.mp3", Mutate(f.bytes, rng));
      if (HasFatalFailure()) return;
    }
  }
}
