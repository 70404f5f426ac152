#include "mainwindow/grouptree.h"

#include <unordered_set>
#include <vector>

#include "datafiles/groups.h"

namespace grouptree {

namespace {

// The next node of a pre-order walk, or nothing after the last.
const TreeNode* NextInPreOrder(const TreeModel& tree, const TreeNode* node) {
  if (const TreeNode* child = TreeModel::FirstChild(node)) return child;
  while (node && !tree.Next(node)) node = node->parent;
  return node ? tree.Next(node) : nullptr;
}

TreeNode* CopyOf(TreeModel& tree, TreeNode* relative, TreeModel::Relation relation, const TreeNode* source) {
  TreeNode* copy = tree.Add(relative, relation, "tmp" + source->key, source->text, source->image);
  if (!copy) return nullptr;
  if (IsGroup(source)) {
    tree.SetExpandedImage(copy, "openfold");
  } else {
    copy->tag = source->tag;
  }
  return copy;
}

TreeNode* MoveNode(TreeModel& tree, TreeNode* node, bool down) {
  if (!node) return nullptr;
  TreeNode* sibling = down ? tree.Next(node) : tree.Previous(node);
  if (!sibling) return nullptr;
  TreeNode* moved = tree.Add(sibling, down ? TreeModel::Relation::Next : TreeModel::Relation::Previous,
                             down ? "downtemp" : "uptemp", node->text, node->image);
  if (!moved) return nullptr;
  moved->tag = node->tag;
  if (IsGroup(node)) tree.SetExpandedImage(moved, "openfold");
  if (!node->children.empty()) CopyTreeBranch(tree, node, moved);
  tree.Remove(node);
  return moved;
}

}  // namespace

void RebuildTreeKeys(TreeModel& tree) {
  // No node keeps a final key, so none stands in the way of another's.
  for (TreeNode* node : tree.Nodes()) tree.SetKey(node, "temp" + std::to_string(node->index));
  auto give = [&tree](TreeNode* node, const std::string& base) {
    if (tree.SetKey(node, base)) return;
    for (int n = 2;; ++n) {
      if (tree.SetKey(node, base + "~" + std::to_string(n))) return;
    }
  };
  for (const TreeNode* n = tree.Root(); n; n = NextInPreOrder(tree, n)) {
    auto* node = const_cast<TreeNode*>(n);
    if (!node->parent) {
      give(node, "n0-root- -" + node->text);
    } else {
      give(node, "n" + std::to_string(TreeModel::Depth(node)) + (IsGroup(node) ? "-group-" : "-file-") +
                     node->parent->text + "-" + node->text);
    }
  }
}

void CopyTreeBranch(TreeModel& tree, TreeNode* moved, TreeNode* copy) {
  const TreeNode* source = moved;
  TreeNode* target = copy;
  for (;;) {
    const TreeNode* next = nullptr;
    TreeNode* made = nullptr;
    if (const TreeNode* child = TreeModel::FirstChild(source)) {
      next = child;
      made = CopyOf(tree, target, TreeModel::Relation::Last, next);
    } else if (source != moved && tree.Next(source)) {
      next = tree.Next(source);
      made = CopyOf(tree, target, TreeModel::Relation::Next, next);
    } else {
      const TreeNode* up = source;
      TreeNode* upCopy = target;
      for (;;) {
        if (up == moved) return;
        up = up->parent;
        upCopy = upCopy->parent;
        if (!up || !upCopy || up == moved) return;
        if (tree.Next(up)) break;
      }
      next = tree.Next(up);
      made = CopyOf(tree, upCopy, TreeModel::Relation::Next, next);
    }
    if (!made) return;
    source = next;
    target = made;
  }
}

TreeNode* MoveNodeDown(TreeModel& tree, TreeNode* node) { return MoveNode(tree, node, true); }
TreeNode* MoveNodeUp(TreeModel& tree, TreeNode* node) { return MoveNode(tree, node, false); }

DropOutcome DropNode(TreeModel& tree, TreeNode* dragged, TreeNode* target, bool highlightShown) {
  if (!highlightShown || !target || !dragged) return DropOutcome::NoTarget;
  if (target->parent && target->parent->text == dragged->text) return DropOutcome::Refused;
  if (target->text == dragged->text) return DropOutcome::Refused;
  if (!IsGroup(dragged) && IsRoot(target)) return DropOutcome::Refused;
  // No node goes into its own branch, however deep the target lies in it.
  if (IsRoot(dragged) || TreeModel::InBranch(target, dragged)) return DropOutcome::Refused;
  TreeNode* parent = (IsGroup(target) || IsRoot(target)) ? target : target->parent;
  if (!parent) return DropOutcome::Refused;
  if (TreeModel::Depth(parent) + 1 + TreeModel::BranchHeight(dragged) > kMaxLevel) return DropOutcome::TooDeep;
  return tree.MoveToLastChild(dragged, parent) ? DropOutcome::Moved : DropOutcome::Refused;
}

TreeNode* ChildWithText(const TreeNode* parent, std::string_view text) {
  if (!parent) return nullptr;
  for (TreeNode* child : parent->children) {
    if (child->text == text) return child;
  }
  return nullptr;
}

bool CanAddChild(const TreeNode* parent) { return parent && TreeModel::Depth(parent) + 1 <= kMaxLevel; }

TreeNode* AddGroupNode(TreeModel& tree, TreeNode* parent, const std::string& name) {
  TreeNode* node = tree.Add(parent, TreeModel::Relation::Last, "newtemp", name, "clsdfold");
  if (!node) return nullptr;
  node->tag = name;
  tree.SetExpandedImage(node, "openfold");
  return node;
}

TreeNode* AddFileNode(TreeModel& tree, TreeNode* parent, const std::string& caption, const std::string& path) {
  TreeNode* node = tree.Add(parent, TreeModel::Relation::Last, "newtemp", caption, datafiles::FileImageKey(path));
  if (!node) return nullptr;
  node->tag = path;
  return node;
}

std::string RallysetsText(const TreeModel& tree, const std::array<std::string, 20>& presetPaths,
                          const std::string& shown) {
  std::string list;
  if (shown.empty()) return list;
  auto append = [&list](const std::string& item) {
    if (!list.empty()) list += ",  ";
    list += item;
  };
  for (int n = 1; n <= 20; ++n) {
    if (presetPaths[static_cast<std::size_t>(n - 1)] == shown) append("[" + std::to_string(n) + "]");
  }
  for (int i = 2; i <= tree.Count(); ++i) {
    const TreeNode* node = tree.ByIndex(i);
    if (node->tag != shown || !node->parent) continue;
    // The group's full path less the root's own text, whatever its length.
    const std::string full = TreeModel::FullPath(node->parent);
    const TreeNode* top = node->parent;
    while (top->parent) top = top->parent;
    const std::string group = full.substr(std::min(full.size(), top->text.size()));
    append(group.empty() ? "\\" : group);
  }
  return list;
}

}  // namespace grouptree
