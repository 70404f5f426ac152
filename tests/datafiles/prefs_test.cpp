#include <gtest/gtest.h>

#include "datafiles/prefs.h"
#include "platform/core/files.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using namespace datafiles;

namespace {

class PrefsFiles : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  DataFileNames files = DataFileNames::InFolder("C:\\tolvan\\data\\");

  void SetUp() override { drives.MakeFolder("C:\\tolvan\\data"); }
};

std::string DefaultPresetLines() {
  std::string all;
  for (int i = 1; i <= 20; ++i) all += std::to_string(i) + ",,False\r\n";
  return all;
}

}  // namespace

TEST_F(PrefsFiles, MissingPrefsAreAnnouncedDefaultedAndWrittenReadOnly) {
  boxes.Answer(platform::vbOK);
  bool formFilled = false;
  Preferences prefs;
  prefs.gEnableEmbedded = 1;  // whatever was there is replaced by the defaults
  EXPECT_EQ(LoadPreferences(files, prefs, [&] { formFilled = true; }), LoadOutcome::Defaulted);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
  EXPECT_EQ(boxes.shown()[0].style, 48);
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find preference settings file C:\\tolvan\\data\\prefs.dat.\n\rSwitching to defaults.");
  EXPECT_TRUE(formFilled);
  EXPECT_EQ(drives.Read(files.gPrefsFile), "c:\\,n/a , 0 , 1 , 1 , 0 ,None selected, 1 \r\n");
  EXPECT_EQ(drives.Read(files.gPrefsFile).size(), 44u);
  EXPECT_TRUE(platform::IsReadOnly(files.gPrefsFile));
  EXPECT_EQ(prefs.gEnableEmbedded, 0);
  EXPECT_EQ(prefs.gOrphanQuantity, "n/a ");
}

TEST_F(PrefsFiles, MissingPresetsGiveTwentyNumberedLines) {
  boxes.Answer(platform::vbOK);
  bool refreshed = false;
  Presets presets;
  EXPECT_EQ(LoadTapdeckPresets(files, presets, [&] { refreshed = true; }), LoadOutcome::Defaulted);
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find Tapdeck settings file C:\\tolvan\\data\\preset.dat.\n\rSwitching to defaults.");
  EXPECT_TRUE(refreshed);
  EXPECT_EQ(drives.Read(files.gPresetFile), DefaultPresetLines());
  EXPECT_TRUE(platform::IsReadOnly(files.gPresetFile));
}

TEST_F(PrefsFiles, RoundTripsAndSavingTwiceLeavesOneLine) {
  Preferences prefs;
  prefs.gBrowsePath = "D:\\Samples\\";
  prefs.gOrphanQuantity = " 3";
  prefs.gEnableEmbedded = 1;
  prefs.gSearchChunks = 1;
  prefs.gWaveEditorPath = "C:\\Tools\\wave edit.exe";
  prefs.gExportFile = 0;
  ASSERT_TRUE(SavePreferences(files, prefs));
  ASSERT_TRUE(SavePreferences(files, prefs));
  EXPECT_EQ(drives.Read(files.gPrefsFile), "D:\\Samples\\, 3, 1 , 1 , 1 , 1 ,C:\\Tools\\wave edit.exe, 0 \r\n");
  Preferences back;
  EXPECT_EQ(LoadPreferences(files, back, nullptr), LoadOutcome::Loaded);
  EXPECT_EQ(back.gBrowsePath, prefs.gBrowsePath);
  EXPECT_EQ(back.gOrphanQuantity, " 3") << "a count reads back as its number text";
  EXPECT_EQ(back.gEnableEmbedded, 1);
  EXPECT_EQ(back.gSearchChunks, 1);
  EXPECT_EQ(back.gWaveEditorPath, prefs.gWaveEditorPath);
  EXPECT_EQ(back.gExportFile, 0);
}

TEST_F(PrefsFiles, PresetsRoundTripWithTheirExactLines) {
  Presets presets;
  presets.gPresetCaptions[2] = "Intro";
  presets.gPresetPaths[2] = "C:\\Sounds\\intro.wav";
  presets.gPresetLoop[2] = "True";
  ASSERT_TRUE(SaveTapdeckPresets(files, presets));
  std::string text = drives.Read(files.gPresetFile);
  EXPECT_NE(text.find("\r\nIntro,C:\\Sounds\\intro.wav,True\r\n4,,False\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n12,,False\r\n"), std::string::npos);
  Presets back;
  LoadTapdeckPresets(files, back, nullptr);
  EXPECT_EQ(back.gPresetCaptions, presets.gPresetCaptions);
  EXPECT_EQ(back.gPresetPaths, presets.gPresetPaths);
  EXPECT_EQ(back.gPresetLoop, presets.gPresetLoop);
}

TEST_F(PrefsFiles, ACommaInACaptionOrPathIsQuotedAndComesBackWhole) {
  Presets presets;
  presets.gPresetCaptions[0] = "Drums, loud";
  presets.gPresetPaths[0] = "C:\\a,b\\kick.wav";
  SaveTapdeckPresets(files, presets);
  EXPECT_EQ(drives.Read(files.gPresetFile).substr(0, 37), "\"Drums, loud\",\"C:\\a,b\\kick.wav\",False");
  Presets back;
  LoadTapdeckPresets(files, back, nullptr);
  EXPECT_EQ(back.gPresetCaptions[0], "Drums, loud");
  EXPECT_EQ(back.gPresetPaths[0], "C:\\a,b\\kick.wav");
  EXPECT_EQ(back.gPresetCaptions[1], "2");
}

TEST_F(PrefsFiles, AShortOrDamagedFileKeepsDefaultsForWhatItLacks) {
  drives.Write(files.gPrefsFile, "D:\\,  7, 1 , oops , 0 ,x, 0 \r\n");
  boxes.Answer(platform::vbOK);  // each file is damaged and said so
  boxes.Answer(platform::vbOK);
  Preferences prefs;
  prefs.gSearchUserDB = 0;
  EXPECT_EQ(LoadPreferences(files, prefs, nullptr), LoadOutcome::Loaded);
  EXPECT_EQ(prefs.gBrowsePath, "D:\\");
  EXPECT_EQ(prefs.gOrphanQuantity, " 7");
  EXPECT_EQ(prefs.gEnableEmbedded, 1);
  EXPECT_EQ(prefs.gSearchAttributes, 1) << "the damaged field and all after it keep their defaults";
  EXPECT_EQ(prefs.gSearchUserDB, 1);
  EXPECT_EQ(prefs.gWaveEditorPath, "None selected");

  drives.Write(files.gPresetFile, "A,C:\\a.wav,True\r\nB\r\n");
  Presets presets;
  LoadTapdeckPresets(files, presets, nullptr);
  EXPECT_EQ(presets.gPresetPaths[0], "C:\\a.wav");
  EXPECT_EQ(presets.gPresetCaptions[1], "B");
  EXPECT_EQ(presets.gPresetCaptions[19], "20");
}

TEST_F(PrefsFiles, AFailedSaveIsReportedAndTheOldFileStays) {
  drives.Write(files.gPrefsFile, "old\r\n");
  boxes.Answer(platform::vbOK);
  platform::InjectWriteFailureAfter(10);
  EXPECT_FALSE(SavePreferences(files, Preferences()));
  platform::InjectWriteFailureAfter(-1);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Not Saved");
  EXPECT_EQ(drives.Read(files.gPrefsFile), "old\r\n");
}

TEST_F(PrefsFiles, AMissingFileWhoseSaveFailsIsReadAtMostOnce) {
  boxes.Answer(platform::vbOK);  // the missing file
  boxes.Answer(platform::vbOK);  // the failed save
  Preferences prefs;
  platform::InjectWriteFailureAfter(0);
  EXPECT_EQ(LoadPreferences(files, prefs, nullptr), LoadOutcome::Defaulted);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(prefs.gWaveEditorPath, "None selected");
}
