// The preset editors typed into as they open, a commit of them and of the preferences on a
// disk that takes no write, and the main window dragged from its background with each mouse
// button, one drag after another; each with and without a window manager.
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "main/startup.h"
#include "mainwindow/frmEditTapdeck.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmPreferences.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "platform/core/files.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"
#include "windows/skin.h"
#include "support/preset_access.h"

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }

template <typename T>
bool Showing() {
  return Dialog<T>() && Dialog<T>()->isVisible();
}

// Where the X server has the main window, on the screen (not what the program believes).
QPoint ScreenPosition() {
  QProcess xdotool;
  xdotool.start("xdotool", {"getwindowgeometry", "--shell", QString::number(Launcher().winId())});
  xdotool.waitForFinished();
  QPoint p(-1, -1);
  for (const QString& line : QString::fromLocal8Bit(xdotool.readAllStandardOutput()).split('\n')) {
    if (line.startsWith("X=")) p.setX(line.mid(2).toInt());
    if (line.startsWith("Y=")) p.setY(line.mid(2).toInt());
  }
  return p;
}

void Pointer(const QStringList& args) {
  if (QProcess::execute("xdotool", args) != 0) {
    std::fprintf(stderr, "smoke: xdotool %s failed\n", qPrintable(args.join(' ')));
    std::_Exit(2);
  }
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
  s.Step("right-press preset 1", [] { Click(CentreOf(BankUi(Launcher().Bank()).btnPreset[1]), 3); },
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
}

// --- a commit on a disk that takes no write ----------------------------------------------------

// Every write fails from the press until the box that tells it is answered.
void PressOnAFullDisk(Scenario& s, const std::string& what, std::function<QWidget*()> button) {
  s.Step(what + " while no write succeeds", [button] {
    platform::InjectWriteFailureAfter(0);
    Click(CentreOf(button()));
  }, [] { return Box("Data File Not Saved") != nullptr; });
  s.Step("OK", [] {
    platform::InjectWriteFailureAfter(-1);
    Answer("Data File Not Saved", "OK");
  }, [] { return Box("Data File Not Saved") == nullptr && !NoDialog(); });
}

void FailedSavesKeepTheEdits(Scenario& s, Machine& m) {
  auto stored = std::make_shared<std::string>();
  s.Step("press Configure Tapdeck", [&m, stored] {
    *stored = m.Read("C:\\app\\data\\preset.dat");
    Click(CentreOf(Launcher().btnConfigure));
  }, Showing<frmEditTapdeck>);
  s.Step("tick Loop of preset 2", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->chkLoop[2])); },
         [] { return Showing<frmEditTapdeck>() && Dialog<frmEditTapdeck>()->btnApply->isEnabled(); });
  PressOnAFullDisk(s, "Apply", [] { return Dialog<frmEditTapdeck>()->btnApply; });
  s.Check("the editor still marks the tick for Apply and preset.dat is as it was", [&m, stored] {
    frmEditTapdeck* f = Dialog<frmEditTapdeck>();
    return f && f->btnApply->isEnabled() && f->chkLoop[2]->BackColor() == skin::kChanged &&
           m.Read("C:\\app\\data\\preset.dat") == *stored;
  });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->btnOK)); }, NoDialog);
  s.Check("preset.dat holds the tick", [&m, stored] { return m.Read("C:\\app\\data\\preset.dat") != *stored; });

  s.Step("press Tools/Preferences", [&m, stored] {
    *stored = m.Read("C:\\app\\data\\prefs.dat");
    Click(CentreOf(Launcher().btnSettings));
  }, Showing<frmPreferences>);
  s.Step("tick File attributes", [] { Click(CentreOf(Dialog<frmPreferences>()->chkAttributes)); },
         [] { return Showing<frmPreferences>() && Dialog<frmPreferences>()->btnApply->isEnabled(); });
  PressOnAFullDisk(s, "OK", [] { return Dialog<frmPreferences>()->btnOK; });
  s.Check("the window is still open, the tick marked for Apply, and prefs.dat is as it was", [&m, stored] {
    frmPreferences* f = Dialog<frmPreferences>();
    return f && f->btnApply->isEnabled() && f->chkAttributes->BackColor() == skin::kChanged &&
           m.Read("C:\\app\\data\\prefs.dat") == *stored;
  });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmPreferences>()->btnOK)); }, NoDialog);
  s.Check("prefs.dat holds the tick", [&m, stored] { return m.Read("C:\\app\\data\\prefs.dat") != *stored; });
}

// --- dragging the main window -----------------------------------------------------------------

// A point of the window's own skin, on screen, away from its edges.
QPoint BackgroundPoint() {
  const frmLauncher& w = Launcher();
  for (int y = w.height() / 2; y < w.height() - 20; y += 7) {
    for (int x = w.width() / 2; x < w.width() - 20; x += 7) {
      if (!w.childAt(x, y)) return w.mapToGlobal(QPoint(x, y));
    }
  }
  return {-1, -1};
}

struct Drag {
  int button;  // xdotool's numbers: 1 left, 2 middle, 3 right
  int dx, dy;
};

void DragsFollowThePointer(Scenario& s) {
  WaitForMainWindow(s);
  // The drags of a user who moved the window about: right twice, then left, middle, left back.
  const std::vector<Drag> drags = {{3, 20, 20}, {3, 20, 20}, {1, 20, 20}, {2, -30, 10}, {1, -15, -25}, {3, 40, 0}};
  auto from = std::make_shared<QPoint>();
  auto at = std::make_shared<QPoint>();
  for (const Drag& d : drags) {
    const std::string what = "button " + std::to_string(d.button) + " by " + std::to_string(d.dx) + "," +
                             std::to_string(d.dy);
    s.Step("press " + what, [d, from, at] {
      *from = ScreenPosition();
      *at = BackgroundPoint();
      Pointer({"mousemove", QString::number(at->x()), QString::number(at->y()), "mousedown", QString::number(d.button)});
    });
    s.Pause(150);
    // In steps, as a hand moves.
    for (int i = 1; i <= 4; ++i) {
      s.Step("move " + std::to_string(i) + "/4", [d, at, i] {
        Pointer({"mousemove", QString::number(at->x() + d.dx * i / 4), QString::number(at->y() + d.dy * i / 4)});
      });
      s.Pause(60);
    }
    s.Step("release", [d] { Pointer({"mouseup", QString::number(d.button)}); });
    s.Pause(400);
    s.Check("the window moved by exactly " + what, [d, from] {
      const QPoint moved = ScreenPosition() - *from;
      if (moved == QPoint(d.dx, d.dy)) return true;
      std::fprintf(stderr, "  moved by %d,%d\n", moved.x(), moved.y());
      return false;
    });
  }
  s.Exit("press Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

void PresetEditors(Scenario& s, Machine& m) {
  EditorsTakeTyping(s, m);
  FailedSavesKeepTheEdits(s, m);
  s.Exit("press Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace

void PresetEditorsScenario(Scenario& s, Machine& m) { PresetEditors(s, m); }

void PresetEditorsWmScenario(Scenario& s, Machine& m) {
  StartWindowManager(m);
  PresetEditors(s, m);
}

void WindowDragScenario(Scenario& s, Machine&) { DragsFollowThePointer(s); }

void WindowDragWmScenario(Scenario& s, Machine& m) {
  StartWindowManager(m);
  DragsFollowThePointer(s);
}

}  // namespace smoke
