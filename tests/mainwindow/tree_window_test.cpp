#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <string>
#include <vector>

#include "datafiles/groups.h"
#include "datafiles/userdb.h"
#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmAddGroup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTvwPopUp.h"
#include "mainwindow/launcher.h"
#include "support/window_steps.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "support/app_fixture.h"
#include "support/tree_access.h"
#include "support/player_access.h"

using testing_support::AppFixture;
using testing_support::OnModal;
using testing_support::Steps;
using platform::TreeNode;

namespace {

const char* const kGroups =
    ",n0-root- -Groups,Groups,\r\n"
    "n0-root- -Groups,n1-group-Groups-Rock,Rock,Rock\r\n"
    "n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\song.wav\r\n"
    "n1-group-Groups-Rock,n2-group-Rock-Live,Live,Live\r\n"
    "n2-group-Rock-Live,n3-file-Live-Intro,Intro,C:\\Music\\intro.wav\r\n"
    "n0-root- -Groups,n1-group-Groups-Tap Deck,Tap Deck,Tap Deck\r\n"
    "n1-group-Groups-Tap Deck,n2-file-Tap Deck-Loop,Loop,C:\\Music\\loop.wav\r\n"
    "n0-root- -Groups,n1-group-Groups-Empty,Empty,Empty\r\n";

constexpr std::uint32_t kNavy = 0x800000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class TreeWindow : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    drives.Write(state.decl.files.gGroupsFile, kGroups);
    window = OpenMainWindow();
  }

  platform::TreeModel& Tree() { return TreeTestAccess::Groups(window->Tree())->Nodes(); }
  TreeNode* Node(const std::string& text) {
    for (TreeNode* n : Tree().Nodes()) {
      if (n->text == text) return n;
    }
    ADD_FAILURE() << "no node " << text;
    return nullptr;
  }
  std::string GroupsDat() const { return drives.Read(state.decl.files.gGroupsFile); }
  // A right press and release on the node: the popup opens for it.
  frmTvwPopUp* RightClick(TreeNode* node) {
    TreeStateOf(window->Tree()).gDragNode = node ? node->id : platform::kNoNode;
    window->Tree().tvwGroups_MouseUp(2, 0, 300, 300);
    return TreeTestAccess::Popup(window->Tree());
  }

  std::unique_ptr<frmLauncher> window;
};

}  // namespace

TEST_F(TreeWindow, TheLoadFillsTheTreeFromGroupsDat) {
  ASSERT_EQ(Tree().Count(), 8);
  EXPECT_EQ(TreeTestAccess::Groups(window->Tree())->topLevelItemCount(), 1);
  QTreeWidgetItem* root = TreeTestAccess::Groups(window->Tree())->topLevelItem(0);
  EXPECT_EQ(root->text(0), "Groups");
  EXPECT_TRUE(root->isExpanded());
  EXPECT_FALSE(root->icon(0).isNull());
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(0)->text(0), "Rock");
  EXPECT_FALSE(root->child(0)->isExpanded());
  EXPECT_EQ(root->child(0)->child(1)->child(0)->text(0), "Intro");
  EXPECT_FALSE(TreeStateOf(window->Tree()).gGroupsKeepCopy);
}

struct PopupCase {
  const char* node;
  bool addFile, addGroup, edit, rename, del;
};

class PopupItems : public TreeWindow, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupItems, SuitTheKindOfThePressedNode) {
  Tree().Select(Node("Rock"));  // another node was selected before
  TreeNode* node = Node(GetParam().node);
  frmTvwPopUp* popup = RightClick(node);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->lblAddFile->isEnabled(), GetParam().addFile);
  EXPECT_EQ(popup->lblAddGroup->isEnabled(), GetParam().addGroup);
  EXPECT_EQ(popup->lblEditNode->isEnabled(), GetParam().edit);
  EXPECT_EQ(popup->lblRenameNode->isEnabled(), GetParam().rename);
  EXPECT_EQ(popup->lblDeleteNode->isEnabled(), GetParam().del);
  EXPECT_EQ(Tree().Selected(), node);
  EXPECT_EQ(node->backColor, kNavy);
  EXPECT_EQ(node->foreColor, kWhite);
  // A click elsewhere: the popup ends and the highlight goes.
  popup->Form_LostFocus();
  EXPECT_TRUE(popup->unloaded());
  EXPECT_EQ(node->backColor, kWhite);
  EXPECT_EQ(node->foreColor, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, PopupItems,
                         ::testing::Values(PopupCase{"Groups", false, true, false, false, false},
                                           PopupCase{"Live", true, true, false, true, true},
                                           PopupCase{"Intro", false, false, true, false, true}));

TEST_F(TreeWindow, ARightPressOverEmptySpaceOpensNoPopup) {
  window->Tree().tvwGroups_MouseDown(2, 0, 100 * 15, 280 * 15);
  window->Tree().tvwGroups_MouseUp(2, 0, 100 * 15, 280 * 15);
  EXPECT_EQ(TreeTestAccess::Popup(window->Tree()), nullptr);
}

TEST_F(TreeWindow, TheHoveredItemAloneIsHighlighted) {
  frmTvwPopUp* popup = RightClick(Node("Intro"));
  popup->Item_MouseMove(popup->lblEditNode);
  EXPECT_EQ(popup->lblEditNode->BackColor(), kNavy);
  popup->Item_MouseMove(popup->lblDeleteNode);
  EXPECT_EQ(popup->lblEditNode->BackColor(), 0x8000000Fu);
  EXPECT_EQ(popup->lblDeleteNode->BackColor(), kNavy);
  popup->Item_MouseMove(popup->lblAddFile);  // disabled: the background
  EXPECT_EQ(popup->lblDeleteNode->BackColor(), 0x8000000Fu);
  EXPECT_EQ(popup->lblAddFile->BackColor(), 0x8000000Fu);
  popup->Form_LostFocus();
}

TEST_F(TreeWindow, DeletingANonEmptyGroupAsksAndNoChangesNothing) {
  frmTvwPopUp* popup = RightClick(Node("Rock"));
  boxes.Answer(platform::vbNo);
  popup->lblDeleteNode_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Group Delete Selected");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbYesNo | platform::vbDefaultButton2 | platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "The selected group \"Rock\" is not empty. \n\rAll items inside \"Rock\" will also be removed.\n\r\n\r"
            "Do you wish to continue with the delete?");
  EXPECT_EQ(Tree().Count(), 8);
  EXPECT_EQ(GroupsDat(), kGroups);
  EXPECT_TRUE(popup->unloaded());
  EXPECT_EQ(Node("Rock")->backColor, kWhite);
}

TEST_F(TreeWindow, DeletingANonEmptyGroupAfterYesRemovesItsBranchAndSaves) {
  frmTvwPopUp* popup = RightClick(Node("Rock"));
  boxes.Answer(platform::vbYes);
  popup->lblDeleteNode_Click();
  EXPECT_EQ(Tree().Count(), 4);
  EXPECT_EQ(GroupsDat(), ",n0-root- -Groups,Groups,\r\n"
                         "n0-root- -Groups,n1-group-Groups-Tap Deck,Tap Deck,Tap Deck\r\n"
                         "n1-group-Groups-Tap Deck,n2-file-Tap Deck-Loop,Loop,C:\\Music\\loop.wav\r\n"
                         "n0-root- -Groups,n1-group-Groups-Empty,Empty,Empty\r\n");
  EXPECT_TRUE(popup->unloaded());
}

TEST_F(TreeWindow, AFileEntryOrAnEmptyGroupIsDeletedWithoutAQuestion) {
  RightClick(Node("Intro"))->lblDeleteNode_Click();
  RightClick(Node("Empty"))->lblDeleteNode_Click();
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(GroupsDat(), ",n0-root- -Groups,Groups,\r\n"
                         "n0-root- -Groups,n1-group-Groups-Rock,Rock,Rock\r\n"
                         "n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\song.wav\r\n"
                         "n1-group-Groups-Rock,n2-group-Rock-Live,Live,Live\r\n"
                         "n0-root- -Groups,n1-group-Groups-Tap Deck,Tap Deck,Tap Deck\r\n"
                         "n1-group-Groups-Tap Deck,n2-file-Tap Deck-Loop,Loop,C:\\Music\\loop.wav\r\n");
  // The node selected next (Live, now without children) is collapsed.
  EXPECT_FALSE(Node("Live")->expanded);
}

TEST_F(TreeWindow, AddGroupRefusesACaptionOfTheSameGroupThenAddsAndSaves) {
  frmTvwPopUp* popup = RightClick(Node("Rock"));
  boxes.Answer(platform::vbOK);
  std::string parentLabel;
  auto steps = OnModal<frmAddGroup>([&](frmAddGroup& form) {
    parentLabel = form.lblParentGroup->Caption().toStdString();
    form.txtNewGroup->setText("Song");  // a file entry's caption
    form.btnOK->click();
    EXPECT_TRUE(form.isVisible());
    form.txtNewGroup->setText("song");  // differs in case only: accepted
    form.btnOK->click();
  });
  popup->lblAddGroup_Click();
  EXPECT_EQ(parentLabel, "\"Rock\"");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Duplicate Group Name");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbOKOnly | platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "There is already a group named \"Song\" under \"Rock\".\n\r\n\r"
            "Please select a different name or cancel Add Node request.");
  TreeNode* added = Tree().Selected();
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->text, "song");
  EXPECT_EQ(added->tag, "song");
  EXPECT_EQ(added->image, "clsdfold");
  EXPECT_EQ(added->expandedImage, "openfold");
  EXPECT_TRUE(added->expanded);
  EXPECT_EQ(added->key, "n2-group-Rock-song");
  EXPECT_EQ(Node("Rock")->backColor, kWhite);
  EXPECT_NE(GroupsDat().find("n2-group-Rock-Live,Live,Live\r\n"
                             "n2-group-Rock-Live,n3-file-Live-Intro,Intro,C:\\Music\\intro.wav\r\n"
                             "n1-group-Groups-Rock,n2-group-Rock-song,song,song\r\n"),
            std::string::npos);
  EXPECT_TRUE(popup->unloaded());
  EXPECT_FALSE(TreeTestAccess::DialogShowing(window->Tree()));
}

TEST_F(TreeWindow, CancellingAddGroupChangesNothing) {
  frmTvwPopUp* popup = RightClick(Node("Groups"));
  auto steps = OnModal<frmAddGroup>([&](frmAddGroup& form) {
    form.txtNewGroup->setText("New");
    form.btnCancel->click();
  });
  popup->lblAddGroup_Click();
  EXPECT_EQ(Tree().Count(), 8);
  EXPECT_EQ(GroupsDat(), kGroups);
  EXPECT_TRUE(popup->unloaded());
}

TEST_F(TreeWindow, AddFileRefusesASiblingsCaptionThenAddsWithTheImageOfItsPath) {
  frmTvwPopUp* popup = RightClick(Node("Rock"));
  boxes.Answer(platform::vbOK);
  auto steps = OnModal<frmAddFile>([&](frmAddFile& form) {
    EXPECT_TRUE(form.txtNewFileCaption->text().isEmpty());
    form.txtNewFileCaption->setText("Live");  // a group's name
    form.txtNewFilePath->setText("C:\\Music\\New, \"One\".WAV");
    form.btnOK->click();
    form.txtNewFileCaption->setText("Fresh");
    form.btnOK->click();
  });
  popup->lblAddFile_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Duplicate Caption");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbOKOnly | platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "There is already a file caption of \"Live\" under \"Rock\".\n\r\n\r"
            "Please select a different caption or cancel Add File request.");
  TreeNode* added = Tree().Selected();
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->text, "Fresh");
  EXPECT_EQ(added->image, "audio_wav");
  EXPECT_NE(GroupsDat().find("n1-group-Groups-Rock,n2-file-Rock-Fresh,Fresh,\"C:\\Music\\New, \"\"One\"\".WAV\"\r\n"),
            std::string::npos);
  EXPECT_TRUE(popup->unloaded());
}

TEST_F(TreeWindow, ABrowseErrorIsShownUnderTheProgramsTitleAndThePathStays) {
  frmTvwPopUp* popup = RightClick(Node("Rock"));
  boxes.Answer(platform::vbOK);
  dialogs.Fail(platform::errPathNotFound);
  auto steps = OnModal<frmAddFile>([&](frmAddFile& form) {
    form.txtNewFilePath->setText("C:\\Music\\typed.wav");
    form.btnBrowse->click();
    EXPECT_EQ(form.txtNewFilePath->text(), "C:\\Music\\typed.wav");
    form.btnCancel->click();
  });
  popup->lblAddFile_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::VbError::DescribeError(platform::errPathNotFound));
  EXPECT_EQ(boxes.shown()[0].style, platform::vbOKOnly);
  EXPECT_EQ(boxes.shown()[0].title, "Tolvan Audio Manager");
}

TEST_F(TreeWindow, EditFileRefusesAnotherEntrysCaptionButKeepsItsOwn) {
  frmTvwPopUp* popup = RightClick(Node("Song"));
  boxes.Answer(platform::vbOK);
  auto steps = OnModal<frmEditFile>([&](frmEditFile& form) {
    EXPECT_EQ(form.txtCaption->text(), "Song");
    EXPECT_EQ(form.txtFilePath->text(), "C:\\Music\\song.wav");
    EXPECT_EQ(form.txtCaption->ForeColor(), 0u);
    form.txtCaption->setText("Live");
    form.btnOK->click();
    EXPECT_TRUE(form.isVisible());
    form.txtCaption->setText("Song");
    form.txtFilePath->setText("C:\\Music\\song.mid");
    form.btnOK->click();
  });
  popup->lblEditNode_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Duplicate Caption");
  EXPECT_EQ(boxes.shown()[0].text,
            "There is already a file caption of \"Live\" under \"Rock\".\n\r\n\r"
            "Please select a different caption or cancel Add File request.");
  EXPECT_EQ(Node("Song")->image, "audio_mid");
  EXPECT_EQ(Tree().Selected(), Node("Song"));
  EXPECT_NE(GroupsDat().find("n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\song.mid\r\n"), std::string::npos);
}

TEST_F(TreeWindow, EditFileCancelAsksAfterAChangeEvenWhenTheTextCameBack) {
  frmTvwPopUp* popup = RightClick(Node("Song"));
  boxes.Answer(platform::vbNo);
  boxes.Answer(platform::vbYes);
  bool stayedOpen = false;
  auto steps = OnModal<frmEditFile>([&](frmEditFile& form) {
    form.txtCaption->setText("Other");
    form.txtCaption->setText("Song");
    EXPECT_EQ(form.txtCaption->ForeColor(), 255u);
    form.btnCancel->click();
    stayedOpen = form.isVisible();
    form.btnCancel->click();
  });
  popup->lblEditNode_Click();
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Changes Not Saved");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbYesNo | platform::vbDefaultButton2 | platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "Changes to this launch file have been made but not saved.\r\nDo you wish to exit without saving the changes?");
  EXPECT_EQ(GroupsDat(), kGroups);
  EXPECT_FALSE(state.launcher.gEditArmed);
}

TEST_F(TreeWindow, TheHelpButtonsStartTheirPages) {
  auto steps = OnModal<frmAddGroup>([&](frmAddGroup& form) {
    form.btnAddGroupHelp->click();
    form.btnCancel->click();
  });
  RightClick(Node("Rock"))->lblAddGroup_Click();
  auto steps2 = OnModal<frmAddFile>([&](frmAddFile& form) {
    form.btnHelp->click();
    form.btnCancel->click();
  });
  RightClick(Node("Rock"))->lblAddFile_Click();
  auto steps3 = OnModal<frmEditFile>([&](frmEditFile& form) {
    form.btnHelp->click();
    form.btnCancel->click();
  });
  RightClick(Node("Song"))->lblEditNode_Click();
  ASSERT_EQ(starter.starts().size(), 3u);
  EXPECT_EQ(starter.starts()[0].args, std::vector<std::string>{"rsaddgroup.htm"});
  EXPECT_EQ(starter.starts()[1].args, std::vector<std::string>{"rsaddfile.htm"});
  EXPECT_EQ(starter.starts()[2].args, std::vector<std::string>{"rseditfile.htm"});
}

TEST_F(TreeWindow, TextDroppedOnAFileEntryOpensAddFileForItsGroupWithTheFirstLine) {
  datafiles::UserDBRecord record;
  record.Path = "D:\\Music\\noted.wav";
  record.Caption = "Noted Song";
  drives.Write(state.decl.files.gUserDBFile, record.Bytes());
  Tree().SetDropHighlight(Node("Intro"));
  TreeStateOf(window->Tree()).gTargetNode = Node("Intro")->id;
  QMimeData data;
  data.setText("D:\\Music\\noted.wav\r\nsecond line");
  std::string parent, caption, path;
  auto steps = OnModal<frmAddFile>([&](frmAddFile& form) {
    parent = form.lblParentGroup->Caption().toStdString();
    caption = form.txtNewFileCaption->text().toStdString();
    path = form.txtNewFilePath->text().toStdString();
    form.btnOK->click();
  });
  window->Tree().tvwGroups_OLEDragDrop(data);
  EXPECT_EQ(parent, "\"Live\"");
  EXPECT_EQ(caption, "Noted Song");
  EXPECT_EQ(path, "D:\\Music\\noted.wav");
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_FALSE(state.launcher.gPrefillPending);
  EXPECT_NE(GroupsDat().find("n2-group-Rock-Live,n3-file-Live-Noted Song,Noted Song,D:\\Music\\noted.wav\r\n"),
            std::string::npos);
}

TEST_F(TreeWindow, AHostFileDroppedFromAFileManagerIsTakenInDriveLetterForm) {
  drives.Write("D:\\Music\\dropped.mp3", "x");
  Tree().SetDropHighlight(Node("Empty"));
  TreeStateOf(window->Tree()).gTargetNode = Node("Empty")->id;
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(drives.Host("D:\\Music\\dropped.mp3"))),
                QUrl::fromLocalFile(QString::fromStdString(drives.Host("D:\\Music\\second.mp3")))});
  std::string path;
  auto steps = OnModal<frmAddFile>([&](frmAddFile& form) {
    path = form.txtNewFilePath->text().toStdString();
    form.btnCancel->click();
  });
  window->Tree().tvwGroups_OLEDragDrop(data);
  EXPECT_EQ(path, "D:\\Music\\dropped.mp3");
  EXPECT_EQ(GroupsDat(), kGroups);
}

TEST_F(TreeWindow, AFileOnNoMappedDriveIsRefusedWithAMessage) {
  Tree().SetDropHighlight(Node("Empty"));
  TreeStateOf(window->Tree()).gTargetNode = Node("Empty")->id;
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/nowhere/mapped/x.wav")});
  boxes.Answer(platform::vbOK);
  window->Tree().tvwGroups_OLEDragDrop(data);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "File Not Added");
  EXPECT_NE(boxes.shown()[0].text.find("/nowhere/mapped/x.wav"), std::string::npos);
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_EQ(GroupsDat(), kGroups);
}

TEST_F(TreeWindow, DropsOnTheRootOrWithoutTextOrFilesOpenNothing) {
  QMimeData text;
  text.setText("C:\\x.wav");
  Tree().SetDropHighlight(Node("Groups"));
  TreeStateOf(window->Tree()).gTargetNode = Node("Groups")->id;
  window->Tree().tvwGroups_OLEDragDrop(text);
  QMimeData other;
  other.setData("application/x-other", "x");
  Tree().SetDropHighlight(Node("Rock"));
  TreeStateOf(window->Tree()).gTargetNode = Node("Rock")->id;
  window->Tree().tvwGroups_OLEDragDrop(other);
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_EQ(GroupsDat(), kGroups);  // no dialog opened: none would have been answered
}

TEST_F(TreeWindow, MoveButtonsFollowTheSelectionAndMoveSave) {
  Tree().Select(Node("Song"));
  window->Tree().tvwGroups_Click();
  EXPECT_TRUE(TreeTestAccess::NodeDownButton(window->Tree())->isEnabled());
  EXPECT_FALSE(TreeTestAccess::NodeUpButton(window->Tree())->isEnabled());
  TreeTestAccess::NodeDownButton(window->Tree())->click();
  EXPECT_EQ(Tree().Selected()->text, "Song");
  EXPECT_FALSE(TreeTestAccess::NodeDownButton(window->Tree())->isEnabled());
  EXPECT_TRUE(TreeTestAccess::NodeUpButton(window->Tree())->isEnabled());
  EXPECT_EQ(GroupsDat(), ",n0-root- -Groups,Groups,\r\n"
                         "n0-root- -Groups,n1-group-Groups-Rock,Rock,Rock\r\n"
                         "n1-group-Groups-Rock,n2-group-Rock-Live,Live,Live\r\n"
                         "n2-group-Rock-Live,n3-file-Live-Intro,Intro,C:\\Music\\intro.wav\r\n"
                         "n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\song.wav\r\n"
                         "n0-root- -Groups,n1-group-Groups-Tap Deck,Tap Deck,Tap Deck\r\n"
                         "n1-group-Groups-Tap Deck,n2-file-Tap Deck-Loop,Loop,C:\\Music\\loop.wav\r\n"
                         "n0-root- -Groups,n1-group-Groups-Empty,Empty,Empty\r\n");
  TreeTestAccess::NodeDownButton(window->Tree())->click();  // the last child: nothing
  EXPECT_EQ(Tree().Selected()->text, "Song");
  Tree().Select(Node("Intro"));  // an only child
  window->Tree().tvwGroups_Click();
  EXPECT_FALSE(TreeTestAccess::NodeDownButton(window->Tree())->isEnabled());
  EXPECT_FALSE(TreeTestAccess::NodeUpButton(window->Tree())->isEnabled());
}

TEST_F(TreeWindow, ARenameStoresTheTextAndRekeysTheChildren) {
  Tree().Select(Node("Live"));
  window->Tree().tvwGroups_AfterLabelEdit("On Stage");
  EXPECT_NE(GroupsDat().find("n1-group-Groups-Rock,n2-group-Rock-On Stage,On Stage,Live\r\n"
                             "n2-group-Rock-On Stage,n3-file-On Stage-Intro,Intro,C:\\Music\\intro.wav\r\n"),
            std::string::npos);
}

TEST_F(TreeWindow, ARefusedDropWritesNothingAndADropOverEmptySpaceSavesAgain) {
  drives.Remove(state.decl.files.gGroupsFile);
  TreeStateOf(window->Tree()).gDragNode = Node("Rock")->id;
  TreeStateOf(window->Tree()).gTargetNode = Node("Intro")->id;  // inside its own branch
  Tree().SetDropHighlight(Node("Intro"));
  window->Tree().tvwGroups_DragDrop();
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_FALSE(drives.Exists(state.decl.files.gGroupsFile));
  TreeStateOf(window->Tree()).gTargetNode = platform::kNoNode;
  window->Tree().tvwGroups_DragDrop();
  EXPECT_EQ(GroupsDat(), kGroups);
  TreeStateOf(window->Tree()).gDragNode = Node("Song")->id;
  TreeStateOf(window->Tree()).gTargetNode = Node("Empty")->id;
  Tree().SetDropHighlight(Node("Empty"));
  window->Tree().tvwGroups_DragDrop();
  EXPECT_NE(GroupsDat().find("n1-group-Groups-Empty,n2-file-Empty-Song,Song,C:\\Music\\song.wav\r\n"),
            std::string::npos);
}

TEST_F(TreeWindow, ADoubleClickInTapDeckHandsOverToItsLoopingPreset) {
  auto& presets = state.io.presets;
  presets.gPresetCaptions[3] = "Loop preset";
  presets.gPresetPaths[3] = "C:\\Music\\loop.wav";
  presets.gPresetLoop[3] = "True";
  player.SetDuration("C:\\Music\\loop.wav", 2);
  std::vector<std::string> statuses;
  QObject::connect(PlayerUi(window->Player()).lblPlayStatus, &platform::Label::Change,
                   [&] { statuses.push_back(PlayerUi(window->Player()).lblPlayStatus->Caption().toStdString()); });
  int loads = 0;
  Steps steps(5, [&] {
    loads = 0;
    for (const auto& call : player.calls) loads += call == "SetFileName C:\\Music\\loop.wav";
    if (loads >= 3) {
      PlayerUi(window->Player()).btnStop->click();
      return true;
    }
    player.Advance(1);
    return false;
  }, [&] { PlayerUi(window->Player()).btnStop->click(); });
  Tree().Select(Node("Loop"));
  window->Tree().tvwGroups_DblClick();
  EXPECT_EQ(statuses, (std::vector<std::string>{"Looping", "Ended", "Looping", "Ended", "Looping", "Stopped"}));
  EXPECT_EQ(PlayerUi(window->Player()).lblPlayFileName->Caption(), "Loop preset");  // the preset took over
  EXPECT_EQ(PlayerStateOf(window->Player()).gLoopingPreset, 0);
}

TEST_F(TreeWindow, ADoubleClickElsewherePlaysOnceAndOnAGroupNothing) {
  auto& presets = state.io.presets;
  presets.gPresetPaths[3] = "C:\\Music\\intro.wav";
  presets.gPresetLoop[3] = "True";
  player.SetDuration("C:\\Music\\intro.wav", 1);
  Tree().Select(Node("Rock"));
  window->Tree().tvwGroups_DblClick();
  EXPECT_TRUE(player.calls.empty());
  Steps steps(5, [&] {
    player.Advance(1);
    return !window->Player().PlaybackRunning();
  });
  Tree().Select(Node("Intro"));
  window->Tree().tvwGroups_DblClick();
  EXPECT_EQ(PlayerUi(window->Player()).lblPlayStatus->Caption(), "Ended");
  EXPECT_EQ(PlayerUi(window->Player()).lblPlayFileName->Caption(), "Intro");
  EXPECT_EQ(PlayerUi(window->Player()).lblPlayFilePath->Caption(), "C:\\Music\\intro.wav");
  EXPECT_EQ(PlayerUi(window->Player()).lblDuration->Caption(), " 0h 0m 1s");
  int loads = 0;
  for (const auto& call : player.calls) loads += call == "SetFileName C:\\Music\\intro.wav";
  EXPECT_EQ(loads, 1);
}

TEST_F(TreeWindow, HandlersWithNoSelectedNodeDoNothing) {
  Tree().Select(nullptr);
  window->Tree().tvwGroups_DblClick();
  window->Tree().tvwGroups_AfterLabelEdit("x");
  window->Tree().btnNodeDown_Click();
  window->Tree().btnNodeUp_Click();
  window->Tree().tvwGroups_Click();
  EXPECT_FALSE(TreeTestAccess::NodeDownButton(window->Tree())->isEnabled());
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(GroupsDat(), kGroups);
}

TEST_F(TreeWindow, ADamagedGroupsDatIsKeptAsideBeforeTheFirstSave) {
  window.reset();
  state.launcher = LauncherState{};
  const std::string damaged = std::string(kGroups) + "broken\r\n";
  drives.Write(state.decl.files.gGroupsFile, damaged);
  window = OpenMainWindow();
  EXPECT_TRUE(TreeStateOf(window->Tree()).gGroupsKeepCopy);
  Tree().Select(Node("Live"));
  window->Tree().tvwGroups_AfterLabelEdit("Live");
  EXPECT_EQ(drives.Read(datafiles::DamagedGroupsCopy(state.decl.files)), damaged);
  EXPECT_EQ(GroupsDat(), kGroups);
}

TEST_F(TreeWindow, RenameOpensTheEditorOnTheGroupAndEndsThePopup) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  frmTvwPopUp* popup = RightClick(Node("Live"));
  popup->lblRenameNode_Click();
  EXPECT_TRUE(popup->unloaded());
  EXPECT_EQ(Node("Live")->backColor, kWhite);
  auto* editor = TreeTestAccess::Groups(window->Tree())->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "Live");
  editor->setText("Encore");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return GroupsDat().find("Encore") != std::string::npos; }, 2000));
  EXPECT_NE(GroupsDat().find("n1-group-Groups-Rock,n2-group-Rock-Encore,Encore,Live\r\n"), std::string::npos);
  EXPECT_EQ(TreeTestAccess::Groups(window->Tree())->ItemOf(Node("Encore"))->text(0), "Encore");
}

// A change that cannot be stored is told, as other saves are, and the tree goes back to what
// groups.dat holds: nothing shows that the next start would not show.
TEST_F(TreeWindow, AChangeThatCannotBeSavedIsToldAndTheTreeShowsWhatIsStored) {
  const std::string before = GroupsDat();
  Tree().Select(Node("Rock"));
  ASSERT_TRUE(FailsToWrite([&] { window->Tree().tvwGroups_AfterLabelEdit("Blues"); }));
  EXPECT_NE(boxes.shown()[0].text.find("C:\\app\\data\\groups.dat"), std::string::npos) << boxes.shown()[0].text;
  EXPECT_NE(boxes.shown()[0].text.find("Disk full"), std::string::npos);
  EXPECT_EQ(GroupsDat(), before);
  QCoreApplication::processEvents();
  EXPECT_EQ(Tree().Count(), 8);
  std::vector<std::string> texts;
  for (const TreeNode* n : Tree().Nodes()) texts.push_back(n->text);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Rock"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "Blues"), texts.end());
  EXPECT_EQ(TreeTestAccess::Groups(window->Tree())->topLevelItem(0)->child(0)->text(0), "Rock");
}

// Each tree dialog opens with the focus in its first text box: typing goes there, and Space
// or Enter does not press OK on an empty name.
TEST_F(TreeWindow, TheTreeDialogsOpenWithTheFocusInTheirFirstTextBox) {
  Tree().Select(Node("Rock"));
  auto addGroup = OnModal<frmAddGroup>([](frmAddGroup& f) {
    EXPECT_EQ(f.focusWidget(), f.txtNewGroup);
    f.btnCancel_Click();
  });
  frmAddGroup(window->Tree()).ShowModal();
  EXPECT_TRUE(addGroup.done());
  auto addFile = OnModal<frmAddFile>([](frmAddFile& f) {
    EXPECT_EQ(f.focusWidget(), f.txtNewFileCaption);
    f.btnCancel_Click();
  });
  frmAddFile(window->Tree()).ShowModal();
  EXPECT_TRUE(addFile.done());
  Tree().Select(Node("Song"));
  auto editFile = OnModal<frmEditFile>([](frmEditFile& f) {
    EXPECT_EQ(f.focusWidget(), f.txtCaption);
    f.btnCancel_Click();
  });
  frmEditFile(window->Tree()).ShowModal();
  EXPECT_TRUE(editFile.done());
}
