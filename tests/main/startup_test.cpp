#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "main/declarations.h"
#include "main/frmSplash.h"
#include "mainwindow/frmLauncher.h"
#include "pane/databasepane.h"
#include "support/pane_access.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "support/app_fixture.h"

using testing_support::AppFixture;

TEST(AppPath, IsTheProgramFolderWithOneTrailingBackslash) {
  testing_support::TempDrives drives("C");
  EXPECT_EQ(AppPathFromHost(drives.Host("C:\\")), "C:\\") << "a drive's root keeps its single backslash";
  EXPECT_EQ(AppPathFromHost(drives.Host("C:\\Tolvan")), "C:\\Tolvan\\");
  EXPECT_EQ(AppPathFromHost("/no/such/drive"), "");
  EXPECT_EQ(datafiles::DataFileNames::InFolder(AppPathFromHost(drives.Host("C:\\")) + "data\\").gPrefsFile,
            "C:\\data\\prefs.dat");
}

class SplashTest : public AppFixture {
 protected:
  int mainWindowShown = 0;
  std::unique_ptr<frmSplash> splash =
      std::make_unique<frmSplash>(state, [this] { ++mainWindowShown; });
};

TEST_F(SplashTest, LoadShowsStatusAndVersion) {
  EXPECT_EQ(splash->lblLoadStatus->Caption(), "Initializing Tolvan...");
  EXPECT_EQ(splash->lblVersionNumber->Caption(), "Version 1.0.0");
  EXPECT_FALSE(state.decl.gRebuildInventory);
  EXPECT_FALSE(splash->timHoldSplash->Enabled()) << "the hold starts with the first activation";
  splash->Form_Activate();
  EXPECT_TRUE(splash->timHoldSplash->Enabled());
  EXPECT_EQ(splash->timHoldSplash->Interval(), 2000);
}

struct ProbeCase {
  bool invSumThere;
  bool inventoryThere;
  const char* status;
  bool rebuild;
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
  *os << "invsum " << (c.invSumThere ? "there" : "missing") << ", inventory " << (c.inventoryThere ? "there" : "missing");
}

class SplashProbe : public SplashTest, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(SplashProbe, StatusAndRebuildFlagFollowTheMissingFiles) {
  const ProbeCase& c = GetParam();
  if (c.invSumThere) drives.Write(state.decl.files.gInvSumFile, "x");
  if (c.inventoryThere) drives.Write(state.decl.files.gInventoryFile, "x");
  splash->timHoldSplash_Timer();
  EXPECT_EQ(splash->lblLoadStatus->Caption(), c.status);
  EXPECT_EQ(state.decl.gRebuildInventory, c.rebuild);
  EXPECT_EQ(mainWindowShown, 1);
  EXPECT_FALSE(splash->timHoldSplash->Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    FourOutcomes, SplashProbe,
    ::testing::Values(ProbeCase{true, true, "Checking inventory...", false},
                      ProbeCase{false, true, "Inventory file(s) not found, building new inventory...", true},
                      ProbeCase{true, false, "Inventory file(s) not found, building new inventory...", true},
                      ProbeCase{false, false, "Scanning system and building audio inventory...", true}));

TEST_F(SplashTest, AnUnreadableDataFolderIsRetriedThenNamedAndTheProgramEnds) {
  drives.Remove(kDataPath);
  for (int i = 1; i < frmSplash::kMaxFailedChecks; ++i) {
    splash->timHoldSplash_Timer();
    EXPECT_EQ(splash->lblLoadStatus->Caption(), "Checking inventory...");
    EXPECT_TRUE(splash->timHoldSplash->Enabled()) << "armed again for the retry";
  }
  boxes.Answer(platform::vbOK);
  splash->timHoldSplash_Timer();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data Folder Missing");
  EXPECT_NE(boxes.shown()[0].text.find("C:\\app\\data\\"), std::string::npos);
  EXPECT_EQ(mainWindowShown, 0);
  EXPECT_FALSE(drives.Exists(kDataPath)) << "the program creates no folder";
  EXPECT_FALSE(splash->timHoldSplash->Enabled());
}

TEST_F(SplashTest, ALongMainWindowLoadRunsOneTickOnly) {
  drives.Write(state.decl.files.gInvSumFile, "x");
  drives.Write(state.decl.files.gInventoryFile, "x");
  int loads = 0;
  bool loaded = false;
  auto slow = std::make_unique<frmSplash>(state, [&] {
    ++loads;
    platform::WaitEvents(300);  // the load lets events through, as an update does
    loaded = true;
  });
  slow->timHoldSplash->SetInterval(50);
  slow->timHoldSplash->SetEnabled(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(slow->timHoldSplash->Enabled()) << "no later tick is due to load it again";
}

// Drives C: and D:: a playlist saved on C: was appended to inventory.dat, and the start came
// before invsum.dat counted it (the kill between the two writes leaves its twin behind).
class SplashAfterAKill : public SplashTest {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    const datafiles::DataFileNames& files = state.decl.files;
    std::string lines;
    for (const char* p : {"C:\\Lists\\one.m3u", "D:\\Music\\a.wav", "C:\\Lists\\two.m3u"}) {
      datafiles::AppendStoredInventoryLine(p, nullptr, lines);
    }
    drives.Write(files.gInventoryFile, lines);
    platform::ListWriter w;
    w.Text("Last Updated:  3/9/2024  2:05:07 PM").EndLine();
    for (int n : {2, 1, 0, 0, 0, 0, 0, 1}) w.Number(n);
    w.EndLine();
    for (const char* d : {"C:", "D:"}) {
      w.Text(d).Number(104);
      for (int n : d[0] == 'C' ? std::vector<int>{1, 0, 0, 0, 0, 0, 0, 1} : std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0}) {
        w.Number(n);
      }
      w.EndLine();
    }
    drives.Write(files.gInvSumFile, w.str());
    namespace fs = std::filesystem;
    fs::last_write_time(drives.Host(files.gInvSumFile),
                        fs::last_write_time(drives.Host(files.gInventoryFile)) - std::chrono::seconds(5));
    drives.Write(datafiles::InvSumTwinFile(files), "Last Updated:  12/10/2026");
  }
};

TEST_F(SplashAfterAKill, TheMainWindowDrawsTheCountsOfInventoryDatWithoutAMessageOrAScan) {
  const datafiles::DataFileNames& files = state.decl.files;
  drives.Write("D:\\Music\\unlisted.wav", "a file a scan would find");
  std::unique_ptr<frmLauncher> window;
  frmSplash start(state, [&] { window = OpenMainWindow(); });
  start.timHoldSplash_Timer();
  ASSERT_TRUE(window);
  EXPECT_TRUE(boxes.shown().empty());
  platform::FlexGrid& g = *PaneUi(window->Pane()).grdTotals;
  ASSERT_EQ(g.Rows(), 5);
  // Total and Lists of C:, D: and the totals row; no scan, so the unlisted file is not counted.
  EXPECT_EQ(g.TextMatrix(1, 2) + "," + g.TextMatrix(1, 9), "2,2");
  EXPECT_EQ(g.TextMatrix(2, 2) + "," + g.TextMatrix(2, 3), "1,1");
  EXPECT_EQ(g.TextMatrix(4, 2) + "," + g.TextMatrix(4, 9), "3,2");
  datafiles::InventorySummary stored;
  ASSERT_EQ(datafiles::LoadInventorySummary(files, stored), platform::errNone);
  EXPECT_EQ(stored.gTypeTotals[datafiles::kLists], 2) << "written, not only drawn";
  EXPECT_FALSE(drives.Exists(datafiles::InvSumTwinFile(files)));
}

TEST_F(SplashAfterAKill, ASummaryThatCannotBeWrittenIsToldAndTheStartGoesOn) {
  ASSERT_TRUE(FailsToWrite([&] { splash->timHoldSplash_Timer(); }));
  EXPECT_NE(boxes.shown()[0].text.find("C:\\app\\data\\invsum.dat."), std::string::npos);
  EXPECT_EQ(mainWindowShown, 1);
}
