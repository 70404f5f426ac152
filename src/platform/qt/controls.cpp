#include "platform/qt/controls.h"

#include <QGuiApplication>
#include <QPalette>

#include <QMouseEvent>

#include <charconv>

namespace platform {

QColor VbColor(std::uint32_t bgr) {
  // A system colour (&H80000000 + its index) is the platform's own: &H8000000F the button face.
  if (bgr & 0x80000000u) {
    return QGuiApplication::palette().color((bgr & 0xFF) == 0x0F ? QPalette::Button : QPalette::Window);
  }
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void PaintWindow(QWidget& window, std::uint32_t backColor, std::optional<std::uint32_t> textColor) {
  QPalette pal = window.palette();
  pal.setColor(QPalette::Window, VbColor(backColor));
  if (textColor) pal.setColor(QPalette::WindowText, VbColor(*textColor));
  window.setPalette(pal);
  window.setAutoFillBackground(true);
}

std::uint32_t VbColorNumber(std::string_view text) {
  std::uint32_t value = 0;
  if (text.size() > 2 && (text.substr(0, 2) == "&H" || text.substr(0, 2) == "&h")) {
    text.remove_prefix(2);
    if (!text.empty() && text.back() == '&') text.remove_suffix(1);
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
  } else {
    std::from_chars(text.data(), text.data() + text.size(), value, 10);
  }
  return value;
}

int VbButton(Qt::MouseButtons buttons) {
  int b = 0;
  if (buttons & Qt::LeftButton) b |= 1;
  if (buttons & Qt::RightButton) b |= 2;
  if (buttons & Qt::MiddleButton) b |= 4;
  return b;
}

int VbShift(Qt::KeyboardModifiers modifiers) {
  int s = 0;
  if (modifiers & Qt::ShiftModifier) s |= 1;
  if (modifiers & Qt::ControlModifier) s |= 2;
  if (modifiers & Qt::AltModifier) s |= 4;
  return s;
}

void Colours::SetBack(std::uint32_t c) {
  back_ = c;
  Apply();
}

void Colours::SetFore(std::uint32_t c) {
  fore_ = c;
  Apply();
}

void Colours::Apply() {
  QPalette pal = owner_->palette();
  for (auto role : {QPalette::Window, QPalette::Button}) pal.setColor(role, VbColor(back_));
  pal.setColor(QPalette::Base, fillsBase_ ? VbColor(back_) : QColor(Qt::white));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) pal.setColor(role, VbColor(fore_));
  owner_->setPalette(pal);
  owner_->setAutoFillBackground(true);
}

QString UpToFirstZero(const QString& text) {
  const qsizetype zero = text.indexOf(QChar(u'\0'));
  return zero < 0 ? text : text.left(zero);
}

std::string_view UpToFirstZero(std::string_view text) { return text.substr(0, text.find('\0')); }

Label::Label(QWidget* parent, const QString& caption)
    : QLabel(UpToFirstZero(caption), parent), colours_(this), caption_(caption) {
  colours_.Apply();
}

void Label::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  setText(UpToFirstZero(caption));
  emit Change();
}

void Label::SetBorder(bool singleLine) { setFrameStyle(singleLine ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame); }

void Label::mousePressEvent(QMouseEvent* e) {
  pressed_ = true;
  QPoint p = e->position().toPoint();
  emit MouseDown(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  emit MouseUp(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
  bool inside = rect().contains(p);
  if (pressed_ && inside && e->button() == Qt::LeftButton && isEnabled()) {
    pressed_ = false;
    emit Click();
  }
  pressed_ = false;
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), colours_(this) {
  colours_.Apply();
  connect(this, &QLineEdit::textChanged, this, [this] { emit Change(); });
  setMouseTracking(true);
}

void TextBox::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit GotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit LostFocus();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* e) {
  QLineEdit::mouseDoubleClickEvent(e);
  emit DblClick();
}

void TextBox::mouseMoveEvent(QMouseEvent* e) {
  QLineEdit::mouseMoveEvent(e);
  QPoint p = e->position().toPoint();
  emit MouseMove(VbButton(e->buttons()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), colours_(this, false) {
  colours_.SetFore(0);  // a dark tick on the grey box
  colours_.SetBack(0x808080);
  connect(this, &QCheckBox::toggled, this, [this] { emit Click(); });
}

void CheckBox::mouseReleaseEvent(QMouseEvent* e) {
  QCheckBox::mouseReleaseEvent(e);
  QPoint p = e->position().toPoint();
  emit MouseUp(VbButton(e->button()), VbShift(e->modifiers()), PixelsToTwips(p.x()), PixelsToTwips(p.y()));
}

VbTimer::VbTimer(QObject* parent, int intervalMs) : QObject(parent), interval_(intervalMs) {
  connect(&timer_, &QTimer::timeout, this, [this] { emit Timer(); });
}

void VbTimer::Restart() {
  if (enabled_ && interval_ > 0) {
    timer_.start(interval_);
  } else {
    timer_.stop();
  }
}

void VbTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void VbTimer::SetInterval(int ms) {
  interval_ = ms;
  Restart();
}

void InputBlocker::Watch(QWidget* widget) {
  widget->installEventFilter(this);
  for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return blocked_();
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace platform
