#include <fstream>
#include <sstream>

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
      {"offset 0 is examined", Hex("FF FB 90 C4") + Zeros(96) + Hex("FF F3 A0 CC") + Zeros(20), kMpeg1Mono},
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

namespace {

// An MPEG 2 layer 3 frame, 96 kbit/s at 22.05 kHz, mono, copyrighted: 313 bytes.
const std::string kFrame2 = MpegFrame(Hex("FF F3 A0 CC"), 313);
const FieldMap kMpeg2Mono = {{"type", "MPEG"},
                             {"version", "MPEG 2 layer 3"},
                             {"rate", "22.05 kHz"},
                             {"channels", "1 - Mono"},
                             {"copyright", "This file is copyrighted"}};
// A plausible MPEG 1 header whose next frame, 417 bytes on, would also be one.
const std::string kFalsePair = Hex("FF FB 90 C4") + Zeros(413) + Hex("FF FB 90 C4");

std::string Id3v2(const std::string& body, char version = 3, char flags = 0) {
  const std::size_t n = body.size();
  std::string size = {static_cast<char>((n >> 21) & 127), static_cast<char>((n >> 14) & 127),
                      static_cast<char>((n >> 7) & 127), static_cast<char>(n & 127)};
  return "ID3" + std::string{version, 0, flags} + size + body;
}

std::string WithAt(std::string bytes, std::size_t at, const std::string& part) {
  bytes.replace(at, part.size(), part);
  return bytes;
}

}  // namespace

// A sync counts when the next frame, where the first one's length puts it, starts with a
// header of the same stream, or the file ends there; else the first sync found is kept.
TEST_F(AnalyzerTest, MpegConfirmedFrameSync) {
  const std::vector<Case> cases = {
      {"a frame at offset 0 before a false sync in its own data",
       WithAt(kFrame2, 9, Hex("FF FB 90 C4")) + kFrame2 + kFrame2, kMpeg2Mono},
      {"an ID3v2 tag whose body holds FF FB is skipped by its size",
       Id3v2("APIC" + Zeros(6) + kFalsePair + Zeros(40)) + kFrame2 + kFrame2, kMpeg2Mono},
      {"an ID3v2.4 tag with a footer", Id3v2(kFalsePair, 4, 0x10) + "3DI" + Zeros(7) + kFrame2 + kFrame2,
       kMpeg2Mono},
      {"junk with a false sync before the real frame",
       "junk" + Hex("FF FB 90 C4") + std::string(42, 'x') + kFrame2 + kFrame2 + kFrame2, kMpeg2Mono},
      {"a frame that ends where the file ends", Hex("00 FF FB 90 C4") + Zeros(60) + kFrame2, kMpeg2Mono},
      {"a frame followed by an ID3v1 tag", Hex("00 FF FB 90 C4") + Zeros(60) + kFrame2 + Id3v1("", "", "", "", "", 0),
       FieldMap(kMpeg2Mono.begin(), kMpeg2Mono.end())},
      {"a next header of another stream confirms nothing",
       Hex("00 FF FB 90 C4") + Zeros(412) + Hex("FF F3 A0 CC") + Zeros(40), kMpeg1Mono},
      {"no sync confirmed: the first one found", Hex("00 FF F3 A0 CC") + Zeros(90) + Hex("FF FB 90 C4") + Zeros(30),
       kMpeg2Mono},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FieldMap got = Analyze(c.bytes, "C:\\a.mp3");
    for (const char* tagField : {"name", "artist", "album", "year", "comment", "genre"}) got.erase(tagField);
    EXPECT_EQ(got, c.expected);
  }
}

// Files made by a real encoder (tests/fixtures/audio/README.md); the expected fields are
// those an independent reader gave for each.
TEST_F(AnalyzerTest, MpegFilesOfARealEncoder) {
  const std::string folder = TOLVAN_AUDIO_FIXTURES;
  std::ifstream table(folder + "/mp3-fields.tsv");
  ASSERT_TRUE(table) << folder;
  const std::map<std::string, std::string> versions = {{"1.000000", "MPEG 1"}, {"2.000000", "MPEG 2"},
                                                       {"2.500000", "MPEG 2.5"}};
  const std::map<std::string, std::string> layers = {{"I", " layer 1"}, {"II", " layer 2"}, {"III", " layer 3"}};
  const std::map<std::string, std::string> modes = {{"mono", "1 - Mono"},
                                                    {"stereo", "2 - Stereo"},
                                                    {"joint stereo", "2 - Joint stereo"},
                                                    {"dual channel", "2 - Dual channel (stereo)"}};
  const std::map<std::string, std::string> rates = {
      {"8000", "8 kHz"},      {"11025", "11.025 kHz"}, {"12000", "12 kHz"},   {"16000", "16 kHz"}, {"22050", "22.05 kHz"},
      {"24000", "24 kHz"},    {"32000", "32 kHz"},     {"44100", "44.1 kHz"}, {"48000", "48 kHz"}};
  std::string line;
  std::getline(table, line);  // the heading
  int files = 0;
  while (std::getline(table, line)) {
    std::istringstream row(line);
    std::string file, version, layer, mode, hertz;
    std::getline(row, file, '\t');
    std::getline(row, version, '\t');
    std::getline(row, layer, '\t');
    std::getline(row, mode, '\t');
    std::getline(row, hertz, '\t');
    SCOPED_TRACE(file);
    std::ifstream in(folder + "/" + file, std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FieldMap got = Analyze(bytes, "C:\\a.mp3");
    EXPECT_EQ(got["version"], versions.at(version) + layers.at(layer));
    EXPECT_EQ(got["rate"], rates.at(hertz));
    EXPECT_EQ(got["channels"], modes.at(mode));
    EXPECT_EQ(got.count("copyright"), 0u);
    ++files;
  }
  EXPECT_EQ(files, 19) << "the table lists every fixture";
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
