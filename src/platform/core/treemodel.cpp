#include "platform/core/treemodel.h"

#include <algorithm>

namespace platform {

TreeModel::TreeModel() = default;
TreeModel::~TreeModel() = default;

void TreeModel::Insert(std::vector<TreeNode*>& list, std::size_t pos, TreeNode* node) {
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), node);
  for (std::size_t i = pos; i < list.size(); ++i) list[i]->childPos = static_cast<int>(i);
}

void TreeModel::Erase(std::vector<TreeNode*>& list, std::size_t pos) {
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(pos));
  for (std::size_t i = pos; i < list.size(); ++i) list[i]->childPos = static_cast<int>(i);
}

TreeNode* TreeModel::Add(TreeNode* relative, Relation relation, std::string key, std::string text, std::string image) {
  if (byKey_.count(key)) return nullptr;
  if (relative && Get(relative->id) != relative) return nullptr;
  auto owned = std::make_unique<TreeNode>();
  TreeNode* node = owned.get();
  node->id = nextId_++;
  node->key = std::move(key);
  node->text = std::move(text);
  node->image = std::move(image);
  if (!relative) {
    node->parent = nullptr;
    Insert(top_, top_.size(), node);
  } else if (relation == Relation::Last) {
    node->parent = relative;
    Insert(relative->children, relative->children.size(), node);
  } else {
    node->parent = relative->parent;
    std::size_t pos = static_cast<std::size_t>(relative->childPos) + (relation == Relation::Next ? 1 : 0);
    Insert(Siblings(relative), pos, node);
  }
  storage_.push_back(std::move(owned));
  order_.push_back(node);
  node->index = static_cast<int>(order_.size());
  byKey_.emplace(node->key, node);
  byId_.emplace(node->id, node);
  if (listener_) listener_->NodeAdded(*node);
  return node;
}

void TreeModel::Remove(TreeNode* node) {
  if (!node || Get(node->id) != node) return;
  if (listener_) listener_->NodeRemoving(*node);
  // A removed selection passes to a neighbour, as a TreeView does.
  TreeNode* selected = Selected();
  TreeNode* successor = nullptr;
  if (selected && InBranch(selected, node)) {
    successor = Next(node);
    if (!successor) successor = Previous(node);
    if (!successor) successor = node->parent;
  }
  Erase(Siblings(node), static_cast<std::size_t>(node->childPos));
  // The branch, without recursion: any depth.
  std::vector<TreeNode*> stack{node};
  while (!stack.empty()) {
    TreeNode* n = stack.back();
    stack.pop_back();
    byKey_.erase(n->key);
    byId_.erase(n->id);
    n->index = 0;
    for (TreeNode* c : n->children) stack.push_back(c);
  }
  std::size_t out = 0;
  for (std::size_t i = 0; i < storage_.size(); ++i) {
    if (storage_[i]->index == 0) continue;
    if (out != i) storage_[out] = std::move(storage_[i]);
    order_[out] = storage_[out].get();
    order_[out]->index = static_cast<int>(out) + 1;
    ++out;
  }
  storage_.resize(out);
  order_.resize(out);
  if (successor) Select(successor);
}

bool TreeModel::MoveToLastChild(TreeNode* node, TreeNode* newParent) {
  if (!node || !newParent || Get(node->id) != node || Get(newParent->id) != newParent) return false;
  if (InBranch(newParent, node)) return false;
  Erase(Siblings(node), static_cast<std::size_t>(node->childPos));
  node->parent = newParent;
  Insert(newParent->children, newParent->children.size(), node);
  if (listener_) listener_->NodeMoved(*node);
  return true;
}

bool TreeModel::SetKey(TreeNode* node, std::string key) {
  if (node->key == key) return true;
  if (byKey_.count(key)) return false;
  byKey_.erase(node->key);
  node->key = std::move(key);
  byKey_.emplace(node->key, node);
  return true;
}

void TreeModel::Clear() {
  while (!top_.empty()) Remove(top_.back());
}

TreeNode* TreeModel::Find(std::string_view key) const {
  auto it = byKey_.find(std::string(key));
  return it == byKey_.end() ? nullptr : it->second;
}

TreeNode* TreeModel::Get(NodeRef ref) const {
  if (ref == kNoNode) return nullptr;
  auto it = byId_.find(ref);
  return it == byId_.end() ? nullptr : it->second;
}

TreeNode* TreeModel::Next(const TreeNode* node) const {
  const auto& list = Siblings(node);
  std::size_t pos = static_cast<std::size_t>(node->childPos) + 1;
  return pos < list.size() ? list[pos] : nullptr;
}

TreeNode* TreeModel::Previous(const TreeNode* node) const {
  const auto& list = Siblings(node);
  return node->childPos > 0 ? list[static_cast<std::size_t>(node->childPos) - 1] : nullptr;
}

std::string TreeModel::FullPath(const TreeNode* node) {
  std::vector<const TreeNode*> chain;
  for (const TreeNode* n = node; n; n = n->parent) chain.push_back(n);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty() || it != chain.rbegin()) path += '\\';
    path += (*it)->text;
  }
  return path;
}

int TreeModel::Depth(const TreeNode* node) {
  int depth = 0;
  for (const TreeNode* n = node->parent; n; n = n->parent) ++depth;
  return depth;
}

int TreeModel::BranchHeight(const TreeNode* node) {
  int height = 0;
  std::vector<std::pair<const TreeNode*, int>> stack{{node, 0}};
  while (!stack.empty()) {
    auto [n, d] = stack.back();
    stack.pop_back();
    height = std::max(height, d);
    for (const TreeNode* c : n->children) stack.emplace_back(c, d + 1);
  }
  return height;
}

bool TreeModel::InBranch(const TreeNode* node, const TreeNode* top) {
  for (const TreeNode* n = node; n; n = n->parent) {
    if (n == top) return true;
  }
  return false;
}

void TreeModel::Changed(TreeNode* node) {
  if (listener_) listener_->NodeChanged(*node);
}

void TreeModel::SetText(TreeNode* node, std::string text) {
  node->text = std::move(text);
  Changed(node);
}

void TreeModel::SetImage(TreeNode* node, std::string image) {
  node->image = std::move(image);
  Changed(node);
}

void TreeModel::SetExpandedImage(TreeNode* node, std::string image) {
  node->expandedImage = std::move(image);
  Changed(node);
}

void TreeModel::SetExpanded(TreeNode* node, bool expanded) {
  // An expanded node shows its parents open too, as a TreeView does.
  if (expanded) {
    for (TreeNode* up = node->parent; up; up = up->parent) {
      if (!up->expanded) {
        up->expanded = true;
        Changed(up);
      }
    }
  }
  node->expanded = expanded;
  Changed(node);
}

void TreeModel::SetColors(TreeNode* node, std::uint32_t back, std::uint32_t fore) {
  node->backColor = back;
  node->foreColor = fore;
  Changed(node);
}

void TreeModel::Select(TreeNode* node) {
  selected_ = node ? node->id : kNoNode;
  // A selected node is made visible: its parents open.
  if (node) {
    for (TreeNode* up = node->parent; up; up = up->parent) {
      if (!up->expanded) {
        up->expanded = true;
        Changed(up);
      }
    }
  }
  if (listener_) listener_->SelectionChanged(node);
}

void TreeModel::SetDropHighlight(TreeNode* node) {
  dropHighlight_ = node ? node->id : kNoNode;
  if (listener_) listener_->DropHighlightChanged(node);
}

}  // namespace platform
