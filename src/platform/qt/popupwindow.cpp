#include "platform/qt/popupwindow.h"

#include <QApplication>
#include <QEvent>

namespace platform {

PopupWindow::PopupWindow(QWidget* owner, Qt::WindowFlags extraFlags)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | extraFlags) {}

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

QWidget* DialogParent() {
  QWidget* window = QApplication::activeModalWidget();
  if (!window) window = QApplication::activeWindow();
  while (qobject_cast<PopupWindow*>(window) && window->parentWidget()) window = window->parentWidget()->window();
  return window;
}

}  // namespace platform
