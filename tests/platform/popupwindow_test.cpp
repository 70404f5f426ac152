// A popup that ends when it loses the focus, and handlers of its own that open dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

#include "platform/qt/popupwindow.h"

namespace {

class TestPopup : public platform::PopupWindow {
 public:
  explicit TestPopup(QWidget* owner) : PopupWindow(owner) {}
  // One of the popup's handlers: runs `body` while it holds the popup.
  void Command(const std::function<void()>& body) {
    const Handler running(*this);
    body();
  }
  int lostFocus = 0;

 protected:
  void LostFocus() override {
    ++lostFocus;
    Unload();
  }
};

// What a modal dialog does to the popup that opened it: its own event loop runs, and the
// popup is deactivated meanwhile.
void DialogOver(QWidget* popup) {
  QEventLoop loop;
  QTimer::singleShot(0, [popup] {
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(popup, &deactivate);
  });
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
}

class PopupWindowTest : public ::testing::Test {
 protected:
  PopupWindowTest() {
    owner.resize(300, 200);
    owner.show();
    popup = new TestPopup(&owner);
    popup->show();
  }
  ~PopupWindowTest() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  QWidget owner;
  QPointer<TestPopup> popup;
};

}  // namespace

TEST_F(PopupWindowTest, ALossOfTheFocusToAHandlersDialogWaitsUntilTheHandlerReturns) {
  popup->Command([this] {
    DialogOver(popup);
    ASSERT_FALSE(popup.isNull()) << "the popup outlives the dialog its handler opened";
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(popup->Unloaded());
    EXPECT_EQ(popup->lostFocus, 0);
  });
  ASSERT_FALSE(popup.isNull());
  EXPECT_EQ(popup->lostFocus, 1);
  EXPECT_TRUE(popup->Unloaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull());
}

TEST_F(PopupWindowTest, AnUnloadInsideAHandlerFreesThePopupOnlyAfterIt) {
  popup->Command([this] {
    popup->Unload();
    EXPECT_FALSE(popup->isVisible());
    DialogOver(popup);
    ASSERT_FALSE(popup.isNull());
  });
  EXPECT_EQ(popup->lostFocus, 0) << "an unloaded popup hears no loss of the focus";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull());
}

TEST_F(PopupWindowTest, ALossOfTheFocusOutsideAHandlerEndsThePopupAtOnce) {
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(popup, &deactivate);
  EXPECT_EQ(popup->lostFocus, 1);
  EXPECT_TRUE(popup->Unloaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull());
}

TEST_F(PopupWindowTest, DialogsOpenOverThePopupsOwnerNeverOverThePopup) {
  popup->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(popup.data()));
  EXPECT_EQ(platform::DialogParent(), &owner);
  owner.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
  EXPECT_EQ(platform::DialogParent(), &owner);
}

// A popup 80 x 110 opened by a click at `pointer`, wanted by its opener at `wanted`, on a
// screen whose available area is `room`.
struct PlacementCase {
  const char* what;
  QRect room;
  QPoint wanted;
  QPoint pointer;
  QPoint placed;
};

class PlaceAtPointerTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceAtPointerTest, ThePopupGoesWhereAMenuAtThePointerGoes) {
  const PlacementCase& c = GetParam();
  const QPoint placed = platform::PlaceAtPointer(c.wanted, QSize(80, 110), c.pointer, c.room);
  EXPECT_EQ(placed, c.placed) << c.what;
}

const QRect kScreen(0, 0, 1280, 1024);
// A second screen right of the first, its task bar taking its top 30 pixels.
const QRect kRightScreen(1280, 30, 1024, 738);

INSTANTIATE_TEST_SUITE_P(
    Edges, PlaceAtPointerTest,
    ::testing::Values(
        PlacementCase{"room for it: where its opener wants it", kScreen, {300, 400}, {250, 340}, {300, 400}},
        PlacementCase{"exactly at the bottom right corner: unmoved", kScreen, {1200, 914}, {1150, 850}, {1200, 914}},
        PlacementCase{"past the bottom: above the pointer", kScreen, {300, 960}, {250, 900}, {300, 790}},
        PlacementCase{"past the right: left of the pointer", kScreen, {1230, 400}, {1190, 340}, {1110, 400}},
        PlacementCase{"past both: left of and above the pointer", kScreen, {1250, 1000}, {1260, 1010}, {1180, 900}},
        PlacementCase{"flipped above, it would pass the top: at the top", kScreen, {300, 950}, {250, 60}, {300, 0}},
        PlacementCase{"flipped left, it would pass the left: at the left", kScreen, {1250, 400}, {40, 340}, {0, 400}},
        PlacementCase{"an opener partly off the left and top: at the screen's corner", kScreen, {-30, -20}, {10, 5},
                      {0, 0}},
        PlacementCase{"on the second screen, below its task bar", kRightScreen, {2000, 700}, {1950, 40}, {2000, 30}},
        PlacementCase{"past the second screen's right", kRightScreen, {2250, 100}, {2290, 60}, {2210, 100}},
        PlacementCase{"larger than the room: its top left on the screen", QRect(0, 0, 60, 90), {20, 20}, {30, 30},
                      {0, 0}}));
