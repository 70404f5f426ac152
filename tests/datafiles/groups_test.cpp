#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafiles/groups.h"
#include "platform/core/files.h"
#include "support/temp_drives.h"

using namespace datafiles;
using platform::TreeModel;
using platform::TreeNode;
using Rel = platform::TreeModel::Relation;

namespace {

const char* const kExample =
    ",n0-root- -Groups,Groups,\r\n"
    "n0-root- -Groups,n1-group-Groups-Drums,Drums,Drums\r\n"
    "n1-group-Groups-Drums,n2-file-Drums-Kick,Kick,C:\\Samples\\kick.wav\r\n";

class GroupsFile : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  DataFileNames files = DataFileNames::InFolder("C:\\tolvan\\data\\");
  TreeModel tree;
  bool keepCopy = false;

  void SetUp() override { drives.MakeFolder("C:\\tolvan\\data"); }
  GroupsLoad Load(const std::string& bytes) {
    drives.Write(files.gGroupsFile, bytes);
    return LoadGroupTree(files, tree);
  }
};

// Each node's level, text, tag and images in pre-order: the shape of a tree.
std::vector<std::string> Shape(const TreeModel& tree) {
  std::vector<std::string> out;
  std::vector<const TreeNode*> stack;
  if (tree.Root()) stack.push_back(tree.Root());
  while (!stack.empty()) {
    const TreeNode* n = stack.back();
    stack.pop_back();
    out.push_back(std::to_string(TreeModel::Depth(n)) + "|" + n->text + "|" + n->tag + "|" + n->image + "|" +
                  n->expandedImage + "|" + (n->expanded ? "open" : "shut"));
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(*it);
  }
  return out;
}

}  // namespace

TEST_F(GroupsFile, TheThreeLineExampleLoadsRootGroupAndFile) {
  EXPECT_EQ(Load(kExample), GroupsLoad::Loaded);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0|Groups||groups||open", "1|Drums|Drums|clsdfold|openfold|shut",
                                                   "2|Kick|C:\\Samples\\kick.wav|audio_wav||shut"}));
  EXPECT_EQ(tree.Root()->key, "n0-root- -Groups");
  EXPECT_EQ(tree.Find("n2-file-Drums-Kick")->text, "Kick");
}

TEST_F(GroupsFile, SavingRightAfterLoadingWritesTheSameBytes) {
  Load(kExample);
  ASSERT_TRUE(SaveGroupTree(files, tree, keepCopy));
  EXPECT_EQ(drives.Read(files.gGroupsFile), kExample);
  EXPECT_FALSE(platform::IsReadOnly(files.gGroupsFile));
  EXPECT_FALSE(drives.Exists(files.gGroupsFile + ".new"));
}

TEST_F(GroupsFile, LinesInAnyOrderOfLevelsLoadLevelByLevel) {
  EXPECT_EQ(Load("n1-group-Groups-Drums,n2-file-Drums-Kick,Kick,C:\\k.wav\r\n"
                 "n0-root- -Groups,n1-group-Groups-Drums,Drums,Drums\r\n"
                 "n0-root- -Groups,n1-group-Groups-Bass,Bass,Bass\r\n"
                 ",n0-root- -Groups,Groups,\r\n"),
            GroupsLoad::Loaded);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0|Groups||groups||open", "1|Drums|Drums|clsdfold|openfold|shut",
                                                   "2|Kick|C:\\k.wav|audio_wav||shut",
                                                   "1|Bass|Bass|clsdfold|openfold|shut"}));
}

TEST_F(GroupsFile, AMissingFileGivesTheDefaultRootAndWritesNothing) {
  EXPECT_EQ(LoadGroupTree(files, tree), GroupsLoad::Missing);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0|Groups||groups||open"}));
  EXPECT_EQ(tree.Root()->key, "n0-root- -Groups");
  EXPECT_FALSE(drives.Exists(files.gGroupsFile));
  ASSERT_TRUE(SaveGroupTree(files, tree, keepCopy));
  EXPECT_EQ(drives.Read(files.gGroupsFile), ",n0-root- -Groups,Groups,\r\n");
}

struct ImageCase {
  const char* path;
  const char* image;
};

class FileImages : public ::testing::TestWithParam<ImageCase> {};

TEST_P(FileImages, FollowTheLowerCasedExtension) { EXPECT_EQ(FileImageKey(GetParam().path), GetParam().image); }

INSTANTIATE_TEST_SUITE_P(
    Table, FileImages,
    ::testing::Values(ImageCase{"C:\\a.wav", "audio_wav"}, ImageCase{"C:\\A.WAV", "audio_wav"},
                      ImageCase{"C:\\a.aif", "audio_aif"}, ImageCase{"C:\\a.AIFF", "audio_aif"},
                      ImageCase{"C:\\a.aifc", "audio_aif"}, ImageCase{"C:\\a.au", "audio_au"},
                      ImageCase{"C:\\a.snd", "audio_snd"}, ImageCase{"C:\\a.MID", "audio_mid"},
                      ImageCase{"C:\\a.midi", "audio_mid"}, ImageCase{"C:\\a.rmi", "audio_mid"},
                      ImageCase{"C:\\a.mp3", "audio_mp3"}, ImageCase{"C:\\a.ogg", "audio_unk"},
                      ImageCase{"C:\\list.m3u", "audio_unk"}, ImageCase{"C:\\v1.2\\noext", "audio_unk"},
                      ImageCase{"wav", "audio_unk"},  // no "." at all: all but the first character, "av"
                      ImageCase{"xwav", "audio_wav"}, ImageCase{"", ""}));

TEST_F(GroupsFile, AFileEntryWithAnEmptyTagShowsTheUnknownImage) {
  Load(",n0-root- -Groups,Groups,\r\nn0-root- -Groups,n1-group-Groups-G,G,G\r\nn1-group-Groups-G,n2-file-G-E,E,\r\n");
  EXPECT_EQ(tree.Find("n2-file-G-E")->image, "audio_unk");
}

TEST_F(GroupsFile, CommasAndQuotesInTextsAndTagsReadBackWhole) {
  TreeNode* root = tree.Add(nullptr, Rel::Last, "n0-root- -Groups", "Groups", "groups");
  tree.SetExpanded(root, true);
  TreeNode* g = tree.Add(root, Rel::Last, "n1-group-Groups-Rock, \"Live\"", "Rock, \"Live\"", "clsdfold");
  tree.SetExpandedImage(g, "openfold");
  g->tag = "Rock, \"Live\"";
  TreeNode* f = tree.Add(g, Rel::Last, "n2-file-Rock, \"Live\"- lead", " lead", "audio_wav");
  f->tag = "C:\\a,b\\\"q\".wav";
  ASSERT_TRUE(SaveGroupTree(files, tree, keepCopy));
  EXPECT_EQ(drives.Read(files.gGroupsFile),
            ",n0-root- -Groups,Groups,\r\n"
            "n0-root- -Groups,\"n1-group-Groups-Rock, \"\"Live\"\"\",\"Rock, \"\"Live\"\"\",\"Rock, \"\"Live\"\"\"\r\n"
            "\"n1-group-Groups-Rock, \"\"Live\"\"\",\"n2-file-Rock, \"\"Live\"\"- lead\",\" lead\","
            "\"C:\\a,b\\\"\"q\"\".wav\"\r\n");
  TreeModel again;
  ASSERT_EQ(LoadGroupTree(files, again), GroupsLoad::Loaded);
  EXPECT_EQ(Shape(again), Shape(tree));
}

TEST_F(GroupsFile, ABadLineIsSkippedAndTheRestLoads) {
  EXPECT_EQ(Load(",n0-root- -Groups,Groups,\r\n"
                 "short,line\r\n"
                 "n0-root- -Groups,n1-group-Groups-A,A,A\r\n"
                 "nowhere,n1-group-nowhere-B,B,B\r\n"                 // its parent is not in the tree
                 "n0-root- -Groups,n1-group-Groups-A,A again,A\r\n"   // a key already taken
                 "n0-root- -Groups,x-group-Groups-C,C,C\r\n"          // no level
                 "n0-root- -Groups,n1-other-Groups-D,D,D\r\n"         // no such kind
                 "n0-root- -Groups,n1-group-Groups-E,E,E,extra\r\n"   // five fields
                 "n1-group-Groups-A,n2-file-A-F,F,C:\\f.mp3\r\n"),
            GroupsLoad::Damaged);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0|Groups||groups||open", "1|A|A|clsdfold|openfold|shut",
                                                   "2|F|C:\\f.mp3|audio_mp3||shut"}));
}

TEST_F(GroupsFile, AFileWithoutARootLineGetsTheDefaultRootAboveItsGroups) {
  EXPECT_EQ(Load("n0-root- -Mine,n1-group-Mine-A,A,A\r\nn1-group-Mine-A,n2-file-A-F,F,C:\\f.au\r\n"),
            GroupsLoad::Damaged);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0|Groups||groups||open", "1|A|A|clsdfold|openfold|shut",
                                                   "2|F|C:\\f.au|audio_au||shut"}));
}

TEST_F(GroupsFile, ADamagedFileIsKeptAsideBeforeTheFirstSave) {
  const std::string damaged = std::string(kExample) + "a broken line\r\n";
  ASSERT_EQ(Load(damaged), GroupsLoad::Damaged);
  keepCopy = true;
  ASSERT_TRUE(SaveGroupTree(files, tree, keepCopy));
  EXPECT_FALSE(keepCopy);
  EXPECT_EQ(drives.Read(DamagedGroupsCopy(files)), damaged);
  EXPECT_EQ(drives.Read(files.gGroupsFile), kExample);
  // Later saves leave the copy alone.
  tree.SetText(tree.Find("n2-file-Drums-Kick"), "Kick 2");
  ASSERT_TRUE(SaveGroupTree(files, tree, keepCopy));
  EXPECT_EQ(drives.Read(DamagedGroupsCopy(files)), damaged);
}

TEST_F(GroupsFile, ASaveThatCannotWriteEndsAndLeavesTheFileAsItWas) {
  Load(kExample);
  tree.SetText(tree.Find("n2-file-Drums-Kick"), "changed");
  platform::InjectWriteFailureAfter(0);
  std::string failure;
  const bool saved = SaveGroupTree(files, tree, keepCopy, &failure);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_FALSE(saved);
  EXPECT_EQ(failure, "Disk full");
  EXPECT_EQ(drives.Read(files.gGroupsFile), kExample);
  EXPECT_FALSE(drives.Exists(files.gGroupsFile + ".new"));
  EXPECT_TRUE(SaveGroupTree(files, tree, keepCopy));  // the next change saves again
}

TEST(GroupsKeys, LevelAndKindComeFromTheKey) {
  EXPECT_EQ(KeyLevel("n12-file-a-b"), 12);
  EXPECT_EQ(KeyLevel("n0-root- -Groups"), 0);
  EXPECT_EQ(KeyLevel("n-group-a-b"), -1);
  EXPECT_EQ(KeyKind("n12-file-a-b"), "file");
  EXPECT_EQ(KeyKind("n0-root- -Groups"), "root");
  EXPECT_EQ(KeyKind("temp3"), "");
}
