// The reconcile window as a user works it: offered after the first start's update found
// orphaned notes (and put off), opened from the preferences, an orphan linked to a match, one
// linked through the browse dialog (cancelled first), one deleted (No, then Yes), and Close.
#include <QMessageBox>

#include <algorithm>

#include "pane/frmReconcileDB.h"
#include "main/startup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmPreferences.h"
#include "platform/qt/grid.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }
frmReconcileDB& Reconcile() { return *Dialog<frmReconcileDB>(); }
bool ReconcileUp() { return Dialog<frmReconcileDB>() && Dialog<frmReconcileDB>()->isVisible(); }

// The orphan list's row of `path`, or -1.
int OrphanRow(const std::string& path) {
  platform::FlexGrid& g = *Reconcile().grdOrphans;
  for (int r = 0; r < g.Rows(); ++r) {
    if (g.TextMatrix(r, 1) == path) return r;
  }
  return -1;
}

void ChooseOrphan(Scenario& s, const std::string& path) {
  s.Step("press the orphan " + path, [path] { Click(GridCellPoint(*Reconcile().grdOrphans, OrphanRow(path), 0)); },
         [] { return ReconcileUp() && Reconcile().btnDeleteRecord->isEnabled(); });
}

}  // namespace

void ReconcileScenario(Scenario& s, Machine& m) {
  m.AddNote("C:\\Old\\spare.wav", "Moved");
  m.AddNote("C:\\Old\\gone2.wav", "Renamed");
  m.AddNote("C:\\Old\\lost.wav", "Lost");

  s.WaitFor("the offer to reconcile", [] { return Box("Orphaned records found", "3 of your") != nullptr; });
  s.Step("answer No", [] { Answer("Orphaned records found", "No"); },
         [] { return Box("Reconciling Later") != nullptr; });
  s.Step("OK", [] { Answer("Reconciling Later", "OK"); },
         [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });

  s.Step("press Tools/Preferences", [] { Click(CentreOf(Launcher().btnSettings)); },
         [] { return Dialog<frmPreferences>() != nullptr; });
  s.Step("press Reconcile Database", [] { Click(CentreOf(Dialog<frmPreferences>()->btnReconcileDB)); }, ReconcileUp);
  s.Check("the three orphans are listed", [] { return Reconcile().grdOrphans->Rows() == 3; });

  // The moved file: its match, linked; the question about the other orphans answered No.
  ChooseOrphan(s, "C:\\Old\\spare.wav");
  s.WaitFor("spare.wav is offered", [] { return Reconcile().grdMatches->Rows() >= 1; });
  s.Step("press the match", [] { Click(GridCellPoint(*Reconcile().grdMatches, 0, 0)); },
         [] { return Reconcile().btnLink->isEnabled(); });
  s.Step("press Link", [] { Click(CentreOf(Reconcile().btnLink)); },
         [] { return Box("File path has changed") != nullptr; });
  s.Step("answer No", [] { Answer("File path has changed", "No"); },
         [] { return ReconcileUp() && OrphanRow("C:\\Old\\spare.wav") < 0; });
  s.Check("its note names C:\\Music\\spare.wav", [&m] {
    const std::vector<std::string> paths = m.NotePaths();
    return std::count(paths.begin(), paths.end(), "C:\\Music\\spare.wav") == 1 &&
           std::count(paths.begin(), paths.end(), "C:\\Old\\spare.wav") == 0;
  });

  // The renamed file, through the browse dialog.
  ChooseOrphan(s, "C:\\Old\\gone2.wav");
  s.Step("press Browse", [] { Click(CentreOf(Reconcile().btnBrowse)); }, [] { return FileDialog() != nullptr; });
  s.Step("cancel the file dialog", CancelFileDialog, [] { return ReconcileUp() && OrphanRow("C:\\Old\\gone2.wav") >= 0; });
  s.Step("press Browse", [] { Click(CentreOf(Reconcile().btnBrowse)); }, [] { return FileDialog() != nullptr; });
  ChooseIn(s, "choose long.wav", [&m] { return m.Host("C:\\Music\\long.wav"); },
         [] { return ReconcileUp() && OrphanRow("C:\\Old\\gone2.wav") < 0; });
  s.Check("its note names C:\\Music\\long.wav", [&m] {
    const std::vector<std::string> paths = m.NotePaths();
    return std::count(paths.begin(), paths.end(), "C:\\Music\\long.wav") == 1;
  });

  // The lost file's note: No keeps it, Yes deletes it.
  ChooseOrphan(s, "C:\\Old\\lost.wav");
  s.Step("press Delete", [] { Click(CentreOf(Reconcile().btnDeleteRecord)); },
         [] { return Box("Deleting record") != nullptr; });
  s.Step("answer No", [] { Answer("Deleting record", "No"); }, ReconcileUp);
  s.Check("the note is kept", [&m] { return m.NotePaths().size() == 4; });
  s.Step("press Delete", [] { Click(CentreOf(Reconcile().btnDeleteRecord)); },
         [] { return Box("Deleting record") != nullptr; });
  s.Step("answer Yes", [] { Answer("Deleting record", "Yes"); },
         [] { return ReconcileUp() && Reconcile().grdOrphans->TextMatrix(0, 0) == kNoOrphansFound; });
  s.Check("the note is gone", [&m] {
    return m.NotePaths() == std::vector<std::string>{"C:\\Music\\tone.wav", "C:\\Music\\spare.wav", "C:\\Music\\long.wav"};
  });

  s.Step("press Close", [] { Click(CentreOf(Reconcile().btnClose)); },
         [] { return Dialog<frmPreferences>() != nullptr; });
  s.Step("press OK", [] { Click(CentreOf(Dialog<frmPreferences>()->btnOK)); }, NoDialog);
  s.Exit("Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace smoke
