#include <fstream>
#include <iterator>

#include "analysis_test_support.h"
#include "audio_builders.h"
#include "platform/core/codepage.h"

using namespace audio_builders;
using namespace analysis_test;

namespace {

const std::string kComm44 = AiffComm(2, 100, 16, Extended80(44100));
const FieldMap kStereo44 = {{"type", "AIFF"}, {"channels", "2 - Stereo"}, {"bits", "16 bits"}, {"rate", "44.100 kHz"}};

FieldMap With(FieldMap base, const FieldMap& more) {
  for (const auto& [k, v] : more) base[k] = v;
  return base;
}

}  // namespace

TEST_F(AnalyzerTest, AiffChunksAndTheirEdges) {
  // A comment that holds "comm" is also read as a COMM chunk, later and so winning.
  const std::string commInside =
      "Re" + std::string("comm") + "xxxx" + Be16(1) + Be32(0) + Be16(8) + Extended80(22050) + std::string(1, '\0');
  std::vector<Case> cases = {
      {"16-bit stereo 44.1 kHz", AiffFile("AIFF", kComm44 + AiffChunk("SSND", Zeros(408))), kStereo44},
      {"6 channels and mono",
       AiffFile("AIFF", AiffComm(6, 1, 8, Extended80(22050)) + AiffChunk("APPL", "ab") +
                            AiffComm(1, 1, 24, Extended80(11025))),
       {{"type", "AIFF"}, {"channels", "1 - Mono"}, {"bits", "24 bits"}, {"rate", "11.025 kHz"}}},
      {"AIFF leaves the compression alone", AiffFile("AIFF", AiffComm(2, 100, 16, Extended80(44100), "NONE")),
       kStereo44},
      {"format version 1", AiffFile("AIFC", AiffChunk("FVER", Hex("A2805140")) + AiffComm(2, 1, 16, Extended80(44100), "NONE")),
       {{"type", "AIFF-C"}, {"version", "AIFC Version 1"}, {"channels", "2 - Stereo"}, {"bits", "16 bits"},
        {"rate", "44.100 kHz"}, {"encoding", "Uncompressed"}}},
      {"another version stamp", AiffFile("AIFC", AiffChunk("FVER", Hex("A2805141"))),
       {{"type", "AIFF-C"}, {"version", "Unrecognized AIFC format version"}}},
      {"a copyright of size 10", AiffFile("AIFF", kComm44 + AiffChunk("(c) ", "All rights")),
       With(kStereo44, {{"copyright", "All right"}})},
      {"(C) matches too", AiffFile("AIFF", AiffChunk("(C) ", "Me\xA9!")), {{"type", "AIFF"}, {"copyright", "Me\xC2\xA9"}}},
      {"a copyright of size 0 stops the reader",
       AiffFile("AIFF", AiffChunk("(c) ", "") + AiffChunk("COMT", "late") + kComm44),
       {{"type", "AIFF"}, {"copyright", "ERROR"}}},
      {"a comment is its whole body but the last byte",
       AiffFile("AIFF", AiffChunk("COMT", Be16(1) + Be32(7) + Be16(0) + Be16(5) + "Hello") + kComm44),
       With(kStereo44, {{"comment", platform::Cp1252ToUtf8(Be16(1) + Be32(7) + Be16(0) + Be16(5) + "Hell")}})},
      {"a comment whose body ends the file", AiffFile("AIFF", kComm44 + AiffChunk("COMT", "note!")),
       With(kStereo44, {{"comment", "note"}})},
      {"a comment larger than the rest of the file",
       AiffFile("AIFF", kComm44 + "COMT" + Be32(6) + "note!"),
       With(kStereo44, {{"comment", "ERROR"}})},
      {"comm inside a comment", AiffFile("AIFF", kComm44 + AiffChunk("COMT", commInside)),
       {{"type", "AIFF"}, {"channels", "1 - Mono"}, {"bits", "8 bits"}, {"rate", "22.050 kHz"},
        {"comment", platform::Cp1252ToUtf8(commInside.substr(0, commInside.size() - 1))}}},
      {"a COMM cut off by the end reads zeros", "FORM" + Be32(8) + "AIFFCOMM" + Be32(18),
       {{"type", "AIFF"}, {"channels", " 0"}, {"bits", "0 bits"}, {"rate", "Undetermined"}}},
      {"a compression type cut off by the end",
       AiffFile("AIFC", AiffChunk("COMM", Be16(2) + Be32(1) + Be16(16) + Extended80(44100)) + "NO"),
       {{"type", "AIFF-C"}, {"channels", "2 - Stereo"}, {"bits", "16 bits"}, {"rate", "44.100 kHz"},
        {"encoding", "ERROR"}}},
      {"a sound size of 2^31 or more ends the reader silently",
       AiffFile("AIFF", "SSND" + Be32(0x80000000u) + kComm44), {{"type", "AIFF"}}},
  };
  RunTable(cases, "C:\\a.aif");
}

TEST_F(AnalyzerTest, AiffSampleRatesByTheirTableOrTheirValue) {
  const std::pair<std::string, const char*> rows[] = {
      // The table, matched by all ten bytes.
      {Extended80(11025), "11.025 kHz"},
      {Hex("400C ADDD 1744 0000 0000"), "11.127 kHz"},
      {Extended80(22050), "22.050 kHz"},
      {Extended80(44100), "44.100 kHz"},
      // Any other whole number of hertz, written as the table writes its own.
      {Extended80(48000), "48.000 kHz"},
      {Extended80(32000), "32.000 kHz"},
      {Extended80(24000), "24.000 kHz"},
      {Extended80(8000), "8.000 kHz"},
      {Extended80(96000), "96.000 kHz"},
      {Extended80(11127), "11.127 kHz"},
      {Extended80(1), "0.001 kHz"},
      {Extended80(4294967295u), "4294967.295 kHz"},
      {Hex("400C 7D00 0000 0000 0000"), "8.000 kHz"},  // 8000 with its integer bit clear
      {Hex("403E 8000 0000 0000 0000"), "9223372036854775.808 kHz"},  // 2^63
      // Spelt in hexadecimal without leading zeros, these would read like 11025 Hz.
      {Hex("40CA C404 0000 0000 0000"), "Undetermined"},
      {Hex("400D ADDD 1745 D145 D000"), "Undetermined"},  // 22254.54... Hz, not whole
      {Hex("3FFF C000 0000 0000 0000"), "Undetermined"},  // 1.5 Hz
      {Hex("3FFE 8000 0000 0000 0000"), "Undetermined"},  // 0.5 Hz
      {Hex("C00B FA00 0000 0000 0000"), "Undetermined"},  // -8000 Hz
      {Zeros(10), "Undetermined"},
      {Hex("403F 8000 0000 0000 0000"), "Undetermined"},  // 2^64, beyond 64 bits
      {Hex("7FFF 8000 0000 0000 0000"), "Undetermined"},  // infinity
      {Hex("7FFF C000 0000 0000 0000"), "Undetermined"},  // NaN
  };
  for (const auto& [bytes, text] : rows) {
    SCOPED_TRACE(text);
    Analyze(AiffFile("AIFF", AiffComm(1, 1, 8, bytes)), "C:\\a.aif");
    EXPECT_EQ(props.gAudioSampleRate, text);
  }
}

// Files made by another program; tests/fixtures/audio/aiff-rates/README.md says how and what
// an independent reader finds in them.
TEST_F(AnalyzerTest, AiffFilesMadeBySox) {
  struct Row {
    const char* file;
    FieldMap expected;
  };
  auto mono = [](const char* rate) {
    return FieldMap{{"type", "AIFF"}, {"channels", "1 - Mono"}, {"bits", "16 bits"}, {"rate", rate}};
  };
  const Row rows[] = {
      {"mono8000.aiff", mono("8.000 kHz")},
      {"mono11025.aiff", mono("11.025 kHz")},
      {"mono22050.aiff", mono("22.050 kHz")},
      {"mono44100.aiff", mono("44.100 kHz")},
      {"mono48000.aiff", mono("48.000 kHz")},
      {"mono96000.aiff", mono("96.000 kHz")},
      {"stereo32000-8bit.aiff",
       {{"type", "AIFF"}, {"channels", "2 - Stereo"}, {"bits", "8 bits"}, {"rate", "32.000 kHz"}}},
      {"stereo48000.aifc",
       {{"type", "AIFF-C"}, {"version", "AIFC Version 1"}, {"channels", "2 - Stereo"}, {"bits", "16 bits"},
        {"rate", "48.000 kHz"}, {"encoding", "Uncompressed"}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    std::ifstream in(std::string(TOLVAN_FIXTURES) + "/audio/aiff-rates/" + r.file, std::ios::binary);
    ASSERT_TRUE(in) << "fixture missing";
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FieldMap fields = Analyze(bytes, "C:\\a.aif");
    EXPECT_EQ(status, analysis::AnalysisStatus::Done);
    // An AIFF file's COMT body holds a count, a time stamp, a marker, a length and the text
    // "Processed by SoX": the comment is all that but the last byte.
    if (r.expected.at("type") == "AIFF") {
      ASSERT_EQ(fields.count("comment"), 1u);
      const std::string& comment = fields["comment"];
      EXPECT_EQ(comment.substr(comment.size() - 16), std::string("\x10Processed by So"));
      fields.erase("comment");
    }
    EXPECT_EQ(fields, r.expected);
  }
}

TEST_F(AnalyzerTest, AiffCCompressionTypes) {
  const std::pair<const char*, const char*> rows[] = {
      {"NONE", "Uncompressed"}, {"none", "Uncompressed"}, {"ACE2", "ACE 2:1"}, {"ace8", "ACE 8:3"},
      {"MAC3", "MACE 3:1"},     {"MAC6", "MACE6:1"},      {"sowt", "Undetermined"}, {"fl32", "Undetermined"},
  };
  for (const auto& [type, text] : rows) {
    SCOPED_TRACE(type);
    Analyze(AiffFile("AIFC", AiffComm(1, 1, 8, Extended80(8000), type)), "C:\\a.aifc");
    EXPECT_EQ(props.gAudioEncoding, text);
  }
}

// The sound data is skipped to the chunk's offset plus its size plus one: the next offset
// tried for an SSND of size 1000 at offset 54 is 1055.
TEST_F(AnalyzerTest, AiffSoundDataSkipLandsSevenBytesShortOfItsEnd) {
  for (std::size_t at : {std::size_t{1054}, std::size_t{1055}}) {
    SCOPED_TRACE(at);
    std::string file = AiffFile("AIFF", kComm44 + AiffChunk("APPL", "applicat"));
    ASSERT_EQ(file.size(), 54u);
    file += AiffChunk("SSND", Zeros(1000));
    Put(file, at, "(c) " + Be32(3) + "ab!");
    Analyze(file, "C:\\a.aif");
    EXPECT_EQ(props.gAudioCopyright, at == 1055 ? "ab" : "");
  }
}

// A COMT chunk every 8 bytes, each reaching to the end of the file, and a copyright among
// them: only the last of each survives.
TEST_F(AnalyzerTest, AiffTextsOverwrittenManyTimesGiveTheLastOne) {
  auto overlapping = [](std::size_t chunks, const std::string& tail) {
    std::string file = AiffFile("AIFF", kComm44 + AiffChunk("(c) ", "Me."));
    const std::size_t length = file.size() + 8 * chunks + 8 + tail.size() + 1;
    for (std::size_t i = 0; i <= chunks; ++i) file += "COMT" + Be32(static_cast<std::uint32_t>(length - file.size() - 8));
    return file + tail + '\0';
  };
  const std::vector<Case> cases = {
      {"thousands of comments through each other", overlapping(8000, "the end"),
       With(kStereo44, {{"copyright", "Me"}, {"comment", "the end"}})},
      {"a last comment past the end gives ERROR",
       AiffFile("AIFF", kComm44 + AiffChunk("COMT", "first") + "COMT" + Be32(1000) + "x"),
       With(kStereo44, {{"comment", "ERROR"}})},
  };
  RunTable(cases, "C:\\a.aif");
}
