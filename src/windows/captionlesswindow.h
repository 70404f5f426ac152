#pragma once

#include <QWidget>

class QPainter;

// A window of the skin without a caption bar: the skin's colours and frame, a fixed size,
// moved by dragging its own background, closed only when the window allows it (never by the
// window manager's close while it does not), and the function keys seen before the focused
// control does.
class CaptionlessWindow : public QWidget {
  Q_OBJECT
 public:
  // How often a press has started moving the window (a test can see it offscreen).
  int WindowDragsStarted() const { return windowDrags_; }

 protected:
  CaptionlessWindow(const char* title, int width, int height, QWidget* parent = nullptr);
  ~CaptionlessWindow() override;

  // Starts the function keys' preview; a window calls it from its load.
  void PreviewFunctionKeys();
  // F1 to F12 (key codes 112 to 123) while this window is active; `handled` swallows the key.
  virtual void FunctionKeyDown(int KeyCode, int Shift, bool& handled) = 0;
  // Whether a press on `hit` (null: the bare window) moves the window.
  virtual bool DragsFrom(const QWidget* hit) const { return hit == nullptr; }
  // Whether a close request may close the window now.
  virtual bool MayClose() const = 0;
  // What the window draws on its skin inside the frame.
  virtual void PaintSkin(QPainter&) {}
  // The window follows the pointer, now at `pointer` on the screen, until `button` is released.
  void StartWindowDrag(Qt::MouseButton button, QPoint pointer);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int windowDrags_ = 0;
  // The drag under way: its button (none: no drag), where the pointer and the window were at
  // its start, on the screen.
  Qt::MouseButton dragButton_ = Qt::NoButton;
  QPoint dragPointerStart_;
  QPoint dragWindowStart_;
};
