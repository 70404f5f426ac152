// The preset editors typed into as they open, with and without a window manager.
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#include "main/startup.h"
#include "mainwindow/frmEditTapdeck.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }

template <typename T>
bool Showing() {
  return Dialog<T>() && Dialog<T>()->isVisible();
}

// A window manager on the display for the rest of the run (it ends with the display). Waits
// until it manages windows: its start-up command runs only then.
void StartWindowManager(Machine& m) {
  auto& wm = *new QProcess;  // lives as long as the display
  const QString ready = QString::fromStdString(m.Host("C:\\wm-ready"));
  wm.start("openbox", {"--sm-disable", "--startup", "touch " + ready});
  const qint64 until = QDateTime::currentMSecsSinceEpoch() + 15000;
  while (!QFile::exists(ready)) {
    if (QDateTime::currentMSecsSinceEpoch() > until || wm.state() == QProcess::NotRunning) {
      std::fprintf(stderr, "smoke: the window manager did not start\n");
      std::_Exit(2);
    }
    QThread::msleep(50);
  }
}

void WaitForMainWindow(Scenario& s) {
  s.WaitFor("the main window", [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });
  s.Pause(300);
}

// --- typing into the editors as they open ---------------------------------------------------

void EditorsTakeTyping(Scenario& s, Machine& m) {
  WaitForMainWindow(s);
  s.Step("right-press preset 1", [] { Click(CentreOf(Launcher().Bank().btnPreset[1]), 3); },
         Showing<frmTDButtonConfig>);
  s.Step("type the caption \"Tone\" without a click", [] {
    Keys("ctrl+a BackSpace");
    Type("Tone");
  }, [] { return Showing<frmTDButtonConfig>() && Dialog<frmTDButtonConfig>()->txtCaption->text() == "Tone"; });
  s.Step("Tab, type the path", [] {
    Keys("Tab");
    Type("C:\\Music\\tone.wav");
  }, [] { return Dialog<frmTDButtonConfig>()->txtFilePath->text() == "C:\\Music\\tone.wav"; });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmTDButtonConfig>()->btnOK)); }, NoDialog);
  s.Check("preset.dat holds preset 1",
          [&m] { return m.Read("C:\\app\\data\\preset.dat").find("Tone,C:\\Music\\tone.wav,") == 0; });

  s.Step("press Configure Tapdeck", [] { Click(CentreOf(Launcher().btnConfigure)); }, Showing<frmEditTapdeck>);
  s.Step("type preset 1's caption \"Opener\" without a click", [] {
    Keys("ctrl+a BackSpace");
    Type("Opener");
  }, [] { return Showing<frmEditTapdeck>() && Dialog<frmEditTapdeck>()->txtCaption[1]->text() == "Opener"; });
  s.Step("Tab, type the path", [] {
    Keys("Tab");
    Type("C:\\Music\\spare.wav");
  }, [] { return Dialog<frmEditTapdeck>()->txtFilePath[1]->text() == "C:\\Music\\spare.wav"; });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->btnOK)); }, NoDialog);
  s.Check("preset.dat holds the new preset 1",
          [&m] { return m.Read("C:\\app\\data\\preset.dat").find("Opener,C:\\Music\\spare.wav,") == 0; });
  s.Exit("press Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace

void PresetEditorsScenario(Scenario& s, Machine& m) { EditorsTakeTyping(s, m); }

void PresetEditorsWmScenario(Scenario& s, Machine& m) {
  StartWindowManager(m);
  EditorsTakeTyping(s, m);
}

}  // namespace smoke
