#pragma once

#include <QApplication>

#include <memory>

namespace platform {
class MediaPlayer;
}

// The program's application object. A failure that escapes a handler would end the program
// with the user's unsaved edits: it is shown in a message box instead, and the program goes on.
class TolvanApplication : public QApplication {
 public:
  TolvanApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The services of this platform that the program runs on (message boxes, file dialogs,
// program start, printer, the main window's player), installed while the object lives.
class ProgramServices {
 public:
  ProgramServices();
  ~ProgramServices();
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;

  platform::MediaPlayer* MainPlayer();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
};

// The program's run from its folder: the start, then the event loop until Exit. The exit code.
int RunProgram(const QString& hostProgramFolder);
