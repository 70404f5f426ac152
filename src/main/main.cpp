// tolvan: the desktop audio manager.
#include <QApplication>

#include "main/startup.h"
#include "platform/qt/filedialogs_qt.h"
#include "platform/qt/mediaplayer_qt.h"
#include "platform/qt/msgbox_qt.h"
#include "platform/qt/printer_qt.h"
#include "platform/qt/programstart_qt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tolvan Audio Manager");
  QApplication::setQuitOnLastWindowClosed(false);  // only Exit ends the program

  platform::QtMessageBoxes boxes;
  platform::QtProgramStarter starter;
  platform::QtFileDialogs dialogs;
  platform::SetMessageBoxes(&boxes);
  platform::SetProgramStarter(&starter);
  platform::SetFileDialogs(&dialogs);
  platform::QtPrinter printer;
  platform::SetPrinter(&printer);
  platform::QtMediaPlayer player;  // the main window's mpPlayer

  switch (Main(QCoreApplication::applicationDirPath(), &player)) {
    case StartOutcome::Running: return app.exec();
    case StartOutcome::HandedOver: return 0;
    case StartOutcome::NoDrive: return 1;
  }
  return 1;
}
