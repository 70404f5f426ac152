#include "platform/qt/filedialogs_qt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
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

namespace {

// Qt's own dialog on every desktop, so that the program behaves (and is tested) the same
// everywhere.
class PlatformFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    // Typed into a save dialog, a double quote would make the name a list of names, of which
    // the dialog would keep one: the name is refused whole instead.
    if (acceptMode() == AcceptSave) {
      auto* edit = findChild<QLineEdit*>("fileNameEdit");
      const QString typed = edit ? edit->text() : QString();
      if (typed.contains('"')) {
        MsgBox("The file name " + typed.toStdString() + " is not valid." + std::string(vbLf) + std::string(vbCr) +
                   "A file name cannot hold a double quote (\").",
               vbExclamation, "File Name Not Valid");
        // The names the dialog read from the quotes stay selected in its lists otherwise, and
        // the next name typed would join them.
        for (auto* view : findChildren<QAbstractItemView*>()) view->clearSelection();
        if (edit) {
          edit->clear();
          edit->setFocus();
        }
        return;
      }
    }
    QFileDialog::accept();
  }
};

constexpr int kOverwritePrompt = 2;  // the flag that asks before a save replaces a file

}  // namespace

std::string QtFileDialogs::Show(const FileDialogRequest& request) {
  const QString filters = QtFilterFromPlatform(request.filter);
  const QStringList filterList = filters.split(";;", Qt::SkipEmptyParts);
  QString dir;
  if (!request.initDir.empty()) dir = QString::fromStdString(HostPathOf(request.initDir));
  PlatformFileDialog dialog(DialogParent(), QString::fromStdString(request.title), dir, filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks itself before it replaces a file, unless the request leaves it to the dialog.
  if (request.save && !(request.flags & kOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (request.filterIndex >= 1 && request.filterIndex <= filterList.size()) {
    dialog.selectNameFilter(filterList[request.filterIndex - 1]);
  }
  if (!request.fileName.empty()) {
    std::string proposed = request.fileName;
    if (proposed.size() > 1 && proposed[1] == ':') proposed = HostPathOf(proposed);
    dialog.selectFile(QString::fromStdString(proposed));
  }
  int pointer = ScreenPointer();
  SetScreenPointer(0);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  SetScreenPointer(pointer);
  if (!chosen) throw VbError(errCancel);
  const std::string host = dialog.selectedFiles().front().toStdString();
  auto dos = DosPathOf(host);
  if (!dos && request.hostPathOutsideDrives) return host;
  if (!dos) throw VbError(errPathNotFound, "The chosen file lies on none of Tolvan's drives.");
  return *dos;
}

}  // namespace platform
