#include "platform/qt/filedialogs_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/popupwindow.h"

namespace platform {

QString QtFilterFromPlatform(std::string_view filter) {
  QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i].trimmed();
    QStringList patterns;
    for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      p = p.trimmed();
      if (p.isEmpty()) continue;
      patterns << p;
      if (p.toUpper() != p) patterns << p.toUpper();
    }
    if (desc.isEmpty() && patterns.isEmpty()) continue;
    out << QString("%1 (%2)").arg(desc, patterns.join(' '));
  }
  return out.join(";;");
}

std::string QtFileDialogs::Show(const FileDialogRequest& request) {
  QString filters = QtFilterFromPlatform(request.filter);
  QStringList filterList = filters.split(";;", Qt::SkipEmptyParts);
  QString selected;
  if (request.filterIndex >= 1 && request.filterIndex <= filterList.size()) selected = filterList[request.filterIndex - 1];
  QString dir;
  if (!request.initDir.empty()) dir = QString::fromStdString(HostPathOf(request.initDir));
  if (!request.fileName.empty()) {
    std::string proposed = request.fileName;
    if (proposed.size() > 1 && proposed[1] == ':') proposed = HostPathOf(proposed);
    dir = dir.isEmpty() ? QString::fromStdString(proposed) : dir + "/" + QString::fromStdString(proposed);
  }
  QString title = QString::fromStdString(request.title);
  int pointer = ScreenPointer();
  SetScreenPointer(0);
  QString chosen = request.save
      ? QFileDialog::getSaveFileName(DialogParent(), title, dir, filters, &selected)
      : QFileDialog::getOpenFileName(DialogParent(), title, dir, filters, &selected);
  SetScreenPointer(pointer);
  if (chosen.isEmpty()) throw VbError(errCancel);
  auto dos = DosPathOf(chosen.toStdString());
  if (!dos && request.hostPathOutsideDrives) return chosen.toStdString();
  if (!dos) throw VbError(errPathNotFound, "The chosen file lies on none of Tolvan's drives.");
  return *dos;
}

}  // namespace platform
