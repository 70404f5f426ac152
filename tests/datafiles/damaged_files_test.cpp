// Data files that are damaged, and writes that fail: what the readers and writers do then.
#include <gtest/gtest.h>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "inventory/searchresult.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

using namespace datafiles;

namespace {

class DamagedFiles : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  DataFileNames files = DataFileNames::InFolder("C:\\data\\");

  void SetUp() override { drives.MakeFolder("C:\\data"); }
  void TearDown() override { platform::InjectWriteFailureAfter(-1); }
};

struct DamageCase {
  const char* name;
  std::string bytes;
};

std::string Garbage() {
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes.push_back(static_cast<char>((i * 37 + 11) % 256));
  return bytes;
}

const std::vector<DamageCase> kDamaged = {
    {"garbage", Garbage()},
    {"empty", ""},
    {"a 10 MB line", std::string(10 * 1024 * 1024, 'x') + "\r\n"},
    {"a text for a number", "c:\\,n/a ,yes, 1 , 1 , 0 ,None selected, 1 \r\n"},
    {"more than its lines", "c:\\,n/a , 0 , 1 , 1 , 0 ,None selected, 1 \r\nextra\r\n"},
};

TEST_F(DamagedFiles, ADamagedPrefsOrPresetFileIsKeptBesideItAndSaid) {
  for (const DamageCase& c : kDamaged) {
    SCOPED_TRACE(c.name);
    for (const std::string* file : {&files.gPrefsFile, &files.gPresetFile}) {
      drives.Remove(*file + ".damaged");
      drives.Write(*file, c.bytes);
      ReadOutcome read;
      if (file == &files.gPrefsFile) {
        Preferences prefs;
        read = ReadPreferences(files, prefs);
        EXPECT_EQ(prefs.gWaveEditorPath, "None selected");
        EXPECT_EQ(prefs.gSearchUserDB, 1);
        ASSERT_TRUE(SavePreferences(files, prefs));
      } else {
        Presets presets;
        read = ReadTapdeckPresets(files, presets);
        EXPECT_EQ(presets.gPresetCaptions[19], "20");
        ASSERT_TRUE(SaveTapdeckPresets(files, presets));
      }
      EXPECT_EQ(read.status, ReadStatus::Damaged);
      EXPECT_EQ(read.which, file == &files.gPrefsFile ? DataFile::Preferences : DataFile::TapdeckPresets);
      EXPECT_EQ(read.file, *file);
      EXPECT_EQ(read.copy, *file + ".damaged");
      EXPECT_EQ(read.copyFailure, "");
      EXPECT_TRUE(drives.Read(*file + ".damaged") == c.bytes) << "the copy holds the damaged bytes";
      EXPECT_FALSE(drives.Read(*file) == c.bytes) << "the save wrote the file anew";
    }
  }
}

TEST_F(DamagedFiles, ADamagedFileWhoseCopyCannotBeMadeSaysWhy) {
  drives.Write(files.gPrefsFile, Garbage());
  platform::InjectWriteFailureAfter(0);
  Preferences prefs;
  const ReadOutcome read = ReadPreferences(files, prefs);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_EQ(read.status, ReadStatus::Damaged);
  EXPECT_EQ(read.copy, "");
  EXPECT_EQ(read.copyFailure, platform::VbError::DescribeError(platform::errDiskFull));
  EXPECT_FALSE(drives.Exists(files.gPrefsFile + ".damaged"));
  EXPECT_EQ(prefs.gWaveEditorPath, "None selected");
}

TEST_F(DamagedFiles, WellFormedFilesAreNotCalledDamaged) {
  ASSERT_TRUE(SavePreferences(files, Preferences()));
  ASSERT_TRUE(SaveTapdeckPresets(files, Presets()));
  drives.Write(files.gPrefsFile, drives.Read(files.gPrefsFile) + "\r\n");  // an empty line at the end
  Preferences prefs;
  Presets presets;
  EXPECT_EQ(ReadPreferences(files, prefs).status, ReadStatus::Loaded);
  EXPECT_EQ(ReadTapdeckPresets(files, presets).status, ReadStatus::Loaded);
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_FALSE(drives.Exists(files.gPrefsFile + ".damaged"));
}

std::string Record(std::string_view path, char fill) {
  std::string record(path);
  record.resize(100, ' ');
  record.append(198, fill);
  return record;
}

TEST_F(DamagedFiles, ANoteThatCannotBeWrittenWholeLeavesUserDBAsItWas) {
  drives.Write("C:\\Music\\a.wav", std::string(512, 'x'));
  drives.Write("C:\\Music\\b.wav", std::string(512, 'x'));
  const std::string old = Record("C:\\Music\\a.wav", 'a');
  drives.Write(files.gUserDBFile, old);
  platform::SetReadOnly(files.gUserDBFile, true);

  for (const char* path : {"C:\\Music\\b.wav", "C:\\Music\\a.wav"}) {  // appended, then overwritten
    SCOPED_TRACE(path);
    UserDBState state;
    platform::InjectWriteFailureAfter(100);
    const NoteSaveOutcome save = SaveUserDBRecord(state, files, path, {"Intro", "", "", "", ""});
    platform::InjectWriteFailureAfter(-1);
    EXPECT_EQ(save.status, NoteSaveStatus::WriteFailed);
    EXPECT_EQ(save.failure, platform::VbError::DescribeError(platform::errDiskFull));
    EXPECT_EQ(drives.Read(files.gUserDBFile), old);
    EXPECT_TRUE(platform::IsReadOnly(files.gUserDBFile));
  }

  // A save that would have created the file leaves none.
  drives.Remove(files.gUserDBFile);
  UserDBState state;
  platform::InjectWriteFailureAfter(0);
  EXPECT_EQ(SaveUserDBRecord(state, files, "C:\\Music\\b.wav", {"Intro", "", "", "", ""}).status,
            NoteSaveStatus::WriteFailed);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(drives.Exists(files.gUserDBFile));
}

TEST_F(DamagedFiles, APlaylistLineThatCannotBeAppendedWholeLeavesInventoryDatAsItWas) {
  const std::string old = "C:,\\,a,wav" + std::string(18, ',') + "\r\n";
  drives.Write(files.gInventoryFile, old);
  drives.Write(files.gInvSumFile, "Last Updated:  x\r\n 1 , 1 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
  InventorySummary summary;
  platform::InjectWriteFailureAfter(10);
  EXPECT_NE(AddFileToInventory(files, "C:\\Lists\\party.m3u", summary).error, 0);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_EQ(drives.Read(files.gInventoryFile), old);
  EXPECT_TRUE(platform::IsReadOnly(files.gInventoryFile));

  drives.Remove(files.gInventoryFile);
  platform::InjectWriteFailureAfter(0);
  EXPECT_NE(AddFileToInventory(files, "C:\\Lists\\party.m3u", summary).error, 0);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(drives.Exists(files.gInventoryFile)) << "a file the append created goes again";
}

TEST_F(DamagedFiles, AResultNumberTooLongForAnyIntegerReadsAsNoNumber) {
  drives.Write("C:\\data\\result.dat",
               "Keyword search: x\r\nC:,\\a.wav,12345678901234567890\r\nC:,\\b.wav,-99999999999999999999\r\n"
               "C:,\\c.wav,9223372036854775807\r\n");
  inventory::SearchResultFile back = inventory::ReadSearchResult("C:\\data\\result.dat");
  ASSERT_EQ(back.rows.size(), 3u);
  EXPECT_EQ(back.rows[0].hits, 0);
  EXPECT_EQ(back.rows[1].hits, 0);
  EXPECT_EQ(back.rows[2].hits, INT64_MAX);
}

TEST_F(DamagedFiles, APathWithoutExtensionOrNameIsStoredWithEmptyFields) {
  std::string stored;
  AppendStoredInventoryLine("C:\\Music\\noext", nullptr, stored);
  AppendStoredInventoryLine("C:", nullptr, stored);
  EXPECT_EQ(stored, "C:,\\Music\\,noext," + std::string(18, ',') + "\r\nC:,,," + std::string(18, ',') + "\r\n");
}

}  // namespace
