#include <gtest/gtest.h>

#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/userdb.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "mainwindow/launcher.h"
#include "support/window_steps.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"
#include "support/tree_access.h"
#include "support/preset_access.h"

using testing_support::AppFixture;

namespace {

class PresetBankTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    window = OpenMainWindow();
  }

  std::unique_ptr<frmLauncher> window;
};

// --- the buttons --------------------------------------------------------------------------

struct RefreshCase {
  const char* caption;
  const char* path;
  const char* shown;  // the button's caption afterwards, and the stored one
  bool bold;
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << "\"" << c.caption << "\" on \"" << c.path << "\""; }

class Refresh : public PresetBankTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(Refresh, ShowsTheCaptionBoldWithAFileAndTheNumberWithout) {
  auto& p = state.io.presets;
  p.gPresetCaptions[6] = GetParam().caption;
  p.gPresetPaths[6] = GetParam().path;
  window->Bank().RefreshPresetButtons();
  EXPECT_EQ(window->Bank().PresetButtonCaption(7), GetParam().shown);
  EXPECT_EQ(p.gPresetCaptions[6], GetParam().shown);
  EXPECT_EQ(BankUi(window->Bank()).btnPreset[7]->font().bold(), GetParam().bold);
  EXPECT_EQ(window->Bank().PresetButtonCaption(8), "8");
  EXPECT_FALSE(BankUi(window->Bank()).btnPreset[8]->font().bold());
}

INSTANTIATE_TEST_SUITE_P(Table, Refresh,
                         ::testing::Values(RefreshCase{"Intro", "", "7", false},
                                           RefreshCase{"", "", "7", false},
                                           RefreshCase{"Intro", "C:\\Sounds\\intro.wav", "Intro", true},
                                           RefreshCase{"", "C:\\Sounds\\intro.wav", "", true},
                                           RefreshCase{"Rock & Roll", "C:\\r.wav", "Rock & Roll", true}));

TEST_F(PresetBankTest, AButtonShowsAnAmpersandAsItIs) {
  auto& p = state.io.presets;
  p.gPresetCaptions[0] = "Rock & Roll";
  p.gPresetPaths[0] = "C:\\r.wav";
  window->Bank().RefreshPresetButtons();
  EXPECT_EQ(BankUi(window->Bank()).btnPreset[1]->text(), "Rock && Roll") << "no mnemonic";
}

// --- right press and drops ----------------------------------------------------------------

struct Opened {
  bool opened = false;
  int index = 0;
  std::string number, caption, path, pathTip;
  bool captionMarked = false, pathMarked = false;
  bool pending = true;
};

enum class Act { Press, Drop };

struct OpenCase {
  const char* name;
  Act act;
  Qt::MouseButton button;                             // Press
  std::function<void(QMimeData&, const testing_support::TempDrives&)> data;  // Drop
  bool opens;
  const char* path;  // the path box's text when it opens
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenEditor : public PresetBankTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenEditor, ByRightPressOrDropWithThePathTheDropOffers) {
  const OpenCase& c = GetParam();
  auto& p = state.io.presets;
  p.gPresetCaptions[4] = "Fanfare";
  p.gPresetPaths[4] = "C:\\Sounds\\fanfare.wav";
  window->Bank().RefreshPresetButtons();
  window->show();

  Opened seen;
  auto steps = testing_support::OnModal<frmTDButtonConfig>([&](frmTDButtonConfig& form) {
    seen.opened = true;
    seen.index = state.launcher.gPresetIndex;
    seen.number = form.lblButtonNumber->Caption().toStdString();
    seen.caption = form.txtCaption->text().toStdString();
    seen.path = form.txtFilePath->text().toStdString();
    seen.pathTip = form.txtFilePath->toolTip().toStdString();
    seen.captionMarked = form.txtCaption->ForeColor() == 255;
    seen.pathMarked = form.txtFilePath->ForeColor() == 255;
    seen.pending = state.launcher.gPrefillPending;
    // The close box asks before it drops the prefilled, marked fields.
    if (seen.captionMarked || seen.pathMarked) boxes.Answer(platform::vbYes);
    form.close();
  });
  QPushButton* button = BankUi(window->Bank()).btnPreset[5];
  if (c.act == Act::Press) {
    QTest::mousePress(button, c.button);
    QTest::mouseRelease(button, c.button);
  } else {
    auto* data = new QMimeData;
    c.data(*data, drives);
    // As the platform delivers it: enter, then drop; the editor opens once the drop is over.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(enter.isAccepted(), c.opens) << "the drag is accepted only with a path to offer";
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &drop);
    EXPECT_FALSE(seen.opened) << "not while the drop is delivered";
    delete data;
  }
  if (c.opens) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.opened; }, 3000));
  } else {
    ASSERT_TRUE(testing_support::RunQueuedWork());
  }
  EXPECT_EQ(seen.opened, c.opens);
  if (!c.opens) {
    EXPECT_FALSE(state.launcher.gPrefillPending);
    return;
  }
  EXPECT_EQ(seen.index, 5);
  EXPECT_EQ(seen.number, "5");
  EXPECT_EQ(seen.path, c.path);
  EXPECT_EQ(seen.pathTip, "C:\\Sounds\\fanfare.wav") << "the tooltip keeps the stored path";
  EXPECT_FALSE(seen.pending);
  if (c.act == Act::Press) {
    EXPECT_EQ(seen.caption, "Fanfare");
    EXPECT_FALSE(seen.captionMarked);
    EXPECT_FALSE(seen.pathMarked);
  } else {
    EXPECT_EQ(seen.caption, "") << "no note: no caption";
    EXPECT_TRUE(seen.captionMarked);
    EXPECT_TRUE(seen.pathMarked);
  }
  EXPECT_FALSE(state.launcher.gEditArmed) << "unloaded";
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenEditor,
    ::testing::Values(
        OpenCase{"RightPress", Act::Press, Qt::RightButton, {}, true, "C:\\Sounds\\fanfare.wav"},
        OpenCase{"MiddlePress", Act::Press, Qt::MiddleButton, {}, false, ""},
        OpenCase{"Text", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const auto&) { d.setText("D:\\Music\\drop.wav"); }, true, "D:\\Music\\drop.wav"},
        OpenCase{"TextNotValidatedAtTheDrop", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const auto&) { d.setText("no such file"); }, true, "no such file"},
        OpenCase{"TextBeforeFiles", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const testing_support::TempDrives& drives) {
                   d.setUrls({QUrl::fromLocalFile(QString::fromStdString(drives.Host("D:\\Music\\file.wav")))});
                   d.setText("D:\\Music\\text.wav");
                 },
                 true, "D:\\Music\\text.wav"},
        OpenCase{"FirstOfSeveralFiles", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const testing_support::TempDrives& drives) {
                   d.setUrls({QUrl::fromLocalFile(QString::fromStdString(drives.Host("D:\\Music\\one.wav"))),
                              QUrl::fromLocalFile(QString::fromStdString(drives.Host("D:\\Music\\two.wav")))});
                 },
                 true, "D:\\Music\\one.wav"},
        OpenCase{"HostPathAsText", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const testing_support::TempDrives& drives) {
                   d.setText(QString::fromStdString(drives.Host("D:\\Music\\host.wav")));
                 },
                 true, "D:\\Music\\host.wav"},
        OpenCase{"Neither", Act::Drop, Qt::NoButton,
                 [](QMimeData& d, const auto&) { d.setData("application/x-other", "x"); }, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetBankTest, ADroppedFileWithANoteBringsItsCaption) {
  datafiles::UserDBRecord record;
  record.Path = "D:\\Music\\noted.wav";
  record.Caption = "Noted Song";
  drives.Write(state.decl.files.gUserDBFile, record.Bytes());
  QMimeData data;
  data.setText("D:\\Music\\noted.wav");
  std::string caption;
  auto steps = testing_support::OnModal<frmTDButtonConfig>([&](frmTDButtonConfig& form) {
    caption = form.txtCaption->text().toStdString();
    boxes.Answer(platform::vbYes);  // the close box asks before it drops the prefill
    form.close();
  });
  window->Bank().btnPreset_OLEDragDrop(2, data);
  EXPECT_EQ(caption, "Noted Song");
  EXPECT_EQ(state.launcher.gPrefillPath, "D:\\Music\\noted.wav");
}

// --- what holds the shown file ------------------------------------------------------------

struct RallysetCase {
  const char* name;
  const char* view;
  std::vector<int> presetsHolding;
  const char* expected;
};

void PrintTo(const RallysetCase& c, std::ostream* os) { *os << c.name; }

class Rallysets : public PresetBankTest, public ::testing::WithParamInterface<RallysetCase> {};

TEST_P(Rallysets, ListPresetsThenGroupsOnlyInFileDetail) {
  const std::string shown = "D:\\Music\\song.wav";
  for (int n : GetParam().presetsHolding) state.io.presets.gPresetPaths[n - 1] = shown;
  state.io.presets.gPresetPaths[9] = "D:\\Music\\other.wav";
  // Groups > Rock > entry, Groups > Rock > Live > entry, each tagged with the file's path.
  platform::TreeModel& tree = TreeTestAccess::Groups(window->Tree())->Nodes();
  using Rel = platform::TreeModel::Relation;
  platform::TreeNode* root = tree.Root();
  platform::TreeNode* rock = tree.Add(root, Rel::Last, "rock", "Rock", "clsdfold");
  platform::TreeNode* entry = tree.Add(rock, Rel::Last, "entry", "song", "audio_wav");
  platform::TreeNode* live = tree.Add(rock, Rel::Last, "live", "Live", "clsdfold");
  platform::TreeNode* liveEntry = tree.Add(live, Rel::Last, "live entry", "song live", "audio_wav");
  if (std::string(GetParam().name) == "PresetsAndGroups") {
    entry->tag = shown;
    liveEntry->tag = shown;
  }
  PaneTestAccess::ShowTitle(window->Pane(), GetParam().view);
  PaneUi(window->Pane()).txtDBDescription->setToolTip(QString::fromStdString(shown));
  PaneUi(window->Pane()).lblDBRallysets->SetCaption("before");
  window->ShowFileRallysets();
  EXPECT_EQ(PaneUi(window->Pane()).lblDBRallysets->Caption().toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Rallysets,
    ::testing::Values(RallysetCase{"Presets", "File Detail", {3, 12}, "[3],  [12]"},
                      RallysetCase{"PresetsAndGroups", "File Detail", {3}, "[3],  \\Rock,  \\Rock\\Live"},
                      RallysetCase{"HeldNowhere", "File Detail", {}, ""},
                      RallysetCase{"OtherView", "Inventory Detail", {3}, "before"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
