#pragma once

#include <cstdint>
#include <string>

#include "playlist/playlistmodule.h"

namespace platform {
class FlexGrid;
}

// Module Playlist: the procedures of the playlist editor. They take no arguments: the caller
// sets the module's variables (PlaylistModule()) and calls; they work on the window's single
// instance.

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
// Save (gInventoryOp "Save") or Delete ("Delete") with the inventory files kept in step.
void UpdatePlaylistInventory();
// The inventory part of gInventoryOp without asking and without touching the playlist file.
void ApplyPlaylistInventoryChange();

// Executes gPlayerCommand (four letters of action, four of target).
void RunPlayerCommand();

// Module PlaylistPopup: puts gTrackToAdd into row gTargetRow, or inserts it there.
void ReplaceTrackAtRow();
void InsertTrackAtRow();
// The popup's Delete of row gTargetRow.
void DeleteTrackAtRow();

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
// Sum of gTrackDurations(1) to gTrackDurations(upTo), bounded by the array.
double DurationsUpTo(int upTo);
// The number in lblTotalTracks.
int ShownTrackCount();
// The total and remaining time labels from gTotalSeconds.
void ShowTotals(int tracks);
// Recomputes gTrackDurations and gTotalSeconds from every row (known durations are not
// read again); `renumber` rewrites column 0 as the row's number.
void RecomputeDurations(bool renumber);
// The redraw of the main window's pane after the inventory changed.
void RedrawDatabasePane();

}  // namespace playlist_detail
