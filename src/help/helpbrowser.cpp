#include "help/helpbrowser.h"

#include <cctype>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextDocument>

#include "help/helpaddress.h"
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

char DriveLetterOf(const std::string& address) {
  if (address.size() < 2 || address[1] != ':' || !std::isalpha(static_cast<unsigned char>(address[0]))) return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(address[0])));
}

// The view addresses a page as file://<drive letter>/<path on the drive>. Links and pictures
// are resolved on the URL's path, whose root is then the drive's root: ".." stops there, as
// on the drives' own platform, where a host path would let it climb out of the drive.
QUrl UrlOf(const std::string& address) {
  const std::string resolved = ResolvedAddress(address);
  const char letter = DriveLetterOf(resolved);
  if (!letter) {
    // An address on no drive cannot be found; it shows as a missing page under its own name.
    return QUrl::fromLocalFile(QString::fromStdString("/" + address));
  }
  QUrl url;
  url.setScheme("file");
  url.setHost(QString(QChar(letter)).toLower());
  url.setPath(QString::fromStdString(resolved.substr(2)).replace('\\', '/'), QUrl::DecodedMode);
  return url;
}

// The resolved drive-letter address of a file URL; empty when it is on no drive. A URL
// without a drive letter is a host path (a link a page spells that way).
std::string AddressOf(const QUrl& url) {
  const QString host = url.host();
  if (host.isEmpty()) {
    const auto dos = platform::DosPathOf(url.toLocalFile().toStdString());
    return dos ? ResolvedAddress(*dos) : std::string();
  }
  if (host.size() != 1 || !host[0].isLetter() || host[0].unicode() > 0x7F) return {};
  return ResolvedAddress(host.toUpper().toStdString() + ":" + url.path(QUrl::FullyDecoded).toStdString());
}

// The file's bytes, at most HelpBrowser::kLargestPage; nothing when it is no plain file (a
// folder, a device, a pipe), is bigger or cannot be read.
std::optional<QByteArray> ReadBounded(const QString& hostPath) {
  const QFileInfo info(hostPath);
  if (!info.isFile() || info.size() > HelpBrowser::kLargestPage) return std::nullopt;
  QFile file(hostPath);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // Files of /proc and the like tell a size of 0 whatever they hold.
  QByteArray bytes = file.read(HelpBrowser::kLargestPage + 1);
  if (bytes.size() > HelpBrowser::kLargestPage) return std::nullopt;
  return bytes;
}

// The page's text as the view decodes it (its byte order mark or charset, else UTF-8);
// nothing when it holds characters that no text holds, which is how a program or any other
// binary file reads.
std::optional<QString> PageText(const QByteArray& bytes) {
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  QString text = decoder.decode(bytes);
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 && u != '\t' && u != '\n' && u != '\v' && u != '\f' && u != '\r') return std::nullopt;
  }
  return text;
}

}  // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent), lookup_(platform::SystemPrinter) {
  setOpenLinks(true);
  // Links out of the help folder belong in the desktop's own browser.
  setOpenExternalLinks(true);
  connect(this, &QTextBrowser::sourceChanged, this, [this](const QUrl& page) {
    const QString title = documentTitle().trimmed();
    emit TitleChange(title.isEmpty() ? page.fileName() : title);
    emit DownloadComplete();
  });
}

void HelpBrowser::SetHelpFolder(const std::string& folder) {
  drive_ = DriveLetterOf(folder);
  index_ = UrlOf(folder + "index.htm");
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

QString HelpBrowser::PageTitle() const {
  const QString title = documentTitle().trimmed();
  if (!title.isEmpty()) return title;
  return source().fileName();
}

std::string HelpBrowser::ShownAddress() const { return AddressOf(source()); }

std::optional<QString> HelpBrowser::HostFileOf(const std::string& address) const {
  if (!drive_ || DriveLetterOf(address) != drive_) return std::nullopt;
  const std::string host = platform::HostPathOf(address);
  if (host.empty()) return std::nullopt;
  return QString::fromStdString(host);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  // Other schemes (the program's own qrc pictures) are Qt's; a name still relative has no
  // page to stand on and is found nowhere.
  if (!url.isLocalFile() && !url.isRelative()) return QTextBrowser::loadResource(type, url);
  const std::string address = AddressOf(url);
  const std::optional<QString> host = HostFileOf(address);
  // A followed link asks for its page without a type.
  if (type == QTextDocument::HtmlResource || type == QTextDocument::UnknownResource) {
    if (host && QFileInfo(*host).isDir()) return FolderPage(address, *host);
    const std::optional<QByteArray> bytes = host ? ReadBounded(*host) : std::nullopt;
    std::optional<QString> text = bytes ? PageText(*bytes) : std::nullopt;
    if (!text) {
      if (!address.empty()) return NotFoundPage(address);
      return NotFoundPage((url.isLocalFile() ? url.toLocalFile() : url.toString()).toStdString());
    }
    return *text;
  }
  // Never a null answer: the document would then read the file itself, wherever it lies.
  return host ? ReadBounded(*host).value_or(QByteArray()) : QByteArray();
}

QString HelpBrowser::NotFoundPage(const std::string& address) const {
  return QStringLiteral(
             "<html><head><title>Page Not Found</title>%3</head><body>"
             "<h1>Page not found</h1>"
             "<p>There is no help page <b>%1</b>.</p>"
             "<p>The <a href=\"%2\">help index</a> lists every page of this help.</p>"
             "</body></html>")
      .arg(QString::fromStdString(address).toHtmlEscaped(), index_.toString().toHtmlEscaped(), QString(kPageStyle));
}

// What a browser shows for a folder: its pages, each a link.
QString HelpBrowser::FolderPage(const std::string& folder, const QString& hostFolder) const {
  std::string base = folder;
  if (base.back() != '\\') base.push_back('\\');
  QString links;
  const QDir dir(hostFolder);
  for (const QFileInfo& page : dir.entryInfoList({"*.htm", "*.html"}, QDir::Files, QDir::Name)) {
    links += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                 .arg(UrlOf(base + page.fileName().toStdString()).toString().toHtmlEscaped(),
                      page.fileName().toHtmlEscaped());
  }
  const QString shown = QString::fromStdString(folder).toHtmlEscaped();
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
