#include <sys/stat.h>

#include "analysis_test_support.h"
#include "audio_builders.h"
#include "platform/core/drives.h"
#include "support/fake_mediaplayer.h"

using namespace audio_builders;
using namespace analysis_test;
using analysis::AnalysisStatus;

namespace {

// Enough bytes behind every magic that no reader finds anything in them.
std::string Behind(const std::string& head) { return head + Zeros(40); }

}  // namespace

TEST_F(AnalyzerTest, TypeByMagicBeforeExtension) {
  struct Row {
    const char* what;
    std::string bytes;
    const char* path;
    const char* type;
    AnalysisStatus status;
  };
  const std::string id3v2 = Behind("ID3\x03" + Zeros(6));
  const Row rows[] = {
      {"WAVE", Behind("RIFF" + Le32(0) + "WAVE"), "C:\\a.wav", "WAVE", AnalysisStatus::Done},
      {"WAVE named .mp3", Behind("RIFF" + Le32(0) + "WAVE"), "C:\\a.mp3", "WAVE", AnalysisStatus::Done},
      {"RMID", Behind("RIFF" + Le32(0) + "RMID"), "C:\\a.rmi", "RMID", AnalysisStatus::Done},
      {"AVI", Behind("RIFF" + Le32(0) + "AVI "), "C:\\a.wav", "Unsupported RIFF format", AnalysisStatus::Unsupported},
      {"RIFF AIFF", Behind("RIFF" + Le32(0) + "AIFF"), "C:\\a.mp3", "Unsupported RIFF format",
       AnalysisStatus::Unsupported},
      {"AIFF", Behind("FORM" + Be32(0) + "AIFF"), "C:\\a.aif", "AIFF", AnalysisStatus::Done},
      {"AIFC", Behind("FORM" + Be32(0) + "AIFC"), "C:\\a.aif", "AIFF-C", AnalysisStatus::Done},
      {"FORM 8SVX", Behind("FORM" + Be32(0) + "8SVX"), "C:\\a.aif", "Unsupported AIFF format",
       AnalysisStatus::Unsupported},
      {"FORM WAVE", Behind("FORM" + Be32(0) + "WAVE"), "C:\\a.wav", "Unsupported AIFF format",
       AnalysisStatus::Unsupported},
      {"FORM aiff in lower case", Behind("FORM" + Be32(0) + "aiff"), "C:\\a.aif", "Unsupported AIFF format",
       AnalysisStatus::Unsupported},
      {"AU", Behind(".snd"), "C:\\a.au", "Sun/NeXT AU", AnalysisStatus::Done},
      {"MIDI", Behind("MThd"), "C:\\a.mid", "MIDI", AnalysisStatus::Done},
      {"riff in lower case", Behind("riff" + Le32(0) + "WAVE"), "C:\\a.wav", "", AnalysisStatus::Done},
      {"riff in lower case named .mp3", Behind("riff" + Le32(0) + "WAVE"), "C:\\a.mp3", "MPEG", AnalysisStatus::Done},
      {"ID3v2 named SONG.MP3", id3v2, "C:\\SONG.MP3", "MPEG", AnalysisStatus::Done},
      {"ID3v2 named .Mp3", id3v2, "C:\\x\\b.Mp3", "MPEG", AnalysisStatus::Done},
      {"ID3v2 named song.wav", id3v2, "C:\\song.wav", "", AnalysisStatus::Done},
      {"ID3v2 named mp3 without a dot", id3v2, "C:\\songmp3", "", AnalysisStatus::Done},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    FieldMap fields = Analyze(r.bytes, r.path);
    EXPECT_EQ(props.gAudioFileType, r.type);
    EXPECT_EQ(status, r.status);
    if (r.status == AnalysisStatus::Unsupported) {
      EXPECT_EQ(fields, (FieldMap{{"type", r.type}}));
    }
  }
}

TEST_F(AnalyzerTest, TwelveBytesAreNotOpenedThirteenAre) {
  testing_support::FakeMediaPlayer player;
  const std::string wave = RiffFile("WAVE", WaveFmt(1, 2, 44100, 16));
  for (std::size_t length : {std::size_t{0}, std::size_t{12}, std::size_t{13}}) {
    SCOPED_TRACE(length);
    player.calls.clear();
    drives.Write("C:\\a.wav", wave.substr(0, length));
    EXPECT_EQ(analysis::AnalyzeAudioFile("C:\\a.wav", props, &player), AnalysisStatus::Done);
    EXPECT_EQ(props.gAudioFileLength, static_cast<std::int64_t>(length));
    EXPECT_EQ(props.gAudioFileType, length == 13 ? "WAVE" : "");
    EXPECT_EQ(player.calls, (std::vector<std::string>{"SetFileName C:\\a.wav", "Stop"}));
  }
}

TEST_F(AnalyzerTest, PlayerIsLoadedStoppedExceptForMissingOrUnsupportedFiles) {
  struct Row {
    const char* what;
    const char* path;
    std::string bytes;  // empty: the file is not written
    AnalysisStatus status;
    bool loaded;
  };
  const Row rows[] = {
      {"a WAVE file", "C:\\a.wav", RiffFile("WAVE", WaveFmt(1, 2, 44100, 16)), AnalysisStatus::Done, true},
      {"an unrecognised file", "C:\\a.txt", "just some text, no magic", AnalysisStatus::Done, true},
      {"a reader that stopped on ERROR", "C:\\e.wav", RiffFile("WAVE", RiffChunk("INAM", "")), AnalysisStatus::Done,
       true},
      {"a missing file", "C:\\missing.wav", "", AnalysisStatus::NotFound, false},
      {"a missing folder", "C:\\nofolder\\a.wav", "", AnalysisStatus::NotFound, false},
      {"an unmapped drive", "Q:\\a.wav", "", AnalysisStatus::NotFound, false},
      {"an unsupported RIFF type", "C:\\avi.wav", Behind("RIFF" + Le32(0) + "AVI "), AnalysisStatus::Unsupported, false},
      {"an unsupported FORM type", "C:\\8svx.aif", Behind("FORM" + Be32(0) + "8SVX"), AnalysisStatus::Unsupported,
       false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    testing_support::FakeMediaPlayer player;
    player.SetFileName("C:\\before.wav");
    player.calls.clear();
    if (!r.bytes.empty()) drives.Write(r.path, r.bytes);
    EXPECT_EQ(analysis::AnalyzeAudioFile(r.path, props, &player), r.status);
    if (r.loaded) {
      EXPECT_EQ(player.calls, (std::vector<std::string>{std::string("SetFileName ") + r.path, "Stop"}));
      EXPECT_EQ(player.FileName(), r.path);
    } else {
      EXPECT_TRUE(player.calls.empty());
      EXPECT_EQ(player.FileName(), "C:\\before.wav");
    }
    if (r.status == AnalysisStatus::NotFound) {
      EXPECT_EQ(Fields(props), FieldMap{});
      EXPECT_EQ(props.gAudioFileLength, 0);
    }
  }
}

TEST_F(AnalyzerTest, PlayerRefusalIsReportedWithTheFieldsKept) {
  testing_support::FakeMediaPlayer player;
  player.Refuse("C:\\a.wav");
  const std::string wave = RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + RiffChunk("data", ""));
  drives.Write("C:\\a.wav", wave);
  EXPECT_EQ(analysis::AnalyzeAudioFile("C:\\a.wav", props, &player), AnalysisStatus::Failed);
  EXPECT_EQ(Fields(props), (FieldMap{{"type", "WAVE"},
                                     {"encoding", "PCM/Uncompressed"},
                                     {"channels", "2 - Stereo"},
                                     {"rate", "44.1 kHz"},
                                     {"bits", "16 bits"}}));
  EXPECT_EQ(props.gAudioFileLength, 44);
  EXPECT_EQ(player.calls, std::vector<std::string>{"SetFileName C:\\a.wav"});
}

TEST_F(AnalyzerTest, NothingOfAPreviousResultSurvives) {
  Analyze(Zeros(20) + Hex("FF F3 A0 CC") + Zeros(10) + Id3v1("T", "A", "B", "2001", "C", 3), "C:\\a.mp3");
  ASSERT_EQ(props.gAudioGenre, "Dance");
  EXPECT_EQ(Analyze(MidiFile(0, 1, 96), "C:\\b.mid"),
            (FieldMap{{"type", "MIDI"}, {"version", "Single track"}, {"channels", " 1"}, {"division", " 96"}}));
  EXPECT_EQ(Analyze("", "C:\\nothing.mid"), FieldMap{});
  EXPECT_EQ(props.gAudioFileLength, 0);
  EXPECT_EQ(status, AnalysisStatus::Done);
  EXPECT_EQ(Analyze("RIFF", "C:\\gone\\x.wav"), FieldMap{});
  drives.Remove("C:\\gone\\x.wav");
  status = analysis::AnalyzeAudioFile("C:\\gone\\x.wav", props, nullptr);
  EXPECT_EQ(status, AnalysisStatus::NotFound);
  EXPECT_EQ(props.gAudioFileLength, 0);
}

TEST_F(AnalyzerTest, WhatIsNoRegularFileCountsAsNotFound) {
  drives.MakeFolder("C:\\folder.wav");
  ASSERT_EQ(::mkfifo(drives.Host("C:\\pipe.wav").c_str(), 0600), 0);
  testing_support::FakeMediaPlayer player;
  for (const char* path : {"C:\\folder.wav", "C:\\pipe.wav"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(analysis::AnalyzeAudioFile(path, props, &player), AnalysisStatus::NotFound);
    EXPECT_EQ(props.gAudioFileLength, 0);
  }
  platform::DriveMap withDevices({{'C', drives.root() + "/c"}, {'D', "/dev"}});
  platform::SetDriveMap(withDevices);
  EXPECT_EQ(analysis::AnalyzeAudioFile("D:\\zero", props, &player), AnalysisStatus::NotFound);
  EXPECT_EQ(analysis::AnalyzeAudioFile("D:\\null", props, &player), AnalysisStatus::NotFound);
  EXPECT_TRUE(player.calls.empty());
}

// A read that fails is a failed item where a reader guards it, and a failed analysis
// where nothing does; the analysis never ends in an exception.
TEST_F(AnalyzerTest, ReadFaults) {
  const std::string pcm = RiffFile("WAVE", WaveFmt(1, 2, 44100, 16) + RiffChunk("data", ""));
  const std::string aiff = AiffFile("AIFF", AiffComm(2, 1, 16, Extended80(44100)) + AiffChunk("COMT", "note!"));
  struct Row {
    const char* what;
    std::string bytes;
    const char* path;
    std::int64_t faultFrom;
    AnalysisStatus status;
    FieldMap expected;
  };
  const std::string tagged = std::string(1, '\0') + Hex("FF FB 90 C4") + Zeros(100) +
                             Id3v1("Title", "Artist", "Album", "1999", "c", 1);
  const std::int64_t L = static_cast<std::int64_t>(tagged.size());
  const FieldMap mono = {{"type", "MPEG"}, {"version", "MPEG 1 layer 3"}, {"rate", "44.1 kHz"}, {"channels", "1 - Mono"}};
  FieldMap titled = mono;
  titled.insert({{"name", "Title" + Zeros(25)}, {"artist", "ERROR"}});
  const Row rows[] = {
      {"the magic", pcm, "C:\\a.wav", 2, AnalysisStatus::Failed, {}},
      {"the scan's identifiers", pcm, "C:\\a.wav", 14, AnalysisStatus::Failed, {{"type", "WAVE"}}},
      {"the format tag", pcm, "C:\\a.wav", 20, AnalysisStatus::Done, {{"type", "WAVE"}, {"encoding", "ERROR"}}},
      {"the channels", pcm, "C:\\a.wav", 22, AnalysisStatus::Done,
       {{"type", "WAVE"}, {"encoding", "PCM/Uncompressed"}, {"channels", "ERROR"}}},
      {"the bits", pcm, "C:\\a.wav", 34, AnalysisStatus::Done,
       {{"type", "WAVE"}, {"encoding", "PCM/Uncompressed"}, {"channels", "2 - Stereo"}, {"rate", "44.1 kHz"},
        {"bits", "ERROR"}}},
      {"the MIDI tracks", MidiFile(1, 2, 96), "C:\\a.mid", 10, AnalysisStatus::Done,
       {{"type", "MIDI"}, {"version", "Synch multitrack"}, {"channels", "ERROR"}}},
      {"the AU header", AuFile(24, 3, 8000, 1, Zeros(8)), "C:\\a.au", 10, AnalysisStatus::Failed,
       {{"type", "Sun/NeXT AU"}}},
      {"the AU annotation", AuFile(40, 3, 8000, 1, "annotation text."), "C:\\a.au", 30, AnalysisStatus::Done,
       {{"type", "Sun/NeXT AU"}, {"bits", "16 bits"}, {"encoding", "Linear PCM"}, {"rate", "8 kHz"},
        {"channels", "1 - Mono"}, {"comment", "ERROR"}}},
      {"the AIFF bits", aiff, "C:\\a.aif", 26, AnalysisStatus::Done,
       {{"type", "AIFF"}, {"channels", "2 - Stereo"}, {"bits", "ERROR"}}},
      {"the AIFF comment", aiff, "C:\\a.aif", 48, AnalysisStatus::Done,
       {{"type", "AIFF"}, {"channels", "2 - Stereo"}, {"bits", "16 bits"}, {"rate", "44.100 kHz"},
        {"comment", "ERROR"}}},
      {"the frame search", Zeros(300) + Id3v1("T", "", "", "", "", 1), "C:\\a.mp3", 100, AnalysisStatus::Done,
       {{"type", "MPEG"}}},
      {"the artist", tagged, "C:\\a.mp3", L - 95, AnalysisStatus::Done, titled},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    testing_support::FakeMediaPlayer player;
    drives.Write(r.path, r.bytes);
    {
      ReadFaultFrom fault(r.faultFrom);
      status = analysis::AnalyzeAudioFile(r.path, props, &player);
    }
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(Fields(props), r.expected);
    EXPECT_EQ(props.gAudioFileLength, static_cast<std::int64_t>(r.bytes.size()));
    EXPECT_EQ(player.calls.empty(), r.status == AnalysisStatus::Failed);
  }
}
