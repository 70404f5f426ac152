#include "main/program.h"

#include <exception>
#include <string>

#include "analysis/durationprobe.h"
#include "main/startup.h"
#include "platform/core/msgbox.h"
#include "platform/core/programstart.h"
#include "platform/qt/filedialogs_qt.h"
#include "platform/qt/mediaplayer_qt.h"
#include "platform/qt/msgbox_qt.h"
#include "platform/qt/printer_qt.h"

TolvanApplication::TolvanApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Tolvan Audio Manager");
  setQuitOnLastWindowClosed(false);  // only Exit ends the program
}

bool TolvanApplication::notify(QObject* receiver, QEvent* event) {
  std::string failure;
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = "Unknown error";
  }
  const std::string lf(platform::vbLf), cr(platform::vbCr);
  platform::MsgBox("Tolvan could not complete the last action:" + lf + cr + lf + cr + failure, platform::vbExclamation,
                   "Action Not Completed");
  return false;
}

struct ProgramServices::Services {
  platform::QtMessageBoxes boxes;
  platform::HostProgramStarter starter;
  platform::QtFileDialogs dialogs;
  platform::QtPrinter printer;
  platform::QtMediaPlayer player{analysis::ProbeDurationHost};  // the main window's mpPlayer
};

ProgramServices::ProgramServices() : services_(std::make_unique<Services>()) {
  platform::SetMessageBoxes(&services_->boxes);
  platform::SetProgramStarter(&services_->starter);
  platform::SetFileDialogs(&services_->dialogs);
  platform::SetPrinter(&services_->printer);
}

ProgramServices::~ProgramServices() {
  platform::SetPrinter(nullptr);
  platform::SetFileDialogs(nullptr);
  platform::SetProgramStarter(nullptr);
  platform::SetMessageBoxes(nullptr);
}

platform::MediaPlayer* ProgramServices::MainPlayer() { return &services_->player; }

int RunProgram(const QString& hostProgramFolder) {
  ProgramServices services;
  switch (Main(hostProgramFolder, services.MainPlayer())) {
    case StartOutcome::Running: return QApplication::exec();
    case StartOutcome::HandedOver: return 0;
    case StartOutcome::NoDrive: return 1;
  }
  return 1;
}
