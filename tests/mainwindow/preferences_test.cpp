#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "pane/dbviewer.h"
#include "pane/frmReconcileDB.h"
#include "mainwindow/frmLauncher.h"
#include "pane/databasepane.h"
#include "mainwindow/frmPreferences.h"
#include "mainwindow/launcher.h"
#include "support/window_steps.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"
#include "support/player_access.h"

using testing_support::AppFixture;

namespace {

constexpr std::uint32_t kRed = 255, kGrey = 0x808080, kBlack = 0, kGreyText = 0xA0A0A0;
const char* const kRescanTitle = "Enabling 'Embedded Info' search requires Inventory re-scan";

class PreferencesTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    drives.MakeFolder("D:\\Music\\Live\\");
    drives.MakeFolder("D:\\Music\\Studio\\");
    window = OpenMainWindow();
  }

  datafiles::Preferences& Prefs() { return state.io.prefs; }
  // Stores the preferences as they are in memory, as a start-up would have loaded them.
  void Store() { drives.Write(state.decl.files.gPrefsFile, datafiles::PrefsLine(Prefs())); }
  std::string PrefsDat() const { return drives.Read(state.decl.files.gPrefsFile); }

  std::unique_ptr<frmPreferences> Open() {
    auto form = std::make_unique<frmPreferences>(window.get());
    form->Form_Load();
    return form;
  }
  int Boxes(const std::string& title) const {
    return static_cast<int>(std::count_if(boxes.shown().begin(), boxes.shown().end(),
                                          [&](const auto& b) { return b.title == title; }));
  }
  // Whether an inventory update ran since the last call.
  bool Rescanned() {
    const bool ran = PaneUi(window->Pane()).lblDBStatus1->Caption() == "Update completed";
    PaneUi(window->Pane()).lblDBStatus1->SetCaption("");
    return ran;
  }
  static std::vector<std::uint32_t> BoxColours(const frmPreferences& f) {
    return {f.chkEnableEmbedded->BackColor(), f.chkAttributes->BackColor(), f.chkUserDB->BackColor(),
            f.chkChunks->BackColor(), f.chkExportFile->BackColor()};
  }

  std::unique_ptr<frmLauncher> window;
};

TEST_F(PreferencesTest, TheLoadFillsEveryControlUnmarked) {
  auto& p = Prefs();
  p.gBrowsePath = "D:\\Music\\Live";
  p.gOrphanQuantity = " 3";
  p.gEnableEmbedded = 1;
  p.gSearchAttributes = 0;
  p.gSearchUserDB = 1;
  p.gSearchChunks = 1;
  p.gWaveEditorPath = "C:\\Tools\\editor";
  p.gExportFile = 0;
  auto f = Open();
  EXPECT_EQ(f->windowTitle(), "Tools and Preferences");
  EXPECT_EQ(f->drvBrowsePath->Drive(), "d:");
  EXPECT_EQ(f->dirBrowsePath->Path(), "D:\\Music\\Live");
  EXPECT_EQ(f->lblBrowsePath->Caption(), "D:\\Music\\Live");
  EXPECT_EQ(f->lblOrphanQuantity->Caption(), " 3");
  EXPECT_TRUE(f->btnReconcileDB->isEnabled());
  EXPECT_EQ(f->chkEnableEmbedded->Value(), 1);
  EXPECT_EQ(f->chkAttributes->Value(), 0);
  EXPECT_EQ(f->chkUserDB->Value(), 1);
  EXPECT_EQ(f->chkChunks->Value(), 1);
  EXPECT_TRUE(f->chkChunks->isEnabled());
  EXPECT_EQ(f->lblChkChunksLabel->ForeColor(), kBlack);
  EXPECT_EQ(f->lblWaveEditorPath->Caption(), "C:\\Tools\\editor");
  EXPECT_EQ(f->chkExportFile->Value(), 0);
  EXPECT_EQ(BoxColours(*f), std::vector<std::uint32_t>(5, kGrey));
  EXPECT_EQ(f->lblBrowsePath->ForeColor(), kBlack);
  EXPECT_EQ(f->lblWaveEditorPath->ForeColor(), kBlack);
  EXPECT_FALSE(f->btnApply->isEnabled());
  EXPECT_TRUE(state.launcher.gPrefsArmed);
  EXPECT_EQ(f->lblChkEnableEmbeddedLabel->Caption(), "Enable Embedded Info");
  EXPECT_EQ(f->lblReconcileDBLabel->Caption(), "  User DB Reconcilation");
}

TEST_F(PreferencesTest, WithoutHeaderAnalysisEmbeddedInfoIsGreyedAndAMissingFolderStillFills) {
  Prefs().gEnableEmbedded = 0;
  Prefs().gBrowsePath = "D:\\Music\\gone\\deeper";
  auto f = Open();
  EXPECT_FALSE(f->chkChunks->isEnabled());
  EXPECT_EQ(f->lblChkChunksLabel->ForeColor(), kGreyText);
  EXPECT_EQ(f->dirBrowsePath->Path(), "D:\\Music") << "the nearest folder that exists";
  EXPECT_EQ(f->lblBrowsePath->Caption(), "D:\\Music\\gone\\deeper");
  EXPECT_EQ(f->lblBrowsePath->ForeColor(), kBlack);
  EXPECT_FALSE(f->btnApply->isEnabled());
}

struct OrphanTextCase {
  const char* text;
  bool enabled;
};

class OrphanText : public PreferencesTest, public ::testing::WithParamInterface<OrphanTextCase> {};

TEST_P(OrphanText, DecidesWhetherReconcileDatabaseCanBeUsed) {
  Prefs().gOrphanQuantity = GetParam().text;
  auto f = Open();
  EXPECT_EQ(f->lblOrphanQuantity->Caption().toStdString(), GetParam().text);
  EXPECT_EQ(f->btnReconcileDB->isEnabled(), GetParam().enabled) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Texts, OrphanText,
                         ::testing::Values(OrphanTextCase{" 0", false}, OrphanTextCase{"n/a ", false},
                                           OrphanTextCase{" n/a", false}, OrphanTextCase{"0", false},
                                           OrphanTextCase{" 12", true}, OrphanTextCase{" 1", true}));

TEST_F(PreferencesTest, FillPreferencesFormDoesNothingWhileTheWindowIsClosed) {
  window->FillPreferencesForm();  // no window at all
  frmPreferences f(window.get());
  Prefs().gOrphanQuantity = " 5";
  Prefs().gWaveEditorPath = "C:\\x";
  window->FillPreferencesForm();
  EXPECT_EQ(f.lblOrphanQuantity->Caption(), "");
  EXPECT_EQ(f.lblWaveEditorPath->Caption(), "");

  f.Form_Load();
  f.btnCancel_Click();
  EXPECT_FALSE(f.IsOpen());
  Prefs().gOrphanQuantity = " 7";
  window->FillPreferencesForm();
  EXPECT_EQ(f.lblOrphanQuantity->Caption(), " 5");
  EXPECT_FALSE(state.launcher.gPrefsArmed);
}

// ---- the commit

struct Step {
  bool toggleEmbedded;
  bool ok;     // OK, else Apply
  int answer;  // the re-scan question's answer; 0: not asked
};

struct CommitCase {
  const char* name;
  int startEmbedded;
  std::vector<Step> steps;
  bool openAfter;
  int storedEmbedded;
  bool rescanAtClose;
};

void PrintTo(const CommitCase& c, std::ostream* os) { *os << c.name; }

class Commit : public PreferencesTest, public ::testing::WithParamInterface<CommitCase> {};

TEST_P(Commit, AsksForTheRescanOnlyWhenHeaderAnalysisIsNewlyOnAndRunsItAtTheClose) {
  const CommitCase& c = GetParam();
  Prefs().gEnableEmbedded = c.startEmbedded;
  Store();
  const std::string before = PrefsDat();
  auto f = Open();
  Rescanned();
  int asked = 0;
  for (const Step& s : c.steps) {
    if (s.toggleEmbedded) f->CaptionLabel_Click(f->chkEnableEmbedded);
    if (s.answer) {
      boxes.Answer(s.answer);
      ++asked;
    }
    if (s.ok) {
      f->btnOK_Click();
    } else {
      f->btnApply_Click();
      EXPECT_FALSE(Rescanned()) << "the re-scan waits for the close";
    }
  }
  EXPECT_EQ(Boxes(kRescanTitle), asked);
  EXPECT_EQ(f->IsOpen(), c.openAfter);
  EXPECT_EQ(Prefs().gEnableEmbedded, c.storedEmbedded);
  if (c.storedEmbedded == c.startEmbedded && asked > 0) {
    EXPECT_EQ(PrefsDat(), before) << "a No stores nothing";
  } else {
    EXPECT_EQ(PrefsDat(), datafiles::PrefsLine(Prefs()));
  }
  if (f->IsOpen()) {
    if (f->btnApply->isEnabled()) boxes.Answer(platform::vbYes);
    f->btnCancel_Click();
    EXPECT_FALSE(f->IsOpen());
  }
  EXPECT_EQ(Rescanned(), c.rescanAtClose);
  EXPECT_FALSE(state.launcher.gRescanPending);
  EXPECT_FALSE(state.launcher.gPrefsArmed);
}

INSTANTIATE_TEST_SUITE_P(
    Flows, Commit,
    ::testing::Values(
        CommitCase{"ApplyYesThenCancel", 0, {{true, false, platform::vbYes}}, true, 1, true},
        CommitCase{"ApplyNoKeepsTheMarks", 0, {{true, false, platform::vbNo}}, true, 0, false},
        CommitCase{"OkNoStaysOpen", 0, {{true, true, platform::vbNo}}, true, 0, false},
        CommitCase{"OkYesClosesAndRescans", 0, {{true, true, platform::vbYes}}, false, 1, true},
        CommitCase{"OnThenOffBeforeTheClose", 0, {{true, false, platform::vbYes}, {true, false, 0}}, true, 0, false},
        CommitCase{"AlreadyOnNeverAsks", 1, {{false, false, 0}, {false, true, 0}}, false, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

class FailedSave : public PreferencesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FailedSave, LeavesTheEditsUnsavedInTheOpenWindow) {
  const bool apply = GetParam();
  Prefs().gEnableEmbedded = 1;
  Prefs().gSearchChunks = 1;
  Store();
  const std::string before = PrefsDat();
  const datafiles::Preferences stored = Prefs();
  auto f = Open();
  // Header analysis switched off: the Chunks box would be cleared and greyed by a commit.
  f->CaptionLabel_Click(f->chkEnableEmbedded);
  f->CaptionLabel_Click(f->chkAttributes);
  auto commit = [&] { apply ? f->btnApply_Click() : f->btnOK_Click(); };

  ASSERT_TRUE(FailsToWrite([&] { commit(); }));
  EXPECT_EQ(PrefsDat(), before);
  EXPECT_EQ(datafiles::PrefsLine(Prefs()), datafiles::PrefsLine(stored));
  EXPECT_TRUE(f->IsOpen());
  EXPECT_TRUE(f->btnApply->isEnabled());
  EXPECT_EQ(f->chkEnableEmbedded->BackColor(), kRed);
  EXPECT_EQ(f->chkAttributes->BackColor(), kRed);
  EXPECT_EQ(f->chkChunks->Value(), 1);
  EXPECT_TRUE(f->chkChunks->isEnabled());

  commit();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(Prefs().gEnableEmbedded, 0);
  EXPECT_EQ(Prefs().gSearchChunks, 0);
  EXPECT_EQ(PrefsDat(), datafiles::PrefsLine(Prefs()));
  EXPECT_EQ(f->IsOpen(), apply);
  EXPECT_FALSE(f->chkChunks->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(ApplyOrOk, FailedSave, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Apply" : "OK"); });

TEST_F(PreferencesTest, ANoAtTheRescanQuestionKeepsEveryMark) {
  auto f = Open();
  f->CaptionLabel_Click(f->chkEnableEmbedded);
  f->CaptionLabel_Click(f->chkAttributes);
  boxes.Answer(platform::vbNo);
  f->btnApply_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(boxes.shown()[0].text,
            "The database search option \"Embedded Info\" has been newly selected. This will require\n\r"
            "re-scanning your system inventory to include the embedded info from all your audio files.\n\r\n\r"
            "Depending on the number of files in your inventory and the speed of your system,\n\r"
            "this re-scan could take a few minutes to complete.\n\r\n\r"
            "Do you wish to continue?");
  EXPECT_EQ(f->chkEnableEmbedded->BackColor(), kRed);
  EXPECT_EQ(f->chkAttributes->BackColor(), kRed);
  EXPECT_TRUE(f->btnApply->isEnabled());
  EXPECT_EQ(Prefs().gSearchAttributes, 1);
}

TEST_F(PreferencesTest, EmbeddedInfoIsStoredOffWithoutHeaderAnalysisAndOnlyApplyEnablesIt) {
  Prefs().gEnableEmbedded = 0;
  Prefs().gSearchChunks = 0;
  auto f = Open();
  // The greyed label still toggles its box.
  f->CaptionLabel_Click(f->chkChunks);
  EXPECT_EQ(f->chkChunks->Value(), 1);
  EXPECT_EQ(f->chkChunks->BackColor(), kRed);
  EXPECT_TRUE(f->btnApply->isEnabled());
  f->btnApply_Click();
  EXPECT_EQ(Prefs().gSearchChunks, 0);
  EXPECT_EQ(f->chkChunks->Value(), 0);
  EXPECT_FALSE(f->chkChunks->isEnabled());
  EXPECT_EQ(f->lblChkChunksLabel->ForeColor(), kGreyText);
  EXPECT_EQ(BoxColours(*f), std::vector<std::uint32_t>(5, kGrey));
  EXPECT_FALSE(f->btnApply->isEnabled());

  f->CaptionLabel_Click(f->chkEnableEmbedded);
  EXPECT_FALSE(f->chkChunks->isEnabled()) << "not before Apply or OK";
  boxes.Answer(platform::vbYes);
  f->btnApply_Click();
  EXPECT_TRUE(f->chkChunks->isEnabled());
  EXPECT_EQ(f->lblChkChunksLabel->ForeColor(), kBlack);
  EXPECT_EQ(Prefs().gEnableEmbedded, 1);
  EXPECT_TRUE(state.launcher.gRescanPending);
}

TEST_F(PreferencesTest, CancelAsksOnlyWithPendingEditsAndStoresNothing) {
  const std::string before = PrefsDat();
  auto f = Open();
  f->CaptionLabel_Click(f->chkUserDB);
  boxes.Answer(platform::vbNo);
  f->btnCancel_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Changes Not Saved");
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(boxes.shown()[0].text,
            "Changes to program settings have been made but not saved.\r\n"
            "Do you wish to exit without saving the changes?");
  EXPECT_TRUE(f->IsOpen());
  boxes.Answer(platform::vbYes);
  f->btnCancel_Click();
  EXPECT_FALSE(f->IsOpen());
  EXPECT_EQ(Prefs().gSearchUserDB, 1);
  EXPECT_EQ(PrefsDat(), before);

  auto g = Open();
  g->btnCancel_Click();
  EXPECT_FALSE(g->IsOpen());
  EXPECT_EQ(boxes.shown().size(), 2u);
}

// Escape and the window manager's close request (its close box, Alt+F4) ask as Cancel does.
enum class LeaveBy { Escape, CloseRequest };

void PrintTo(LeaveBy by, std::ostream* os) { *os << (by == LeaveBy::Escape ? "Escape" : "CloseRequest"); }

class LeavingAsks : public PreferencesTest, public ::testing::WithParamInterface<LeaveBy> {
 protected:
  void Leave(frmPreferences& f) {
    if (GetParam() == LeaveBy::Escape) {
      QTest::keyClick(&f, Qt::Key_Escape);
    } else {
      f.close();
    }
  }
};

TEST_P(LeavingAsks, AsCancelDoes) {
  const std::string before = PrefsDat();
  auto f = Open();
  f->show();
  f->CaptionLabel_Click(f->chkUserDB);
  boxes.Answer(platform::vbNo);
  Leave(*f);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Changes Not Saved");
  EXPECT_TRUE(f->IsOpen());
  EXPECT_TRUE(f->isVisible());
  boxes.Answer(platform::vbYes);
  Leave(*f);
  EXPECT_FALSE(f->IsOpen());
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(PrefsDat(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingAsks, ::testing::Values(LeaveBy::Escape, LeaveBy::CloseRequest));

TEST_F(PreferencesTest, TheFolderListsMarkTheBrowsePathAndApplyStoresIt) {
  Prefs().gBrowsePath = "C:\\";
  auto f = Open();
  f->drvBrowsePath->SetDrive("D:");
  EXPECT_EQ(f->dirBrowsePath->Path(), "D:\\");
  EXPECT_EQ(f->lblBrowsePath->Caption(), "D:\\");
  EXPECT_EQ(f->lblBrowsePath->ForeColor(), kRed);
  EXPECT_TRUE(f->btnApply->isEnabled());

  // The entries: the open folders down to the current one, then its subfolders.
  f->dirBrowsePath->SetPath("D:\\Music");
  std::vector<std::string> entries;
  for (int i = 0; i < f->dirBrowsePath->count(); ++i) {
    entries.push_back(f->dirBrowsePath->item(i)->text().trimmed().toStdString());
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"D:\\", "Music", "Live", "Studio"}));
  f->dirBrowsePath->setCurrentRow(3);
  QTest::keyClick(f->dirBrowsePath, Qt::Key_Return);
  EXPECT_EQ(f->lblBrowsePath->Caption(), "D:\\Music\\Studio");

  f->btnApply_Click();
  EXPECT_EQ(Prefs().gBrowsePath, "D:\\Music\\Studio");
  EXPECT_EQ(f->lblBrowsePath->ForeColor(), kBlack);
  EXPECT_EQ(PrefsDat(), datafiles::PrefsLine(Prefs()));
}

TEST_F(PreferencesTest, TheEditorIsChosenInTheOpenDialog) {
  auto f = Open();
  dialogs.Cancel();
  f->btnBrowseEditor_Click();
  EXPECT_FALSE(f->btnApply->isEnabled());
  dialogs.Choose("D:\\Tools\\wave edit");
  f->btnBrowseEditor_Click();
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_EQ(dialogs.requests()[1].flags, 4);
  EXPECT_EQ(dialogs.requests()[1].filter, "");
  EXPECT_EQ(dialogs.requests()[1].initDir, "");
  EXPECT_TRUE(dialogs.requests()[1].hostPathOutsideDrives) << "an editor of the host may lie on no drive";
  EXPECT_EQ(f->lblWaveEditorPath->Caption(), "D:\\Tools\\wave edit");
  EXPECT_EQ(f->lblWaveEditorPath->ForeColor(), kRed);
  EXPECT_TRUE(f->btnApply->isEnabled());
  f->btnOK_Click();
  EXPECT_EQ(Prefs().gWaveEditorPath, "D:\\Tools\\wave edit");
  EXPECT_FALSE(f->IsOpen());
}

TEST_F(PreferencesTest, ADialogErrorIsShownUnderTheProgramsTitle) {
  auto f = Open();
  const QString before = f->lblWaveEditorPath->Caption();
  boxes.Answer(platform::vbOK);
  dialogs.Fail(platform::errPathNotFound);
  f->btnBrowseEditor_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::VbError::DescribeError(platform::errPathNotFound));
  EXPECT_EQ(boxes.shown()[0].style, platform::vbOKOnly);
  EXPECT_EQ(boxes.shown()[0].title, "Tolvan Audio Manager");
  EXPECT_EQ(f->lblWaveEditorPath->Caption(), before);
  EXPECT_FALSE(f->btnApply->isEnabled());
}

TEST_F(PreferencesTest, HelpStartsTheViewerOnItsPage) {
  auto f = Open();
  f->btnSettingsHelp_Click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].args, std::vector<std::string>{"toolsnprefs.htm"});
}

// ---- the reconcile window from here

class ReconcileFromPreferences : public PreferencesTest {
 protected:
  void SetUp() override {
    PreferencesTest::SetUp();
    datafiles::UserDBRecord a, b;
    a.Path = "C:\\gone\\a.wav";
    b.Path = "C:\\gone\\b.wav";
    drives.Write(state.decl.files.gUserDBFile, a.Bytes() + b.Bytes());
  }
};

TEST_F(ReconcileFromPreferences, ClosingItRefreshesOnlyTheCountWhileEditsArePending) {
  Prefs().gOrphanQuantity = "n/a ";
  auto f = Open();
  EXPECT_FALSE(f->btnReconcileDB->isEnabled());
  f->CaptionLabel_Click(f->chkAttributes);
  f->dirBrowsePath->SetPath("D:\\Music\\Live");
  int listed = -1;
  auto closer = testing_support::OnModal<frmReconcileDB>([&](frmReconcileDB& r) {
    listed = r.grdOrphans->Rows();
    // A row goes: the count stored at the close is the list's.
    r.grdOrphans->RemoveItem(0);
    r.close();
  });
  f->btnReconcileDB_Click();
  EXPECT_EQ(listed, 2);
  EXPECT_EQ(Prefs().gOrphanQuantity, " 1");
  EXPECT_EQ(f->lblOrphanQuantity->Caption(), " 1");
  EXPECT_TRUE(f->btnReconcileDB->isEnabled());
  // The edits are still there, marked.
  EXPECT_EQ(f->chkAttributes->Value(), 0);
  EXPECT_EQ(f->chkAttributes->BackColor(), kRed);
  EXPECT_EQ(f->lblBrowsePath->Caption(), "D:\\Music\\Live");
  EXPECT_EQ(f->lblBrowsePath->ForeColor(), kRed);
  EXPECT_TRUE(f->btnApply->isEnabled());
  EXPECT_EQ(Prefs().gSearchAttributes, 1);
}

TEST_F(ReconcileFromPreferences, WithoutEditsTheWindowIsFilledAgainUnmarked) {
  Prefs().gOrphanQuantity = " 9";
  auto f = Open();
  auto closer = testing_support::OnModal<frmReconcileDB>([](frmReconcileDB& r) { r.close(); });
  f->btnReconcileDB_Click();
  EXPECT_EQ(f->lblOrphanQuantity->Caption(), " 2");
  EXPECT_EQ(BoxColours(*f), std::vector<std::uint32_t>(5, kGrey));
  EXPECT_FALSE(f->btnApply->isEnabled());
  EXPECT_EQ(PrefsDat(), datafiles::PrefsLine(Prefs()));
}

// ---- what the re-scan ends first

class RescanAtTheClose : public PreferencesTest {
 protected:
  // Commits header analysis on (Yes) with OK: the window unloads and the re-scan follows;
  // `then` answers the boxes that come after the re-scan question.
  void SwitchOnAndClose(int then = 0) {
    auto f = Open();
    f->CaptionLabel_Click(f->chkEnableEmbedded);
    boxes.Answer(platform::vbYes);
    if (then) boxes.Answer(then);
    f->btnOK_Click();
    EXPECT_FALSE(f->IsOpen());
  }
};

TEST_F(RescanAtTheClose, StopsARunningPlaybackFirst) {
  drives.Write("C:\\Sounds\\long.wav", "RIFF");
  auto& p = state.io.presets;
  p.gPresetCaptions[4] = "Long";
  p.gPresetPaths[4] = "C:\\Sounds\\long.wav";
  p.gPresetLoop[4] = "True";
  player.SetDuration("C:\\Sounds\\long.wav", 600);
  std::vector<std::string> statuses;
  QObject::connect(PlayerUi(window->Player()).lblPlayStatus, &platform::Label::Change,
                   [&] { statuses.push_back(PlayerUi(window->Player()).lblPlayStatus->Caption().toStdString()); });
  Rescanned();
  testing_support::Steps steps(
      5,
      [&] {
        if (!window->Player().PlaybackRunning()) return false;
        SwitchOnAndClose();
        return true;
      },
      [&] {
        PlayerStateOf(window->Player()).gLoopingPreset = 0;
        window->Player().btnStop_Click();
      });
  // A playback left running fails the test instead of holding it.
  testing_support::Steps ended(
      20, [&] { return steps.done() && !window->Player().PlaybackRunning(); },
      [&] {
        PlayerStateOf(window->Player()).gLoopingPreset = 0;
        window->Player().btnStop_Click();
      },
      5000);
  window->btnPreset_Click(5);
  EXPECT_TRUE(steps.done());
  EXPECT_EQ(statuses.back(), "Stopped");
  EXPECT_TRUE(Rescanned());
  // The stop came before the scan loaded the file for its analysis.
  const auto& calls = player.calls;
  auto stop = std::find(calls.begin(), calls.end(), "SetCurrentPosition 600");
  ASSERT_NE(stop, calls.end());
  EXPECT_NE(std::find(stop, calls.end(), "SetFileName C:\\Sounds\\long.wav"), calls.end());
}

// The re-scan the preferences may ask for could not run inside the pane's work, so the
// window does not open while that work lets events run.
TEST_F(PreferencesTest, TheSettingsButtonWaitsForThePanesWork) {
  auto opensPreferences = [&] {
    bool opened = false;
    QTimer::singleShot(0, [&] {
      if (auto* modal = qobject_cast<frmPreferences*>(QApplication::activeModalWidget())) {
        opened = true;
        modal->close();
      }
    });
    window->btnSettings_Click();
    QApplication::processEvents();
    return opened;
  };
  {
    PaneWork work(PaneDb(MainPane()));
    EXPECT_FALSE(opensPreferences());
  }
  EXPECT_TRUE(opensPreferences());
}

TEST_F(RescanAtTheClose, ClosesAnOpenSearchEntry) {
  MainPane().btnSelSearch_Click();
  ASSERT_EQ(PaneUi(window->Pane()).btnUpdate->Caption(), "Cancel");
  Rescanned();
  SwitchOnAndClose();
  EXPECT_EQ(PaneUi(window->Pane()).btnUpdate->Caption(), "Update");
  EXPECT_TRUE(PaneUi(window->Pane()).txtDBSearchText->isHidden());
  EXPECT_EQ(PaneUi(window->Pane()).lblDBViewTitle->Caption(), "System Inventory");
  EXPECT_TRUE(Rescanned());
  EXPECT_FALSE(state.launcher.gRescanPending);
}

class NoteEditAtTheClose : public RescanAtTheClose, public ::testing::WithParamInterface<int> {};

TEST_P(NoteEditAtTheClose, EndsItThroughItsQuestionOrLeavesTheRescanPending) {
  drives.Write("C:\\Sounds\\noted.wav", "RIFF");
  PaneDb(MainPane()).gCurrentFilePath = "C:\\Sounds\\noted.wav";
  MainPane().ShowFileDetail();
  MainPane().btnUpdate_Click();
  ASSERT_EQ(PaneUi(window->Pane()).btnUpdate->Caption(), "End Edit");
  PaneUi(window->Pane()).txtDBCaption->setText("changed");
  Rescanned();
  SwitchOnAndClose(GetParam());
  EXPECT_EQ(Boxes("User database values have changed"), 1);
  if (GetParam() == platform::vbCancel) {
    EXPECT_EQ(PaneUi(window->Pane()).btnUpdate->Caption(), "End Edit");
    EXPECT_FALSE(Rescanned());
    EXPECT_TRUE(state.launcher.gRescanPending) << "it runs at the next close";
    auto again = Open();
    PaneUi(window->Pane()).txtDBCaption->setText("");
    PaneUi(window->Pane()).lblDBCaption->SetCaption("");
    again->btnCancel_Click();
  }
  EXPECT_EQ(PaneUi(window->Pane()).btnUpdate->Caption(), "Update");
  EXPECT_TRUE(Rescanned());
  EXPECT_FALSE(state.launcher.gRescanPending);
}

INSTANTIATE_TEST_SUITE_P(Answers, NoteEditAtTheClose, ::testing::Values(platform::vbNo, platform::vbCancel));

}  // namespace
