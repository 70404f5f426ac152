// The main window's other dialogs and players as a user works them: the waveform editor
// button, the preferences with their browse dialog, both preset editors with theirs, presets
// played by key and by button (one whose file has gone), the pane's File Detail with its Play
// label and note edit, and Exit during a note edit.
#include <QMessageBox>

#include <memory>

#include "mainwindow/frmEditTapdeck.h"
#include "main/startup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmPreferences.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "platform/qt/grid.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"
#include "support/pane_access.h"
#include "support/player_access.h"
#include "support/preset_access.h"

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }
PlayerAreaControls& Player() { return PlayerUi(Launcher().Player()); }
std::string Status() { return Player().lblPlayStatus->Caption().toStdString(); }
bool AreaIdle() { return NoDialog() && Status().empty(); }

template <typename T>
bool Showing() {
  return Dialog<T>() && Dialog<T>()->isVisible();
}

// The pane's list row that names `fileName`, or -1.
int PaneRowOf(const std::string& fileName) {
  platform::FlexGrid& g = *PaneUi(Launcher().Pane()).grdTotals;
  for (int r = g.FixedRows(); r < g.Rows(); ++r) {
    for (int c = 0; c < g.Cols(); ++c) {
      if (g.TextMatrix(r, c).find(fileName) != std::string::npos) return r;
    }
  }
  return -1;
}

}  // namespace

void MainWindowScenario(Scenario& s, Machine& m) {
  // prefs.dat as the first start's inventory update left it.
  auto prefsAtStart = std::make_shared<std::string>();
  s.WaitFor("the main window", [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });
  s.Pause(300);
  s.Step("the preferences as stored", [&m, prefsAtStart] { *prefsAtStart = m.Read("C:\\app\\data\\prefs.dat"); });

  // No editor is configured yet.
  s.Step("press Waveform Editor", [] { Click(CentreOf(Launcher().btnEditor)); },
         [] { return Box("No waveform editor configured") != nullptr; });
  s.Step("OK", [] { Answer("No waveform editor configured", "OK"); }, NoDialog);

  // Preferences: the editor's browse dialog cancelled, a change cancelled, then an editor
  // chosen and kept with OK.
  s.Step("press Tools/Preferences", [] { Click(CentreOf(Launcher().btnSettings)); }, Showing<frmPreferences>);
  s.Step("browse for an editor", [] { Click(CentreOf(Dialog<frmPreferences>()->btnBrowseEditor)); },
         [] { return FileDialog() != nullptr; });
  s.Step("cancel the file dialog", CancelFileDialog, Showing<frmPreferences>);
  s.Step("tick File attributes", [] { Click(CentreOf(Dialog<frmPreferences>()->chkAttributes)); },
         [] { return Dialog<frmPreferences>()->btnApply->isEnabled(); });
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmPreferences>()->btnCancel)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, NoDialog);
  s.Check("prefs.dat is as it was",
          [&m, prefsAtStart] { return m.Read("C:\\app\\data\\prefs.dat") == *prefsAtStart; });
  s.Step("press Tools/Preferences", [] { Click(CentreOf(Launcher().btnSettings)); }, Showing<frmPreferences>);
  s.Step("browse for an editor", [] { Click(CentreOf(Dialog<frmPreferences>()->btnBrowseEditor)); },
         [] { return FileDialog() != nullptr; });
  ChooseIn(s, "choose /usr/bin/true", [] { return std::string("/usr/bin/true"); },
         [] { return Showing<frmPreferences>() && Dialog<frmPreferences>()->lblWaveEditorPath->Caption() == "/usr/bin/true"; });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmPreferences>()->btnOK)); }, NoDialog);
  s.Check("prefs.dat names the editor",
          [&m] { return m.Read("C:\\app\\data\\prefs.dat").find("/usr/bin/true") != std::string::npos; });
  s.Step("press Waveform Editor", [] { Click(CentreOf(Launcher().btnEditor)); });
  s.Pause(500);
  s.Check("the editor starts without a word", NoDialog);

  // The one-preset editor from a right press on preset 1: browse cancelled, then tone.wav.
  s.Step("right-press preset 1", [] { Click(CentreOf(BankUi(Launcher().Bank()).btnPreset[1]), 3); }, Showing<frmTDButtonConfig>);
  s.Step("browse", [] { Click(CentreOf(Dialog<frmTDButtonConfig>()->btnBrowse)); },
         [] { return FileDialog() != nullptr; });
  s.Step("cancel the file dialog", CancelFileDialog, Showing<frmTDButtonConfig>);
  s.Step("browse again", [] { Click(CentreOf(Dialog<frmTDButtonConfig>()->btnBrowse)); },
         [] { return FileDialog() != nullptr; });
  ChooseIn(s, "choose tone.wav", [&m] { return m.Host("C:\\Music\\tone.wav"); },
         [] { return Showing<frmTDButtonConfig>() && Dialog<frmTDButtonConfig>()->txtFilePath->text() == "C:\\Music\\tone.wav"; });
  TypeIn(s, "the caption \"Tone\"", [] { return Dialog<frmTDButtonConfig>()->txtCaption; }, "Tone");
  s.Step("OK", [] { Click(CentreOf(Dialog<frmTDButtonConfig>()->btnOK)); }, NoDialog);
  s.Check("preset.dat holds preset 1",
          [&m] { return m.Read("C:\\app\\data\\preset.dat").find("C:\\Music\\tone.wav") != std::string::npos; });
  // With no window manager to give the window back its focus after a dialog, the user clicks
  // into it before using the keys.
  s.Step("click the Caption heading", [] { Click(CentreOf(Player().lblPlayFileNameLabel)); },
         [] { return Launcher().isActiveWindow(); });
  s.Step("press F1", [] { Keys("F1"); }, [] { return Status() == "Playing"; });
  s.Step("press Stop", [] { Click(CentreOf(Player().btnStop)); }, [] { return Status() == "Stopped"; });
  s.WaitFor("the player area resets", AreaIdle);

  // The all-presets editor: a change answered No, then Yes to leave it; then preset 2 set.
  s.Step("press Configure Tapdeck", [] { Click(CentreOf(Launcher().btnConfigure)); }, Showing<frmEditTapdeck>);
  TypeIn(s, "a caption for preset 3", [] { return Dialog<frmEditTapdeck>()->txtCaption[3]; }, "Nothing");
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->btnCancel)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer No", [] { Answer("Changes Not Saved", "No"); }, Showing<frmEditTapdeck>);
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->btnCancel)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, NoDialog);
  s.Step("press Configure Tapdeck", [] { Click(CentreOf(Launcher().btnConfigure)); }, Showing<frmEditTapdeck>);
  TypeIn(s, "preset 2's caption", [] { return Dialog<frmEditTapdeck>()->txtCaption[2]; }, "Long");
  TypeIn(s, "preset 2's path", [] { return Dialog<frmEditTapdeck>()->txtFilePath[2]; }, "C:\\Music\\long.wav");
  s.Step("tick preset 2's loop", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->chkLoop[2])); });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmEditTapdeck>()->btnOK)); }, NoDialog);
  s.Check("preset.dat holds preset 2",
          [&m] { return m.Read("C:\\app\\data\\preset.dat").find("C:\\Music\\long.wav") != std::string::npos; });

  // A preset whose file has gone since.
  s.Step("long.wav is deleted from the disk", [&m] { m.drives.Remove("C:\\Music\\long.wav"); });
  s.Step("press preset 2", [] { Click(CentreOf(BankUi(Launcher().Bank()).btnPreset[2])); },
         [] { return Box("Error Playing File") != nullptr; });
  s.Step("OK", [] { Answer("Error Playing File", "OK"); }, NoDialog);
  s.WaitFor("the player area resets", AreaIdle);

  // The pane: the list, File Detail of tone.wav, its Play label, and its note edited.
  s.Step("press the Detail tab", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnSelDetail)); },
         [] { return PaneRowOf("tone") > 0; });
  s.Step("click tone.wav's row", [] { Click(GridCellPoint(*PaneUi(Launcher().Pane()).grdTotals, PaneRowOf("tone"), 1)); },
         [] { return PaneUi(Launcher().Pane()).lblDBViewTitle->Caption() == "File Detail"; });
  s.Check("its note shows", [] { return PaneUi(Launcher().Pane()).lblDBCaption->Caption() == "A tone"; });
  s.Step("press Play", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnPlay)); }, [] { return Status() == "Playing"; });
  s.Step("press the label again (Stop)", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnPlay)); },
         [] { return Status() == "Stopped"; });
  s.WaitFor("the player area resets", AreaIdle);
  s.Step("press Print", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnPrint)); },
         [&m] { return NoDialog() && m.Exists(Machine::kPrintout); });
  s.Step("the printout is taken away", [&m] { m.drives.Remove(Machine::kPrintout); });
  s.Step("click the Caption heading", [] { Click(CentreOf(Player().lblPlayFileNameLabel)); },
         [] { return Launcher().isActiveWindow(); });
  s.Step("press F12 (the key sheet)", [] { Keys("F12"); }, [&m] { return NoDialog() && m.Exists(Machine::kPrintout); });
  s.Step("press Update (edit the note)", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnUpdate)); },
         [] { return PaneUi(Launcher().Pane()).btnUpdate->Caption() == "End Edit"; });
  TypeIn(s, "the caption \"Low tone\"", [] { return PaneUi(Launcher().Pane()).txtDBCaption; }, "Low tone");
  s.Step("press End Edit", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnUpdate)); },
         [] { return Box("User database values have changed") != nullptr; });
  s.Step("answer Yes", [] { Answer("User database values have changed", "Yes"); },
         [] { return NoDialog() && PaneUi(Launcher().Pane()).btnUpdate->Caption() == "Update"; });
  s.Check("userdb.dat holds the new caption",
          [&m] { return m.UserDbDat().size() == 298 && m.UserDbDat().find("Low tone") == 110; });

  // Exit while a changed note is being edited: Cancel goes on editing, No ends without it.
  s.Step("press Update (edit the note)", [] { Click(CentreOf(PaneUi(Launcher().Pane()).btnUpdate)); },
         [] { return PaneUi(Launcher().Pane()).btnUpdate->Caption() == "End Edit"; });
  TypeIn(s, "the caption \"Lost\"", [] { return PaneUi(Launcher().Pane()).txtDBCaption; }, "Lost");
  s.Step("press Exit", [] { Click(CentreOf(Launcher().btnExit)); },
         [] { return Box("User database values have changed") != nullptr; });
  s.Step("answer Cancel", [] { Answer("User database values have changed", "Cancel"); },
         [] { return NoDialog() && PaneUi(Launcher().Pane()).btnUpdate->Caption() == "End Edit"; });
  s.Step("press Exit", [] { Click(CentreOf(Launcher().btnExit)); },
         [] { return Box("User database values have changed") != nullptr; });
  s.Exit("answer No", [] { Answer("User database values have changed", "No"); });
  s.Finally("userdb.dat keeps the saved caption", [&m] { return m.UserDbDat().find("Low tone") == 110; });
}

}  // namespace smoke
