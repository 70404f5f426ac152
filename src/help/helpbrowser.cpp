#include "help/helpbrowser.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/printer.h"
#include "platform/qt/controls.h"
#include "platform/qt/printer_qt.h"

namespace help {
namespace {

// The look of the help pages, for the pages the view makes itself.
constexpr const char* kPageStyle =
    "<style>body { font-family: sans-serif; font-size: 10pt; } h1 { color: #013d47; font-size: 16pt; }</style>";

QString DosForm(const QString& hostPath) {
  auto dos = platform::DosPathOf(hostPath.toStdString());
  return dos ? QString::fromStdString(*dos) : hostPath;
}

}  // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent), lookup_(platform::SystemPrinter) {
  setOpenLinks(true);
  // Links out of the help folder belong in the desktop's own browser.
  setOpenExternalLinks(true);
  connect(this, &QTextBrowser::sourceChanged, this, [this](const QUrl& page) {
    const QString title = documentTitle().trimmed();
    emit TitleChange(title.isEmpty() ? QFileInfo(page.toLocalFile()).fileName() : title);
    emit DownloadComplete();
  });
}

QUrl HelpBrowser::UrlOf(const std::string& address) const {
  std::string host = platform::HostPathOf(address);
  // An address on no drive cannot be found; it shows as a missing page under its own name.
  if (host.empty()) host = "/" + address;
  return QUrl::fromLocalFile(QString::fromStdString(host));
}

void HelpBrowser::Navigate(const std::string& address) { setSource(UrlOf(address), QTextDocument::HtmlResource); }

bool HelpBrowser::GoBack() {
  if (!isBackwardAvailable()) return false;
  QTextBrowser::backward();
  return true;
}

bool HelpBrowser::GoForward() {
  if (!isForwardAvailable()) return false;
  QTextBrowser::forward();
  return true;
}

void HelpBrowser::SetIndexAddress(const std::string& address) { index_ = UrlOf(address); }

QString HelpBrowser::PageTitle() const {
  const QString title = documentTitle().trimmed();
  if (!title.isEmpty()) return title;
  return QFileInfo(source().toLocalFile()).fileName();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
    const QFileInfo file(name.toLocalFile());
    if (file.isDir()) return FolderPage(file.absoluteFilePath());
    if (!file.isFile() || !file.isReadable()) return NotFoundPage(name);
  }
  return QTextBrowser::loadResource(type, name);
}

QString HelpBrowser::NotFoundPage(const QUrl& page) const {
  const QString shown = DosForm(page.toLocalFile()).toHtmlEscaped();
  return QStringLiteral(
             "<html><head><title>Page Not Found</title>%3</head><body>"
             "<h1>Page not found</h1>"
             "<p>There is no help page <b>%1</b>.</p>"
             "<p>The <a href=\"%2\">help index</a> lists every page of this help.</p>"
             "</body></html>")
      .arg(shown, index_.toString().toHtmlEscaped(), QString(kPageStyle));
}

// What a browser shows for a folder: its pages, each a link.
QString HelpBrowser::FolderPage(const QString& hostFolder) const {
  QString links;
  const QDir dir(hostFolder);
  for (const QFileInfo& page : dir.entryInfoList({"*.htm", "*.html"}, QDir::Files, QDir::Name)) {
    links += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                 .arg(QUrl::fromLocalFile(page.absoluteFilePath()).toString().toHtmlEscaped(),
                      page.fileName().toHtmlEscaped());
  }
  const QString shown = DosForm(hostFolder).toHtmlEscaped();
  return QStringLiteral("<html><head><title>%1</title>%3</head><body><h1>Pages in %1</h1><ul>%2</ul></body></html>")
      .arg(shown, links.isEmpty() ? QStringLiteral("<li>none</li>") : links, QString(kPageStyle));
}

void HelpBrowser::PrintPage() {
  platform::PrintTarget target(lookup_);
  target.printer().setDocName(PageTitle());
  document()->print(&target.printer());
  target.Finish(true);
}

}  // namespace help
