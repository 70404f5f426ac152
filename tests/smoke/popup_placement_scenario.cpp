// The two popups near the screen's edges: the track popup on a low row of a long playlist in
// the editor where it opens, the tree popup with the main window moved into the screen's
// bottom right corner. Each opens wholly on the screen, flipped above or to the left of the
// pointer, and its items are in reach.
#include <QGuiApplication>
#include <QScreen>

#include "main/startup.h"
#include "mainwindow/frmAddGroup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTvwPopUp.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/window/playlistmodule.h"
#include "smoke/scenarios.h"
#include "support/playlist_access.h"
#include "smoke/screen.h"
#include "support/tree_access.h"

using testing_support::Ui;

namespace smoke {
namespace {

constexpr int kTracks = 16;

frmLauncher& Launcher() { return *MainWindowOrNull(); }
frmPlaylist* EditorOrNull() { return MainWindowOrNull() ? MainWindowOrNull()->Playlist().WindowOrNull() : nullptr; }
frmPlaylist& Editor() { return *EditorOrNull(); }
platform::FlexGrid& Tracks() { return *Ui(Editor()).grdListDetail; }
frmPlaylistPopup* TrackPopup() { return EditorOrNull() ? EditorOrNull()->Popup() : nullptr; }
frmTvwPopUp* TreePopup() { return MainWindowOrNull() ? TreeTestAccess::Popup(MainWindowOrNull()->Tree()) : nullptr; }
template <typename P>
bool Shown(P* popup) {
  return popup && !popup->Unloaded() && popup->isVisible();
}
template <typename P>
bool Gone(P* popup) {
  return !popup || popup->Unloaded();
}

// The track's name as the playlist holds it, by its row.
std::string TrackFile(int row) { return row % 2 == 0 ? "tone.wav" : "spare.wav"; }

// Where the last right click was made, and the available area of the screen it was made on.
struct Pointer {
  QPoint at;
  QRect room;
};

void RightClickAt(Scenario& s, const std::string& what, Pointer& pointer, std::function<QPoint()> where,
                  Scenario::Condition shown) {
  s.Step(what, [&pointer, where] {
    pointer.at = where();
    pointer.room = QGuiApplication::screenAt(pointer.at)->availableGeometry();
    Click(pointer.at, 3);
  }, std::move(shown));
}

// Wholly on the screen, and beside the pointer on the side away from the edge it would pass:
// with `left`, its right edge at the pointer; with `above`, its bottom edge.
bool PlacedAsAMenu(const QWidget* popup, const Pointer& pointer, bool left, bool above) {
  const QRect g = popup->frameGeometry();
  if (!pointer.room.contains(g)) return false;
  if (left && g.left() + g.width() != pointer.at.x()) return false;
  if (above && g.top() + g.height() != pointer.at.y()) return false;
  return true;
}

}  // namespace

void PopupPlacementScenario(Scenario& s, Machine& m) {
  // A playlist long enough to reach the editor's bottom, every track playable.
  std::string list;
  for (int row = 0; row < kTracks; ++row) list += m.Host("C:\\Music\\" + TrackFile(row)) + "\r\n";
  m.drives.Write("C:\\Lists\\mix.m3u", list);
  static Pointer pointer;

  s.WaitFor("the main window", [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });
  s.Pause(300);
  s.Step("press Playlist Editor", [] { Click(CentreOf(Launcher().btnPlaylistEditor)); },
         [] { return EditorOrNull() && Editor().isVisible() && NoDialog() && Tracks().Rows() == kTracks; });
  s.Pause(300);

  // Row 9 lies low in the editor, whose bottom edge is the screen's: the popup goes above.
  RightClickAt(s, "right-click row 9", pointer, [] { return GridCellPoint(Tracks(), 9, 1); },
               [] { return Shown(TrackPopup()); });
  s.Check("the track popup is on the screen, above the pointer",
          [] { return PlacedAsAMenu(TrackPopup(), pointer, false, true); });
  s.Step("click Copy", [] { Click(CentreOf(Ui(*TrackPopup()).lblCopyTrack)); }, [] { return Gone(TrackPopup()); });
  s.Check("row 9's file is copied", [] { return testing_support::State(Editor().Editor()).gTrackClipboard == "C:\\Music\\spare.wav"; });
  RightClickAt(s, "right-click row 12", pointer, [] { return GridCellPoint(Tracks(), 12, 1); },
               [] { return Shown(TrackPopup()); });
  s.Check("on the screen, above the pointer", [] { return PlacedAsAMenu(TrackPopup(), pointer, false, true); });
  s.Step("click Paste", [] { Click(CentreOf(Ui(*TrackPopup()).lblPasteTrack)); },
         [] { return Gone(TrackPopup()) && Tracks().Rows() == kTracks + 1; });
  s.Check("the copy stands at row 12", [] { return Tracks().TextMatrix(12, 4) == "C:\\Music\\spare.wav"; });
  RightClickAt(s, "right-click the last row", pointer, [] { return GridCellPoint(Tracks(), kTracks, 1); },
               [] { return Shown(TrackPopup()); });
  s.Check("on the screen, above the pointer", [] { return PlacedAsAMenu(TrackPopup(), pointer, false, true); });
  s.Step("click Delete", [] { Click(CentreOf(Ui(*TrackPopup()).lblDeleteTrack)); },
         [] { return Gone(TrackPopup()) && Tracks().Rows() == kTracks; });
  s.Step("press the editor's Exit", [] { Click(CentreOf(Ui(Editor()).btnExit)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, [] { return NoDialog() && !EditorOrNull(); });

  // The main window moved so that the node Rock lies in the screen's bottom right corner.
  static QPoint home;
  s.Step("move the main window into the bottom right corner", [] {
    frmLauncher& w = Launcher();
    home = w.pos();
    const QPoint node = TreeNodePoint(*TreeTestAccess::Groups(w.Tree()), "Rock");
    const QRect room = w.screen()->availableGeometry();
    w.move(w.pos() + QPoint(room.right() - 12, room.bottom() - 6) - node);
  }, [] {
    const QRect room = Launcher().screen()->availableGeometry();
    return TreeNodePoint(*TreeTestAccess::Groups(Launcher().Tree()), "Rock") == QPoint(room.right() - 12, room.bottom() - 6);
  });
  s.Pause(300);
  RightClickAt(s, "right-click Rock", pointer, [] { return TreeNodePoint(*TreeTestAccess::Groups(Launcher().Tree()), "Rock"); },
               [] { return Shown(TreePopup()); });
  s.Check("the tree popup is on the screen, left of and above the pointer",
          [] { return PlacedAsAMenu(TreePopup(), pointer, true, true); });
  s.Step("click Add Group", [] { Click(CentreOf(TreePopup()->lblAddGroup)); },
         [] { return Dialog<frmAddGroup>() && Dialog<frmAddGroup>()->isVisible(); });
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmAddGroup>()->btnCancel)); },
         [] { return NoDialog() && Gone(TreePopup()); });
  s.Step("move the main window back", [] { Launcher().move(home); }, [] { return Launcher().pos() == home; });
  s.Pause(300);
  s.Exit("Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace smoke
