#include "platform/qt/popupwindow.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

#include "platform/qt/controls.h"

namespace platform {

namespace {

constexpr int kItemLeftTwips = 60;
constexpr int kItemHeightTwips = 225;
constexpr int kItemFontPixels = 11;
constexpr int kItemPaddingPixels = 4;  // beside the caption, each side

}  // namespace

PopupWindow::PopupWindow(QWidget* owner, Qt::WindowFlags extraFlags)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | extraFlags) {
  setMouseTracking(true);
}

Label* PopupWindow::AddItem(const QString& caption, int topTwips) {
  auto* item = new Label(this, caption);
  item->setGeometry(TwipsToPixels(kItemLeftTwips), TwipsToPixels(topTwips), 0, TwipsToPixels(kItemHeightTwips));
  item->setMouseTracking(true);
  QFont f = item->font();
  f.setPixelSize(kItemFontPixels);
  item->setFont(f);
  ShowNormal(item);
  item->installEventFilter(this);
  items_.push_back(item);
  return item;
}

void PopupWindow::FitToItems(int designWidthTwips, int heightTwips) {
  int itemWidth = TwipsToPixels(designWidthTwips - 2 * kItemLeftTwips);
  for (const Label* item : items_) {
    itemWidth = std::max(itemWidth, QFontMetrics(item->font()).horizontalAdvance(item->text()) + 2 * kItemPaddingPixels);
  }
  for (Label* item : items_) item->resize(itemWidth, item->height());
  setFixedSize(itemWidth + 2 * TwipsToPixels(kItemLeftTwips), TwipsToPixels(heightTwips));
}

void PopupWindow::ShowNormal(Label* item) {
  item->SetBackColor(VbColorNumber("&H8000000F"));
  item->SetForeColor(VbColorNumber("&H0"));
  // A disabled item reads as one.
  QPalette pal = item->palette();
  pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
  item->setPalette(pal);
}

void PopupWindow::Form_MouseMove() {
  for (Label* item : items_) ShowNormal(item);
}

void PopupWindow::Item_MouseMove(Label* item) {
  Form_MouseMove();
  if (!item->isEnabled()) return;
  item->SetBackColor(VbColorNumber("&H800000"));
  item->SetForeColor(VbColorNumber("&HFFFFFF"));
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove) {
    if (auto* item = qobject_cast<Label*>(watched); item && std::find(items_.begin(), items_.end(), item) != items_.end()) {
      Item_MouseMove(item);
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void PopupWindow::mouseMoveEvent(QMouseEvent* e) {
  Form_MouseMove();
  e->accept();
}

void PopupWindow::MoveOnScreen(QPoint wanted) {
  const QPoint pointer = QCursor::pos();
  const QScreen* screen = QGuiApplication::screenAt(pointer);
  if (!screen) screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  move(screen ? PlaceAtPointer(wanted, size(), pointer, screen->availableGeometry()) : wanted);
}

void PopupWindow::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  hide();
  if (handlersRunning_ == 0) deleteLater();
}

void PopupWindow::LoseFocus() {
  if (unloaded_) return;
  if (handlersRunning_ > 0) {
    lostFocusWaiting_ = true;
    hide();
    return;
  }
  LostFocus();
}

bool PopupWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowDeactivate && isVisible()) LoseFocus();
  return QWidget::event(e);
}

PopupWindow::Handler::Handler(PopupWindow& popup) : popup_(popup) { ++popup_.handlersRunning_; }

PopupWindow::Handler::~Handler() {
  PopupWindow& p = popup_;
  if (--p.handlersRunning_ > 0) return;
  // Unloaded while the handler ran: freed now. A loss of the focus meanwhile is handled now,
  // and an unload there frees the popup itself.
  const bool unloadedMeanwhile = p.unloaded_;
  if (p.lostFocusWaiting_ && !p.unloaded_) {
    p.lostFocusWaiting_ = false;
    p.LostFocus();
  }
  if (unloadedMeanwhile) p.deleteLater();
}

QPoint PlaceAtPointer(QPoint wanted, QSize size, QPoint pointer, const QRect& room) {
  const int right = room.left() + room.width();
  const int bottom = room.top() + room.height();
  int x = wanted.x();
  int y = wanted.y();
  if (x + size.width() > right) x = pointer.x() - size.width();
  if (y + size.height() > bottom) y = pointer.y() - size.height();
  x = std::max(room.left(), std::min(x, right - size.width()));
  y = std::max(room.top(), std::min(y, bottom - size.height()));
  return {x, y};
}

QWidget* DialogParent() {
  QWidget* window = QApplication::activeModalWidget();
  if (!window) window = QApplication::activeWindow();
  while (qobject_cast<PopupWindow*>(window) && window->parentWidget()) window = window->parentWidget()->window();
  return window;
}

}  // namespace platform
