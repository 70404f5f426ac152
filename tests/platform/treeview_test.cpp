#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "platform/qt/treeview.h"
#include "support/window_steps.h"

using platform::TreeModel;
using platform::TreeNode;
using platform::TreeView;
using Rel = platform::TreeModel::Relation;

namespace {

QIcon Colour(Qt::GlobalColor c) {
  QPixmap p(16, 16);
  p.fill(c);
  return QIcon(p);
}

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.resize(300, 300);
    view.SetImageList({{"groups", Colour(Qt::red)}, {"clsdfold", Colour(Qt::green)}, {"openfold", Colour(Qt::blue)}});
    root = tree().Add(nullptr, Rel::Last, "r", "Groups", "groups");
    group = tree().Add(root, Rel::Last, "g", "Rock", "clsdfold");
    tree().SetExpandedImage(group, "openfold");
    entry = tree().Add(group, Rel::Last, "e", "Song", "audio_wav");
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  TreeModel& tree() { return view.Nodes(); }
  QLineEdit* Editor() { return view.viewport()->findChild<QLineEdit*>(); }

  TreeView view;
  TreeNode *root, *group, *entry;
};

QRgb IconColour(const QTreeWidgetItem* item) { return item->icon(0).pixmap(16, 16).toImage().pixel(8, 8); }

}  // namespace

TEST_F(TreeViewTest, TheWidgetMirrorsTheModel) {
  ASSERT_EQ(view.topLevelItemCount(), 1);
  QTreeWidgetItem* g = view.ItemOf(group);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->text(0), "Rock");
  EXPECT_EQ(g->parent(), view.ItemOf(root));
  EXPECT_EQ(IconColour(g), QColor(Qt::green).rgb());
  tree().SetExpanded(group, true);
  EXPECT_TRUE(g->isExpanded());
  EXPECT_EQ(IconColour(g), QColor(Qt::blue).rgb());  // the open group shows its expanded image
  EXPECT_TRUE(view.ItemOf(entry)->icon(0).isNull());  // a key missing from the image list
  tree().SetText(entry, "Renamed");
  EXPECT_EQ(view.ItemOf(entry)->text(0), "Renamed");
  TreeNode* first = tree().Add(entry, Rel::Previous, "f", "First", "");
  EXPECT_EQ(g->child(0), view.ItemOf(first));
  tree().Remove(group);
  EXPECT_EQ(view.ItemOf(root)->childCount(), 0);
}

TEST_F(TreeViewTest, TheUsersExpandingAndSelectingReachTheModel) {
  view.ItemOf(group)->setExpanded(true);
  EXPECT_TRUE(group->expanded);
  view.setCurrentItem(view.ItemOf(entry));
  EXPECT_EQ(tree().Selected(), entry);
  tree().Select(root);
  EXPECT_EQ(view.currentItem(), view.ItemOf(root));
}

TEST_F(TreeViewTest, AMovedBranchKeepsItsItemsAndOpenState) {
  TreeNode* other = tree().Add(root, Rel::Last, "o", "Other", "clsdfold");
  tree().SetExpanded(group, true);
  ASSERT_TRUE(tree().MoveToLastChild(group, other));
  EXPECT_EQ(view.ItemOf(group)->parent(), view.ItemOf(other));
  EXPECT_EQ(view.ItemOf(entry)->parent(), view.ItemOf(group));
  EXPECT_TRUE(view.ItemOf(group)->isExpanded());
}

TEST_F(TreeViewTest, HitTestFindsTheNodeUnderAPointInTwips) {
  tree().SetExpanded(root, true);
  const QRect r = view.visualItemRect(view.ItemOf(group));
  EXPECT_EQ(view.HitTest(r.center().x() * 15, r.center().y() * 15), group);
  EXPECT_EQ(view.HitTest(10 * 15, 290 * 15), nullptr);
}

TEST_F(TreeViewTest, ALabelEditRaisesItsEventOnlyWhenTheUserCommits) {
  QSignalSpy edits(&view, &TreeView::AfterLabelEdit);
  tree().SetText(group, "By code");  // no event for the program's own changes
  tree().Select(group);
  view.StartLabelEdit();
  QLineEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  editor->setText("Typed");
  QTest::keyClick(editor, Qt::Key_Escape);
  ASSERT_TRUE(testing_support::RunQueuedWork());
  EXPECT_EQ(edits.count(), 0);
  EXPECT_EQ(group->text, "By code");

  view.StartLabelEdit();
  editor = Editor();
  ASSERT_NE(editor, nullptr);
  editor->setText("Typed");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return edits.count() == 1; }, 1000));
  EXPECT_EQ(edits.at(0).at(0).toString(), "Typed");
  EXPECT_EQ(group->text, "By code");  // the handler stores it, not the editor
}

TEST_F(TreeViewTest, TheDropHighlightIsPaintedOnItsNode) {
  tree().SetExpanded(group, true);
  tree().SetDropHighlight(entry);
  const QRect r = view.visualItemRect(view.ItemOf(entry));
  const QImage shot = view.viewport()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(r.right() - 2, r.center().y()), view.palette().color(QPalette::Highlight));
  tree().SetDropHighlight(nullptr);
  const QImage after = view.viewport()->grab().toImage();
  EXPECT_NE(after.pixelColor(r.right() - 2, r.center().y()), view.palette().color(QPalette::Highlight));
}

// A node as deep as a tree may go (99 levels), with a long text, can be reached: the column
// grows to hold it and the tree scrolls sideways.
TEST_F(TreeViewTest, TheDeepestNodeWithALongTextIsReachableSideways) {
  TreeNode* parent = entry;
  for (int level = 3; level <= 99; ++level) {
    TreeNode* next = tree().Add(parent, Rel::Last, "deep" + std::to_string(level), "Level " + std::to_string(level),
                                "clsdfold");
    tree().SetExpanded(parent, true);
    parent = next;
  }
  tree().SetText(parent, "The deepest node of all, with a caption long enough to pass the tree's edge");
  tree().Select(parent);
  QTreeWidgetItem* deepest = view.ItemOf(parent);
  ASSERT_TRUE(QTest::qWaitFor([&] { return view.horizontalScrollBar()->maximum() > 0; }, 2000))
      << "the tree scrolls sideways";
  view.scrollToItem(deepest);
  const QRect shown = view.visualItemRect(deepest);
  EXPECT_GE(shown.width(), view.fontMetrics().horizontalAdvance(deepest->text(0)))
      << "room for the whole text at its level";
  view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
  const QRect atEnd = view.visualItemRect(deepest);
  EXPECT_TRUE(view.viewport()->rect().intersects(atEnd)) << "scrolled to, it is in sight";
  EXPECT_EQ(view.itemAt(atEnd.center()), deepest) << "and a press there hits it";
}

// In a deep tree scrolled sideways, a click of either button on a node that the handlers then
// select (the right button's release selects the node its popup acts on) leaves the tree
// scrolled where the user put it, so that the node stays in sight.
TEST_F(TreeViewTest, AClickOfEitherButtonKeepsTheSidewaysScroll) {
  TreeNode* parent = entry;
  std::vector<TreeNode*> deep;
  for (int level = 3; level <= 30; ++level) {
    deep.push_back(tree().Add(parent, Rel::Last, "deep" + std::to_string(level), "Level " + std::to_string(level),
                              "clsdfold"));
    tree().SetExpanded(parent, true);
    parent = deep.back();
  }
  QObject::connect(&view, &TreeView::MouseUp, [this](int, int, int x, int y) {
    if (TreeNode* hit = view.HitTest(x, y)) tree().Select(hit);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return view.horizontalScrollBar()->maximum() > 100; }, 2000));
  QScrollBar& sideways = *view.horizontalScrollBar();
  for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
    SCOPED_TRACE(button == Qt::RightButton ? "right button" : "left button");
    sideways.setValue(sideways.maximum());
    TreeNode* target = button == Qt::RightButton ? deep.back() : deep[deep.size() - 2];
    QTreeWidgetItem* item = view.ItemOf(target);
    view.scrollToItem(item);
    sideways.setValue(sideways.maximum());
    const QRect shown = view.visualItemRect(item);
    const QPoint on(std::max(shown.left(), 0) + 10, shown.center().y());
    ASSERT_TRUE(view.viewport()->rect().contains(on));
    ASSERT_EQ(view.itemAt(on), item);
    QTest::mouseClick(view.viewport(), button, {}, on);
    EXPECT_EQ(tree().Selected(), target);
    EXPECT_EQ(sideways.value(), sideways.maximum());
    EXPECT_EQ(view.itemAt(on), item) << "the node is still under the pointer";
  }
}
