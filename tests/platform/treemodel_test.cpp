#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/treemodel.h"

using platform::TreeModel;
using platform::TreeNode;
using Rel = platform::TreeModel::Relation;

namespace {

std::vector<std::string> Texts(const std::vector<TreeNode*>& nodes) {
  std::vector<std::string> out;
  for (const TreeNode* n : nodes) out.push_back(n->text);
  return out;
}

// Root > A (A1, A2 > A2x), B
class TreeModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = tree.Add(nullptr, Rel::Last, "r", "Root", "groups");
    a = tree.Add(root, Rel::Last, "a", "A");
    b = tree.Add(root, Rel::Last, "b", "B");
    a1 = tree.Add(a, Rel::Last, "a1", "A1");
    a2 = tree.Add(a, Rel::Last, "a2", "A2");
    a2x = tree.Add(a2, Rel::Last, "a2x", "A2x");
  }
  TreeModel tree;
  TreeNode *root, *a, *b, *a1, *a2, *a2x;
};

TEST_F(TreeModelTest, AddsRelativeToANodeAsLastChildNextOrPrevious) {
  TreeNode* next = tree.Add(a1, Rel::Next, "n", "after A1");
  TreeNode* prev = tree.Add(a1, Rel::Previous, "p", "before A1");
  EXPECT_EQ(Texts(a->children), (std::vector<std::string>{"before A1", "A1", "after A1", "A2"}));
  EXPECT_EQ(next->parent, a);
  EXPECT_EQ(tree.Previous(a1), prev);
  EXPECT_EQ(tree.Next(a1), next);
  EXPECT_EQ(tree.Previous(prev), nullptr);
  EXPECT_EQ(tree.Next(a2), nullptr);
  EXPECT_EQ(TreeModel::ChildrenCount(a), 4);
  EXPECT_EQ(next->index, 7);
  EXPECT_EQ(prev->index, 8);
}

TEST_F(TreeModelTest, KeysAreUniqueAndFoundByHash) {
  EXPECT_EQ(tree.Add(root, Rel::Last, "a", "again"), nullptr);
  EXPECT_EQ(tree.Count(), 6);
  EXPECT_EQ(tree.Find("a2x"), a2x);
  EXPECT_FALSE(tree.SetKey(b, "a"));
  EXPECT_EQ(b->key, "b");
  EXPECT_TRUE(tree.SetKey(b, "new"));
  EXPECT_EQ(tree.Find("new"), b);
  EXPECT_EQ(tree.Find("b"), nullptr);
  EXPECT_TRUE(tree.SetKey(b, "b"));  // a freed key can be taken again
}

TEST_F(TreeModelTest, RemovingANodeTakesItsBranchAndRenumbersTheRest) {
  const platform::NodeRef gone = a2x->id;
  tree.Remove(a);
  EXPECT_EQ(tree.Count(), 2);
  EXPECT_EQ(tree.Get(gone), nullptr);
  EXPECT_EQ(tree.Find("a1"), nullptr);
  EXPECT_EQ(b->index, 2);
  EXPECT_EQ(b->childPos, 0);
  EXPECT_EQ(tree.ByIndex(2), b);
  EXPECT_EQ(tree.Add(root, Rel::Last, "a1", "back")->index, 3);
}

TEST_F(TreeModelTest, ARemovedSelectionPassesToANeighbour) {
  tree.Select(a2x);
  tree.Remove(a2);
  EXPECT_EQ(tree.Selected(), a1);  // no next sibling: the previous one
  tree.Remove(a1);
  EXPECT_EQ(tree.Selected(), a);  // no sibling: the parent
  tree.Select(a);
  tree.Remove(a);
  EXPECT_EQ(tree.Selected(), b);
}

TEST_F(TreeModelTest, ABranchMovesButNeverIntoItself) {
  EXPECT_FALSE(tree.MoveToLastChild(a, a2x));
  EXPECT_FALSE(tree.MoveToLastChild(a, a));
  EXPECT_TRUE(tree.MoveToLastChild(a2, b));
  EXPECT_EQ(a2->parent, b);
  EXPECT_EQ(a2x->parent, a2);
  EXPECT_EQ(Texts(a->children), (std::vector<std::string>{"A1"}));
  EXPECT_EQ(TreeModel::FullPath(a2x), "Root\\B\\A2\\A2x");
  EXPECT_EQ(TreeModel::Depth(a2x), 3);
  EXPECT_EQ(TreeModel::BranchHeight(b), 2);
}

TEST_F(TreeModelTest, SelectingOrExpandingANodeOpensItsParents) {
  tree.Select(a2x);
  EXPECT_TRUE(a->expanded);
  EXPECT_TRUE(a2->expanded);
  EXPECT_FALSE(a2x->expanded);
  tree.SetDropHighlight(b);
  EXPECT_EQ(tree.DropHighlight(), b);
  tree.Remove(b);
  EXPECT_EQ(tree.DropHighlight(), nullptr);
}

TEST(TreeModelDepth, AVeryDeepBranchIsRemovedWithoutRecursion) {
  TreeModel tree;
  TreeNode* node = tree.Add(nullptr, Rel::Last, "k0", "n");
  TreeNode* top = node;
  for (int i = 1; i < 200000; ++i) node = tree.Add(node, Rel::Last, "k" + std::to_string(i), "n");
  EXPECT_EQ(TreeModel::Depth(node), 199999);
  EXPECT_EQ(TreeModel::BranchHeight(top), 199999);
  tree.Remove(top);
  EXPECT_EQ(tree.Count(), 0);
}

}  // namespace
