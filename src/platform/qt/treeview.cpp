#include "platform/qt/treeview.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

#include <memory>

#include "platform/qt/controls.h"
#include "platform/qt/dropdata.h"

namespace platform {

namespace {

constexpr int kIdRole = Qt::UserRole + 40;

// The normal node colours stand for the tree's own; only others are painted.
constexpr std::uint32_t kNormalBack = 0xFFFFFF;
constexpr std::uint32_t kNormalFore = 0x000000;

}  // namespace

// Paints the drop highlight and hands a committed label edit to the tree instead of storing it.
class TreeEditDelegate : public QStyledItemDelegate {
 public:
  explicit TreeEditDelegate(TreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      const QString text = line->text();
      // After the editor is gone: the handler may change the tree.
      QTimer::singleShot(0, tree_, [tree = tree_, text] { tree->LabelEdited(text); });
    }
  }

  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const TreeNode* drop = tree_->model_.DropHighlight();
    if (drop && index.data(kIdRole).toULongLong() == drop->id) {
      option->backgroundBrush = option->palette.brush(QPalette::Highlight);
      option->palette.setBrush(QPalette::Text, option->palette.brush(QPalette::HighlightedText));
    }
  }

 private:
  TreeView* tree_;
};

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
  model_.SetListener(this);
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setExpandsOnDoubleClick(true);
  setDragEnabled(false);  // the program starts its own drags
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  setItemDelegate(new TreeEditDelegate(this));
  // Deep or long nodes widen the column, and the tree scrolls sideways to them: every level a
  // tree may hold can be seen, clicked and dragged.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(true);
  fitColumn_.setSingleShot(true);
  connect(&fitColumn_, &QTimer::timeout, this, [this] { header()->setMinimumSectionSize(sizeHintForColumn(0)); });
  connect(this, &QTreeWidget::itemExpanded, &fitColumn_, qOverload<>(&QTimer::start));
  connect(this, &QTreeWidget::itemCollapsed, &fitColumn_, qOverload<>(&QTimer::start));
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (mirroring_) return;
    if (TreeNode* node = NodeOf(item)) {
      node->expanded = true;
      Show(*node, item);
    }
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (mirroring_) return;
    if (TreeNode* node = NodeOf(item)) {
      node->expanded = false;
      Show(*node, item);
    }
  });
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
    if (mirroring_) return;
    TreeNode* node = NodeOf(current);
    if (node && node != model_.Selected()) model_.Select(node);
  });
}

TreeView::~TreeView() { model_.SetListener(nullptr); }

void TreeView::SetImageList(const std::vector<std::pair<std::string, QIcon>>& images) {
  images_.clear();
  for (const auto& [key, icon] : images) images_.emplace(key, icon);
  for (TreeNode* node : model_.Nodes()) Show(*node, ItemOf(node));
}

QTreeWidgetItem* TreeView::ItemOf(const TreeNode* node) const {
  if (!node) return nullptr;
  auto it = items_.find(node->id);
  return it == items_.end() ? nullptr : it->second;
}

TreeNode* TreeView::NodeOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  return model_.Get(item->data(0, kIdRole).toULongLong());
}

TreeNode* TreeView::HitTest(int xTwips, int yTwips) const {
  return NodeOf(itemAt(QPoint(TwipsToPixels(xTwips), TwipsToPixels(yTwips))));
}

void TreeView::Show(TreeNode& node, QTreeWidgetItem* item) {
  if (!item) return;
  const bool was = mirroring_;
  mirroring_ = true;
  item->setText(0, QString::fromStdString(node.text));
  const std::string& key = (node.expanded && !node.expandedImage.empty()) ? node.expandedImage : node.image;
  auto icon = images_.find(key);
  item->setIcon(0, icon == images_.end() ? QIcon() : icon->second);
  if (node.backColor == kNormalBack && node.foreColor == kNormalFore) {
    item->setData(0, Qt::BackgroundRole, QVariant());
    item->setData(0, Qt::ForegroundRole, QVariant());
  } else {
    item->setBackground(0, VbColor(node.backColor));
    item->setForeground(0, VbColor(node.foreColor));
  }
  if (item->isExpanded() != node.expanded) item->setExpanded(node.expanded);
  mirroring_ = was;
}

void TreeView::ShowBranch(TreeNode& node) {
  std::vector<TreeNode*> stack{&node};
  while (!stack.empty()) {
    TreeNode* n = stack.back();
    stack.pop_back();
    Show(*n, ItemOf(n));
    for (TreeNode* c : n->children) stack.push_back(c);
  }
}

void TreeView::Place(TreeNode& node, QTreeWidgetItem* item) {
  if (QTreeWidgetItem* parent = ItemOf(node.parent)) {
    parent->insertChild(node.childPos, item);
  } else {
    insertTopLevelItem(node.childPos, item);
  }
}

void TreeView::NodeAdded(TreeNode& node) {
  auto* item = new QTreeWidgetItem;
  item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(node.id));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  items_[node.id] = item;
  mirroring_ = true;
  Place(node, item);
  mirroring_ = false;
  Show(node, item);
  fitColumn_.start();
}

void TreeView::NodeRemoving(TreeNode& node) {
  QTreeWidgetItem* item = ItemOf(&node);
  std::vector<TreeNode*> stack{&node};
  while (!stack.empty()) {
    TreeNode* n = stack.back();
    stack.pop_back();
    items_.erase(n->id);
    for (TreeNode* c : n->children) stack.push_back(c);
  }
  mirroring_ = true;
  delete item;
  mirroring_ = false;
  fitColumn_.start();
}

void TreeView::NodeMoved(TreeNode& node) {
  QTreeWidgetItem* item = ItemOf(&node);
  if (!item) return;
  mirroring_ = true;
  if (QTreeWidgetItem* old = item->parent()) {
    old->removeChild(item);
  } else {
    takeTopLevelItem(indexOfTopLevelItem(item));
  }
  Place(node, item);
  mirroring_ = false;
  ShowBranch(node);  // a taken branch comes back collapsed in the widget
  fitColumn_.start();
}

void TreeView::NodeChanged(TreeNode& node) {
  Show(node, ItemOf(&node));
  fitColumn_.start();
}

void TreeView::SelectionChanged(TreeNode* node) {
  mirroring_ = true;
  QTreeWidgetItem* item = ItemOf(node);
  setCurrentItem(item);
  if (item) scrollTo(indexFromItem(item));  // scrollToItem would skip our scrollTo
  mirroring_ = false;
}

void TreeView::DropHighlightChanged(TreeNode*) { viewport()->update(); }

void TreeView::StartLabelEdit() {
  QTreeWidgetItem* item = ItemOf(model_.Selected());
  if (!item) return;
  setFocus();
  editItem(item, 0);
}

void TreeView::LabelEdited(const QString& text) { emit AfterLabelEdit(text); }

void TreeView::Drag() {
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(kNodeMime, QByteArray::number(static_cast<qulonglong>(model_.Selected() ? model_.Selected()->id : 0)));
  drag->setMimeData(data);
  if (!dragIcon_.isNull()) drag->setPixmap(dragIcon_);
  drag->exec(Qt::MoveAction);
}

void TreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (pointerEvents_ == 0) {
    QTreeWidget::scrollTo(index, hint);
    return;
  }
  // A column wider than the tree is scrolled back to its left edge by the base class.
  const int sideways = horizontalScrollBar()->value();
  QTreeWidget::scrollTo(index, hint);
  horizontalScrollBar()->setValue(sideways);
}

void TreeView::mousePressEvent(QMouseEvent* e) {
  const QScopedValueRollback<int> pointer(pointerEvents_, pointerEvents_ + 1);
  // Only the left button selects; the right one leaves the choice to the handlers.
  if (e->button() == Qt::LeftButton) QTreeWidget::mousePressEvent(e);
  const QPoint p = e->position().toPoint();
  emit MouseDown(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

void TreeView::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  // A held button drags a node (the handlers decide), it does not sweep the selection.
  if (e->buttons() == Qt::NoButton) QTreeWidget::mouseMoveEvent(e);
  emit MouseMove(VbButton(e->buttons()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

void TreeView::mouseReleaseEvent(QMouseEvent* e) {
  const QScopedValueRollback<int> pointer(pointerEvents_, pointerEvents_ + 1);
  if (e->button() == Qt::LeftButton) QTreeWidget::mouseReleaseEvent(e);
  const QPoint p = e->position().toPoint();
  emit MouseUp(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
  if (e->button() == Qt::LeftButton) emit Click();
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* e) {
  {
    // Not around DblClick: its handler plays the file in a loop of its own.
    const QScopedValueRollback<int> pointer(pointerEvents_, pointerEvents_ + 1);
    QTreeWidget::mouseDoubleClickEvent(e);
  }
  if (e->button() == Qt::LeftButton) emit DblClick();
}

void TreeView::dragEnterEvent(QDragEnterEvent* e) {
  const QMimeData* data = e->mimeData();
  if (data && (data->hasFormat(kNodeMime) || OffersDroppedPath(data))) {
    e->acceptProposedAction();
  } else {
    e->ignore();
  }
}

void TreeView::dragMoveEvent(QDragMoveEvent* e) {
  const QMimeData* data = e->mimeData();
  const QPoint p = e->position().toPoint();
  if (data && data->hasFormat(kNodeMime)) {
    e->acceptProposedAction();
    emit DragOver(PixelsToTwips(p.x()), PixelsToTwips(p.y()));
  } else if (OffersDroppedPath(data)) {
    e->acceptProposedAction();
    emit OLEDragOver(PixelsToTwips(p.x()), PixelsToTwips(p.y()));
  } else {
    e->ignore();
  }
}

void TreeView::dragLeaveEvent(QDragLeaveEvent* e) { e->accept(); }

void TreeView::dropEvent(QDropEvent* e) {
  const QMimeData* data = e->mimeData();
  if (data && data->hasFormat(kNodeMime)) {
    e->acceptProposedAction();
    emit DragDrop();
    return;
  }
  if (!OffersDroppedPath(data)) {
    e->ignore();
    return;
  }
  // The dialog the drop opens comes after the drop, so the other program is not kept waiting.
  auto copy = std::make_shared<QMimeData>();
  for (const QString& format : data->formats()) copy->setData(format, data->data(format));
  e->acceptProposedAction();
  QTimer::singleShot(0, this, [this, copy] { emit OLEDragDrop(*copy); });
}

}  // namespace platform
