#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QPrinterInfo>
#include <QTextBrowser>
#include <QUrl>

namespace help {

// The viewer's HTML view: navigation to a page by its drive-letter path, history back and
// forward that tell when there is nothing to go to, printing of the shown page on the
// default printer without a dialog, and events for a completed load and a changed title.
//
// The view shows files of the help folder's drive only: an address, a link or a picture is
// resolved on that drive (".." above its root stays at the root), and a page off that drive,
// bigger than kLargestPage or other than text shows as a missing page.
class HelpBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  using PrinterLookup = std::function<QPrinterInfo()>;  // a null one: no printer installed

  // Our pages are a few kB; a text of this size already takes the view about two seconds.
  static constexpr qint64 kLargestPage = 1024 * 1024;

  explicit HelpBrowser(QWidget* parent = nullptr);

  // The folder of the pages, drive-letter form ending in "\": its drive bounds what the view
  // shows, and its index.htm is where a missing page's stand-in links to.
  void SetHelpFolder(const std::string& folder);
  // `address`: a page's full path in drive-letter form.
  void Navigate(const std::string& address);
  // False, and nothing changes, when there is no page to go to.
  bool GoBack();
  bool GoForward();
  // The view's own history keys (Alt+Left, Alt+Right, the keyboard's Back and Forward) ask
  // for a move instead of making it, so that the window's buttons follow every move.
  void backward() override { emit BackRequested(); }
  void forward() override { emit ForwardRequested(); }
  // The shown page to the system's default printer (its first when none is default), or to
  // the PDF file that TOLVAN_PRINT_TO_PDF names. A failure throws
  // platform::VbError(errPrinterError) with a description for the user.
  void PrintPage();
  void SetPrinterLookup(PrinterLookup lookup) { lookup_ = std::move(lookup); }

  // The title of the shown page: its <title>, else its file name.
  QString PageTitle() const;
  // The shown page's address in drive-letter form, resolved.
  std::string ShownAddress() const;

 signals:
  void DownloadComplete();
  void TitleChange(const QString& title);
  void BackRequested();
  void ForwardRequested();

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  // The host file behind an address, when it lies on the help folder's drive.
  std::optional<QString> HostFileOf(const std::string& address) const;
  QString NotFoundPage(const std::string& address) const;
  QString FolderPage(const std::string& folder, const QString& hostFolder) const;

  PrinterLookup lookup_;
  char drive_ = 0;  // the help folder's drive letter, upper case; 0 before SetHelpFolder
  QUrl index_;
};

}  // namespace help
