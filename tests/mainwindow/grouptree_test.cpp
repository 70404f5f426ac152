#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafiles/groups.h"
#include "mainwindow/grouptree.h"
#include "support/temp_drives.h"

using namespace grouptree;
using Rel = platform::TreeModel::Relation;
using grouptree::DropOutcome;

namespace {

TreeNode* Group(TreeModel& tree, TreeNode* parent, const std::string& text) {
  static int n = 0;
  TreeNode* node = tree.Add(parent, Rel::Last, "g" + std::to_string(++n), text, "clsdfold");
  node->tag = text;
  tree.SetExpandedImage(node, "openfold");
  return node;
}

TreeNode* Entry(TreeModel& tree, TreeNode* parent, const std::string& text, const std::string& path) {
  static int n = 0;
  TreeNode* node = tree.Add(parent, Rel::Last, "f" + std::to_string(++n), text, datafiles::FileImageKey(path));
  node->tag = path;
  return node;
}

TreeNode* NewRoot(TreeModel& tree, const std::string& text = "Groups") {
  TreeNode* root = tree.Add(nullptr, Rel::Last, "the root", text, "groups");
  tree.SetExpanded(root, true);
  return root;
}

std::vector<std::string> Keys(const TreeModel& tree) {
  std::vector<std::string> out;
  for (const TreeNode* n : tree.Nodes()) out.push_back(n->key);
  return out;
}

// Level, text, tag, images and open state of each node in pre-order.
std::vector<std::string> Shape(const TreeModel& tree, const TreeNode* top = nullptr) {
  std::vector<std::string> out;
  std::vector<const TreeNode*> stack;
  if (!top) top = tree.Root();
  if (top) stack.push_back(top);
  const int base = top ? TreeModel::Depth(top) : 0;
  while (!stack.empty()) {
    const TreeNode* n = stack.back();
    stack.pop_back();
    out.push_back(std::to_string(TreeModel::Depth(n) - base) + "|" + n->text + "|" + n->tag + "|" + n->image + "|" +
                  n->expandedImage + (n->expanded ? "|open" : ""));
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(*it);
  }
  return out;
}

}  // namespace

TEST(TreeKeys, TheFourLevelExampleGetsItsKeysWhateverItCarriedBefore) {
  TreeModel tree;
  TreeNode* root = NewRoot(tree);
  TreeNode* rock = Group(tree, root, "Rock");
  TreeNode* live = Group(tree, rock, "Live");
  Entry(tree, live, "Intro", "C:\\intro.wav");
  RebuildTreeKeys(tree);
  const std::vector<std::string> expected{"n0-root- -Groups", "n1-group-Groups-Rock", "n2-group-Rock-Live",
                                          "n3-file-Live-Intro"};
  EXPECT_EQ(Keys(tree), expected);
  RebuildTreeKeys(tree);  // final keys before: the same again
  EXPECT_EQ(Keys(tree), expected);

  tree.SetText(root, "Mine");  // a rename of the root
  RebuildTreeKeys(tree);
  EXPECT_EQ(Keys(tree), (std::vector<std::string>{"n0-root- -Mine", "n1-group-Mine-Rock", "n2-group-Rock-Live",
                                                  "n3-file-Live-Intro"}));
}

TEST(TreeKeys, TwelveNestedGroupsAreKeyedByTheirLevelAndLoadAgainInShape) {
  testing_support::TempDrives drives{"C"};
  drives.MakeFolder("C:\\data");
  const auto files = datafiles::DataFileNames::InFolder("C:\\data\\");
  TreeModel tree;
  TreeNode* node = NewRoot(tree);
  for (int level = 1; level <= 12; ++level) node = Group(tree, node, "G" + std::to_string(level));
  RebuildTreeKeys(tree);
  for (int level = 1; level <= 12; ++level) {
    EXPECT_EQ(tree.ByIndex(level + 1)->key.rfind("n" + std::to_string(level) + "-group-", 0), 0u);
  }
  bool keep = false;
  ASSERT_TRUE(datafiles::SaveGroupTree(files, tree, keep));
  TreeModel again;
  ASSERT_EQ(datafiles::LoadGroupTree(files, again), datafiles::GroupsLoad::Loaded);
  // Loaded groups are closed; the shape is the same.
  for (TreeNode* n : tree.Nodes()) {
    if (n->parent) n->expanded = false;
  }
  EXPECT_EQ(Shape(again), Shape(tree));
  EXPECT_EQ(Keys(again), Keys(tree));
}

TEST(TreeKeys, EqualKeysGetASuffixInPreOrderAndTheTreeReloadsTheSame) {
  testing_support::TempDrives drives{"C"};
  drives.MakeFolder("C:\\data");
  const auto files = datafiles::DataFileNames::InFolder("C:\\data\\");
  TreeModel tree;
  TreeNode* root = NewRoot(tree);
  TreeNode* rock1 = Group(tree, root, "Rock");
  TreeNode* rock2 = Group(tree, root, "Rock");
  Group(tree, rock2, "Live");  // added before its twin, keyed after it: pre-order decides
  Group(tree, rock1, "Live");
  TreeNode* ab = Group(tree, root, "a-b");
  Group(tree, ab, "c");
  TreeNode* a = Group(tree, root, "a");
  Group(tree, a, "b-c");  // "n2-group-a-b-c" as well
  RebuildTreeKeys(tree);
  EXPECT_EQ(Keys(tree), (std::vector<std::string>{"n0-root- -Groups", "n1-group-Groups-Rock", "n1-group-Groups-Rock~2",
                                                  "n2-group-Rock-Live~2", "n2-group-Rock-Live", "n1-group-Groups-a-b",
                                                  "n2-group-a-b-c", "n1-group-Groups-a", "n2-group-a-b-c~2"}));
  bool keep = false;
  ASSERT_TRUE(datafiles::SaveGroupTree(files, tree, keep));
  const std::string bytes = drives.Read(files.gGroupsFile);
  TreeModel again;
  ASSERT_EQ(datafiles::LoadGroupTree(files, again), datafiles::GroupsLoad::Loaded);
  for (TreeNode* n : tree.Nodes()) {
    if (n->parent) n->expanded = false;
  }
  EXPECT_EQ(Shape(again), Shape(tree));
  RebuildTreeKeys(again);
  ASSERT_TRUE(datafiles::SaveGroupTree(files, again, keep));
  EXPECT_EQ(drives.Read(files.gGroupsFile), bytes);
}

TEST(TreeKeys, ADeepTreeOfThousandsOfNodesSavesAndLoadsInShape) {
  testing_support::TempDrives drives{"C"};
  drives.MakeFolder("C:\\data");
  const auto files = datafiles::DataFileNames::InFolder("C:\\data\\");
  TreeModel tree;
  TreeNode* root = NewRoot(tree);
  // A chain to the deepest level a key can say, with entries and groups hanging off it.
  TreeNode* node = root;
  for (int level = 1; level < kMaxLevel; ++level) {
    node = Group(tree, node, "Level " + std::to_string(level));
    for (int i = 0; i < 30; ++i) Entry(tree, node, "e" + std::to_string(i), "C:\\s\\" + std::to_string(i) + ".mp3");
    Group(tree, node, "side");
  }
  ASSERT_GT(tree.Count(), 3000);
  RebuildTreeKeys(tree);
  bool keep = false;
  ASSERT_TRUE(datafiles::SaveGroupTree(files, tree, keep));
  TreeModel again;
  ASSERT_EQ(datafiles::LoadGroupTree(files, again), datafiles::GroupsLoad::Loaded);
  for (TreeNode* n : tree.Nodes()) {
    if (n->parent) n->expanded = false;
  }
  EXPECT_EQ(again.Count(), tree.Count());
  EXPECT_EQ(Shape(again), Shape(tree));
  EXPECT_EQ(datafiles::GroupsFileText(again), datafiles::GroupsFileText(tree));
}

// Groups > G1 > (S1 > S2 > S3 > E), S4 ; Groups > G2
class TreeMoves : public ::testing::Test {
 protected:
  void SetUp() override {
    root = NewRoot(tree);
    g1 = Group(tree, root, "G1");
    TreeNode* s1 = Group(tree, g1, "S1");
    TreeNode* s2 = Group(tree, s1, "S2");
    TreeNode* s3 = Group(tree, s2, "S3");
    Entry(tree, s3, "E", "C:\\e.wav");
    Group(tree, g1, "S4");
    g2 = Group(tree, root, "G2");
    RebuildTreeKeys(tree);
  }
  // The branch as copies show it: subgroups without tags, all closed.
  const std::vector<std::string> kCopiedBranch{"0|G1|G1|clsdfold|openfold", "1|S1||clsdfold|openfold",
                                               "2|S2||clsdfold|openfold",   "3|S3||clsdfold|openfold",
                                               "4|E|C:\\e.wav|audio_wav|",  "1|S4||clsdfold|openfold"};
  TreeModel tree;
  TreeNode *root, *g1, *g2;
};

TEST_F(TreeMoves, MovingAGroupDownCopiesItsWholeBranchPastTheSibling) {
  tree.SetExpanded(g1, true);
  TreeNode* moved = MoveNodeDown(tree, g1);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(root->children, (std::vector<TreeNode*>{g2, moved}));
  EXPECT_EQ(Shape(tree, moved), kCopiedBranch);
  EXPECT_EQ(tree.Count(), 8);
  EXPECT_EQ(moved->key, "downtemp");
  RebuildTreeKeys(tree);
  ASSERT_NE(tree.Find("n5-file-S3-E"), nullptr);
  EXPECT_EQ(tree.Find("n5-file-S3-E")->tag, "C:\\e.wav");
}

TEST_F(TreeMoves, MovingUpIsTheMirror) {
  TreeNode* moved = MoveNodeUp(tree, g2);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->key, "uptemp");
  EXPECT_EQ(root->children, (std::vector<TreeNode*>{moved, g1}));
  EXPECT_EQ(Shape(tree, g1).size(), 6u);
  RebuildTreeKeys(tree);  // the common tail between two moves
  TreeNode* back = MoveNodeUp(tree, g1);
  EXPECT_EQ(root->children.front(), back);
  EXPECT_EQ(Shape(tree, back), kCopiedBranch);
}

TEST_F(TreeMoves, TheLastChildDoesNotMoveDownNorTheFirstUp) {
  EXPECT_EQ(MoveNodeDown(tree, g2), nullptr);
  EXPECT_EQ(MoveNodeUp(tree, g1), nullptr);
  EXPECT_EQ(tree.Count(), 8);
}

TEST_F(TreeMoves, ABranchOfThousandsOfEntriesCopiesWithoutRecursion) {
  TreeNode* node = g2;
  for (int level = 0; level < 90; ++level) {
    node = Group(tree, node, "deep" + std::to_string(level));
    for (int i = 0; i < 40; ++i) Entry(tree, node, "x" + std::to_string(i), "C:\\x.au");
  }
  const std::vector<std::string> before = Shape(tree, g2);
  TreeNode* moved = MoveNodeUp(tree, g2);
  std::vector<std::string> after = Shape(tree, moved);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.front(), before.front());
  EXPECT_EQ(after.back(), before.back());  // an entry keeps its path
}

struct DropCase {
  const char* name;
  const char* dragged;
  const char* target;  // "" for nothing under the cursor
  bool highlight;
  DropOutcome outcome;
  const char* parentAfter;  // the dragged node's parent afterwards
};

void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }

class Drops : public ::testing::TestWithParam<DropCase> {};

// Groups > Rock > (Live > (Intro, Inner > Deep), Song) ; Groups > Jazz > (Rock > Solo, Tune)
TEST_P(Drops, FollowTheTable) {
  TreeModel tree;
  TreeNode* root = NewRoot(tree);
  TreeNode* rock = Group(tree, root, "Rock");
  TreeNode* live = Group(tree, rock, "Live");
  Entry(tree, live, "Intro", "C:\\i.wav");
  TreeNode* inner = Group(tree, live, "Inner");
  Group(tree, inner, "Deep");
  Entry(tree, rock, "Song", "C:\\s.wav");
  TreeNode* jazz = Group(tree, root, "Jazz");
  TreeNode* rock2 = Group(tree, jazz, "Rock");
  Entry(tree, rock2, "Solo", "C:\\solo.wav");
  Entry(tree, jazz, "Tune", "C:\\t.wav");
  auto named = [&](const std::string& text) -> TreeNode* {
    if (text.empty()) return nullptr;
    if (text == "Rock2") return rock2;
    for (TreeNode* n : tree.Nodes()) {
      if (n->text == text && n != rock2) return n;
    }
    return nullptr;
  };
  const DropCase& c = GetParam();
  TreeNode* dragged = named(c.dragged);
  const TreeNode* parentBefore = dragged->parent;
  EXPECT_EQ(DropNode(tree, dragged, named(c.target), c.highlight), c.outcome);
  if (c.outcome == DropOutcome::Moved) {
    EXPECT_EQ(dragged->parent->text, c.parentAfter);
    EXPECT_EQ(dragged->parent->children.back(), dragged);
  } else {
    EXPECT_EQ(dragged->parent, parentBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Drops,
    ::testing::Values(DropCase{"NoHighlight", "Song", "Jazz", false, DropOutcome::NoTarget, ""},
                      DropCase{"OverEmptySpace", "Song", "", true, DropOutcome::NoTarget, ""},
                      DropCase{"OnItself", "Live", "Live", true, DropOutcome::Refused, ""},
                      DropCase{"OnItsChild", "Live", "Intro", true, DropOutcome::Refused, ""},
                      DropCase{"OnANodeOfTheSameText", "Rock", "Rock2", true, DropOutcome::Refused, ""},
                      DropCase{"OnAChildOfANodeOfTheSameText", "Rock", "Solo", true, DropOutcome::Refused, ""},
                      DropCase{"DeepInsideItsOwnBranch", "Rock", "Deep", true, DropOutcome::Refused, ""},
                      DropCase{"AFileOnTheRoot", "Song", "Groups", true, DropOutcome::Refused, ""},
                      DropCase{"AGroupOnTheRoot", "Live", "Groups", true, DropOutcome::Moved, "Groups"},
                      DropCase{"AGroupOnAGroup", "Live", "Jazz", true, DropOutcome::Moved, "Jazz"},
                      DropCase{"AFileOnAGroup", "Song", "Jazz", true, DropOutcome::Moved, "Jazz"},
                      DropCase{"AGroupOnAFileEntry", "Live", "Tune", true, DropOutcome::Moved, "Jazz"},
                      DropCase{"AFileOnAFileEntry", "Intro", "Solo", true, DropOutcome::Moved, "Rock"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Drops, ADropThatWouldNestDeeperThanAKeyCanSayIsRefused) {
  TreeModel tree;
  TreeNode* root = NewRoot(tree);
  TreeNode* chain = root;
  for (int level = 1; level <= 97; ++level) chain = Group(tree, chain, "c" + std::to_string(level));
  TreeNode* branch = Group(tree, root, "b1");
  Group(tree, Group(tree, branch, "b2"), "b3");  // a branch two levels high
  EXPECT_EQ(DropNode(tree, branch, chain, true), DropOutcome::TooDeep);
  EXPECT_EQ(branch->parent, root);
  EXPECT_EQ(DropNode(tree, branch, chain->parent, true), DropOutcome::Moved);  // ends at level 99
  EXPECT_FALSE(CanAddChild(branch->children.front()->children.front()));
  EXPECT_TRUE(CanAddChild(branch->children.front()));
}

TEST(Rallysets, TheGroupsPathLosesTheRootsOwnTextWhateverItsLength) {
  TreeModel tree;
  TreeNode* root = NewRoot(tree, "My Sets");
  TreeNode* rock = Group(tree, root, "Rock");
  Entry(tree, rock, "song", "C:\\song.wav");
  TreeNode* live = Group(tree, rock, "Live");
  Entry(tree, live, "song live", "C:\\song.wav");
  Entry(tree, root, "at the top", "C:\\song.wav");
  std::array<std::string, 20> presets;
  presets[2] = "C:\\song.wav";
  EXPECT_EQ(RallysetsText(tree, presets, "C:\\song.wav"), "[3],  \\Rock,  \\Rock\\Live,  \\");
  EXPECT_EQ(RallysetsText(tree, presets, "C:\\other.wav"), "");
}
