#include "windows/captionlesswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/controls.h"
#include "windows/skin.h"

CaptionlessWindow::CaptionlessWindow(const char* title, int width, int height, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(title);
  setFixedSize(width, height);
  platform::PaintWindow(*this, skin::kBack, skin::kText);
}

CaptionlessWindow::~CaptionlessWindow() { qApp->removeEventFilter(this); }

void CaptionlessWindow::PreviewFunctionKeys() { qApp->installEventFilter(this); }

bool CaptionlessWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this && isActiveWindow()) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12) {
        bool handled = false;
        FunctionKeyDown(112 + (key->key() - Qt::Key_F1), platform::VbShift(key->modifiers()), handled);
        if (handled) return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CaptionlessWindow::mousePressEvent(QMouseEvent* event) {
  // Only the skin drags the window, with any button, as a title bar would: a press a control
  // leaves unused (a progress bar's, a disabled button's) reaches here too and does nothing.
  // A press during a drag starts the drag anew from where the window is, with its button.
  if (DragsFrom(childAt(event->position().toPoint()))) StartWindowDrag(event->button(), event->globalPosition().toPoint());
  event->accept();
}

void CaptionlessWindow::StartWindowDrag(Qt::MouseButton button, QPoint pointer) {
  // The window moves itself rather than have the window manager move it: the manager's move
  // knows only the left button, and without a manager nothing would move at all.
  ++windowDrags_;
  dragButton_ = button;
  dragPointerStart_ = pointer;
  dragWindowStart_ = pos();
}

void CaptionlessWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragButton_ == Qt::NoButton) return QWidget::mouseMoveEvent(event);
  if (!(event->buttons() & dragButton_)) {
    // Its release went elsewhere.
    dragButton_ = Qt::NoButton;
    return;
  }
  // From the start of the drag, not from the last move: no step is lost or counted twice.
  move(dragWindowStart_ + (event->globalPosition().toPoint() - dragPointerStart_));
  event->accept();
}

void CaptionlessWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (dragButton_ != Qt::NoButton && event->button() == dragButton_) {
    dragButton_ = Qt::NoButton;
    event->accept();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void CaptionlessWindow::closeEvent(QCloseEvent* event) {
  if (MayClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void CaptionlessWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter p(this);
  skin::PaintWindowFrame(p, rect());
  PaintSkin(p);
}
