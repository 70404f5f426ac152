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
