#include <gtest/gtest.h>

#include "datafiles/prefs.h"
#include "platform/core/errors.h"
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

// The core only reads; the windows announce, save and read back (tests/windows).
TEST_F(PrefsFiles, MissingFilesReadAsMissingWithTheDefaultsAndWriteNothing) {
  Preferences prefs;
  prefs.gEnableEmbedded = 1;  // whatever was there is replaced by the defaults
  const ReadOutcome read = ReadPreferences(files, prefs);
  EXPECT_EQ(read.status, ReadStatus::Missing);
  EXPECT_EQ(read.which, DataFile::Preferences);
  EXPECT_EQ(read.file, "C:\\tolvan\\data\\prefs.dat");
  EXPECT_EQ(PrefsLine(prefs), PrefsLine(Preferences()));
  EXPECT_EQ(prefs.gEnableEmbedded, 0);
  EXPECT_EQ(prefs.gOrphanQuantity, "n/a ");
  EXPECT_FALSE(drives.Exists(files.gPrefsFile));

  Presets presets;
  presets.gPresetCaptions[0] = "kept?";
  const ReadOutcome presetRead = ReadTapdeckPresets(files, presets);
  EXPECT_EQ(presetRead.status, ReadStatus::Missing);
  EXPECT_EQ(presetRead.which, DataFile::TapdeckPresets);
  EXPECT_EQ(presetRead.file, "C:\\tolvan\\data\\preset.dat");
  EXPECT_EQ(PresetLines(presets), DefaultPresetLines());
  EXPECT_FALSE(drives.Exists(files.gPresetFile));
}

TEST_F(PrefsFiles, AFolderInPlaceOfTheFileReadsAsNoFileWithTheDefaults) {
  drives.MakeFolder(files.gPrefsFile);
  drives.MakeFolder(files.gPresetFile);
  Preferences prefs;
  prefs.gSearchChunks = 1;
  EXPECT_EQ(ReadPreferences(files, prefs).status, ReadStatus::NotAFile);
  EXPECT_EQ(PrefsLine(prefs), PrefsLine(Preferences()));
  Presets presets;
  presets.gPresetLoop[4] = "True";
  EXPECT_EQ(ReadTapdeckPresets(files, presets).status, ReadStatus::NotAFile);
  EXPECT_EQ(PresetLines(presets), DefaultPresetLines());
}

TEST_F(PrefsFiles, DefaultsAreWrittenReadOnlyInTheirExactBytes) {
  ASSERT_TRUE(SavePreferences(files, Preferences()));
  EXPECT_EQ(drives.Read(files.gPrefsFile), "c:\\,n/a , 0 , 1 , 1 , 0 ,None selected, 1 \r\n");
  EXPECT_EQ(drives.Read(files.gPrefsFile).size(), 44u);
  EXPECT_TRUE(platform::IsReadOnly(files.gPrefsFile));
  ASSERT_TRUE(SaveTapdeckPresets(files, Presets()));
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
  EXPECT_EQ(ReadPreferences(files, back).status, ReadStatus::Loaded);
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
  EXPECT_EQ(ReadTapdeckPresets(files, back).status, ReadStatus::Loaded);
  EXPECT_EQ(back.gPresetCaptions, presets.gPresetCaptions);
  EXPECT_EQ(back.gPresetPaths, presets.gPresetPaths);
  EXPECT_EQ(back.gPresetLoop, presets.gPresetLoop);
}

TEST_F(PrefsFiles, ACommaInACaptionOrPathIsQuotedAndComesBackWhole) {
  Presets presets;
  presets.gPresetCaptions[0] = "Drums, loud";
  presets.gPresetPaths[0] = "C:\\a,b\\kick.wav";
  ASSERT_TRUE(SaveTapdeckPresets(files, presets));
  EXPECT_EQ(drives.Read(files.gPresetFile).substr(0, 37), "\"Drums, loud\",\"C:\\a,b\\kick.wav\",False");
  Presets back;
  EXPECT_EQ(ReadTapdeckPresets(files, back).status, ReadStatus::Loaded);
  EXPECT_EQ(back.gPresetCaptions[0], "Drums, loud");
  EXPECT_EQ(back.gPresetPaths[0], "C:\\a,b\\kick.wav");
  EXPECT_EQ(back.gPresetCaptions[1], "2");
}

TEST_F(PrefsFiles, AShortOrDamagedFileKeepsDefaultsForWhatItLacks) {
  drives.Write(files.gPrefsFile, "D:\\,  7, 1 , oops , 0 ,x, 0 \r\n");
  Preferences prefs;
  prefs.gSearchUserDB = 0;
  const ReadOutcome read = ReadPreferences(files, prefs);
  EXPECT_EQ(read.status, ReadStatus::Damaged) << "each file is damaged and said so";
  EXPECT_EQ(read.copy, files.gPrefsFile + ".damaged");
  EXPECT_EQ(prefs.gBrowsePath, "D:\\");
  EXPECT_EQ(prefs.gOrphanQuantity, " 7");
  EXPECT_EQ(prefs.gEnableEmbedded, 1);
  EXPECT_EQ(prefs.gSearchAttributes, 1) << "the damaged field and all after it keep their defaults";
  EXPECT_EQ(prefs.gSearchUserDB, 1);
  EXPECT_EQ(prefs.gWaveEditorPath, "None selected");

  drives.Write(files.gPresetFile, "A,C:\\a.wav,True\r\nB\r\n");
  Presets presets;
  const ReadOutcome presetRead = ReadTapdeckPresets(files, presets);
  EXPECT_EQ(presetRead.status, ReadStatus::Damaged);
  EXPECT_EQ(presetRead.copy, files.gPresetFile + ".damaged");
  EXPECT_EQ(presets.gPresetPaths[0], "C:\\a.wav");
  EXPECT_EQ(presets.gPresetCaptions[1], "B");
  EXPECT_EQ(presets.gPresetCaptions[19], "20");
}

TEST_F(PrefsFiles, AFailedSaveIsReportedAndTheOldFileStays) {
  drives.Write(files.gPrefsFile, "old\r\n");
  platform::InjectWriteFailureAfter(10);
  const SaveOutcome save = SavePreferences(files, Preferences());
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(save);
  EXPECT_EQ(save.file, files.gPrefsFile);
  EXPECT_EQ(save.failure, platform::VbError::DescribeError(platform::errDiskFull));
  EXPECT_EQ(drives.Read(files.gPrefsFile), "old\r\n");
}
