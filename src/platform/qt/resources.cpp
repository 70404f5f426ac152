#include "platform/qt/resources.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into a static library, whose resources need this call.
static void InitPictures() { Q_INIT_RESOURCE(resources); }

namespace platform {
namespace {

QString ResourceFile(int number, ResKind kind) {
  static const bool ready = (InitPictures(), true);
  (void)ready;
  const char* prefix = kind == ResKind::Icon ? "icon" : kind == ResKind::Bitmap ? "bitmap" : "cursor";
  return QString(":/res/%1-%2.svg").arg(prefix).arg(number);
}

}  // namespace

bool HasResource(int number, ResKind kind) { return QFile::exists(ResourceFile(number, kind)); }

QPixmap LoadResPicture(int number, ResKind kind) {
  QSvgRenderer svg(ResourceFile(number, kind));
  if (!svg.isValid()) return {};
  QSize size = svg.defaultSize();
  if (size.isEmpty()) size = QSize(32, 32);
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  svg.render(&painter);
  return pixmap;
}

QIcon LoadResIcon(int number) {
  QIcon icon;
  QSvgRenderer svg(ResourceFile(number, ResKind::Icon));
  if (!svg.isValid()) return icon;
  for (int side : {16, 32, 48}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    svg.render(&painter);
    icon.addPixmap(pixmap);
  }
  return icon;
}

QCursor LoadResCursor(int number, ResKind kind) {
  QPixmap pixmap = LoadResPicture(number, kind);
  if (pixmap.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(pixmap, 0, 0);
}

void SetButtonPicture(QAbstractButton* button, int number, ResKind kind, int disabledNumber, int margin) {
  QIcon icon;
  icon.addPixmap(LoadResPicture(number, kind), QIcon::Normal);
  if (disabledNumber) icon.addPixmap(LoadResPicture(disabledNumber, kind), QIcon::Disabled);
  button->setIcon(icon);
  button->setIconSize(button->size() - QSize(margin, margin));
}

}  // namespace platform
