// The whole program started twice on the same data folder: what the first run stored, the
// second one has again, whatever the texts hold.
#include <gtest/gtest.h>

#include <QPushButton>

#include "datafiles/inventoryline.h"
#include "mainwindow/frmLauncher.h"
#include "support/app_fixture.h"
#include "support/preset_access.h"

using testing_support::AppFixture;

namespace {

const std::vector<std::string> kTexts = {
    "a,b", "\"lead quote", "inner \"quote\"", " leading blank", "a\xC2\xBB" "b", "tab\there",
    "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "x, \"y\", z"};

std::vector<std::string> ListedPaths(const std::string& inventoryFile) {
  datafiles::InventoryReader reader(inventoryFile);
  datafiles::InventoryLine line;
  std::vector<std::string> paths;
  while (reader.Next(line)) paths.push_back(line.FullPath());
  std::sort(paths.begin(), paths.end());
  return paths;
}

class Restart : public AppFixture {};

TEST_F(Restart, EveryPresetPreferenceAndListedPathIsTheSameAfterReload) {
  std::vector<std::string> files;
  for (const std::string& text : kTexts) {
    files.push_back("C:\\Music\\" + text + "\\" + text + ".wav");
    drives.Write(files.back(), std::string(64, 'x'));
  }
  drives.Write("C:\\Music\\a,b.wav", std::string(64, 'x'));  // the other file of "a»b.wav"
  files.push_back("C:\\Music\\a,b.wav");
  drives.Write("C:\\Music\\a\xC2\xBB" "b.wav", std::string(64, 'x'));
  files.push_back("C:\\Music\\a\xC2\xBB" "b.wav");
  std::sort(files.begin(), files.end());

  datafiles::Preferences prefs;
  prefs.gBrowsePath = "C:\\Music\\" + kTexts[1] + "\\";
  prefs.gWaveEditorPath = "C:\\Tools\\" + kTexts[0] + ".exe";
  prefs.gOrphanQuantity = " 0";
  datafiles::Presets presets;
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    presets.gPresetCaptions[i] = kTexts[i];
    presets.gPresetPaths[i] = files[i];
    presets.gPresetLoop[i] = "True";
  }
  ASSERT_TRUE(datafiles::SavePreferences(state.decl.files, prefs));
  ASSERT_TRUE(datafiles::SaveTapdeckPresets(state.decl.files, presets));

  std::vector<std::string> listed;
  {
    auto first = OpenMainWindow();  // no inventory yet: the start builds it from the drives
    listed = ListedPaths(state.decl.files.gInventoryFile);
    for (const std::string& file : files) {
      EXPECT_TRUE(std::binary_search(listed.begin(), listed.end(), file)) << file;
    }
  }

  const datafiles::DataFileNames names = state.decl.files;
  state = ProgramState{};
  state.decl.gAppPath = kAppPath;
  state.decl.files = names;
  auto second = OpenMainWindow();
  const datafiles::Preferences& p = state.io.prefs;
  EXPECT_EQ(p.gBrowsePath, prefs.gBrowsePath);
  EXPECT_EQ(p.gWaveEditorPath, prefs.gWaveEditorPath);
  EXPECT_EQ(p.gEnableEmbedded, prefs.gEnableEmbedded);
  EXPECT_EQ(p.gExportFile, prefs.gExportFile);
  EXPECT_EQ(state.io.presets.gPresetCaptions, presets.gPresetCaptions);
  EXPECT_EQ(state.io.presets.gPresetPaths, presets.gPresetPaths);
  EXPECT_EQ(state.io.presets.gPresetLoop, presets.gPresetLoop);
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    EXPECT_EQ(BankUi(second->Bank()).btnPreset[i + 1]->text().toStdString(), kTexts[i]);
  }
  EXPECT_EQ(ListedPaths(state.decl.files.gInventoryFile), listed);
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace

namespace {

struct DamagedStart {
  const char* name;
  std::string bytes;
  bool orphans;  // the damaged userdb.dat holds whole records
};

class StartOnDamagedFiles : public AppFixture, public ::testing::WithParamInterface<DamagedStart> {};

// Every data file of the folder holds the same damage; the program comes up, says that its two
// settings files are damaged, keeps them, and runs on defaults.
TEST_P(StartOnDamagedFiles, ComesUpOnDefaultsAndSaysWhichSettingsWereDamaged) {
  const Declarations& decl = state.decl;
  for (const std::string* file : {&decl.files.gPrefsFile, &decl.files.gPresetFile, &decl.files.gInventoryFile,
                                  &decl.files.gInvSumFile, &decl.files.gUserDBFile, &decl.files.gResultFile}) {
    drives.Write(*file, GetParam().bytes);
  }
  boxes.Answer(platform::vbOK);
  boxes.Answer(platform::vbOK);
  if (GetParam().orphans) {
    boxes.Answer(platform::vbNo);
    boxes.Answer(platform::vbOK);
  }
  boxes.Answer(platform::vbOK);
  auto window = OpenMainWindow();
  std::vector<std::string> titles;
  for (const auto& box : boxes.shown()) titles.push_back(box.title);
  // The damaged summary reads as a changed configuration: the inventory is rebuilt; records of
  // a damaged userdb.dat name no listed file and are offered for reconciling.
  std::vector<std::string> want = {"Data File Damaged", "System Configuration Change"};
  if (GetParam().orphans) want.insert(want.end(), {"Orphaned records found", "Reconciling Later"});
  want.push_back("Data File Damaged");
  ASSERT_EQ(titles, want);
  EXPECT_NE(boxes.shown().front().text.find(decl.files.gPrefsFile), std::string::npos);
  EXPECT_NE(boxes.shown().back().text.find(decl.files.gPresetFile), std::string::npos);
  EXPECT_EQ(drives.Read(decl.files.gPresetFile + ".damaged"), GetParam().bytes);
  EXPECT_EQ(state.io.presets.gPresetCaptions[19], "20");
  EXPECT_EQ(state.io.prefs.gWaveEditorPath, "None selected");
  EXPECT_EQ(BankUi(window->Bank()).btnPreset[20]->text().toStdString(), "20");
}

std::string Garbage() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) % 256));
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(Damage, StartOnDamagedFiles,
                         ::testing::Values(DamagedStart{"garbage", Garbage(), true}, DamagedStart{"empty", "", false},
                                           DamagedStart{"a_10_MB_line", std::string(10 << 20, 'x'), true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
