#pragma once

#include <cstdint>

#include <QPainter>

#include "platform/qt/controls.h"

// The program's skin: its colour numbers and the three looks of the pane's label-buttons.
namespace skin {

inline constexpr std::uint32_t kBack = 0x473D01;       // the skin's background
inline constexpr std::uint32_t kText = 0xDCC281;       // the skin's text
inline constexpr std::uint32_t kHighlight = 0xDC;      // work under way; a box being edited
inline constexpr std::uint32_t kChanged = 255;         // a field changed but not stored
inline constexpr std::uint32_t kFormGrey = 0x808080;   // the dialogs' background, a check box at rest
inline constexpr int kHandIcon = 205;                  // the pointer of the pane's label-buttons

// A tab that is not the current one, a button at rest.
inline void AtRest(platform::Label* b) {
  b->SetBackColor(kBack);
  b->SetForeColor(kText);
}
// The tab of the view on show.
inline void Current(platform::Label* b) {
  b->SetBackColor(kText);
  b->SetForeColor(kBack);
}
// A tab or button whose work is under way.
inline void Pressed(platform::Label* b) {
  b->SetBackColor(kHighlight);
  b->SetForeColor(kBack);
}

// The faint rounded border of the captionless windows; the pen stays set for the window's own
// dividing lines.
inline void PaintWindowFrame(QPainter& p, const QRect& rect) {
  p.setRenderHint(QPainter::Antialiasing);
  QColor line = platform::VbColor(kText);
  line.setAlpha(90);
  p.setPen(QPen(line, 1));
  p.drawRoundedRect(rect.adjusted(1, 1, -2, -2), 8, 8);
}

}  // namespace skin
