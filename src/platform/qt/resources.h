#pragma once

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

}  // namespace platform
