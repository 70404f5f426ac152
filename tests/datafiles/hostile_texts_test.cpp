// Texts that the list-form files must give back as they were written, through each file's own
// writer and reader.
#include <gtest/gtest.h>

#include "analysis/audioproperties.h"
#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "inventory/searchresult.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/files.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using namespace datafiles;

namespace {

// No backslash and no "." in them: they stand as whole folder, name or extension fields.
const std::vector<std::string> kHostile = {
    "a,b",
    "\"lead quote",
    "inner \"quote\" twice",
    "\"",
    "\"\"",
    " leading blank",
    "  ",
    "a\xC2\xBB" "b",  // the character 187 itself
    "x,y\xC2\xBB" "z",
    "\xC2\xBB",
    "tab\there",
    "\tleading tab",
    "trailing blank ",
    "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC",  // non-ASCII
    "line\r\nbreak",
    "lone\nlf",
    "lone\rcr",
    "a, \"b\", c",
    "3",  // a number where a text belongs
    "-7",
};

class HostileTexts : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  platform::FixedClock clock{{2026, 12, 10, 9, 30, 0}};
  DataFileNames files = DataFileNames::InFolder("C:\\data\\");

  void SetUp() override {
    drives.MakeFolder("C:\\data");
    platform::SetClock(&clock);
  }
  void TearDown() override { platform::SetClock(nullptr); }
};

TEST_F(HostileTexts, PrefsDatGivesBackEveryText) {
  for (const std::string& text : kHostile) {
    Preferences prefs;
    prefs.gBrowsePath = text;
    prefs.gOrphanQuantity = text;
    prefs.gWaveEditorPath = "C:\\Tools\\" + text;
    prefs.gSearchChunks = 1;
    ASSERT_TRUE(SavePreferences(files, prefs));
    Preferences back;
    back.gSearchChunks = 0;
    ASSERT_EQ(ReadPreferences(files, back).status, ReadStatus::Loaded);
    EXPECT_EQ(back.gBrowsePath, text);
    EXPECT_EQ(back.gOrphanQuantity, text);
    EXPECT_EQ(back.gWaveEditorPath, prefs.gWaveEditorPath);
    EXPECT_EQ(back.gSearchChunks, 1) << "the fields behind the text are where they were";
    EXPECT_EQ(back.gExportFile, 1);
  }
}

TEST_F(HostileTexts, PresetDatGivesBackEveryCaptionAndPathAndNoPresetShifts) {
  Presets presets;
  for (std::size_t i = 0; i < kHostile.size() && i < kPresetCount; ++i) {
    presets.gPresetCaptions[i] = kHostile[i];
    presets.gPresetPaths[i] = "C:\\" + kHostile[i] + "\\" + kHostile[kHostile.size() - 1 - i] + ".wav";
    presets.gPresetLoop[i] = i % 2 ? "True" : "False";
  }
  ASSERT_TRUE(SaveTapdeckPresets(files, presets));
  Presets back;
  for (auto& caption : back.gPresetCaptions) caption = "unread";
  ASSERT_EQ(ReadTapdeckPresets(files, back).status, ReadStatus::Loaded);
  EXPECT_EQ(back.gPresetCaptions, presets.gPresetCaptions);
  EXPECT_EQ(back.gPresetPaths, presets.gPresetPaths);
  EXPECT_EQ(back.gPresetLoop, presets.gPresetLoop);
}

TEST_F(HostileTexts, PlainTextsAreWrittenBareAsBefore) {
  Presets presets;
  presets.gPresetCaptions[0] = "Intro";
  presets.gPresetPaths[0] = "C:\\Sounds\\it's \"live\".wav";  // an inner quote is plain
  ASSERT_TRUE(SaveTapdeckPresets(files, presets));
  EXPECT_EQ(drives.Read(files.gPresetFile).substr(0, 41), "Intro,C:\\Sounds\\it's \"live\".wav,False\r\n2,");

  std::string stored;
  AppendStoredInventoryLine("C:\\Rock, Pop\\it's.wav", nullptr, stored);
  EXPECT_EQ(stored, "C:,\\Rock\xC2\xBB Pop\\,it's,wav" + std::string(18, ',') + "\r\n");
  std::string row;
  inventory::AppendResultLine({"C:", "\\a,b\\c.wav", 12}, row);
  EXPECT_EQ(row, "C:,\\a\xC2\xBB" "b\\c.wav,12\r\n");
  EXPECT_EQ(inventory::ResultHeaderLine("live, jazz"), "Keyword search: live\xC2\xBB jazz");
}

TEST_F(HostileTexts, InventoryDatGivesBackEveryPathWhetherReadWholeOrByItsPath) {
  std::vector<std::string> paths;
  for (const std::string& text : kHostile) {
    paths.push_back("C:\\" + text + "\\" + text + ".wav");
    paths.push_back("C:\\x\\n." + text);
  }
  paths.push_back("C:\\x\\a,b.wav");  // the other file of "a»b.wav"
  std::vector<std::vector<std::string>> lists(2);
  lists[1] = paths;
  ASSERT_EQ(WriteInventoryFile(files, lists, 0, nullptr), 0);

  for (int fields : {4, InventoryLine::kFieldCount}) {
    InventoryReader reader(files.gInventoryFile);
    InventoryLine line;
    std::vector<std::string> back;
    while (reader.Next(line, fields)) back.push_back(line.FullPath());
    ASSERT_EQ(back.size(), paths.size()) << fields << " fields read";
    for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(back[i], paths[i]) << fields << " fields read";
  }
  std::vector<bool> found = FindPathsInInventory(files.gInventoryFile, paths);
  EXPECT_EQ(std::count(found.begin(), found.end(), true), static_cast<long>(paths.size()));
  EXPECT_EQ(FindPathsInInventory(files.gInventoryFile, {"C:\\x\\a,b.wav", "C:\\x\\a\xC2\xBB" "b.wav"}),
            (std::vector<bool>{true, false}));
}

TEST_F(HostileTexts, InventoryAnalysisTextsKeepTheirDocumentedTreatmentAndTheRestComesBack) {
  for (const std::string& text : kHostile) {
    analysis::AudioProperties props;
    for (std::string* field : props.Texts()) *field = text;
    std::string stored;
    AppendStoredInventoryLine("C:\\a.wav", &props, stored);
    std::string want = platform::ReplaceAll(platform::ReplaceAll(text, ",", "-"), "\r\n", "  ");
    for (char& c : want) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    InventoryLine line;
    ParseInventoryLine(stored, line);
    EXPECT_EQ(line.FullPath(), "C:\\a.wav");
    for (const std::string* field : line.Fields()) {
      if (field == &line.gInvDrive || field == &line.gInvFolder || field == &line.gInvFileName ||
          field == &line.gInvExtension)
        continue;
      EXPECT_EQ(*field, want) << stored;
    }
  }
}

TEST_F(HostileTexts, InvSumDatGivesBackItsHeaderAndDriveTexts) {
  for (const std::string& text : kHostile) {
    if (text.find_first_of("\r\n") != std::string::npos) continue;  // the header is one line
    InventorySummary summary;
    summary.gTypeTotals[0] = 3;
    ASSERT_EQ(SaveInventorySummary(files, "Last Updated:  " + text, {"", text, "D:"}, {0, 104, 105}, 2, summary), 0);
    InventorySummary back;
    ASSERT_EQ(LoadInventorySummary(files, back), 0);
    EXPECT_EQ(back.gInvSumHeader, "Last Updated:  " + text);
    EXPECT_EQ(back.gLoopIndex, 2);
    EXPECT_EQ(back.gSumDriveLetters[1], text);
    EXPECT_EQ(back.gSumDriveLetters[2], "D:");
    EXPECT_EQ(back.gSumDriveIcons[2], 105);
    EXPECT_EQ(back.gTypeTotals[0], 3);
  }
  // A header beginning with a blank or a quote is kept whole too.
  InventorySummary summary;
  ASSERT_EQ(SaveInventorySummary(files, "\" quoted, with comma", {""}, {0}, 0, summary), 0);
  ASSERT_EQ(LoadInventorySummary(files, summary), 0);
  EXPECT_EQ(summary.gInvSumHeader, "\" quoted, with comma");
}

TEST_F(HostileTexts, ResultDatGivesBackEveryHeaderAndPath) {
  for (const std::string& text : kHostile) {
    std::string data = inventory::ResultHeaderLine(text) + "\r\n";
    inventory::AppendResultLine({"C:", "\\" + text + "\\" + text + ".wav", 7}, data);
    inventory::AppendResultLine({text, "\\plain.wav", 12}, data);
    drives.Write("C:\\data\\result.dat", data);
    inventory::SearchResultFile back = inventory::ReadSearchResult("C:\\data\\result.dat");
    EXPECT_EQ(back.header, "Keyword search: " + text);
    ASSERT_EQ(back.rows.size(), 2u) << data;
    EXPECT_EQ(back.rows[0].drive, "C:");
    EXPECT_EQ(back.rows[0].pathWithoutDrive, "\\" + text + "\\" + text + ".wav");
    EXPECT_EQ(back.rows[0].hits, 7);
    EXPECT_EQ(back.rows[1].drive, text);
    EXPECT_EQ(back.rows[1].hits, 12);
  }
}

}  // namespace
