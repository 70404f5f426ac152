#pragma once

#include <QWidget>

#include <vector>

namespace platform {

class Label;

// A small borderless window of label items over its owner, shown modeless, that ends when it
// loses the focus. A handler of its own can open a dialog, and the popup loses the focus to
// it: while such a handler runs (with the dialogs it opens), a loss of the focus only hides the
// popup, and its LostFocus runs once the handler has returned. Unloaded, the popup is hidden
// for good and freed when none of its handlers is running any more, never under one of them.
class PopupWindow : public QWidget {
  Q_OBJECT
 public:
  bool Unloaded() const { return unloaded_; }
  // Hides the popup for good; it is freed once no handler of it runs.
  void Unload();
  // The popup has lost the focus (to another window, or the program moved it elsewhere).
  void LoseFocus();

  // Hover: the background's MouseMove shows every item in the normal colours; an item's lights
  // it navy on white and the others normal (a disabled item counts as the background).
  void Form_MouseMove();
  void Item_MouseMove(Label* item);
  const std::vector<Label*>& Items() const { return items_; }
  // Puts the popup where its opener wants it, or, where that passes an edge of the screen the
  // pointer is on, where a menu opened at the pointer goes (PlaceAtPointer).
  void MoveOnScreen(QPoint wanted);

  // Held by each handler of the popup while it runs.
  class Handler {
   public:
    explicit Handler(PopupWindow& popup);
    ~Handler();
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

   private:
    PopupWindow& popup_;
  };

 protected:
  PopupWindow(QWidget* owner, Qt::WindowFlags extraFlags = {});
  // The popup's own lost-focus handler.
  virtual void LostFocus() = 0;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

  // An item: a label at `topTwips` (left 60, 225 high), in the normal colours. Its MouseMove
  // goes to Item_MouseMove and no further, so that the background's does not undo it.
  Label* AddItem(const QString& caption, int topTwips);
  // The popup `heightTwips` high and as wide as its longest item needs, never narrower than
  // `designWidthTwips`; every item as wide.
  void FitToItems(int designWidthTwips, int heightTwips);

 private:
  void ShowNormal(Label* item);
  std::vector<Label*> items_;
  int handlersRunning_ = 0;
  bool lostFocusWaiting_ = false;
  bool unloaded_ = false;
};

// Where a popup of `size` goes that is wanted at `wanted`, opened at `pointer` on a screen whose
// available area is `room`: past the right edge it flips to the pointer's left, past the bottom
// above the pointer, and then it is kept wholly in the room (its top left when it is larger).
QPoint PlaceAtPointer(QPoint wanted, QSize size, QPoint pointer, const QRect& room);

// The window a dialog opens over: the active window, or for a popup the window that owns it,
// so that no dialog belongs to a window that may end while the dialog is up.
QWidget* DialogParent();

}  // namespace platform
