#pragma once

#include <QPushButton>

// A square picture button of the main window's tool rows.
inline QPushButton* ToolButton(QWidget* parent, const char* tooltip, int x, int y, int side = 36) {
  auto* b = new QPushButton(parent);
  b->setToolTip(tooltip);
  b->setGeometry(x, y, side, side);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}
