// What the windows do after the core's outcomes: the box first, then the defaults, the form,
// the save and the reading back, or the rebuild of a missing inventory, in that order.
#include "windows/datafilesteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using namespace datafiles;
using datafilesteps::LoadOutcome;

namespace {

class SettingsSteps : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  DataFileNames files = DataFileNames::InFolder("C:\\tolvan\\data\\");

  void SetUp() override { drives.MakeFolder("C:\\tolvan\\data"); }
  void TearDown() override { platform::InjectWriteFailureAfter(-1); }
};

std::string DefaultPresetLines() {
  std::string all;
  for (int i = 1; i <= 20; ++i) all += std::to_string(i) + ",,False\r\n";
  return all;
}

TEST_F(SettingsSteps, MissingPrefsAreAnnouncedDefaultedAndWrittenReadOnly) {
  boxes.Answer(platform::vbOK);
  std::vector<std::string> steps;
  Preferences prefs;
  prefs.gEnableEmbedded = 1;  // whatever was there is replaced by the defaults
  EXPECT_EQ(datafilesteps::LoadPreferences(files, prefs,
                                           [&] {
                                             // The box came first, the defaults are set, nothing is saved yet.
                                             steps.push_back("form");
                                             EXPECT_EQ(boxes.shown().size(), 1u);
                                             EXPECT_EQ(prefs.gEnableEmbedded, 0);
                                             EXPECT_FALSE(drives.Exists(files.gPrefsFile));
                                           }),
            LoadOutcome::Defaulted);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
  EXPECT_EQ(boxes.shown()[0].style, 48);
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find preference settings file C:\\tolvan\\data\\prefs.dat.\n\rSwitching to defaults.");
  EXPECT_EQ(steps, std::vector<std::string>{"form"});
  EXPECT_EQ(drives.Read(files.gPrefsFile), "c:\\,n/a , 0 , 1 , 1 , 0 ,None selected, 1 \r\n");
  EXPECT_EQ(drives.Read(files.gPrefsFile).size(), 44u);
  EXPECT_TRUE(platform::IsReadOnly(files.gPrefsFile));
  EXPECT_EQ(prefs.gEnableEmbedded, 0);
  EXPECT_EQ(prefs.gOrphanQuantity, "n/a ");
}

TEST_F(SettingsSteps, MissingPresetsGiveTwentyNumberedLines) {
  boxes.Answer(platform::vbOK);
  bool refreshed = false;
  Presets presets;
  EXPECT_EQ(datafilesteps::LoadTapdeckPresets(files, presets, [&] { refreshed = true; }), LoadOutcome::Defaulted);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find Tapdeck settings file C:\\tolvan\\data\\preset.dat.\n\rSwitching to defaults.");
  EXPECT_TRUE(refreshed);
  EXPECT_EQ(drives.Read(files.gPresetFile), DefaultPresetLines());
  EXPECT_TRUE(platform::IsReadOnly(files.gPresetFile));
}

TEST_F(SettingsSteps, AMissingFileWhoseSaveFailsIsReadAtMostOnce) {
  boxes.Answer(platform::vbOK);  // the missing file
  boxes.Answer(platform::vbOK);  // the failed save
  Preferences prefs;
  platform::InjectWriteFailureAfter(0);
  EXPECT_EQ(datafilesteps::LoadPreferences(files, prefs, nullptr), LoadOutcome::Defaulted);
  platform::InjectWriteFailureAfter(-1);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
  EXPECT_EQ(boxes.shown()[1].title, "Data File Not Saved");
  EXPECT_EQ(prefs.gWaveEditorPath, "None selected");
  EXPECT_FALSE(drives.Exists(files.gPrefsFile));
}

TEST_F(SettingsSteps, AFileThatIsThereLoadsWithoutAWordOrIsToldDamaged) {
  ASSERT_TRUE(SavePreferences(files, Preferences()));
  Preferences prefs;
  EXPECT_EQ(datafilesteps::LoadPreferences(files, prefs, [] { ADD_FAILURE() << "no defaults to show"; }),
            LoadOutcome::Loaded);
  EXPECT_TRUE(boxes.shown().empty());

  drives.Write(files.gPresetFile, "A,C:\\a.wav,True\r\nB\r\n");
  boxes.Answer(platform::vbOK);
  Presets presets;
  EXPECT_EQ(datafilesteps::LoadTapdeckPresets(files, presets, nullptr), LoadOutcome::Loaded);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Damaged");
  EXPECT_EQ(boxes.shown()[0].text, "The Tapdeck settings file C:\\tolvan\\data\\preset.dat is damaged.\n\rA copy of it "
                                   "was kept as C:\\tolvan\\data\\preset.dat.damaged.\n\rSettings it could not give "
                                   "are set to their defaults.");
  EXPECT_EQ(presets.gPresetCaptions[1], "B");
}

// A folder where prefs.dat or preset.dat belongs is named once, as what it is; the defaults
// stand for the run and the folder keeps what it holds.
TEST_F(SettingsSteps, AFolderInPlaceOfASettingsFileIsToldOnceAndLeftAsItIs) {
  const struct {
    const char* name;
    std::string file;
    std::string text;
    std::function<LoadOutcome(std::function<void()>)> load;
  } cases[] = {
      {"prefs.dat", files.gPrefsFile,
       "The preference settings file C:\\tolvan\\data\\prefs.dat is there but cannot be read or written as a "
       "file.\n\rSwitching to defaults; nothing is written in its place.",
       [&](std::function<void()> defaultsShown) {
         Preferences prefs;
         prefs.gEnableEmbedded = 1;
         const LoadOutcome outcome = datafilesteps::LoadPreferences(files, prefs, defaultsShown);
         EXPECT_EQ(PrefsLine(prefs), PrefsLine(Preferences()));
         return outcome;
       }},
      {"preset.dat", files.gPresetFile,
       "The Tapdeck settings file C:\\tolvan\\data\\preset.dat is there but cannot be read or written as a "
       "file.\n\rSwitching to defaults; nothing is written in its place.",
       [&](std::function<void()> defaultsShown) {
         Presets presets;
         presets.gPresetCaptions[0] = "Intro";
         const LoadOutcome outcome = datafilesteps::LoadTapdeckPresets(files, presets, defaultsShown);
         EXPECT_EQ(PresetLines(presets), DefaultPresetLines());
         return outcome;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drives.MakeFolder(c.file);
    drives.Write(c.file + "\\inside.txt", "kept");
    const std::size_t before = boxes.shown().size();
    boxes.Answer(platform::vbOK);
    EXPECT_EQ(c.load([] { ADD_FAILURE() << "no defaults to show: nothing was saved"; }), LoadOutcome::NotAFile);
    ASSERT_EQ(boxes.shown().size(), before + 1) << "one box, and no \"Data File Not Saved\" after it";
    EXPECT_EQ(boxes.shown().back().title, "Data File Unusable");
    EXPECT_EQ(boxes.shown().back().style, platform::vbExclamation);
    EXPECT_EQ(boxes.shown().back().text, c.text);
    EXPECT_EQ(drives.Read(c.file + "\\inside.txt"), "kept");
    EXPECT_FALSE(drives.Exists(c.file + ".new"));
    EXPECT_FALSE(drives.Exists(c.file + ".damaged"));
  }
}

TEST_F(SettingsSteps, AFailedSaveIsReportedAndTheOldFileStays) {
  drives.Write(files.gPrefsFile, "old\r\n");
  boxes.Answer(platform::vbOK);
  platform::InjectWriteFailureAfter(10);
  EXPECT_FALSE(datafilesteps::SavePreferences(files, Preferences()));
  platform::InjectWriteFailureAfter(-1);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Not Saved");
  EXPECT_EQ(boxes.shown()[0].text, "Tolvan could not save the file C:\\tolvan\\data\\prefs.dat.\n\r" +
                                       platform::VbError::DescribeError(platform::errDiskFull));
  EXPECT_EQ(drives.Read(files.gPrefsFile), "old\r\n");

  EXPECT_TRUE(datafilesteps::SaveTapdeckPresets(files, Presets()));
  EXPECT_EQ(boxes.shown().size(), 1u) << "a save that works says nothing";
}

// --- missing inventory files: announced unless the start-up check asked for the rebuild ---

std::string Line(std::string_view drive, std::string_view folder, std::string_view name, std::string_view ext) {
  return std::string(drive) + "," + std::string(folder) + "," + std::string(name) + "," + std::string(ext) +
         std::string(18, ',') + "\r\n";
}

const std::string kMissingSummaryText =
    "Cannot find inventory summary file C:\\data\\invsum.dat.\n\rTolvan will now scan your system for audio files "
    "and update the inventory records.";
const std::string kMissingDataText =
    "Cannot find inventory data file C:\\data\\inventory.dat.\n\rTolvan will now scan your system for audio files "
    "and update the inventory records.";

enum class Operation { Load, Add, RemoveWithoutSummary, RemoveWithoutInventory };

struct MissingCase {
  const char* name;
  Operation operation;
  bool rebuildFlag;
};
void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingInventoryFileTest : public ::testing::TestWithParam<MissingCase> {
 protected:
  void SetUp() override {
    drives.MakeFolder("C:\\data");
    platform::SetClock(&clock);
  }
  void TearDown() override { platform::SetClock(nullptr); }
  void Put(const std::string& file, const std::string& bytes) {
    drives.Write(file, bytes);
    platform::SetReadOnly(file, true);
  }
  std::string Get(const std::string& file) const { return drives.Read(file); }

  testing_support::TempDrives drives{"CD"};
  testing_support::ScriptedMessageBoxes boxes;
  platform::FixedClock clock{{2024, 3, 9, 14, 5, 7}};
  DataFileNames files = DataFileNames::InFolder("C:\\data\\");
  InventorySummary summary;
  bool rebuild = false;
  int updates = 0;
};

TEST_P(MissingInventoryFileTest, RunsTheUpdateAndClearsTheRebuildFlag) {
  const MissingCase& c = GetParam();
  rebuild = c.rebuildFlag;
  const std::string inventory = Line("C:", "\\Lists\\", "party", "m3u");
  if (c.operation != Operation::RemoveWithoutInventory) Put(files.gInventoryFile, inventory);
  if (c.operation == Operation::RemoveWithoutInventory) {
    Put(files.gInvSumFile,
        "Last Updated:  old\r\n 12 , 6 , 2 , 1 , 0 , 0 , 0 , 3 \r\nC:, 104 , 10 , 5 , 2 , 1 , 0 , 0 , 0 , 2 \r\n");
  }
  // The update writes what a scan would.
  const std::string rebuilt = "Last Updated:  rebuilt\r\n 1 , 0 , 0 , 0 , 0 , 0 , 0 , 1 \r\nC:, 104 , 1 , 0 , 0 , 0 , 0 , 0 , 0 , 1 \r\n";
  datafilesteps::InventoryUpdate update = [&] {
    ++updates;
    // The box, when there is one, comes before the update.
    EXPECT_EQ(boxes.shown().size(), c.rebuildFlag ? 0u : 1u);
    drives.Write(files.gInvSumFile, rebuilt);
    drives.Write(files.gInventoryFile, inventory);
  };
  if (!c.rebuildFlag) boxes.Answer(platform::vbOK);

  switch (c.operation) {
    case Operation::Load:
      EXPECT_EQ(datafilesteps::LoadInventorySummary(files, rebuild, update, summary), 0);
      EXPECT_EQ(summary.gInvSumHeader, "Last Updated:  rebuilt") << "goes on with the rebuilt file";
      EXPECT_EQ(summary.gLoopIndex, 1);
      break;
    case Operation::Add: {
      auto change = datafilesteps::AddFileToInventory(files, "C:\\Lists\\new.m3u", rebuild, update, summary);
      EXPECT_TRUE(change.missing);
      EXPECT_EQ(change.error, 0);
      EXPECT_EQ(Get(files.gInvSumFile), rebuilt) << "no count changed after the rebuild";
      break;
    }
    case Operation::RemoveWithoutSummary:
    case Operation::RemoveWithoutInventory: {
      auto change = datafilesteps::RemoveFileFromInventory(files, "C:\\Lists\\party.m3u", "C:\\Lists\\party.m3u",
                                                           rebuild, update, summary);
      EXPECT_TRUE(change.missing);
      EXPECT_EQ(change.error, 0);
      EXPECT_EQ(Get(files.gInvSumFile), rebuilt) << "no count changed after the rebuild";
      if (c.operation == Operation::RemoveWithoutInventory) {
        EXPECT_EQ(Get(files.gInventoryFile), inventory) << "nothing copied after the rebuild";
      }
      break;
    }
  }
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(rebuild);
  if (c.rebuildFlag) {
    EXPECT_TRUE(boxes.shown().empty());
  } else {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
    EXPECT_EQ(boxes.shown()[0].style, 48);
    EXPECT_EQ(boxes.shown()[0].text,
              c.operation == Operation::RemoveWithoutInventory ? kMissingDataText : kMissingSummaryText);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingInventoryFileTest,
    ::testing::Values(MissingCase{"LoadAnnounced", Operation::Load, false},
                      MissingCase{"LoadSilentRebuild", Operation::Load, true},
                      MissingCase{"AddAnnounced", Operation::Add, false},
                      MissingCase{"AddSilentRebuild", Operation::Add, true},
                      MissingCase{"RemoveSummaryAnnounced", Operation::RemoveWithoutSummary, false},
                      MissingCase{"RemoveSummarySilent", Operation::RemoveWithoutSummary, true},
                      MissingCase{"RemoveInventoryAnnounced", Operation::RemoveWithoutInventory, false},
                      MissingCase{"RemoveInventorySilent", Operation::RemoveWithoutInventory, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MissingInventoryFileTest, AFileThatIsThereNeedsNoRebuild) {
  Put(files.gInvSumFile, "h\r\n 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
  EXPECT_EQ(datafilesteps::LoadInventorySummary(files, rebuild, [&] { ++updates; }, summary), 0);
  EXPECT_EQ(summary.gInvSumHeader, "h");
  EXPECT_EQ(updates, 0);
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
