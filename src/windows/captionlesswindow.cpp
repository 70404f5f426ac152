#include "windows/captionlesswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "platform/qt/controls.h"
#include "windows/skin.h"

CaptionlessWindow::CaptionlessWindow(const char* title, int width, int height, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(title);
  setFixedSize(width, height);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, platform::VbColor(skin::kBack));
  pal.setColor(QPalette::WindowText, platform::VbColor(skin::kText));
  setPalette(pal);
  setAutoFillBackground(true);
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
  if (DragsFrom(childAt(event->position().toPoint()))) StartWindowDrag();
  event->accept();
}

void CaptionlessWindow::StartWindowDrag() {
  ++windowDrags_;
  if (windowHandle()) windowHandle()->startSystemMove();
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
