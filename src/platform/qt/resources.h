#pragma once

#include <QAbstractButton>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace platform {

// Pictures of the program's resources, loaded by their number as the program names them.
enum class ResKind { Icon, Bitmap, Cursor };

QPixmap LoadResPicture(int number, ResKind kind);
QIcon LoadResIcon(int number);
// A custom mouse pointer from an icon or cursor resource, hot spot at the top left.
QCursor LoadResCursor(int number, ResKind kind = ResKind::Icon);
bool HasResource(int number, ResKind kind);
// A button's picture (and the one it shows while disabled, when given), filling the button
// but for `margin` pixels.
void SetButtonPicture(QAbstractButton* button, int number, ResKind kind = ResKind::Bitmap,
                      int disabledNumber = 0, int margin = 8);

}  // namespace platform
