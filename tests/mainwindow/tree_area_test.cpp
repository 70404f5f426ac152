// The groups tree on its own, in a bare window, asking a recording host what it asks of the
// main window.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

#include "mainwindow/treearea.h"
#include "support/temp_drives.h"
#include "support/tree_access.h"
#include "windows/shareddata.h"

using platform::TreeNode;

namespace {

const char* const kGroups =
    ",n0-root- -Groups,Groups,\r\n"
    "n0-root- -Groups,n1-group-Groups-Rock,Rock,Rock\r\n"
    "n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\song.wav\r\n"
    "n0-root- -Groups,n1-group-Groups-Tap Deck,Tap Deck,Tap Deck\r\n"
    "n1-group-Groups-Tap Deck,n2-file-Tap Deck-Loop,Loop,C:\\Music\\loop.wav\r\n"
    "n0-root- -Groups,n1-group-Groups-Empty,Empty,Empty\r\n";

class RecordingTreeHost : public TreeAreaHost {
 public:
  std::vector<std::string> asked;
  void ShowFileRallysets() override { asked.push_back("rallysets"); }
  void PlayTreeEntry(const std::string& path, const std::string& caption, int loopingPreset) override {
    asked.push_back("play " + path + " as " + caption + " looping " + std::to_string(loopingPreset));
  }
};

class TreeAlone : public ::testing::Test {
 protected:
  TreeAlone() {
    app.decl.gAppPath = "C:\\app\\";
    app.decl.files = datafiles::DataFileNames::InFolder("C:\\app\\data\\");
    drives.MakeFolder("C:\\app\\data\\");
    drives.Write(app.decl.files.gGroupsFile, kGroups);
    frame.resize(460, 380);
    tree = new TreeArea(&frame, app, host);
    tree->BuildMoveButtons();
    tree->BuildImageList();
    tree->LoadGroupTree();
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }

  platform::TreeModel& Nodes() { return TreeView(*tree).Nodes(); }
  TreeNode* Node(const std::string& text) {
    for (TreeNode* n : Nodes().Nodes()) {
      if (n->text == text) return n;
    }
    ADD_FAILURE() << "no node " << text;
    return nullptr;
  }
  std::string GroupsDat() const { return drives.Read(app.decl.files.gGroupsFile); }

  testing_support::TempDrives drives{"C"};
  ProgramState app;
  RecordingTreeHost host;
  QWidget frame;
  TreeArea* tree = nullptr;
};

}  // namespace

TEST_F(TreeAlone, GroupsDatFillsTheTreeAndAsksNothingOfTheHost) {
  platform::TreeView& view = TreeView(*tree);
  ASSERT_EQ(Nodes().Count(), 6);
  ASSERT_EQ(view.topLevelItemCount(), 1);
  QTreeWidgetItem* root = view.topLevelItem(0);
  EXPECT_EQ(root->text(0), "Groups");
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(1)->text(0), "Tap Deck");
  EXPECT_EQ(root->child(0)->child(0)->text(0), "Song");
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(TreeAlone, AMoveDownSavesGroupsDatAndRefreshesTheRallysets) {
  Nodes().Select(Node("Rock"));
  tree->tvwGroups_Click();
  QTest::mouseClick(&TreeTestAccess::NodeDown(*tree), Qt::LeftButton);
  const std::string saved = GroupsDat();
  ASSERT_NE(saved.find("Rock"), std::string::npos);
  EXPECT_LT(saved.find(",Tap Deck,"), saved.find(",Rock,")) << saved;
  EXPECT_EQ(host.asked, (std::vector<std::string>{"rallysets"}));
  EXPECT_EQ(Nodes().Selected(), Node("Rock"));
  EXPECT_TRUE(TreeTestAccess::NodeUp(*tree).isEnabled());
}

struct DoubleClickCase {
  const char* node;
  const char* loopFlag;  // preset 2 holds loop.wav with this flag
  std::vector<std::string> asked;
};

class TreeDoubleClick : public TreeAlone, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(TreeDoubleClick, AFileEntryIsPlayedThroughTheHost) {
  const DoubleClickCase& c = GetParam();
  app.io.presets.gPresetPaths[1] = "C:\\Music\\loop.wav";
  app.io.presets.gPresetLoop[1] = c.loopFlag;
  Nodes().Select(Node(c.node));
  tree->tvwGroups_DblClick();
  EXPECT_EQ(host.asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, TreeDoubleClick,
    ::testing::Values(DoubleClickCase{"Song", "True", {"play C:\\Music\\song.wav as Song looping 0"}},
                      DoubleClickCase{"Loop", "True", {"play C:\\Music\\loop.wav as Loop looping 2"}},
                      DoubleClickCase{"Loop", "False", {"play C:\\Music\\loop.wav as Loop looping 0"}},
                      DoubleClickCase{"Rock", "True", {}}, DoubleClickCase{"Groups", "True", {}}));
