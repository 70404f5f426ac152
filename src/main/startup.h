#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace platform {
class MediaPlayer;
}  // namespace platform

enum class StartOutcome {
  Running,     // the splash is up; the event loop drives the program from here
  HandedOver,  // another instance runs (and has come to the front when it answered): this start ends
  NoDrive,     // the program's folder lies on no mapped drive: this start ends
};

// Module Declarations' entry: the hand-over to a running instance, the folders and data-file
// names, the splash.
StartOutcome Main(const QString& hostProgramFolder, platform::MediaPlayer* player);

// What a later start asks of the running one: its main window comes to the front and
// receives the keystroke "+", which its key handler ignores.
void BringMainWindowToFront();

class frmLauncher;
// The main window the start made (null before the splash has made it and after it is gone).
frmLauncher* MainWindowOrNull();
