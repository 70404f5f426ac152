#include "analysis_test_support.h"
#include "audio_builders.h"

using namespace audio_builders;
using namespace analysis_test;

namespace {

const FieldMap kMpeg1Mono = {
    {"type", "MPEG"}, {"version", "MPEG 1 layer 3"}, {"rate", "44.1 kHz"}, {"channels", "1 - Mono"}};

std::string AtOne(const std::string& header) { return std::string(1, '\0') + Hex(header) + Zeros(20); }

}  // namespace

TEST_F(AnalyzerTest, MpegFrameHeaderDecoding) {
  std::vector<Case> cases = {
      {"FF FB 90 C4", AtOne("FF FB 90 C4"), kMpeg1Mono},
      {"FF F3 A0 CC", AtOne("FF F3 A0 CC"),
       {{"type", "MPEG"}, {"version", "MPEG 2 layer 3"}, {"rate", "22.05 kHz"}, {"channels", "1 - Mono"},
        {"copyright", "This file is copyrighted"}}},
      {"FF FB 90 64", AtOne("FF FB 90 64"),
       {{"type", "MPEG"}, {"version", "MPEG 1 layer 3"}, {"rate", "44.1 kHz"}, {"channels", "2 - Joint stereo"}}},
      {"MPEG 1 layer 2 48 kHz stereo", AtOne("FF FD 94 00"),
       {{"type", "MPEG"}, {"version", "MPEG 1 layer 2"}, {"rate", "48 kHz"}, {"channels", "2 - Stereo"}}},
      {"MPEG 1 layer 1 32 kHz dual", AtOne("FF FF 98 80"),
       {{"type", "MPEG"}, {"version", "MPEG 1 layer 1"}, {"rate", "32 kHz"},
        {"channels", "2 - Dual channel (stereo)"}}},
      {"MPEG 2 layer 2 24 kHz", AtOne("FF F5 94 C0"),
       {{"type", "MPEG"}, {"version", "MPEG 2 layer 2"}, {"rate", "24 kHz"}, {"channels", "1 - Mono"}}},
      {"MPEG 2 layer 1 16 kHz", AtOne("FF F7 98 C0"),
       {{"type", "MPEG"}, {"version", "MPEG 2 layer 1"}, {"rate", "16 kHz"}, {"channels", "1 - Mono"}}},
      {"MPEG 2.5 layer 3 11.025 kHz", AtOne("FF E3 90 C0"),
       {{"type", "MPEG"}, {"version", "MPEG 2.5 layer 3"}, {"rate", "11.025 kHz"}, {"channels", "1 - Mono"}}},
      {"MPEG 2.5 layer 2 12 kHz", AtOne("FF E5 94 C0"),
       {{"type", "MPEG"}, {"version", "MPEG 2.5 layer 2"}, {"rate", "12 kHz"}, {"channels", "1 - Mono"}}},
      {"MPEG 2.5 layer 1 8 kHz", AtOne("FF E7 98 C0"),
       {{"type", "MPEG"}, {"version", "MPEG 2.5 layer 1"}, {"rate", "8 kHz"}, {"channels", "1 - Mono"}}},
      {"offset 0 is not examined", Hex("FF F3 A0 CC") + Zeros(96) + Hex("FF FB 90 C4") + Zeros(20), kMpeg1Mono},
      {"the last candidate uses the file's last four bytes", Zeros(20) + Hex("FF FB 90 C4"), kMpeg1Mono},
      {"a header cut by the end is none", Zeros(21) + Hex("FF FB 90"), {{"type", "MPEG"}}},
      {"no sync at all", Zeros(64) + Hex("FE FB 90 C4 FF DF 90 C4"), {{"type", "MPEG"}}},
  };
  // Each of these is passed over and the header behind it is decoded.
  for (const char* rejected : {"FF FB F0 C4", "FF FB 9C C4", "FF EB 90 C4", "FF F9 90 C4", "FF FB 90 C6"}) {
    cases.push_back({rejected, std::string(1, '\0') + Hex(rejected) + Hex("FF FB 90 C4") + Zeros(20), kMpeg1Mono});
  }
  RunTable(cases, "C:\\a.mp3");
}

TEST_F(AnalyzerTest, MpegId3v1Tag) {
  const std::string frame = AtOne("FF FB 90 C4") + Zeros(200);
  const std::string title5 = "Hello" + Zeros(25);
  FieldMap tagged = kMpeg1Mono;
  tagged.insert({{"name", title5},
                 {"artist", "Artist" + Zeros(24)},
                 {"album", "Album" + Zeros(25)},
                 {"year", "1999"},
                 {"comment", "Nice" + Zeros(25) + "\x05"},
                 {"genre", "Rock"}});
  std::vector<Case> cases = {
      {"a full tag, padding kept", frame + Id3v1("Hello", "Artist", "Album", "1999", "Nice" + Zeros(25) + "\x05", 17),
       tagged},
      {"Tag counts", frame + Id3v1("Hello", "Artist", "Album", "1999", "Nice" + Zeros(25) + "\x05", 17, "Tag"), tagged},
      {"tag counts", frame + Id3v1("Hello", "Artist", "Album", "1999", "Nice" + Zeros(25) + "\x05", 17, "tag"), tagged},
      {"TAX does not", frame + Id3v1("Hello", "Artist", "Album", "1999", "Nice", 17, "TAX"), kMpeg1Mono},
      {"no frame, still a tag", Zeros(50) + Id3v1("T", "A", "B", "2001", "C", 0),
       {{"type", "MPEG"}, {"name", "T" + Zeros(29)}, {"artist", "A" + Zeros(29)}, {"album", "B" + Zeros(29)},
        {"year", "2001"}, {"comment", "C" + Zeros(29)}, {"genre", "Blues"}}},
      {"a tag that is the whole file", Id3v1("\xC9t\xE9", "", "", "    ", "", 255),
       {{"type", "MPEG"}, {"name", "\xC3\x89t\xC3\xA9" + Zeros(27)}, {"artist", Zeros(30)}, {"album", Zeros(30)},
        {"year", "    "}, {"comment", Zeros(30)}, {"genre", "Unknown"}}},
      {"fewer than 128 bytes hold no tag", Id3v1("T", "A", "B", "2001", "C", 0).substr(0, 127), {{"type", "MPEG"}}},
  };
  RunTable(cases, "C:\\a.mp3");
}

TEST_F(AnalyzerTest, MpegGenreNames) {
  const std::pair<int, const char*> rows[] = {{0, "Blues"},       {17, "Rock"},   {40, "AlternRock"},
                                              {46, "Inst. Pop"},  {51, "Techno-Indust."}, {67, "Psychadelic"},
                                              {77, "Musicals"},   {79, "Hard Rock"}, {80, "Unknown"},
                                              {126, "Unknown"},   {255, "Unknown"}};
  for (const auto& [genre, name] : rows) {
    SCOPED_TRACE(genre);
    Analyze(Zeros(10) + Id3v1("", "", "", "", "", static_cast<std::uint8_t>(genre)), "C:\\a.mp3");
    EXPECT_EQ(props.gAudioGenre, name);
  }
}
