#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>

#include "help/helpbrowser.h"
#include "platform/qt/controls.h"

// The help viewer's window: the HTML view with Back, Forward, Index, Print and Exit and the
// title of the page on show.
class frmHelp : public QWidget {
  Q_OBJECT
 public:
  explicit frmHelp(QWidget* parent = nullptr);

  void Form_Load();
  void btnBack_Click();
  void btnFwd_Click();
  void btnIndex_Click();
  void btnPrint_Click();
  void btnExit_Click();
  void wbrHelpScreen_DownloadComplete();
  void wbrHelpScreen_TitleChange(const QString& text);

  QPushButton* btnBack;
  QPushButton* btnFwd;
  QPushButton* btnIndex;
  platform::Label* lblHelpTitleLabel;
  platform::Label* lblHelpTitle;
  QPushButton* btnPrint;
  help::HelpBrowser* wbrHelpScreen;
  QPushButton* btnExit;
};
