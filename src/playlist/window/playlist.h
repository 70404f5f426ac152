#pragma once

#include <QPointer>

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playerrules.h"
#include "playlist/window/playlistmodule.h"

namespace platform {
class FlexGrid;
class MediaPlayer;
}  // namespace platform

namespace testing_support {
struct PlaylistAccess;
}

class DatabasePane;
class QWidget;
class frmPlaylist;
struct ProgramState;

// What the playlist editor asks of the main window.
class PlaylistHost {
 public:
  // The function keys the playlist window forwards; `handled` says whether the key had a use.
  virtual void PlaylistFunctionKey(int KeyCode, int Shift, bool& handled) = 0;
  // The program is ending: a polling loop stops.
  virtual bool Exiting() const = 0;
  // The window the playlist window first opens beside.
  virtual const QWidget* MainFrame() const = 0;

 protected:
  ~PlaylistHost() = default;
};

// The playlist editor: module Playlist's state and procedures, and the playlist window while
// it is loaded. The procedures take no arguments: the caller (the window, its popup, a test
// through testing_support::PlaylistAccess) sets the module's variables (`state`) and calls;
// they work on the window's single instance. The main window only opens the window.
class PlaylistEditor {
 public:
  PlaylistEditor(ProgramState& app, DatabasePane& pane, PlaylistHost& host);
  ~PlaylistEditor();
  PlaylistEditor(const PlaylistEditor&) = delete;
  PlaylistEditor& operator=(const PlaylistEditor&) = delete;

  ProgramState& app;
  DatabasePane& pane;
  PlaylistHost& host;

  // The player the window is given when it is created (the program's own Qt player when none
  // is set; tests set a double).
  void SetPlayer(platform::MediaPlayer* player) { player_ = player; }

  // The window, or null while none is loaded.
  frmPlaylist* WindowOrNull() const;
  // The window, created and loaded when there is none (its load opens gCurrentPlaylistPath).
  frmPlaylist& Window();
  // Restores the window when it is minimized and otherwise shows it, loading it on first use.
  void ShowWindow();
  // The pane's way in: a shown window first reloads the list for gCurrentPlaylistPath.
  void OpenWindow();

  // Run-time layouts of the two grids: pointers, drag icon, column widths and alignments.
  void FormatPlaylistInventoryGrid();
  void FormatListDetailGrid();

  // The track grid to the playlist file gSavePlaylistPath; throws VbError.
  void WritePlaylistFile();
  // gCurrentPlaylistPath into the track grid, probing each track's duration. A playlist whose
  // file has gone is removed from the inventory and the one listed above it opens instead.
  void LoadPlaylist();
  // An empty, unnamed playlist.
  void ResetToNewPlaylist();

  // The list of known playlists from inventory.dat.
  void FillPlaylistInventory();
  // Refills the list, selects gCurrentPlaylistPath and loads it.
  void RefreshPlaylistInventory();
  // Save or Delete (gInventoryOp) with the inventory files kept in step.
  void UpdatePlaylistInventory();
  // The inventory part of gInventoryOp without asking and without touching the playlist file.
  void ApplyPlaylistInventoryChange();

  // Executes gPlayerCommand.
  void RunPlayerCommand();

  // Module PlaylistPopup: puts gTrackToAdd into row gTargetRow, or inserts it there.
  void ReplaceTrackAtRow();
  void InsertTrackAtRow();
  // The popup's Delete of row gTargetRow.
  void DeleteTrackAtRow();

  // The duration of `path` as the player gives it (0 for a file it cannot play), read through
  // the player only when the file is new or changed since it was last probed.
  double TrackDuration(platform::MediaPlayer& player, const std::string& path);
  // The same, always through the player, which is left holding `path`, stopped.
  double ProbeTrackDuration(platform::MediaPlayer& player, const std::string& path);

  // Sum of gTrackDurations(1) to gTrackDurations(upTo), bounded by the array.
  double DurationsUpTo(int upTo) const;
  // The number in lblTotalTracks.
  int ShownTrackCount();
  // The total and remaining time labels from gTotalSeconds.
  void ShowTotals(int tracks);
  // Recomputes gTrackDurations and gTotalSeconds from every row (known durations are not
  // read again); `renumber` rewrites column 0 as the row's number.
  void RecomputeDurations(bool renumber);
  // The redraw of the main window's pane after the inventory changed.
  void RedrawDatabasePane();

 private:
  // The module's state belongs to the editor's own code: the window and its popup.
  friend class frmPlaylist;
  friend class frmPlaylistPopup;
  friend struct testing_support::PlaylistAccess;

  PlaylistState state;

  // Replace (false) or insert (true) gTrackToAdd at gTargetRow, after its probe.
  void PutTrackAtRow(bool insert);
  void FillTrackGrid(frmPlaylist& w, const std::vector<std::string>& entries);
  bool ProbeNewTrack(frmPlaylist& w, int row, double& duration);
  void EditBars(frmPlaylist& w);
  void Recompute(frmPlaylist& w, bool renumber);
  int TargetRowInGrid(const platform::FlexGrid& g);
  void RunOneCommand(frmPlaylist& w, playerrules::Command command);
  void ShowInvalidDuration(frmPlaylist& w);
  void ShowElapsed(frmPlaylist& w, double position);

  platform::MediaPlayer* player_ = nullptr;
  QPointer<frmPlaylist> window_;
};

// Shared helpers of the module's sources.
namespace playlist_detail {

inline constexpr std::uint32_t kCurrentTrackColor = 0x4B4BFF;  // RGB(255, 75, 75)
inline constexpr std::uint32_t kNavy = 0x800000;                // RGB(0, 0, 128)
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr int kTrackGridMaxTwips = 2835;
inline constexpr int kTimeColumnTwips = 800;
inline constexpr int kPathColumnTwips = 5800;
inline constexpr int kInventoryGridMaxTwips = 1215;

// Whether row `row` of the track grid holds an invalid track (its time reads "0:00  ").
bool RowInvalid(const platform::FlexGrid& grid, int row);
// The text colour of columns 0 to 3 of `row`; the grid's current cell ends on (row, 3).
void ColourTrackRow(platform::FlexGrid& grid, int row, std::uint32_t colour);

}  // namespace playlist_detail
