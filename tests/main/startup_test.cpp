#include <gtest/gtest.h>

#include <QTest>

#include "main/declarations.h"
#include "main/frmSplash.h"
#include "platform/qt/eventpump.h"
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
