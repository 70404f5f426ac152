#include "main/startup.h"

#include <QApplication>
#include <QKeyEvent>

#include "main/declarations.h"
#include "main/frmSplash.h"
#include "mainwindow/frmLauncher.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/singleinstance.h"

namespace {
frmSplash* gSplash = nullptr;
platform::SingleInstance* gInstance = nullptr;

// What a later start sends: the keystroke "+", which the main window's key handler ignores.
constexpr const char kHandOver[] = "{+}";

}  // namespace

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

frmSplash* SplashWindow() { return gSplash; }
platform::SingleInstance* RunningInstance() { return gInstance; }

StartOutcome Main(const QString& hostProgramFolder, platform::MediaPlayer* player) {
  gInstance = new platform::SingleInstance(platform::SingleInstance::KeyFor(hostProgramFolder), qApp);
  // Never two instances on one data folder: a start that cannot lock it asks the running
  // one to come to the front and ends, whether that one answers or is too busy to.
  if (!gInstance->LockFolder(hostProgramFolder) || !gInstance->LockFolder(hostProgramFolder + "/data")) {
    gInstance->HandOverToRunning(kHandOver);
    return StartOutcome::HandedOver;
  }
  gInstance->Listen();
  QObject::connect(gInstance, &platform::SingleInstance::Activated, qApp, [](const QByteArray&) { BringMainWindowToFront(); });

  Declarations& decl = App().decl;
  decl.gAppPath = AppPathFromHost(hostProgramFolder.toStdString());
  if (decl.gAppPath.empty()) {
    platform::MsgBox("Tolvan's folder " + hostProgramFolder.toStdString() +
                         " lies on none of its drives (see TOLVAN_DRIVES). Tolvan will now close.",
                     platform::vbCritical, "Tolvan Audio Manager");
    return StartOutcome::NoDrive;
  }
  decl.files = datafiles::DataFileNames::InFolder(decl.gAppPath + "data\\");

  gSplash = new frmSplash([player] {
    auto* main = new frmLauncher(player);
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->Form_Load();
    main->show();
  });
  gSplash->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(gSplash, &QObject::destroyed, [] { gSplash = nullptr; });
  gSplash->show();
  platform::DoEvents();
  return StartOutcome::Running;
}
