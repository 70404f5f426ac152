#include "analysis_test_support.h"
#include "audio_builders.h"

using namespace audio_builders;
using namespace analysis_test;

namespace {

const FieldMap kPcmStereo = {{"type", "WAVE"},
                             {"encoding", "PCM/Uncompressed"},
                             {"channels", "2 - Stereo"},
                             {"rate", "44.1 kHz"},
                             {"bits", "16 bits"}};

FieldMap With(FieldMap base, const FieldMap& more) {
  for (const auto& [k, v] : more) base[k] = v;
  return base;
}

}  // namespace

TEST_F(AnalyzerTest, WaveChunksAndTheirEdges) {
  const std::string fmt = WaveFmt(1, 2, 44100, 16);
  std::vector<Case> cases = {
      {"44-byte PCM file", RiffFile("WAVE", fmt + RiffChunk("data", "")), kPcmStereo},
      {"identifiers in upper case",
       RiffFile("WAVE", WaveFmt(1, 1, 8000, 8, "FMT ") + InfoText("ICMT", "Hi") + RiffChunk("DATA", "")),
       {{"type", "WAVE"}, {"encoding", "PCM/Uncompressed"}, {"channels", "1 - Mono"}, {"rate", "8 kHz"},
        {"bits", "8 bits"}, {"comment", "Hi"}}},
      {"every INFO text",
       RiffFile("WAVE", fmt + RiffChunk("LIST", "INFO" + InfoText("ICMT", "c") + InfoText("ICOP", "(C) 1999") +
                                                    InfoText("ICRD", "1999-01-02") + InfoText("IENG", "e") +
                                                    InfoText("INAM", "n") + InfoText("IPRD", "p") +
                                                    InfoText("ISFT", "s"))),
       With(kPcmStereo, {{"comment", "c"}, {"copyright", "(C) 1999"}, {"date", "1999-01-02"}, {"engineer", "e"},
                         {"name", "n"}, {"product", "p"}, {"software", "s"}})},
      {"a title of size 6", RiffFile("WAVE", fmt + InfoText("INAM", "Hello")), With(kPcmStereo, {{"name", "Hello"}})},
      {"a title of size 1 is empty", RiffFile("WAVE", fmt + InfoText("INAM", "") + InfoText("ICMT", "later")),
       With(kPcmStereo, {{"comment", "later"}})},
      {"a title of size 0 stops the reader", RiffFile("WAVE", fmt + RiffChunk("INAM", "") + InfoText("ICMT", "later")),
       With(kPcmStereo, {{"name", "ERROR"}})},
      {"an INFO text running past the end", RiffFile("WAVE", fmt + "INAM" + Le32(100) + "short"),
       With(kPcmStereo, {{"name", "ERROR"}})},
      {"an INFO text whose last byte is the file's", RiffFile("WAVE", fmt + "INAM" + Le32(6) + "Hello"),
       With(kPcmStereo, {{"name", "Hello"}})},
      {"an INFO text one byte short of it", RiffFile("WAVE", fmt + "INAM" + Le32(6) + "Hell"),
       With(kPcmStereo, {{"name", "ERROR"}})},
      {"texts are Windows-1252, zero bytes kept",
       RiffFile("WAVE", fmt + InfoText("INAM", "Caf\xE9") + InfoText("ICMT", std::string("a\0b", 3))),
       With(kPcmStereo, {{"name", "Caf\xC3\xA9"}, {"comment", std::string("a\0b", 3)}})},
      {"a sample rate with its top byte 128 or more",
       RiffFile("WAVE", WaveFmt(1, 2, 0x80000000u, 16) + InfoText("INAM", "x")),
       {{"type", "WAVE"}, {"encoding", "PCM/Uncompressed"}, {"channels", "2 - Stereo"}, {"rate", "ERROR"}}},
      {"a data size with its top byte 128 or more ends silently",
       RiffFile("WAVE", fmt + "data" + Le32(0x80000000u) + InfoText("INAM", "x")), kPcmStereo},
      {"16 bytes: no candidate offset", "RIFF" + Le32(8) + "WAVEfmt ", {{"type", "WAVE"}}},
      {"17 bytes: a format chunk cut short reads as zeros", "RIFF" + Le32(9) + "WAVEfmt x",
       {{"type", "WAVE"}, {"encoding", "Unknown"}, {"channels", " 0"}, {"rate", "0 kHz"}, {"bits", "0 bits"}}},
      {"an identifier in the last four bytes is not found", RiffFile("WAVE", fmt + "xICMT"), kPcmStereo},
      {"one in the five bytes before is", RiffFile("WAVE", fmt + "ICMTx"), With(kPcmStereo, {{"comment", "ERROR"}})},
      {"data in a comment is taken as a data chunk",
       RiffFile("WAVE", fmt + InfoText("ICMT", "Some data here") + InfoText("INAM", "lost")),
       With(kPcmStereo, {{"comment", "Some data here"}})},
      {"the scan goes on seven bytes before a data chunk's end",
       RiffFile("WAVE", fmt + "data" + Le32(8) + std::string("\0INAM\x03\0\0", 8) + std::string("\0Hi\0", 4)),
       With(kPcmStereo, {{"name", "Hi"}})},
      {"and not eight", RiffFile("WAVE", fmt + "data" + Le32(8) + "INAM" + Le32(3) + std::string("Hi\0", 3)),
       kPcmStereo},
      {"a chunk found again is read again", RiffFile("WAVE", WaveFmt(7, 1, 8000, 8) + fmt), kPcmStereo},
      {"a failed second format chunk keeps what the first gave after it",
       RiffFile("WAVE", fmt + WaveFmt(2, 1, 0xFFFFFFFFu, 4)),
       {{"type", "WAVE"}, {"encoding", "Microsoft ADPCM"}, {"channels", "1 - Mono"}, {"rate", "ERROR"},
        {"bits", "16 bits"}}},
  };
  RunTable(cases);
}

TEST_F(AnalyzerTest, WaveNumbersBecomeTexts) {
  struct Row {
    std::uint32_t tag, channels, rate;
    const char *encoding, *channelsText, *rateText;
  };
  const Row rows[] = {
      {0, 1, 8000, "Unknown", "1 - Mono", "8 kHz"},
      {1, 2, 44100, "PCM/Uncompressed", "2 - Stereo", "44.1 kHz"},
      {2, 6, 22050, "Microsoft ADPCM", " 6", "22.05 kHz"},
      {6, 0, 11025, "ITU G.711 a-law", " 0", "11.025 kHz"},
      {7, 3, 500, "ITU G.711 mu-law", " 3", ".5 kHz"},
      {17, 65535, 0, "IMA ADPCM", " 65535", "0 kHz"},
      {20, 1, 48000, "ITU G.723 ADPCM (Yamaha)", "1 - Mono", "48 kHz"},
      {49, 1, 8012, "GSM 6.10", "1 - Mono", "8.012 kHz"},
      {64, 1, 2147483647, "ITU G.721 ADPCM", "1 - Mono", "2147483.647 kHz"},
      {80, 1, 1, "MPEG", "1 - Mono", ".001 kHz"},
      {85, 1, 32000, "MPEG 1/Layer 3", "1 - Mono", "32 kHz"},
      {3, 1, 8000, "Undefined", "1 - Mono", "8 kHz"},
      {65534, 1, 8000, "Undefined", "1 - Mono", "8 kHz"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.tag);
    EXPECT_EQ(Analyze(RiffFile("WAVE", WaveFmt(r.tag, r.channels, r.rate, 24))),
              (FieldMap{{"type", "WAVE"}, {"encoding", r.encoding}, {"channels", r.channelsText},
                        {"rate", r.rateText}, {"bits", "24 bits"}}));
  }
}

namespace {

// A format chunk and `before`, then an ICMT chunk every 8 bytes, each reaching to the end of
// the file, and a last one whose text is `tail` (the file's last bytes but its zero byte).
std::string OverlappingComments(std::size_t chunks, const std::string& tail, const std::string& before = {}) {
  std::string file = RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + before);
  const std::size_t length = file.size() + 8 * chunks + 8 + tail.size() + 1;
  for (std::size_t i = 0; i <= chunks; ++i) file += "ICMT" + Le32(static_cast<std::uint32_t>(length - file.size() - 8));
  return file + tail + '\0';
}

}  // namespace

// Each text chunk is overwritten by the next; only the last one's text is the field.
TEST_F(AnalyzerTest, WaveTextsOverwrittenManyTimesGiveTheLastOne) {
  const std::string title = InfoText("INAM", "Title");
  const std::vector<Case> cases = {
      {"thousands of comments through each other", OverlappingComments(8000, "the end"),
       With(kPcmStereo, {{"comment", "the end"}})},
      {"a title before them stays", OverlappingComments(2000, "last", title),
       With(kPcmStereo, {{"name", "Title"}, {"comment", "last"}})},
      {"a last comment past the end gives ERROR and keeps the title",
       RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + title + InfoText("ICMT", "first") + "ICMT" + Le32(1000) + "x"),
       With(kPcmStereo, {{"name", "Title"}, {"comment", "ERROR"}})},
      {"a comment of size 0 after a good one gives ERROR and ends the reader",
       RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + InfoText("ICMT", "first") + RiffChunk("ICMT", "") + title),
       With(kPcmStereo, {{"comment", "ERROR"}})},
  };
  RunTable(cases);
}

// A text that cannot be read (a bad sector) gives ERROR where it is found and ends the reader,
// even though a data chunk inside it makes the scan jump over the bad bytes.
TEST_F(AnalyzerTest, WaveTextOverABadSectorGivesErrorWhereItIsFound) {
  std::string file = RiffFile("WAVE", WaveFmt(1, 2, 44100, 16));
  const std::size_t length = 36 + 8 + 14 + 8 + 4000;
  file += "ICMT" + Le32(static_cast<std::uint32_t>(length - 44)) + InfoText("INAM", "Name!") + "data" +
          Le32(4004) + Zeros(4000);  // the skip lands past the last offset tried
  ASSERT_EQ(file.size(), length);
  ReadFaultFrom fault(static_cast<std::int64_t>(length) - 100);
  EXPECT_EQ(Analyze(file), With(kPcmStereo, {{"comment", "ERROR"}}));
  EXPECT_EQ(status, analysis::AnalysisStatus::Done);
}
