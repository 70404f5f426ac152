#include "main/startup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include "main/declarations.h"
#include "main/frmSplash.h"
#include "mainwindow/frmLauncher.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/singleinstance.h"

namespace {

// What a later start sends: the keystroke "+", which the main window's key handler ignores.
constexpr const char kHandOver[] = "{+}";

// The program's main window, once the splash has made it.
QPointer<frmLauncher> gMainWindow;

}  // namespace

frmLauncher* MainWindowOrNull() { return gMainWindow.data(); }

void BringMainWindowToFront() {
  frmLauncher* main = MainWindowOrNull();
  if (!main) return;
  if (main->isMinimized()) main->showNormal();
  main->show();
  main->raise();
  main->activateWindow();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier, "+");
  QApplication::sendEvent(main, &press);
}

StartOutcome Main(const QString& hostProgramFolder, platform::MediaPlayer* player) {
  // Lives as long as the program (qApp owns it): it holds the folder's lock.
  auto* instance = new platform::SingleInstance(platform::SingleInstance::KeyFor(hostProgramFolder), qApp);
  // Never two instances on one data folder: a start that cannot lock it asks the running
  // one to come to the front and ends, whether that one answers or is too busy to.
  if (!instance->LockFolder(hostProgramFolder) || !instance->LockFolder(hostProgramFolder + "/data")) {
    instance->HandOverToRunning(kHandOver);
    return StartOutcome::HandedOver;
  }
  instance->Listen();
  QObject::connect(instance, &platform::SingleInstance::Activated, qApp, [](const QByteArray&) { BringMainWindowToFront(); });

  Declarations& decl = App().decl;
  decl.gAppPath = AppPathFromHost(hostProgramFolder.toStdString());
  if (decl.gAppPath.empty()) {
    platform::MsgBox("Tolvan's folder " + hostProgramFolder.toStdString() +
                         " lies on none of its drives (see TOLVAN_DRIVES). Tolvan will now close.",
                     platform::vbCritical, "Tolvan Audio Manager");
    return StartOutcome::NoDrive;
  }
  decl.files = datafiles::DataFileNames::InFolder(decl.gAppPath + "data\\");

  auto* splash = new frmSplash(App(), [player] {
    auto* main = new frmLauncher(player, App());
    gMainWindow = main;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->Form_Load();
    main->show();
  });
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  platform::DoEvents();
  return StartOutcome::Running;
}
