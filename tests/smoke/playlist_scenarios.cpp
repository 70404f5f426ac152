// The playlist editor as a user works it: every item of the track popup on valid, invalid and
// missing tracks with good and bad files, clicks on tracks whose files are gone (before and
// after playing), a new list, Save, and both windows' Exit.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "main/startup.h"
#include "mainwindow/frmLauncher.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/playtime.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"
#include "support/playlist_access.h"

using testing_support::Ui;

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }
frmPlaylist* EditorOrNull() { return MainWindowOrNull() ? MainWindowOrNull()->Playlist().WindowOrNull() : nullptr; }
frmPlaylist& Editor() { return *EditorOrNull(); }
platform::FlexGrid& Tracks() { return *Ui(Editor()).grdListDetail; }
frmPlaylistPopup* Popup() { return EditorOrNull() ? EditorOrNull()->Popup() : nullptr; }
bool PopupShown() { return Popup() && !Popup()->Unloaded() && Popup()->isVisible(); }
bool PopupGone() { return !Popup() || Popup()->Unloaded(); }
bool Settled() { return NoDialog() && PopupGone(); }
int Rows() { return Tracks().Rows(); }
std::string Path(int row) { return Tracks().TextMatrix(row, 4); }
bool Invalid(int row) { return Tracks().TextMatrix(row, 2) == kInvalidTrackTime; }

// The track paths, top to bottom.
std::vector<std::string> Listed() {
  std::vector<std::string> paths;
  for (int r = 0; r < Rows(); ++r) paths.push_back(Path(r));
  return paths;
}

void OpenEditor(Scenario& s) {
  s.WaitFor("the main window", [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });
  s.Pause(300);
  s.Step("press Playlist Editor", [] { Click(CentreOf(Launcher().btnPlaylistEditor)); },
         [] { return Box("Invalid audio track", "noise.wav") != nullptr; });
  s.Step("OK to noise.wav's message", [] { Answer("Invalid audio track", "OK"); },
         [] { return Box("Invalid audio track", "gone.wav") != nullptr; });
  s.Step("OK to gone.wav's message", [] { Answer("Invalid audio track", "OK"); },
         [] { return EditorOrNull() && Editor().isVisible() && NoDialog(); });
  s.Check("mix.m3u is open with its four tracks", [] {
    return Listed() == std::vector<std::string>{"C:\\Music\\tone.wav", "C:\\Music\\noise.wav", "C:\\Music\\gone.wav",
                                                "C:\\Music\\long.wav"} &&
           !Invalid(0) && Invalid(1) && Invalid(2) && !Invalid(3);
  });
}

void RightClickRow(Scenario& s, int row, const std::string& what) {
  s.Step("right-click row " + std::to_string(row) + " (" + what + ")",
         [row] { Click(GridCellPoint(Tracks(), row, 1), 3); }, PopupShown);
}

void ClickItem(Scenario& s, const std::string& caption, platform::Label* frmPlaylistPopupItems::*item,
               Scenario::Condition until) {
  s.Step("click the popup's " + caption, [item] { Click(CentreOf(Ui(*Popup()).*item)); }, std::move(until));
}

bool FileDialogUp() { return FileDialog() != nullptr; }

// A popup item that opens the file dialog, answered with `dosPath`, or cancelled when empty.
void ThroughFileDialog(Scenario& s, Machine& m, const std::string& caption,
                       platform::Label* frmPlaylistPopupItems::*item,
                       const std::string& dosPath, Scenario::Condition until) {
  ClickItem(s, caption, item, FileDialogUp);
  if (dosPath.empty()) {
    s.Step("cancel the file dialog", CancelFileDialog, std::move(until));
  } else {
    ChooseIn(s, "choose " + dosPath, [&m, dosPath] { return m.Host(dosPath); }, std::move(until));
  }
}

// The refusal of a file that cannot be played, answered.
void RefusedAsInvalid(Scenario& s) {
  s.Step("OK to \"Invalid audio file\"", [] { Answer("Invalid audio file", "OK"); }, Settled);
}

bool InvalidFileBox() { return Box("Invalid audio file") != nullptr; }

}  // namespace

void PlaylistPopupScenario(Scenario& s, Machine& m) {
  OpenEditor(s);
  using Paths = std::vector<std::string>;
  const std::string tone = "C:\\Music\\tone.wav", noise = "C:\\Music\\noise.wav", gone = "C:\\Music\\gone.wav",
                    lng = "C:\\Music\\long.wav", spare = "C:\\Music\\spare.wav";

  // The missing track: a click does nothing; its popup offers Replace and Delete.
  s.Step("click row 2 (gone.wav)", [] { Click(GridCellPoint(Tracks(), 2, 1)); });
  s.Pause(400);
  RightClickRow(s, 2, "gone.wav");
  s.Check("Add / Insert, Copy and Paste are disabled", [] {
    const frmPlaylistPopupItems* p = &Ui(*Popup());
    return !p->lblAddTrack->isEnabled() && !p->lblCopyTrack->isEnabled() && !p->lblPasteTrack->isEnabled() &&
           p->lblReplaceTrack->isEnabled() && p->lblDeleteTrack->isEnabled();
  });
  // The item under the pointer is lit navy on white, on the screen; a disabled one is not.
  s.Step("point at Replace", [] { MoveTo(CentreOf(Ui(*Popup()).lblReplaceTrack)); },
         [] { return BackOnScreen(Ui(*Popup()).lblReplaceTrack) == 0x800000; });
  s.Step("point at Copy (disabled)", [] { MoveTo(CentreOf(Ui(*Popup()).lblCopyTrack)); },
         [] { return BackOnScreen(Ui(*Popup()).lblReplaceTrack) != 0x800000; });
  s.Check("no item is lit", [] { return BackOnScreen(Ui(*Popup()).lblCopyTrack) != 0x800000; });
  s.Check("every caption fits its item", [] {
    for (const platform::Label* item : Popup()->Items()) {
      if (item->fontMetrics().horizontalAdvance(item->text()) > item->width()) return false;
    }
    return true;
  });
  s.Step("click the window's background", [] { Click(Editor().mapToGlobal(QPoint(600, 90))); }, Settled);
  RightClickRow(s, 2, "gone.wav");
  ThroughFileDialog(s, m, "Replace", &frmPlaylistPopupItems::lblReplaceTrack, "", Settled);
  RightClickRow(s, 2, "gone.wav");
  ClickItem(s, "Delete", &frmPlaylistPopupItems::lblDeleteTrack, [] { return Settled() && Rows() == 3; });
  s.Check("gone.wav is out of the list", [=] { return Listed() == Paths{tone, noise, lng} && Editor().HasUnsavedEdit(); });

  // A valid track's Copy, pasted onto the invalid track.
  RightClickRow(s, 0, "tone.wav");
  ClickItem(s, "Copy", &frmPlaylistPopupItems::lblCopyTrack, Settled);
  RightClickRow(s, 1, "noise.wav");
  s.Check("on the invalid track Add / Insert and Copy are disabled", [] {
    const frmPlaylistPopupItems* p = &Ui(*Popup());
    return !p->lblAddTrack->isEnabled() && !p->lblCopyTrack->isEnabled() && p->lblPasteTrack->isEnabled() &&
           p->lblReplaceTrack->isEnabled() && p->lblDeleteTrack->isEnabled();
  });
  ClickItem(s, "Paste", &frmPlaylistPopupItems::lblPasteTrack, [] { return Settled() && Rows() == 4; });
  s.Check("tone.wav is pasted above noise.wav", [=] { return Listed() == Paths{tone, tone, noise, lng}; });

  // The invalid track: Replace cancelled and with a bad file, then Delete.
  RightClickRow(s, 2, "noise.wav");
  ThroughFileDialog(s, m, "Replace", &frmPlaylistPopupItems::lblReplaceTrack, "", Settled);
  RightClickRow(s, 2, "noise.wav");
  ThroughFileDialog(s, m, "Replace", &frmPlaylistPopupItems::lblReplaceTrack, noise, InvalidFileBox);
  RefusedAsInvalid(s);
  s.Check("nothing changed", [=] { return Listed() == Paths{tone, tone, noise, lng}; });
  RightClickRow(s, 2, "noise.wav");
  ClickItem(s, "Delete", &frmPlaylistPopupItems::lblDeleteTrack, [] { return Settled() && Rows() == 3; });

  // A valid track: Replace with a good and a bad file; Add / Insert cancelled, bad and good.
  RightClickRow(s, 1, "tone.wav");
  ThroughFileDialog(s, m, "Replace", &frmPlaylistPopupItems::lblReplaceTrack, spare,
                    [=] { return Settled() && Listed() == Paths{tone, spare, lng}; });
  RightClickRow(s, 1, "spare.wav");
  ThroughFileDialog(s, m, "Replace", &frmPlaylistPopupItems::lblReplaceTrack, noise, InvalidFileBox);
  RefusedAsInvalid(s);
  s.Check("nothing changed", [=] { return Listed() == Paths{tone, spare, lng}; });
  RightClickRow(s, 0, "tone.wav");
  ThroughFileDialog(s, m, "Add / Insert", &frmPlaylistPopupItems::lblAddTrack, "", Settled);
  RightClickRow(s, 0, "tone.wav");
  ThroughFileDialog(s, m, "Add / Insert", &frmPlaylistPopupItems::lblAddTrack, noise, InvalidFileBox);
  RefusedAsInvalid(s);
  s.Check("nothing changed", [=] { return Listed() == Paths{tone, spare, lng}; });
  RightClickRow(s, 0, "tone.wav");
  ThroughFileDialog(s, m, "Add / Insert", &frmPlaylistPopupItems::lblAddTrack, lng,
                    [] { return Settled() && Rows() == 4; });
  s.Check("long.wav is the first track", [=] { return Listed() == Paths{lng, tone, spare, lng}; });

  // Paste of a copied file that has gone since.
  RightClickRow(s, 2, "spare.wav");
  ClickItem(s, "Copy", &frmPlaylistPopupItems::lblCopyTrack, Settled);
  s.Step("spare.wav is deleted from the disk", [&m] { m.drives.Remove("C:\\Music\\spare.wav"); });
  RightClickRow(s, 0, "long.wav");
  ClickItem(s, "Paste", &frmPlaylistPopupItems::lblPasteTrack, InvalidFileBox);
  RefusedAsInvalid(s);
  s.Check("nothing was pasted", [] { return Rows() == 4; });

  // Delete of a valid track.
  RightClickRow(s, 3, "long.wav");
  ClickItem(s, "Delete", &frmPlaylistPopupItems::lblDeleteTrack, [] { return Settled() && Rows() == 3; });
  s.Check("the list in the window", [=] { return Listed() == Paths{lng, tone, spare}; });
  s.Check("mix.m3u on disk is as it was", [&m] {
    return m.Read("C:\\Lists\\mix.m3u") == m.Host("C:\\Music\\tone.wav") + "\r\n" + m.Host("C:\\Music\\noise.wav") +
                                               "\r\n" + m.Host("C:\\Music\\gone.wav") + "\r\n" +
                                               m.Host("C:\\Music\\long.wav") + "\r\n";
  });

  // Exit with the edits unsaved: No keeps the window, Yes closes it; nothing is written.
  s.Step("press the editor's Exit", [] { Click(CentreOf(Ui(Editor()).btnExit)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer No", [] { Answer("Changes Not Saved", "No"); },
         [] { return NoDialog() && EditorOrNull() && Editor().isVisible(); });
  s.Step("press the editor's Exit", [] { Click(CentreOf(Ui(Editor()).btnExit)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, [] { return NoDialog() && !EditorOrNull(); });
  s.Check("mix.m3u is unchanged", [&m] { return m.Read("C:\\Lists\\mix.m3u").find("spare") == std::string::npos; });
  s.Check("userdb.dat untouched", [&m] { return m.UserDbDat() == m.userDbAtStart; });
  s.Exit("Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

void PlaylistPlayerScenario(Scenario& s, Machine& m) {
  OpenEditor(s);

  // Clicks on the missing and the invalid track do nothing; a right-click opens their popup.
  s.Step("click row 2 (gone.wav)", [] { Click(GridCellPoint(Tracks(), 2, 1)); });
  s.Step("click row 1 (noise.wav)", [] { Click(GridCellPoint(Tracks(), 1, 1)); });
  RightClickRow(s, 2, "gone.wav");
  s.Step("click the window's background", [] { Click(Editor().mapToGlobal(QPoint(600, 90))); }, Settled);

  // Playing, then a click on a track whose file went away after the list was loaded: it is
  // refused. Stopped, a click on it loads nothing, and Play on nothing does nothing.
  s.Step("click row 3 (long.wav)", [] { Click(GridCellPoint(Tracks(), 3, 1)); },
         [] { return Ui(Editor()).lblTrack->Caption() == "4 "; });
  s.Step("tone.wav is deleted from the disk", [&m] { m.drives.Remove("C:\\Music\\tone.wav"); });
  s.Step("press Play", [] { Click(CentreOf(Ui(Editor()).btnPlay)); },
         [] { return Ui(Editor()).lblPlayStatus->Caption() == "Playing"; });
  s.Step("click row 0 (tone.wav, now gone)", [] { Click(GridCellPoint(Tracks(), 0, 1)); },
         [] { return Box("Invalid audio file", "tone.wav") != nullptr; });
  s.Step("OK", [] { Answer("Invalid audio file", "OK"); },
         [] { return Settled() && Ui(Editor()).btnNewList->isEnabled(); });
  s.Step("click row 0 again", [] { Click(GridCellPoint(Tracks(), 0, 1)); });
  s.Step("press Play", [] { Click(CentreOf(Ui(Editor()).btnPlay)); });
  s.Pause(500);
  s.Check("nothing plays, nothing is asked", [] { return Settled() && Ui(Editor()).btnNewList->isEnabled(); });
  s.Step("right-click row 0 (tone.wav, now gone)", [] { Click(GridCellPoint(Tracks(), 0, 1), 3); }, PopupShown);
  ClickItem(s, "Delete", &frmPlaylistPopupItems::lblDeleteTrack, [] { return Settled() && Rows() == 3; });
  s.Check("tone.wav is out of the list", [] { return Path(0) == "C:\\Music\\noise.wav"; });
  s.Step("click row 2 (long.wav)", [] { Click(GridCellPoint(Tracks(), 2, 1)); },
         [] { return Ui(Editor()).lblTrack->Caption() == "3 "; });
  s.Step("press Play", [] { Click(CentreOf(Ui(Editor()).btnPlay)); },
         [] { return Ui(Editor()).lblPlayStatus->Caption() == "Playing"; });
  s.Step("press Stop", [] { Click(CentreOf(Ui(Editor()).btnStop)); },
         [] { return Ui(Editor()).lblPlayStatus->isHidden(); });

  // A new list: the one row's popup offers New Track, tried with a bad and a good file.
  s.Step("press New", [] { Click(CentreOf(Ui(Editor()).btnNewList)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, [] { return Settled() && Rows() == 1; });
  RightClickRow(s, 0, "the empty row");
  s.Check("New Track in place of Replace; only it is enabled", [] {
    const frmPlaylistPopupItems* p = &Ui(*Popup());
    return p->lblReplaceTrack->Caption() == "New Track" && p->lblReplaceTrack->isEnabled() &&
           !p->lblAddTrack->isEnabled() && !p->lblCopyTrack->isEnabled() && !p->lblDeleteTrack->isEnabled() &&
           !p->lblPasteTrack->isEnabled();
  });
  ThroughFileDialog(s, m, "New Track", &frmPlaylistPopupItems::lblReplaceTrack, "C:\\Music\\noise.wav", InvalidFileBox);
  RefusedAsInvalid(s);
  s.Check("the list is still empty", [] { return Rows() == 1 && Path(0).empty(); });
  RightClickRow(s, 0, "the empty row");
  ThroughFileDialog(s, m, "New Track", &frmPlaylistPopupItems::lblReplaceTrack, "C:\\Music\\long.wav",
                    [] { return Settled() && Path(0) == "C:\\Music\\long.wav"; });
  RightClickRow(s, 0, "long.wav");
  ThroughFileDialog(s, m, "Add / Insert", &frmPlaylistPopupItems::lblAddTrack, "C:\\Music\\spare.wav",
                    [] { return Settled() && Rows() == 2; });

  // Save as a new playlist file.
  s.Step("press Save", [] { Click(CentreOf(Ui(Editor()).btnSaveList)); }, FileDialogUp);
  // A typed name holding a double quote is refused whole, and the dialog stays for another.
  ChooseIn(s, "type my,li\"st.m3u", [] { return std::string("my,li\"st.m3u"); },
           [] { return Box("File Name Not Valid", "my,li\"st.m3u") != nullptr; });
  s.Step("OK", [] { Answer("File Name Not Valid", "OK"); }, FileDialogUp);
  ChooseIn(s, "save as C:\\Lists\\new.m3u", [&m] { return m.Host("C:\\Lists") + "/new.m3u"; },
           [] { return Settled() && !Editor().HasUnsavedEdit(); });
  s.Check("new.m3u holds the two tracks", [&m] {
    return m.Read("C:\\Lists\\new.m3u") ==
           m.Host("C:\\Music\\spare.wav") + "\r\n" + m.Host("C:\\Music\\long.wav") + "\r\n";
  });
  s.Check("the editor lists both playlists", [] { return Ui(Editor()).grdPlaylistInventory->Rows() == 2; });
  s.Step("press Print", [] { Click(CentreOf(Ui(Editor()).btnPrint)); },
         [&m] { return NoDialog() && m.Exists(Machine::kPrintout); });

  // Delete of the open playlist: Cancel keeps it, OK deletes the file and its inventory line.
  s.Step("press Delete", [] { Click(CentreOf(Ui(Editor()).btnDeleteList)); },
         [] { return Box("Delete Playlist", "new.m3u") != nullptr; });
  s.Step("answer Cancel", [] { Answer("Delete Playlist", "Cancel"); }, Settled);
  s.Check("new.m3u is kept", [&m] { return m.Exists("C:\\Lists\\new.m3u"); });
  s.Step("press Delete", [] { Click(CentreOf(Ui(Editor()).btnDeleteList)); },
         [] { return Box("Delete Playlist", "new.m3u") != nullptr; });
  s.Step("answer OK", [] { Answer("Delete Playlist", "OK"); },
         [] { return Box("Invalid audio track", "tone.wav") != nullptr; });
  // mix.m3u, listed above it, opens: tone.wav has gone since, noise.wav and gone.wav as ever.
  s.Step("OK to tone.wav's message", [] { Answer("Invalid audio track", "OK"); },
         [] { return Box("Invalid audio track", "noise.wav") != nullptr; });
  s.Step("OK to noise.wav's message", [] { Answer("Invalid audio track", "OK"); },
         [] { return Box("Invalid audio track", "gone.wav") != nullptr; });
  s.Step("OK to gone.wav's message", [] { Answer("Invalid audio track", "OK"); },
         [] { return Settled() && Ui(Editor()).grdPlaylistInventory->Rows() == 1; });
  s.Check("new.m3u is deleted, mix.m3u kept",
          [&m] { return !m.Exists("C:\\Lists\\new.m3u") && m.Exists("C:\\Lists\\mix.m3u"); });

  s.Step("press the editor's Exit", [] { Click(CentreOf(Ui(Editor()).btnExit)); },
         [] { return NoDialog() && !EditorOrNull(); });
  s.Check("userdb.dat untouched", [&m] { return m.UserDbDat() == m.userDbAtStart; });
  s.Exit("Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace smoke
