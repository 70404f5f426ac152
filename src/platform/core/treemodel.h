#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// A node reference that outlives its node: it finds nothing once the node is removed.
using NodeRef = std::uint64_t;
inline constexpr NodeRef kNoNode = 0;

// One node of a keyed tree: what the program reads and sets of it. Structure (parent, children,
// key) changes only through TreeModel.
struct TreeNode {
  NodeRef id = kNoNode;
  std::string key;
  std::string text;
  std::string tag;
  std::string image;
  std::string expandedImage;
  bool expanded = false;
  std::uint32_t backColor = 0xFFFFFF;
  std::uint32_t foreColor = 0x000000;
  TreeNode* parent = nullptr;
  std::vector<TreeNode*> children;
  int index = 0;      // 1-based place in the order the nodes were added
  int childPos = 0;   // place among its parent's children (or among the top-level nodes)
};

// What a view of the model hears about, so that it can mirror the nodes.
class TreeListener {
 public:
  virtual ~TreeListener() = default;
  virtual void NodeAdded(TreeNode& node) = 0;
  // Before the node and its branch leave the model.
  virtual void NodeRemoving(TreeNode& node) = 0;
  // After a branch moved to another parent.
  virtual void NodeMoved(TreeNode& node) = 0;
  // Text, image, colours or expanded state changed.
  virtual void NodeChanged(TreeNode& node) = 0;
  virtual void SelectionChanged(TreeNode* node) = 0;
  virtual void DropHighlightChanged(TreeNode* node) = 0;
};

// The keyed tree of a TreeView, without widgets: nodes added relative to another (as its last
// child, right after or right before it), keys unique and hashed, a node removed with its
// branch in one step, indexes renumbered after a removal, a selected node and a drop highlight.
class TreeModel {
 public:
  enum class Relation { Last, Next, Previous };

  TreeModel();
  ~TreeModel();
  TreeModel(const TreeModel&) = delete;
  TreeModel& operator=(const TreeModel&) = delete;

  void SetListener(TreeListener* listener) { listener_ = listener; }

  // Adds a node. `relative` null adds a top-level node (Last) . Nothing when the key is in use
  // or the relative is not in this tree.
  TreeNode* Add(TreeNode* relative, Relation relation, std::string key, std::string text, std::string image = {});
  // Removes the node and everything below it.
  void Remove(TreeNode* node);
  // Makes the node with its branch the last child of `newParent`. Refused (false) when
  // `newParent` is the node itself or lies in its branch.
  bool MoveToLastChild(TreeNode* node, TreeNode* newParent);
  // False when another node carries the key.
  bool SetKey(TreeNode* node, std::string key);
  void Clear();

  TreeNode* Find(std::string_view key) const;
  TreeNode* Get(NodeRef ref) const;
  TreeNode* ByIndex(int index) const { return index >= 1 && index <= Count() ? order_[index - 1] : nullptr; }
  int Count() const { return static_cast<int>(order_.size()); }
  // The first top-level node (the root).
  TreeNode* Root() const { return top_.empty() ? nullptr : top_.front(); }
  const std::vector<TreeNode*>& Nodes() const { return order_; }

  static TreeNode* FirstChild(const TreeNode* node) { return node->children.empty() ? nullptr : node->children.front(); }
  TreeNode* Next(const TreeNode* node) const;
  TreeNode* Previous(const TreeNode* node) const;
  static int ChildrenCount(const TreeNode* node) { return static_cast<int>(node->children.size()); }
  // The texts from the top-level node down to the node, joined by "\".
  static std::string FullPath(const TreeNode* node);
  static int Depth(const TreeNode* node);
  // Depth of the deepest node of the branch below `node`, counted from `node` (0: no children).
  static int BranchHeight(const TreeNode* node);
  static bool InBranch(const TreeNode* node, const TreeNode* top);

  // Changes to a node's looks go through here, so that a view follows them.
  void SetText(TreeNode* node, std::string text);
  void SetImage(TreeNode* node, std::string image);
  void SetExpandedImage(TreeNode* node, std::string image);
  void SetExpanded(TreeNode* node, bool expanded);
  void SetColors(TreeNode* node, std::uint32_t back, std::uint32_t fore);

  TreeNode* Selected() const { return Get(selected_); }
  void Select(TreeNode* node);
  TreeNode* DropHighlight() const { return Get(dropHighlight_); }
  void SetDropHighlight(TreeNode* node);

 private:
  std::vector<TreeNode*>& Siblings(TreeNode* node) { return node->parent ? node->parent->children : top_; }
  const std::vector<TreeNode*>& Siblings(const TreeNode* node) const {
    return node->parent ? node->parent->children : top_;
  }
  void Insert(std::vector<TreeNode*>& list, std::size_t pos, TreeNode* node);
  void Erase(std::vector<TreeNode*>& list, std::size_t pos);
  void Changed(TreeNode* node);

  std::vector<std::unique_ptr<TreeNode>> storage_;  // parallel to order_
  std::vector<TreeNode*> order_;
  std::vector<TreeNode*> top_;
  std::unordered_map<std::string, TreeNode*> byKey_;
  std::unordered_map<NodeRef, TreeNode*> byId_;
  NodeRef nextId_ = 1;
  NodeRef selected_ = kNoNode;
  NodeRef dropHighlight_ = kNoNode;
  TreeListener* listener_ = nullptr;
};

}  // namespace platform
