#include "datafiles/inventoryfiles.h"

#include <gtest/gtest.h>

#include "analysis/analyzer.h"
#include "analysis/audioproperties.h"
#include "platform/core/mediaplayer.h"
#include "platform/core/textrecords.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using datafiles::InventoryLine;
using datafiles::InventorySummary;

namespace {

const std::string kEmptyAnalysis(18, ',');

// An inventory.dat line with empty analysis fields, as stored.
std::string Line(std::string_view drive, std::string_view folder, std::string_view name, std::string_view ext) {
  return std::string(drive) + "," + std::string(folder) + "," + std::string(name) + "," + std::string(ext) +
         kEmptyAnalysis + "\r\n";
}

class InventoryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drives.MakeFolder("C:\\data");
    platform::SetClock(&clock);
  }
  void TearDown() override { platform::SetClock(nullptr); }

  // A data file as the program leaves it: read-only.
  void Put(const std::string& file, const std::string& bytes) {
    drives.Write(file, bytes);
    platform::SetReadOnly(file, true);
  }
  std::string Get(const std::string& file) const { return drives.Read(file); }
  std::string NowHeader() {
    auto now = clock.Now();
    return "Last Updated:  " + platform::ShortDate(now) + "  " + platform::LongTime(now);
  }
  // invsum.dat with drive rows C: (104) and D: (105).
  std::string TwoDriveSummary() const {
    return "Last Updated:  old\r\n 12 , 6 , 2 , 1 , 0 , 0 , 0 , 3 \r\n"
           "C:, 104 , 10 , 5 , 2 , 1 , 0 , 0 , 0 , 2 \r\n"
           "D:, 105 , 2 , 1 , 0 , 0 , 0 , 0 , 0 , 1 \r\n";
  }

  testing_support::TempDrives drives{"CD"};
  testing_support::ScriptedMessageBoxes boxes;
  platform::FixedClock clock{{2024, 3, 9, 14, 5, 7}};
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  InventorySummary summary;
};

// --- lines ---

struct PathCase {
  const char* path;
  const char* stored;  // fields 1 to 4 as stored
  const char* drive;
  const char* folder;
  const char* name;
  const char* ext;
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.path; }

class InventoryPathTest : public InventoryFilesTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(InventoryPathTest, IsStoredInFourFieldsAndReadBackToTheSamePath) {
  const PathCase& c = GetParam();
  std::vector<std::vector<std::string>> lists(2);
  lists[1] = {c.path};
  ASSERT_EQ(datafiles::WriteInventoryFile(files, lists, 0, nullptr), 0);
  EXPECT_EQ(Get(files.gInventoryFile), std::string(c.stored) + kEmptyAnalysis + "\r\n");

  datafiles::InventoryReader reader(files.gInventoryFile);
  InventoryLine line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line.gInvDrive, c.drive);
  EXPECT_EQ(line.gInvFolder, c.folder);
  EXPECT_EQ(line.gInvFileName, c.name);
  EXPECT_EQ(line.gInvExtension, c.ext);
  EXPECT_EQ(line.FullPath(), c.path);
  EXPECT_FALSE(reader.Next(line));

  InventoryLine split;
  datafiles::SplitInventoryPath(c.path, split);
  EXPECT_EQ(split.gInvFolder, c.folder);
  EXPECT_EQ(split.gInvFileName, c.name);
  EXPECT_EQ(split.gInvExtension, c.ext);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, InventoryPathTest,
    ::testing::Values(
        PathCase{"C:\\Music\\Live\\Opening Song.wav", "C:,\\Music\\Live\\,Opening Song,wav", "C:", "\\Music\\Live\\",
                 "Opening Song", "wav"},
        PathCase{"C:\\a.wav", "C:,\\,a,wav", "C:", "\\", "a", "wav"},
        PathCase{"D:\\x\\a.b.WAV", "D:,\\x\\,a.b,WAV", "D:", "\\x\\", "a.b", "WAV"},
        PathCase{"C:\\Rock, Pop\\Me, You.mp3", "C:,\\Rock\xC2\xBB Pop\\,Me\xC2\xBB You,mp3", "C:", "\\Rock, Pop\\",
                 "Me, You", "mp3"},
        PathCase{"C:\\a:b\\x.au", "C:,\\a:b\\,x,au", "C:", "\\a:b\\", "x", "au"},
        // A name the reader would lose its blanks or its quote from goes in double quotes.
        PathCase{"C:\\x\\  intro.wav", "C:,\\x\\,\"  intro\",wav", "C:", "\\x\\", "  intro", "wav"}));

TEST(InventoryLine, AnalysisTextsAreStoredSoThatEveryLineKeepsItsTwentyTwoFields) {
  analysis::AudioProperties props;
  props.gAudioFileType = "WAVE";
  props.gAudioAlbum = "One, Two";
  props.gAudioArtist = "A\r\nB";
  props.gAudioComment = "lone\rcr and lone\nlf";
  props.gAudioName = "\"Quoted\" title";
  props.gAudioYear = "1999";
  std::string stored;
  datafiles::AppendStoredInventoryLine("C:\\a.wav", &props, stored);
  EXPECT_EQ(stored,
            "C:,\\,a,wav,WAVE,One- Two,A  B,,,,lone cr and lone lf,,,,,,,\"\"\"Quoted\"\" title\",,,,1999\r\n");

  InventoryLine back;
  datafiles::ParseInventoryLine(std::string_view(stored).substr(0, stored.size() - 2), back);
  EXPECT_EQ(back.gInvAlbum, "One- Two");
  EXPECT_EQ(back.gInvArtist, "A  B");
  EXPECT_EQ(back.gInvComment, "lone cr and lone lf");
  EXPECT_EQ(back.gInvName, "\"Quoted\" title");
  EXPECT_EQ(back.gInvYear, "1999");
}

TEST(InventoryLine, ReadsEveryLineAsTheListReaderWould) {
  const std::string lines[] = {
      "C:,\\M\\,a,wav" + kEmptyAnalysis,
      "  C:, \t\\M\\ ,a ,wav,WAVE,,x y,",
      "C:,\\M\\,\"a, b\",wav,\"quoted\" dropped,next",
      "C:,\\M\\,\"unclosed, runs on",
      "C:,,,,,,,,,,,,,,,,,,,,,,extra,more",
      "",
      ",",
      "C:,\\M\\,it\"s,wav,mid \" quote",
  };
  for (const std::string& stored : lines) {
    InventoryLine line;
    datafiles::ParseInventoryLine(stored, line);
    auto reader = platform::ListReader::View(stored);
    auto fields = line.Fields();
    for (int i = 0; i < InventoryLine::kFieldCount; ++i) {
      std::string want = reader.AtEnd() ? std::string() : reader.Field();
      EXPECT_EQ(*fields[i], want) << "field " << i + 1 << " of " << stored;
    }
  }
}

TEST(InventoryLine, ShortLinesReadWithEmptyFieldsAndExtraFieldsAreIgnored) {
  InventoryLine line;
  line.gInvYear = "stale";
  datafiles::ParseInventoryLine("C:,\\x\\,a,wav", line);
  EXPECT_EQ(line.FullPath(), "C:\\x\\a.wav");
  EXPECT_EQ(line.gInvYear, "");
  datafiles::ParseInventoryLine("C:,\\,a,wav" + kEmptyAnalysis + ",extra,more", line);
  EXPECT_EQ(line.gInvYear, "");
}

TEST_F(InventoryFilesTest, WriterTakesTheDrivesInOrderEmptiesTheListsAndLeavesTheFileReadOnly) {
  Put(files.gInventoryFile, "old content\r\n");
  std::vector<std::vector<std::string>> lists(4);
  lists[0] = {"C:\\not\\written.wav"};
  lists[1] = {"C:\\b.wav", "C:\\a.mid"};
  lists[3] = {"D:\\Lists\\party.m3u"};
  ASSERT_EQ(datafiles::WriteInventoryFile(files, lists, 0, nullptr), 0);
  EXPECT_EQ(Get(files.gInventoryFile), Line("C:", "\\", "b", "wav") + Line("C:", "\\", "a", "mid") +
                                           Line("D:", "\\Lists\\", "party", "m3u"));
  for (std::size_t i = 1; i < lists.size(); ++i) EXPECT_TRUE(lists[i].empty()) << i;
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
  EXPECT_FALSE(drives.Exists(datafiles::InventoryTwinFile(files)));
}

TEST_F(InventoryFilesTest, ReaderTakesLineEndsOfAnyKindAndSkipsEmptyLines) {
  Put(files.gInventoryFile, Line("C:", "\\", "a", "wav") + "\r\n" + "C:,\\,b,wav\n" + "C:,\\,c,wav");
  datafiles::InventoryReader reader(files.gInventoryFile);
  InventoryLine line;
  std::vector<std::string> paths;
  while (reader.Next(line)) paths.push_back(line.FullPath());
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\a.wav", "C:\\b.wav", "C:\\c.wav"}));
}

TEST_F(InventoryFilesTest, FindsWhichPathsStandInTheInventoryInOnePass) {
  Put(files.gInventoryFile, Line("C:", "\\Music\\", "a", "wav") + Line("D:", "\\Rock\xC2\xBB Pop\\", "b", "mp3"));
  auto found = datafiles::FindPathsInInventory(
      files.gInventoryFile, {"C:\\Music\\a.wav", "c:\\music\\a.wav", "D:\\Rock, Pop\\b.mp3", "C:\\Music\\a.wav", "C:\\x.wav"});
  EXPECT_EQ(found, (std::vector<bool>{true, false, true, true, false}));
}

TEST_F(InventoryFilesTest, AFullWriteThatFailsPartWayLeavesTheOldFilesIntact) {
  const std::string oldInventory = Line("C:", "\\", "old", "wav");
  Put(files.gInventoryFile, oldInventory);
  Put(files.gInvSumFile, TwoDriveSummary());
  std::vector<std::vector<std::string>> lists(2);
  for (int i = 0; i < 5000; ++i) lists[1].push_back("C:\\Music\\file" + std::to_string(i) + ".wav");

  platform::InjectWriteFailureAfter(70000);
  EXPECT_EQ(datafiles::WriteInventoryFile(files, lists, 0, nullptr), platform::errDiskFull);
  platform::InjectWriteFailureAfter(10);
  EXPECT_EQ(datafiles::SaveInventorySummary(files, "Last Updated:  new", {"", "C:"}, {0, 104}, 1, summary),
            platform::errDiskFull);
  platform::InjectWriteFailureAfter(-1);

  EXPECT_EQ(Get(files.gInventoryFile), oldInventory);
  EXPECT_EQ(Get(files.gInvSumFile), TwoDriveSummary());
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
  EXPECT_TRUE(platform::IsReadOnly(files.gInvSumFile));
  EXPECT_FALSE(drives.Exists(datafiles::InventoryTwinFile(files)));
  EXPECT_FALSE(drives.Exists(datafiles::InvSumTwinFile(files)));
}

// A player that only records what it was given.
class RecordingPlayer : public platform::MediaPlayer {
 public:
  void SetFileName(const std::string& dosPath) override { loaded.push_back(dosPath); }
  std::string FileName() const override { return loaded.empty() ? "" : loaded.back(); }
  double Duration() override { return 0; }
  double CurrentPosition() override { return 0; }
  void SetCurrentPosition(double) override {}
  int PlayState() override { return Stopped; }
  void Play() override {}
  void Pause() override {}
  void Stop() override {}
  long Volume() const override { return 0; }
  void SetVolume(long) override {}
  bool AutoStart() const override { return false; }
  void SetAutoStart(bool) override {}

  std::vector<std::string> loaded;
};

std::string U32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string U16(std::uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
std::string Chunk(std::string_view id, std::string_view body) {
  std::string c = std::string(id) + U32(static_cast<std::uint32_t>(body.size())) + std::string(body);
  if (c.size() % 2) c.push_back('\0');
  return c;
}

// A PCM WAVE file whose INFO texts hold a comma, a CR LF and a leading double quote.
std::string WaveWithTexts() {
  std::string fmt = U16(1) + U16(2) + U32(44100) + U32(44100 * 4) + U16(4) + U16(16);
  std::string info = "INFO" + Chunk("ICMT", std::string("Live, at home\r\nside A\0", 22)) +
                     Chunk("INAM", std::string("\"Quoted\" name\0", 14));
  std::string body = "WAVE" + Chunk("fmt ", fmt) + Chunk("LIST", info) + Chunk("data", std::string(400, '\0'));
  return "RIFF" + U32(static_cast<std::uint32_t>(body.size())) + body;
}

TEST_F(InventoryFilesTest, WithHeaderAnalysisEveryLineCarriesTheAnalysersTextsAndReadsBackWhole) {
  drives.Write("C:\\Music\\take.wav", WaveWithTexts());
  analysis::AudioProperties direct;
  analysis::AnalyzeAudioFile("C:\\Music\\take.wav", direct, nullptr);
  ASSERT_EQ(direct.gAudioFileType, "WAVE");
  ASSERT_EQ(direct.gAudioComment, "Live, at home\r\nside A");
  ASSERT_EQ(direct.gAudioName, "\"Quoted\" name");

  // What the line must hold: the analyser's texts, the comma and line break made safe.
  std::vector<std::string> want;
  for (std::string* text : direct.Texts()) want.push_back(*text);
  want[6] = "Live- at home  side A";
  std::string expected = "C:,\\Music\\,take,wav";
  for (const auto& text : want) {
    ASSERT_EQ(text.find_first_of(",\r\n"), std::string::npos) << text;
    expected += "," + platform::EncodeField(text);
  }
  expected += "\r\n";

  RecordingPlayer player;
  std::vector<std::vector<std::string>> lists(2);
  lists[1] = {"C:\\Music\\take.wav"};
  ASSERT_EQ(datafiles::WriteInventoryFile(files, lists, 1, &player), 0);
  EXPECT_EQ(Get(files.gInventoryFile), expected);
  EXPECT_EQ(player.loaded, std::vector<std::string>{"C:\\Music\\take.wav"});

  datafiles::InventoryReader reader(files.gInventoryFile);
  InventoryLine line;
  ASSERT_TRUE(reader.Next(line));
  auto fields = line.Fields();
  for (int i = 0; i < 18; ++i) EXPECT_EQ(*fields[i + 4], want[i]) << "field " << i + 5;
}

// --- the summary ---

TEST_F(InventoryFilesTest, SummaryIsWrittenWithBlanksAroundEveryNumberAndReadBack) {
  summary.gTypeTotals = {120, 80, 20, 5, 3, 4, 2, 6};
  for (int c = 0; c < datafiles::kTypeColumnCount; ++c) {
    summary.gDriveTypeCounts[c][1] = 100 + c;
    summary.gDriveTypeCounts[c][2] = c;
  }
  const std::vector<std::string> letters{"", "C:", "E:", ""};
  const std::vector<std::int32_t> icons{0, 104, 106, 0};
  ASSERT_EQ(datafiles::SaveInventorySummary(files, "Last Updated:  3/9/2024  2:05:07 PM", letters, icons, 2, summary), 0);
  EXPECT_EQ(Get(files.gInvSumFile),
            "Last Updated:  3/9/2024  2:05:07 PM\r\n"
            " 120 , 80 , 20 , 5 , 3 , 4 , 2 , 6 \r\n"
            "C:, 104 , 100 , 101 , 102 , 103 , 104 , 105 , 106 , 107 \r\n"
            "E:, 106 , 0 , 1 , 2 , 3 , 4 , 5 , 6 , 7 \r\n");
  EXPECT_TRUE(platform::IsReadOnly(files.gInvSumFile));
  EXPECT_FALSE(drives.Exists(datafiles::InvSumTwinFile(files)));

  InventorySummary read;
  ASSERT_EQ(datafiles::LoadInventorySummary(files, read), 0);
  EXPECT_EQ(read.gInvSumHeader, "Last Updated:  3/9/2024  2:05:07 PM");
  EXPECT_EQ(read.gTypeTotals, summary.gTypeTotals);
  EXPECT_EQ(read.gLoopIndex, 2);
  EXPECT_EQ(read.gSumDriveLetters[1], "C:");
  EXPECT_EQ(read.gSumDriveLetters[2], "E:");
  EXPECT_EQ(read.gSumDriveIcons[2], 106);
  EXPECT_EQ(read.gDriveTypeCounts[datafiles::kLists][1], 107);
  EXPECT_EQ(read.gDriveTypeCounts[datafiles::kAiff][2], 5);
}

TEST_F(InventoryFilesTest, AHeaderWithACommaStaysWhole) {
  ASSERT_EQ(datafiles::SaveInventorySummary(files, "Last Updated:  Sat, 9 Mar 2024", {""}, {0}, 0, summary), 0);
  EXPECT_EQ(Get(files.gInvSumFile), "\"Last Updated:  Sat, 9 Mar 2024\"\r\n 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
  ASSERT_EQ(datafiles::LoadInventorySummary(files, summary), 0);
  EXPECT_EQ(summary.gInvSumHeader, "Last Updated:  Sat, 9 Mar 2024");
  EXPECT_EQ(summary.gLoopIndex, 0) << "no drive rows";
}

TEST_F(InventoryFilesTest, LoadReadsAtMost27RowsAndKeepsTheSlotsAboveThem) {
  std::string text = "h\r\n 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n";
  for (int i = 1; i <= 30; ++i) text += "C:, 104 , " + std::to_string(i) + " , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n";
  Put(files.gInvSumFile, text);
  ASSERT_EQ(datafiles::LoadInventorySummary(files, summary), 0);
  EXPECT_EQ(summary.gLoopIndex, 27);
  EXPECT_EQ(summary.gDriveTypeCounts[datafiles::kTotal][27], 27);

  Put(files.gInvSumFile, "h2\r\n 1 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\nD:, 105 , 9 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
  ASSERT_EQ(datafiles::LoadInventorySummary(files, summary), 0);
  EXPECT_EQ(summary.gLoopIndex, 1);
  EXPECT_EQ(summary.gSumDriveLetters[1], "D:");
  EXPECT_EQ(summary.gSumDriveLetters[2], "C:");
  EXPECT_EQ(summary.gDriveTypeCounts[datafiles::kTotal][2], 2);
}

TEST_F(InventoryFilesTest, AShortOrMalformedSummaryEndsTheLoadAndChangesNothing) {
  for (const char* bad : {"", "header only\r\n", "h\r\n 1 , 2 \r\n", "h\r\n 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\nC:, x , 1 \r\n"}) {
    Put(files.gInvSumFile, bad);
    InventorySummary kept;
    kept.gInvSumHeader = "kept";
    EXPECT_NE(datafiles::LoadInventorySummary(files, kept), 0) << bad;
    EXPECT_EQ(kept.gInvSumHeader, "kept") << bad;
  }
  EXPECT_TRUE(boxes.shown().empty());
}

// --- missing files: nothing changed, the outcome names the file (the windows rebuild it) ---

enum class Operation { Load, Add, RemoveWithoutSummary, RemoveWithoutInventory };

struct MissingCase {
  const char* name;
  Operation operation;
};
void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingInventoryFileTest : public InventoryFilesTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingInventoryFileTest, ChangesNothingAndNamesTheMissingFile) {
  const MissingCase& c = GetParam();
  const std::string inventory = Line("C:", "\\Lists\\", "party", "m3u");
  if (c.operation != Operation::RemoveWithoutInventory) Put(files.gInventoryFile, inventory);
  if (c.operation == Operation::RemoveWithoutInventory) Put(files.gInvSumFile, TwoDriveSummary());
  summary.gInvSumHeader = "kept";

  datafiles::InventoryChange change;
  switch (c.operation) {
    case Operation::Load:
      EXPECT_EQ(datafiles::LoadInventorySummary(files, summary), platform::errFileNotFound);
      break;
    case Operation::Add:
      change = datafiles::AddFileToInventory(files, "C:\\Lists\\new.m3u", summary);
      EXPECT_EQ(Get(files.gInventoryFile), inventory + Line("C:", "\\Lists\\", "new", "m3u"))
          << "the line is appended before the summary is found missing";
      break;
    case Operation::RemoveWithoutSummary:
    case Operation::RemoveWithoutInventory:
      change = datafiles::RemoveFileFromInventory(files, "C:\\Lists\\party.m3u", "C:\\Lists\\party.m3u", summary);
      break;
  }
  if (c.operation != Operation::Load) {
    EXPECT_TRUE(change.missing);
    EXPECT_EQ(change.error, 0);
    const bool data = c.operation == Operation::RemoveWithoutInventory;
    EXPECT_EQ(change.missingFile, data ? datafiles::DataFile::InventoryData : datafiles::DataFile::InventorySummary);
    EXPECT_EQ(change.file, data ? files.gInventoryFile : files.gInvSumFile);
  }
  EXPECT_EQ(summary.gInvSumHeader, "kept");
  if (c.operation == Operation::RemoveWithoutInventory) {
    EXPECT_EQ(Get(files.gInvSumFile), TwoDriveSummary()) << "no count changed";
    EXPECT_FALSE(drives.Exists(files.gInventoryFile));
  } else {
    EXPECT_FALSE(drives.Exists(files.gInvSumFile));
  }
  if (c.operation == Operation::RemoveWithoutSummary) {
    EXPECT_EQ(Get(files.gInventoryFile), "") << "the lines go before the summary is found missing";
  }
  EXPECT_TRUE(boxes.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingInventoryFileTest,
                         ::testing::Values(MissingCase{"Load", Operation::Load}, MissingCase{"Add", Operation::Add},
                                           MissingCase{"RemoveWithoutSummary", Operation::RemoveWithoutSummary},
                                           MissingCase{"RemoveWithoutInventory", Operation::RemoveWithoutInventory}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- adding and removing playlists ---

TEST_F(InventoryFilesTest, AddingAPlaylistAppendsItsLineAndCountsItOnItsDrive) {
  const std::string before = Line("C:", "\\", "a", "wav");
  Put(files.gInventoryFile, before);
  Put(files.gInvSumFile, TwoDriveSummary());
  auto change = datafiles::AddFileToInventory(files, "C:\\Lists\\party, two.m3u", summary);
  ASSERT_EQ(change.error, 0);
  EXPECT_FALSE(change.missing);
  EXPECT_EQ(Get(files.gInventoryFile), before + Line("C:", "\\Lists\\", "party\xC2\xBB two", "m3u"));
  EXPECT_EQ(Get(files.gInvSumFile), NowHeader() + "\r\n 13 , 6 , 2 , 1 , 0 , 0 , 0 , 4 \r\n"
                                                   "C:, 104 , 11 , 5 , 2 , 1 , 0 , 0 , 0 , 3 \r\n"
                                                   "D:, 105 , 2 , 1 , 0 , 0 , 0 , 0 , 0 , 1 \r\n");
  EXPECT_EQ(summary.gInvSumHeader, NowHeader());
  EXPECT_EQ(summary.gTypeTotals[datafiles::kLists], 4);
  EXPECT_EQ(summary.gDriveTypeCounts[datafiles::kTotal][1], 11);
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
  EXPECT_TRUE(platform::IsReadOnly(files.gInvSumFile));
}

TEST_F(InventoryFilesTest, ALowerCaseDriveMatchesNoRowSoOnlyTheTotalsChange) {
  Put(files.gInventoryFile, "");
  Put(files.gInvSumFile, TwoDriveSummary());
  ASSERT_EQ(datafiles::AddFileToInventory(files, "c:\\Lists\\party.m3u", summary).error, 0);
  EXPECT_EQ(Get(files.gInventoryFile), Line("c:", "\\Lists\\", "party", "m3u"));
  EXPECT_EQ(Get(files.gInvSumFile).substr(NowHeader().size()), "\r\n 13 , 6 , 2 , 1 , 0 , 0 , 0 , 4 \r\n"
                                                                  "C:, 104 , 10 , 5 , 2 , 1 , 0 , 0 , 0 , 2 \r\n"
                                                                  "D:, 105 , 2 , 1 , 0 , 0 , 0 , 0 , 0 , 1 \r\n");
}

TEST_F(InventoryFilesTest, AnAppendAfterALastLineWithoutItsLineEndAddsTheLineEndFirst) {
  const struct {
    std::string before;
    std::string joint;
  } cases[] = {{"C:,\\,a,wav" + kEmptyAnalysis, "\r\n"}, {"C:,\\,a,wav" + kEmptyAnalysis + "\r", "\n"},
               {Line("C:", "\\", "a", "wav"), ""}};
  for (const auto& c : cases) {
    Put(files.gInventoryFile, c.before);
    Put(files.gInvSumFile, TwoDriveSummary());
    ASSERT_EQ(datafiles::AddFileToInventory(files, "D:\\p.m3u", summary).error, 0);
    EXPECT_EQ(Get(files.gInventoryFile), c.before + c.joint + Line("D:", "\\", "p", "m3u"));
  }
}

TEST_F(InventoryFilesTest, AddingToAMissingInventoryCreatesItWithTheOneLine) {
  Put(files.gInvSumFile, TwoDriveSummary());
  ASSERT_EQ(datafiles::AddFileToInventory(files, "D:\\p.m3u", summary).error, 0);
  EXPECT_EQ(Get(files.gInventoryFile), Line("D:", "\\", "p", "m3u"));
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(InventoryFilesTest, RemovingAPlaylistDropsEveryLineOfItKeepsTheRestByteForByteAndCountsWhatWentAway) {
  // Odd spacing and an analysed line must come through untouched.
  const std::string keep1 = "C:,\\Music\\,a,wav,WAVE, x ,,,,,,,,,,,,,,,,\r\n";
  const std::string keep2 = Line("D:", "\\Lists\\", "Party\xC2\xBB two", "m3u");
  const std::string drop = Line("D:", "\\Lists\\", "party\xC2\xBB two", "m3u");
  Put(files.gInventoryFile, keep1 + drop + keep2 + drop);
  // Rows with letters and icons of their own, whatever the drives are now.
  Put(files.gInvSumFile, "Last Updated:  old\r\n 12 , 6 , 2 , 1 , 0 , 0 , 0 , 3 \r\n"
                         "X:, 103 , 10 , 5 , 2 , 1 , 0 , 0 , 0 , 2 \r\n"
                         "D:, 106 , 4 , 1 , 0 , 0 , 0 , 0 , 0 , 3 \r\n");

  auto change = datafiles::RemoveFileFromInventory(files, "D:\\Lists\\party, two.m3u", "D:\\Lists\\party, two.m3u",
                                                   summary);
  ASSERT_EQ(change.error, 0);
  EXPECT_EQ(change.linesRemoved, 2);
  EXPECT_EQ(Get(files.gInventoryFile), keep1 + keep2);
  EXPECT_EQ(Get(files.gInvSumFile), NowHeader() + "\r\n 10 , 6 , 2 , 1 , 0 , 0 , 0 , 1 \r\n"
                                                   "X:, 103 , 10 , 5 , 2 , 1 , 0 , 0 , 0 , 2 \r\n"
                                                   "D:, 106 , 2 , 1 , 0 , 0 , 0 , 0 , 0 , 1 \r\n");
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
  EXPECT_TRUE(platform::IsReadOnly(files.gInvSumFile));
  EXPECT_FALSE(drives.Exists(files.gTempInvDBFile));
}

TEST_F(InventoryFilesTest, RemovingAPlaylistThatIsNotListedChangesNoCount) {
  const std::string inventory = Line("C:", "\\", "a", "m3u");
  Put(files.gInventoryFile, inventory);
  Put(files.gInvSumFile, TwoDriveSummary());
  auto change = datafiles::RemoveFileFromInventory(files, "C:\\A.m3u", "C:\\A.m3u", summary);
  ASSERT_EQ(change.error, 0);
  EXPECT_EQ(change.linesRemoved, 0);
  EXPECT_EQ(Get(files.gInventoryFile), inventory);
  EXPECT_EQ(Get(files.gInvSumFile).substr(NowHeader().size()), TwoDriveSummary().substr(18));
}

TEST_F(InventoryFilesTest, ARemovalThatFailsPartWayLeavesInventoryAndSummaryIntact) {
  std::string inventory;
  for (int i = 0; i < 3000; ++i) {
    std::string name(1, 'f');
    name += std::to_string(i);
    inventory += Line("C:", "\\Music\\", name, "wav");
  }
  inventory += Line("C:", "\\", "p", "m3u");
  Put(files.gInventoryFile, inventory);
  Put(files.gInvSumFile, TwoDriveSummary());
  platform::InjectWriteFailureAfter(70000);
  auto change = datafiles::RemoveFileFromInventory(files, "C:\\p.m3u", "C:\\p.m3u", summary);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_EQ(change.error, platform::errDiskFull);
  EXPECT_EQ(Get(files.gInventoryFile), inventory);
  EXPECT_EQ(Get(files.gInvSumFile), TwoDriveSummary());
  EXPECT_FALSE(drives.Exists(files.gTempInvDBFile));
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));
}

}  // namespace
