// Files larger than one read: what straddles the blocks the file is read in is still found,
// and offsets past 4 GiB work.
#include <fcntl.h>
#include <unistd.h>

#include "analysis_test_support.h"
#include "audio_builders.h"

using namespace audio_builders;
using namespace analysis_test;

namespace {

// Offsets around where the reads of a file without chunks to skip begin and end: the first
// block is 64 KiB, each further one twice the last (up to 1 MiB), each starting three bytes
// before the end of the one before.
std::vector<std::size_t> OffsetsAcrossBlocks() {
  std::vector<std::size_t> offsets;
  std::size_t start = 0, block = 64 * 1024;
  for (int k = 0; k < 4; ++k) {
    std::size_t end = start + block;
    for (std::size_t at = end - 10; at <= end + 6; ++at) offsets.push_back(at);
    start = end - 3;
    block *= 2;
  }
  return offsets;
}

}  // namespace

TEST_F(AnalyzerTest, ChunksAcrossReadBlocksAreFound) {
  for (std::size_t at : OffsetsAcrossBlocks()) {
    SCOPED_TRACE(at);
    std::string wave = RiffFile("WAVE", "");
    Put(wave, at, InfoText("INAM", "Hello"));
    wave += Zeros(8);  // so that the chunk is not among the last bytes
    EXPECT_EQ(Analyze(wave, "C:\\big.wav"), (FieldMap{{"type", "WAVE"}, {"name", "Hello"}}));

    std::string aiff = AiffFile("AIFC", "");
    Put(aiff, at, AiffComm(2, 1, 16, Extended80(44100), "MAC6"));
    EXPECT_EQ(Analyze(aiff, "C:\\big.aif"), (FieldMap{{"type", "AIFF-C"}, {"channels", "2 - Stereo"},
                                                        {"bits", "16 bits"}, {"rate", "44.100 kHz"},
                                                        {"encoding", "MACE6:1"}}));

    std::string mpeg = Zeros(at) + Hex("FF FB 90 C4") + Zeros(200) + Id3v1("T", "", "", "", "", 79);
    FieldMap fields = Analyze(mpeg, "C:\\big.mp3");
    EXPECT_EQ(fields["version"], "MPEG 1 layer 3");
    EXPECT_EQ(fields["genre"], "Hard Rock");
  }
}

TEST_F(AnalyzerTest, TextsLongerThanABlock) {
  const std::string comment(200000, 'c');
  std::string wave = RiffFile("WAVE", Zeros(100000) + InfoText("ICMT", comment) + InfoText("INAM", "n"));
  EXPECT_EQ(Analyze(wave), (FieldMap{{"type", "WAVE"}, {"comment", comment}, {"name", "n"}}));
  std::string au = AuFile(24 + 300000, 2, 8000, 1, std::string(300000, '\xE9'));
  Analyze(au, "C:\\a.au");
  EXPECT_EQ(props.gAudioComment.size(), 600000u) << "each e-acute is two bytes of UTF-8";
}

// A sparse file of more than 4 GiB: the data chunks are skipped with 64-bit offsets.
TEST_F(AnalyzerTest, OffsetsPastFourGigabytes) {
  // Each skip lands one byte behind its chunk's identifier plus its size.
  const std::int64_t second = 12 + 0x7FFFFFF0LL + 1;
  const std::int64_t third = second + 0x7FFFFFF0LL + 1;
  const std::int64_t title = third + 0x30000000LL + 1;
  std::string host = drives.Host("C:\\huge.wav");
  drives.Write("C:\\huge.wav", "");
  int fd = ::open(host.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  auto put = [&](std::int64_t at, const std::string& bytes) {
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
  };
  put(0, "RIFF" + Le32(0) + "WAVE" + "data" + Le32(0x7FFFFFF0));
  put(second, "data" + Le32(0x7FFFFFF0));
  put(third, "data" + Le32(0x30000000));
  put(title, InfoText("INAM", "Far") + Zeros(8));
  ::close(fd);
  status = analysis::AnalyzeAudioFile("C:\\huge.wav", props, nullptr);
  EXPECT_EQ(status, analysis::AnalysisStatus::Done);
  EXPECT_EQ(props.gAudioFileLength, title + 20);
  EXPECT_GT(props.gAudioFileLength, 4LL << 30);
  EXPECT_EQ(Fields(props), (FieldMap{{"type", "WAVE"}, {"name", "Far"}}));
}
