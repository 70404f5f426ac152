#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A UTF-8 text of the program as a Qt string.
inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Colour numbers as the program writes them: 0x00BBGGRR, also in the text form "&H473D01".
QColor VbColor(std::uint32_t bgr);
std::uint32_t VbColorNumber(std::string_view text);
constexpr std::uint32_t RGB(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

// A window's back colour, filled behind its children, and the text colour of its labels when
// it sets one.
void PaintWindow(QWidget& window, std::uint32_t backColor, std::optional<std::uint32_t> textColor = std::nullopt);

// 15 twips to the pixel (96 dots per inch), the measure the program gives sizes in.
constexpr int kTwipsPerPixel = 15;
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// Mouse buttons and shift state as the program's handlers receive them.
int VbButton(Qt::MouseButtons buttons);
int VbShift(Qt::KeyboardModifiers modifiers);

// Back and fore colour of a widget, kept as colour numbers the handlers can compare.
class Colours {
 public:
  // `fillsBase`: the back colour also fills the widget's input area (a text box does; a check
  // box keeps its box white so that its tick reads on any back colour).
  explicit Colours(QWidget* owner, bool fillsBase = true) : owner_(owner), fillsBase_(fillsBase) {}
  std::uint32_t back() const { return back_; }
  std::uint32_t fore() const { return fore_; }
  void SetBack(std::uint32_t c);
  void SetFore(std::uint32_t c);
  void Apply();

 private:
  QWidget* owner_;
  bool fillsBase_;
  std::uint32_t back_ = 0x473D01;
  std::uint32_t fore_ = 0xDCC281;
};

// The part of a text the platform's controls draw: up to its first zero byte (texts from
// audio headers come padded with them).
QString UpToFirstZero(const QString& text);
std::string_view UpToFirstZero(std::string_view text);

// A label; its caption, colours and border are what the program sets. The caption is kept
// as set; what shows is the caption up to its first zero byte.
class Label : public QLabel {
  Q_OBJECT
 public:
  explicit Label(QWidget* parent = nullptr, const QString& caption = {});
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  std::uint32_t BackColor() const { return colours_.back(); }
  std::uint32_t ForeColor() const { return colours_.fore(); }
  void SetBackColor(std::uint32_t c) { colours_.SetBack(c); }
  void SetForeColor(std::uint32_t c) { colours_.SetFore(c); }
  void SetBorder(bool singleLine);

 signals:
  void Change();  // the caption changed, by the user's action or by code
  void Click();
  void MouseDown(int button, int shift, int xTwips, int yTwips);
  void MouseUp(int button, int shift, int xTwips, int yTwips);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Colours colours_;
  QString caption_;
  bool pressed_ = false;
};

// A label used as a button: the same label, which also takes a custom pointer.
using LabelButton = Label;

// A text box whose Change fires for edits by code too, and which reports focus, double
// clicks and mouse moves to the program's handlers.
class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit TextBox(QWidget* parent = nullptr);
  std::uint32_t BackColor() const { return colours_.back(); }
  std::uint32_t ForeColor() const { return colours_.fore(); }
  void SetBackColor(std::uint32_t c) { colours_.SetBack(c); }
  void SetForeColor(std::uint32_t c) { colours_.SetFore(c); }

 signals:
  void Change();
  void GotFocus();
  void LostFocus();
  void DblClick();
  void MouseMove(int button, int shift, int xTwips, int yTwips);

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  Colours colours_;
};

// A check box with a value of 0 or 1 whose Click fires whenever the value changes, also when
// code sets it.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit CheckBox(QWidget* parent = nullptr);
  int Value() const { return isChecked() ? 1 : 0; }
  void SetValue(int value) { setChecked(value != 0); }
  std::uint32_t BackColor() const { return colours_.back(); }
  void SetBackColor(std::uint32_t c) { colours_.SetBack(c); }

 signals:
  void Click();
  void MouseUp(int button, int shift, int xTwips, int yTwips);

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Colours colours_;
};

// A timer with the platform's meaning: it fires every Interval ms while Enabled. Enabling an
// enabled timer does not restart it; setting the interval of an enabled timer does.
class VbTimer : public QObject {
  Q_OBJECT
 public:
  explicit VbTimer(QObject* parent = nullptr, int intervalMs = 0);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int ms);

 signals:
  void Timer();

 private:
  void Restart();

  QTimer timer_;
  bool enabled_ = false;
  int interval_ = 0;
};

// Drops the user's clicks and keys on the widgets it watches while `blocked()` holds: work that
// lets events run keeps its controls from being changed under it.
class InputBlocker : public QObject {
 public:
  InputBlocker(QObject* parent, std::function<bool()> blocked) : QObject(parent), blocked_(std::move(blocked)) {}
  // Watches `widget` and every widget inside it.
  void Watch(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool()> blocked_;
};

}  // namespace platform
