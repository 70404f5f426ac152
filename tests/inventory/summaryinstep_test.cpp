#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "inventory/summaryinstep.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"
#include "support/temp_drives.h"

namespace {

namespace fs = std::filesystem;
using Counts = std::vector<std::int64_t>;  // Total, Wav, MP3, MIDI, Au, Aiff, Snd, Lists

struct Row {
  std::string letter;
  std::int32_t icon;
  Counts counts;
};

const std::string kStoredHeader = "Last Updated:  3/9/2024  2:05:07 PM";

class SummaryInStepTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");

  void Inventory(const std::vector<std::string>& paths) const {
    std::string lines;
    for (const std::string& p : paths) datafiles::AppendStoredInventoryLine(p, nullptr, lines);
    drives.Write(files.gInventoryFile, lines);
  }
  void Summary(const Counts& totals, const std::vector<Row>& rows) const {
    platform::ListWriter w;
    w.Text(kStoredHeader).EndLine();
    for (std::int64_t t : totals) w.Number(t);
    w.EndLine();
    for (const Row& r : rows) {
      w.Text(r.letter).Number(r.icon);
      for (std::int64_t c : r.counts) w.Number(c);
      w.EndLine();
    }
    drives.Write(files.gInvSumFile, w.str());
  }
  // The file's modification time: the local time 12/10/2026 9:mm:ss AM.
  void Written(const std::string& dosPath, int minute, int second) const {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 10;
    tm.tm_hour = 9;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    fs::last_write_time(drives.Host(dosPath),
                        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&tm))));
  }
  // inventory.dat written after invsum.dat, as a kill between the two leaves them.
  void InventoryLater() const {
    Written(files.gInvSumFile, 20, 0);
    Written(files.gInventoryFile, 31, 5);
  }
  datafiles::InventorySummary Loaded() const {
    datafiles::InventorySummary s;
    EXPECT_EQ(datafiles::LoadInventorySummary(files, s), platform::errNone);
    return s;
  }
  static Counts Totals(const datafiles::InventorySummary& s) { return Counts(s.gTypeTotals.begin(), s.gTypeTotals.end()); }
  static Row RowOf(const datafiles::InventorySummary& s, int i) {
    Row r{s.gSumDriveLetters[static_cast<std::size_t>(i)], s.gSumDriveIcons[static_cast<std::size_t>(i)], {}};
    for (const auto& column : s.gDriveTypeCounts) r.counts.push_back(column[static_cast<std::size_t>(i)]);
    return r;
  }
};

struct GapCase {
  const char* name;
  std::vector<std::string> inventory;
  Counts storedTotals;
  std::vector<Row> storedRows;
  Counts totals;
  std::vector<Row> rows;
};

void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

class SummaryGap : public SummaryInStepTest, public ::testing::WithParamInterface<GapCase> {};

TEST_P(SummaryGap, IsCountedAgainFromTheLinesUnderTheStoredRows) {
  const GapCase& c = GetParam();
  Inventory(c.inventory);
  Summary(c.storedTotals, c.storedRows);
  InventoryLater();

  const inventory::SummaryInStep step = inventory::BringSummaryInStep(files);
  EXPECT_TRUE(step.rebuilt);
  EXPECT_EQ(step.error, platform::errNone);
  const datafiles::InventorySummary s = Loaded();
  EXPECT_EQ(s.gInvSumHeader, "Last Updated:  12/10/2026  9:31:05 AM") << "the time inventory.dat was written";
  EXPECT_EQ(Totals(s), c.totals);
  ASSERT_EQ(s.gLoopIndex, static_cast<std::int32_t>(c.rows.size()));
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    const Row r = RowOf(s, static_cast<int>(i) + 1);
    EXPECT_EQ(r.letter, c.rows[i].letter);
    EXPECT_EQ(r.icon, c.rows[i].icon);
    EXPECT_EQ(r.counts, c.rows[i].counts) << r.letter;
  }
  EXPECT_TRUE(platform::IsReadOnly(files.gInvSumFile));
  EXPECT_FALSE(inventory::BringSummaryInStep(files).rebuilt) << "in step from then on";
}

INSTANTIATE_TEST_SUITE_P(
    Kills, SummaryGap,
    ::testing::Values(
        GapCase{"a playlist saved, the summary not yet",
                {"C:\\Music\\a.wav", "C:\\Lists\\one.m3u", "C:\\Lists\\two.m3u"},
                {2, 1, 0, 0, 0, 0, 0, 1},
                {{"C:", 104, {2, 1, 0, 0, 0, 0, 0, 1}}},
                {3, 1, 0, 0, 0, 0, 0, 2},
                {{"C:", 104, {3, 1, 0, 0, 0, 0, 0, 2}}}},
        GapCase{"an update written, the summary of the one before",
                {"C:\\x\\a.WAV", "C:\\x\\b.mp3", "C:\\x\\c.mid", "C:\\x\\d.Midi", "C:\\x\\e.rmi", "D:\\y\\f.au",
                 "D:\\y\\g.aif", "D:\\y\\h.aifc", "D:\\y\\i.AIFF", "D:\\y\\j.snd", "D:\\y\\k.m3u", "c:\\z\\l.wav"},
                {16, 16, 0, 0, 0, 0, 0, 0},
                {{"C:", 104, {10, 10, 0, 0, 0, 0, 0, 0}}, {"D:", 102, {6, 6, 0, 0, 0, 0, 0, 0}}},
                {12, 2, 1, 3, 1, 3, 1, 1},
                {{"C:", 104, {5, 1, 1, 3, 0, 0, 0, 0}}, {"D:", 102, {6, 0, 0, 0, 1, 3, 1, 1}}}},
        GapCase{"every line removed, the summary not yet",
                {},
                {1, 0, 0, 0, 0, 0, 0, 1},
                {{"C:", 104, {1, 0, 0, 0, 0, 0, 0, 1}}},
                {0, 0, 0, 0, 0, 0, 0, 0},
                {{"C:", 104, {0, 0, 0, 0, 0, 0, 0, 0}}}}));

TEST_F(SummaryInStepTest, ASummaryWrittenAfterTheInventoryIsLeftAlone) {
  Inventory({"C:\\Music\\a.wav", "C:\\Lists\\one.m3u"});
  Summary({1, 1, 0, 0, 0, 0, 0, 0}, {{"C:", 104, {1, 1, 0, 0, 0, 0, 0, 0}}});
  Written(files.gInventoryFile, 20, 0);
  for (int second : {0, 1}) {  // written at the same time, or later
    Written(files.gInvSumFile, 20, second);
    const std::string before = drives.Read(files.gInvSumFile);
    EXPECT_FALSE(inventory::BringSummaryInStep(files).rebuilt);
    EXPECT_EQ(drives.Read(files.gInvSumFile), before);
  }
}

TEST_F(SummaryInStepTest, ASummaryWhoseCountsWereRightKeepsItsHeaderAndIsInStepAfterwards) {
  Inventory({"C:\\Music\\a.wav"});
  Summary({1, 1, 0, 0, 0, 0, 0, 0}, {{"C:", 104, {1, 1, 0, 0, 0, 0, 0, 0}}});
  InventoryLater();
  EXPECT_TRUE(inventory::BringSummaryInStep(files).rebuilt);
  EXPECT_EQ(Loaded().gInvSumHeader, kStoredHeader);
  EXPECT_GE(platform::FileStatusOf(files.gInvSumFile).modifiedNs, platform::FileStatusOf(files.gInventoryFile).modifiedNs);
}

TEST_F(SummaryInStepTest, ASummaryThatCannotBeWrittenIsToldAndStaysAsItWas) {
  Inventory({"C:\\Lists\\one.m3u", "C:\\Lists\\two.m3u"});
  Summary({1, 0, 0, 0, 0, 0, 0, 1}, {{"C:", 104, {1, 0, 0, 0, 0, 0, 0, 1}}});
  InventoryLater();
  const std::string before = drives.Read(files.gInvSumFile);
  platform::InjectWriteFailureAfter(10);
  const inventory::SummaryInStep step = inventory::BringSummaryInStep(files);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(step.rebuilt);
  EXPECT_EQ(step.error, platform::errDiskFull);
  EXPECT_EQ(drives.Read(files.gInvSumFile), before);
  EXPECT_FALSE(drives.Exists(datafiles::InvSumTwinFile(files)));
  EXPECT_TRUE(inventory::BringSummaryInStep(files).rebuilt) << "tried again at the next start";
}

TEST_F(SummaryInStepTest, LeftoverTwinsAreRemovedWhateverTheFilesBeside) {
  for (bool filesThere : {true, false}) {
    if (filesThere) {
      Inventory({"C:\\Music\\a.wav"});
      Summary({1, 1, 0, 0, 0, 0, 0, 0}, {{"C:", 104, {1, 1, 0, 0, 0, 0, 0, 0}}});
    } else {
      drives.Remove(files.gInventoryFile);
      drives.Remove(files.gInvSumFile);
    }
    drives.Write(datafiles::InventoryTwinFile(files), "C:,\\half");
    drives.Write(datafiles::InvSumTwinFile(files), "Last");
    platform::SetReadOnly(datafiles::InvSumTwinFile(files), true);
    const inventory::SummaryInStep step = inventory::BringSummaryInStep(files);
    EXPECT_EQ(step.removed, (std::vector<std::string>{"C:\\data\\inventory.dat.new", "C:\\data\\invsum.dat.new"}));
    EXPECT_FALSE(drives.Exists(datafiles::InventoryTwinFile(files)));
    EXPECT_FALSE(drives.Exists(datafiles::InvSumTwinFile(files)));
    EXPECT_FALSE(step.rebuilt);
    EXPECT_EQ(drives.Exists(files.gInventoryFile), filesThere) << "a missing file is left to its readers";
  }
}

TEST_F(SummaryInStepTest, AnUnreadableSummaryIsLeftToItsReaders) {
  Inventory({"C:\\Music\\a.wav"});
  drives.Write(files.gInvSumFile, "Last Updated:  3/9/2024  2:05:07 PM\r\n");
  InventoryLater();
  EXPECT_FALSE(inventory::BringSummaryInStep(files).rebuilt);
  EXPECT_EQ(drives.Read(files.gInvSumFile), "Last Updated:  3/9/2024  2:05:07 PM\r\n");
}

}  // namespace
