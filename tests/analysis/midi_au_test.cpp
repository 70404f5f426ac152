#include "analysis_test_support.h"
#include "audio_builders.h"

using namespace audio_builders;
using namespace analysis_test;

TEST_F(AnalyzerTest, MidiHeaderNumbers) {
  std::vector<Case> cases = {
      {"bare format 1", MidiFile(1, 4, 480, MidiTrack(Hex("00 FF 2F 00"))),
       {{"type", "MIDI"}, {"version", "Synch multitrack"}, {"channels", " 4"}, {"division", " 480"}}},
      {"RMID with a format-0 header at offset 20", RmidFile(MidiFile(0, 1, 96, MidiTrack(Hex("00 FF 2F 00")))),
       {{"type", "RMID"}, {"version", "Single track"}, {"channels", " 1"}, {"division", " 96"}}},
      {"format 2", MidiFile(2, 16, 192), {{"type", "MIDI"}, {"version", "Async multitrack"}, {"channels", " 16"},
                                          {"division", " 192"}}},
      {"format 3 is invalid, the rest is read", MidiFile(3, 2, 96),
       {{"type", "MIDI"}, {"version", "Invalid header"}, {"channels", " 2"}, {"division", " 96"}}},
      {"a time-code division is a plain number", MidiFile(0, 65535, 0xE728),
       {{"type", "MIDI"}, {"version", "Single track"}, {"channels", " 65535"}, {"division", " 59176"}}},
      {"13 bytes: the missing byte counts as zero", "MThd" + Be32(6) + Hex("00 01 00 02 01"),
       {{"type", "MIDI"}, {"version", "Synch multitrack"}, {"channels", " 2"}, {"division", " 256"}}},
      {"a short RMID file reads zeros", RiffFile("RMID", "x"),
       {{"type", "RMID"}, {"version", "Single track"}, {"channels", " 0"}, {"division", " 0"}}},
  };
  RunTable(cases, "C:\\a.mid");
}

TEST_F(AnalyzerTest, AuHeaderAndAnnotation) {
  std::vector<Case> cases = {
      {"16-bit stereo", AuFile(24, 3, 44100, 2, Zeros(8)),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "44.1 kHz"},
        {"channels", "2 - Stereo"}}},
      {"u-law mono", AuFile(24, 1, 8000, 1, Zeros(8)),
       {{"type", "Sun/NeXT AU"}, {"bits", "8 bits"}, {"encoding", "ISDN u-law"}, {"rate", "8 kHz"},
        {"channels", "1 - Mono"}}},
      {"an annotation keeps its zero bytes", AuFile(32, 2, 8012, 4, std::string("abcd\0\0\0\0", 8) + "data"),
       {{"type", "Sun/NeXT AU"}, {"bits", "8 bits"}, {"encoding", "Linear PCM"}, {"rate", "8.012 kHz"},
        {"channels", " 4"}, {"comment", std::string("abcd\0\0\0\0", 8)}}},
      {"an annotation is Windows-1252", AuFile(28, 3, 22050, 1, "\xA9 me"),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "22.05 kHz"},
        {"channels", "1 - Mono"}, {"comment", "\xC2\xA9 me"}}},
      {"a data offset below 24 gives no comment", AuFile(20, 3, 8000, 1, "abcdefgh"),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "8 kHz"},
        {"channels", "1 - Mono"}}},
      {"a data offset with its first byte 128 or more", AuFile(0x80000018u, 3, 8000, 1), {{"type", "Sun/NeXT AU"}}},
      {"an encoding with its first byte 128 or more", AuFile(24, 0x80000003u, 8000, 1),
       {{"type", "Sun/NeXT AU"}, {"encoding", "ERROR"}}},
      {"a rate with its first byte 128 or more", AuFile(24, 3, 0xFFFFFFFFu, 1),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "ERROR"}}},
      {"channels with the first byte 128 or more", AuFile(28, 3, 8000, 0x80000001u, "note"),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "8 kHz"},
        {"channels", "ERROR"}}},
      {"16 bytes: the missing header reads as zeros", ".snd" + Be32(28) + Be32(0) + Be32(3),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "0 kHz"},
        {"channels", " 0"}, {"comment", Zeros(4)}}},
      {"an annotation past the end is made up with zeros", AuFile(40, 3, 8000, 1, "abc"),
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "8 kHz"},
        {"channels", "1 - Mono"}, {"comment", "abc" + Zeros(13)}}},
  };
  RunTable(cases, "C:\\a.au");
}

TEST_F(AnalyzerTest, AuEncodingTable) {
  const std::pair<std::uint32_t, FieldMap> rows[] = {
      {1, {{"bits", "8 bits"}, {"encoding", "ISDN u-law"}}},
      {2, {{"bits", "8 bits"}, {"encoding", "Linear PCM"}}},
      {3, {{"bits", "16 bits"}, {"encoding", "Linear PCM"}}},
      {4, {{"bits", "24 bits"}, {"encoding", "Linear PCM"}}},
      {5, {{"bits", "32 bits"}, {"encoding", "Linear PCM"}}},
      {6, {{"bits", "32 bits"}, {"encoding", "IEEE floating point"}}},
      {7, {{"bits", "64 bits"}, {"encoding", "IEEE floating point"}}},
      {23, {{"bits", "8 bits"}, {"encoding", "ITU G.721 ADPCM"}}},
      {0, {{"bits", "Undetermined"}, {"encoding", "Undetermined"}}},
      {27, {{"bits", "Undetermined"}, {"encoding", "Undetermined"}}},
  };
  for (const auto& [encoding, texts] : rows) {
    SCOPED_TRACE(encoding);
    FieldMap expected = texts;
    expected.insert({{"type", "Sun/NeXT AU"}, {"rate", "8 kHz"}, {"channels", "1 - Mono"}});
    EXPECT_EQ(Analyze(AuFile(24, encoding, 8000, 1), "C:\\a.au"), expected);
  }
}

// A header whose data offset lies far beyond the end would make up a comment of any
// length; up to 64 KiB past the end it is made up, beyond that it is an error.
TEST_F(AnalyzerTest, AuAnnotationFarPastTheEndIsAnError) {
  const std::string head = AuFile(0, 3, 8000, 1, "xyz");  // 27 bytes
  std::string file = head;
  Put(file, 4, Be32(27 + 65536));
  Analyze(file, "C:\\a.au");
  EXPECT_EQ(props.gAudioComment, "xyz" + Zeros(65536));
  Put(file, 4, Be32(27 + 65537));
  Analyze(file, "C:\\a.au");
  EXPECT_EQ(props.gAudioComment, "ERROR");
  EXPECT_EQ(props.gAudioChannels, "1 - Mono");
  Put(file, 4, Be32(0x7FFFFFFF));
  Analyze(file, "C:\\a.au");
  EXPECT_EQ(props.gAudioComment, "ERROR");
}
