// help.exe: the help viewer that tolvan's Help buttons start with a page name.
#include <QApplication>
#include <QStringList>

#include "help/helpdeclarations.h"
#include "platform/qt/msgbox_qt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Help! - Tolvan Audio Manager");
  QApplication::setApplicationVersion("1.00");

  platform::QtMessageBoxes boxes;
  platform::SetMessageBoxes(&boxes);

  std::vector<std::string> args;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i) args.push_back(all[i].toStdString());
  Main(QCoreApplication::applicationDirPath().toStdString(), HelpCommandLine(args));
  return app.exec();
}
