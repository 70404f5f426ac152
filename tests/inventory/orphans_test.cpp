#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "inventory/orphans.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

namespace {

using Paths = std::vector<std::string>;

class OrphanSearch : public ::testing::Test {
 protected:
  OrphanSearch() {
    drives.MakeFolder("C:\\data\\");
    state.gOrphanPaths = {"from before"};
    state.gOrphanRecordCount = 7;
    prefs.gOrphanQuantity = "n/a ";
  }
  void Notes(const Paths& paths) {
    std::string bytes;
    for (const std::string& p : paths) {
      datafiles::UserDBRecord r;
      r.Path = p;
      r.Caption = "note";
      bytes += r.Bytes();
    }
    drives.Write(files.gUserDBFile, bytes);
  }
  void Inventory(const Paths& paths) {
    std::string bytes;
    for (const std::string& p : paths) datafiles::AppendStoredInventoryLine(p, nullptr, bytes);
    drives.Write(files.gInventoryFile, bytes);
  }
  bool Run() { return inventory::FindOrphanedRecords(files, prefs, state).searched; }
  void ExpectUntouched() {
    EXPECT_EQ(state.gOrphanPaths, Paths{"from before"});
    EXPECT_EQ(state.gOrphanRecordCount, 7);
    EXPECT_EQ(prefs.gOrphanQuantity, "n/a ");
    EXPECT_FALSE(drives.Exists(files.gPrefsFile));
  }

  testing_support::TempDrives drives{"CD"};
  testing_support::ScriptedMessageBoxes boxes;
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  datafiles::Preferences prefs;
  ReconcileDBState state;
};

TEST_F(OrphanSearch, ANoteIsOrphanedWhenNoInventoryLineHasItsExactPath) {
  Inventory({"C:\\Music\\a.wav", "C:\\Music\\b, c.wav", "D:\\x.mp3", "C:\\Music\\padded.wav"});
  Notes({"C:\\Music\\a.wav", "c:\\music\\A.wav", "C:\\Music\\b, c.wav", "   C:\\gone.wav", "D:\\x.mp3",
         "C:\\gone.wav", "C:\\gone.wav", "C:\\Music\\padded.wav" + std::string(20, ' '), "D:\\x.mp3 ", "E:\\y.au"});
  ASSERT_TRUE(Run());
  EXPECT_EQ(state.gOrphanPaths,
            (Paths{"c:\\music\\A.wav", "C:\\gone.wav", "C:\\gone.wav", "C:\\gone.wav", "E:\\y.au"}))
      << "record order, each copy of a path once, blanks removed at both ends";
  EXPECT_EQ(state.gOrphanRecordCount, 5);
  EXPECT_EQ(prefs.gOrphanQuantity, " 5");
  EXPECT_EQ(drives.Read(files.gPrefsFile), datafiles::PrefsLine(prefs)) << "every preference saved";
}

TEST_F(OrphanSearch, EmptyInventoryOrphansEveryNote) {
  Inventory({});
  Notes({"C:\\a.wav", "C:\\b.wav"});
  ASSERT_TRUE(Run());
  EXPECT_EQ(state.gOrphanPaths, (Paths{"C:\\a.wav", "C:\\b.wav"}));
  EXPECT_EQ(prefs.gOrphanQuantity, " 2");
}

TEST_F(OrphanSearch, EmptyUserDatabaseFindsNoneAndKeepsTheOldList) {
  Inventory({"C:\\a.wav"});
  Notes({});
  ASSERT_TRUE(Run());
  EXPECT_EQ(state.gOrphanPaths, Paths{"from before"});
  EXPECT_EQ(state.gOrphanRecordCount, 0);
  EXPECT_EQ(prefs.gOrphanQuantity, " 0");
  EXPECT_EQ(drives.Read(files.gPrefsFile), datafiles::PrefsLine(prefs));
}

TEST_F(OrphanSearch, MissingUserDatabaseChangesNothing) {
  Inventory({"C:\\a.wav"});
  EXPECT_FALSE(Run());
  ExpectUntouched();
}

TEST_F(OrphanSearch, MissingInventoryChangesNothingRatherThanOrphaningEveryNote) {
  Notes({"C:\\a.wav", "C:\\b.wav"});
  EXPECT_FALSE(Run());
  ExpectUntouched();
}

}  // namespace
