#pragma once

#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/core/treemodel.h"

namespace platform {

// A keyed TreeView over QTreeWidget: the nodes live in a TreeModel, which the widget mirrors;
// the program changes nodes through the model and hears the user through the signals below
// (coordinates in twips, in the tree's own area).
class TreeView : public QTreeWidget, private TreeListener {
  Q_OBJECT
 public:
  explicit TreeView(QWidget* parent = nullptr);
  ~TreeView() override;

  TreeModel& Nodes() { return model_; }
  const TreeModel& Nodes() const { return model_; }
  // Image keys to pictures; nodes show their image, a group while open its expanded image.
  void SetImageList(const std::vector<std::pair<std::string, QIcon>>& images);
  void SetDragIcon(const QPixmap& pixmap) { dragIcon_ = pixmap; }

  TreeNode* SelectedItem() const { return model_.Selected(); }
  TreeNode* DropHighlight() const { return model_.DropHighlight(); }
  // The node at a point of the tree's area, or nothing.
  TreeNode* HitTest(int xTwips, int yTwips) const;
  QTreeWidgetItem* ItemOf(const TreeNode* node) const;
  TreeNode* NodeOf(const QTreeWidgetItem* item) const;

  // Opens the in-place editor on the selected node's text. Committing it raises AfterLabelEdit
  // with the new text (the handler stores it); Esc closes it without the event.
  void StartLabelEdit();
  // Starts a drag of a node inside the program; DragOver and DragDrop follow.
  void Drag();

  // The mime type of a drag begun in the tree.
  static constexpr const char* kNodeMime = "application/x-tolvan-tree-node";

 signals:
  void MouseDown(int button, int shift, int x, int y);
  void MouseMove(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void Click();
  void DblClick();
  void DragOver(int x, int y);
  void DragDrop();
  void OLEDragOver(int x, int y);
  void OLEDragDrop(const QMimeData& data);
  void AfterLabelEdit(const QString& newString);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  // While a press, release or double click is handled, the node it selects is where the user
  // looks: the tree scrolls up or down to it, never sideways.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 private:
  friend class TreeEditDelegate;
  void NodeAdded(TreeNode& node) override;
  void NodeRemoving(TreeNode& node) override;
  void NodeMoved(TreeNode& node) override;
  void NodeChanged(TreeNode& node) override;
  void SelectionChanged(TreeNode* node) override;
  void DropHighlightChanged(TreeNode* node) override;
  void Show(TreeNode& node, QTreeWidgetItem* item);
  void ShowBranch(TreeNode& node);
  void Place(TreeNode& node, QTreeWidgetItem* item);
  void LabelEdited(const QString& text);

  TreeModel model_;
  std::unordered_map<NodeRef, QTreeWidgetItem*> items_;
  std::unordered_map<std::string, QIcon> images_;
  QPixmap dragIcon_;
  QTreeWidgetItem* dropItem_ = nullptr;
  bool mirroring_ = false;  // the widget follows the model: its own signals are not the user's
  int pointerEvents_ = 0;   // presses, releases and double clicks being handled
  QTimer fitColumn_;        // the column's width for what shows, once a burst of changes is over
};

}  // namespace platform
