#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/core/treemodel.h"

// Module Launcher's procedures on the groups tree that need no window: the node kinds, the
// re-keying, the branch copy of the two moves, the drop of a dragged node, the new nodes of the
// add dialogs and the File Detail list of the groups holding a file.
namespace grouptree {

using platform::TreeModel;
using platform::TreeNode;

// A node's kind is told by its image alone.
inline bool IsRoot(const TreeNode* n) { return n && n->image == "groups"; }
inline bool IsGroup(const TreeNode* n) { return n && n->image == "clsdfold"; }
inline bool IsFileEntry(const TreeNode* n) { return n && !IsRoot(n) && !IsGroup(n); }

// The deepest level a key can say.
inline constexpr int kMaxLevel = 99;

// Gives every node its final key ("n<level>-<group|file>-<parent's text>-<text>", the root
// "n0-root- -<text>"). A key another node already took gets "~2", "~3", ... after its own text,
// nodes taken in pre-order, so the same tree always gets the same keys. Linear, any depth.
void RebuildTreeKeys(TreeModel& tree);

// Copies the descendants of `moved` below `copy` in pre-order, one node per step, without
// recursion. Copies are collapsed; a copied group has the expanded image "openfold" and no tag.
void CopyTreeBranch(TreeModel& tree, TreeNode* moved, TreeNode* copy);

// Moves `node` past its next (down) or previous (up) sibling: a new node with its branch copied
// takes its place beside the sibling and the node is removed. The new node, or nothing when
// there is no such sibling.
TreeNode* MoveNodeDown(TreeModel& tree, TreeNode* node);
TreeNode* MoveNodeUp(TreeModel& tree, TreeNode* node);

enum class DropOutcome {
  NoTarget,  // no highlight or no target: nothing moved, the common tail still runs
  Refused,   // nothing moved and nothing else runs
  TooDeep,   // refused: the branch would nest deeper than a key can say
  Moved,
};
// The drop of `dragged` on `target` (the drop highlight shown or not).
DropOutcome DropNode(TreeModel& tree, TreeNode* dragged, TreeNode* target, bool highlightShown);

// The first child of `parent` whose text is `text` exactly, or nothing.
TreeNode* ChildWithText(const TreeNode* parent, std::string_view text);
// Whether a new child of `parent` would still have a level a key can say.
bool CanAddChild(const TreeNode* parent);
// New nodes of the add dialogs, last child of `parent`, keyed "newtemp".
TreeNode* AddGroupNode(TreeModel& tree, TreeNode* parent, const std::string& name);
TreeNode* AddFileNode(TreeModel& tree, TreeNode* parent, const std::string& caption, const std::string& path);

// What File Detail lists for `shown`: "[n]" for each preset holding it, then for each entry
// holding it (in index order, the root skipped) its group's full path without the root's text.
std::string RallysetsText(const TreeModel& tree, const std::array<std::string, 20>& presetPaths,
                          const std::string& shown);

}  // namespace grouptree
