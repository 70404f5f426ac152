#include "platform/qt/dropdata.h"

#include <QList>
#include <QRegularExpression>
#include <QUrl>

#include "platform/core/drives.h"

namespace platform {
namespace {

// Text proper: Qt's text() also reads a file list as text.
bool OffersText(const QMimeData& data) {
  for (const QString& format : data.formats()) {
    if (format.startsWith("text/plain")) return true;
  }
  return false;
}

DroppedPath FromHost(const QString& host) {
  const std::string path = host.toStdString();
  if (auto dos = DosPathOf(path)) return {DroppedPath::Path, *dos};
  return {DroppedPath::OffDrive, path};
}

}  // namespace

bool OffersDroppedPath(const QMimeData* data) { return data && (OffersText(*data) || data->hasUrls()); }

DroppedPath PathFromDrop(const QMimeData& data, bool firstLineOnly) {
  if (OffersText(data)) {
    QString text = data.text();
    if (firstLineOnly) {
      const qsizetype cut = text.indexOf(QRegularExpression("[\r\n]"));
      if (cut >= 0) text.truncate(cut);
    }
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith("file:", Qt::CaseInsensitive)) return FromHost(QUrl(trimmed).toLocalFile());
    if (trimmed.startsWith('/')) return FromHost(trimmed);
    return {DroppedPath::Path, text.toStdString()};
  }
  if (data.hasUrls()) {
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty()) return {};
    if (urls.front().isLocalFile()) return FromHost(urls.front().toLocalFile());
    return {DroppedPath::OffDrive, urls.front().toString().toStdString()};
  }
  return {};
}

}  // namespace platform
