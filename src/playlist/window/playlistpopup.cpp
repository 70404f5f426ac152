// Module PlaylistPopup: replacing, inserting and deleting tracks of the open playlist.
#include <algorithm>

#include "inventory/abbreviatepath.h"
#include "windows/skin.h"
#include "platform/core/mediaplayer.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/m3u.h"
#include "playlist/window/playlist.h"
#include "playlist/playtime.h"

using namespace playlist_detail;
using platform::Q;

namespace {

void ClosePopup(frmPlaylist& w) {
  if (frmPlaylistPopup* popup = w.Popup()) popup->Unload();
}

void FillRow(platform::FlexGrid& g, int row, const std::string& path, double duration) {
  g.SetTextMatrix(row, 1, TrackTitle(path));
  g.SetTextMatrix(row, 2, FormatPlayTime(RoundSeconds(duration)));
  g.SetTextMatrix(row, 3, AbbreviatePath(path, 60));
  g.SetTextMatrix(row, 4, path);
}

}  // namespace

// Steps 1 to 3: the new file's probe; false (with the message) when it has no duration.
bool PlaylistEditor::ProbeNewTrack(frmPlaylist& w, int row, double& duration) {
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  s.gPrevPlayerFile = g.TextMatrix(row, 4);
  duration = ProbeTrackDuration(*w.mpPlaylist, s.gTrackToAdd);
  if (duration > 0) return true;
  const std::string lf(platform::vbLf), cr(platform::vbCr);
  platform::MsgBox("Tolvan is unable to perform the requested edit. " + lf + cr + lf + cr +
                       "The selected file has an invalid duration. " + lf + cr +
                       "It may be corrupted or be an invalid audio file type. " + lf + cr,
                   platform::vbExclamation, "Invalid audio file");
  try {
    w.mpPlaylist->SetFileName(s.gPrevPlayerFile);
    w.mpPlaylist->Stop();
  } catch (const std::exception&) {
  }
  ClosePopup(w);
  return false;
}

// The progress bars after an edit, from the last row's duration and the current position.
void PlaylistEditor::EditBars(frmPlaylist& w) {
  const PlaylistState& s = state;
  const double last = s.gTrackDurations.empty() ? 0 : s.gTrackDurations.back();
  w.pbrPlayFile->SetMax(last > 0 ? last : 0.01);
  w.pbrPlaylist->SetMax(static_cast<double>(s.gTotalSeconds));
  const double position = w.mpPlaylist->CurrentPosition();
  w.pbrPlaylist->SetValue(position > 0 ? position + s.gPrevTracksSeconds : s.gPrevTracksSeconds);
}

// The recompute that ends both edits.
void PlaylistEditor::Recompute(frmPlaylist& w, bool renumber) {
  PlaylistState& s = state;
  w.SizeTrackGrid();  // the columns for the texts now in the grid
  RecomputeDurations(renumber);
  ShowTotals(w.grdListDetail->Rows());
  s.gPrevTracksSeconds = DurationsUpTo(s.gTargetRow);
  EditBars(w);
  w.MarkUnsaved(true);
}

// The target row kept inside the grid: a row beyond the list (set by another grid, or before
// rows were deleted) aims at the last row.
int PlaylistEditor::TargetRowInGrid(const platform::FlexGrid& g) {
  PlaylistState& s = state;
  s.gTargetRow = std::clamp(s.gTargetRow, 0, std::max(g.Rows() - 1, 0));
  return s.gTargetRow;
}

void PlaylistEditor::ReplaceTrackAtRow() { PutTrackAtRow(false); }

void PlaylistEditor::InsertTrackAtRow() { PutTrackAtRow(true); }

void PlaylistEditor::PutTrackAtRow(bool insert) {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  const int row = TargetRowInGrid(g);
  double duration = 0;
  if (!ProbeNewTrack(w, row, duration)) return;
  if (insert) {
    g.SetRows(g.Rows() + 1);
    w.SizeTrackGrid();
    // The texts move down; cell colours stay with their row positions.
    for (int r = g.Rows() - 1; r > row; --r) {
      for (int c = 0; c <= 4; ++c) g.SetTextMatrix(r, c, g.TextMatrix(r - 1, c));
    }
    g.SetTextMatrix(row, 0, std::to_string(row + 1) + ".");
  }
  FillRow(g, row, s.gTrackToAdd, duration);
  Recompute(w, insert);
}

void PlaylistEditor::DeleteTrackAtRow() {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  const int row = TargetRowInGrid(g);
  if (g.Rows() == 1) {
    for (int c = 1; c <= 4; ++c) g.SetTextMatrix(row, c, "");
    s.gTotalSeconds = 0;
    w.ShowTotals(0, 0);
    w.lblTrack->SetCaption("0  ");
    w.lblTrackTime->SetCaption(kInvalidTrackTime);
    s.gPrevTracksSeconds = 0;
    s.gTrackDurations.assign(2, 0.0);
    s.gCurrentTrack = 1;
    w.pbrPlayFile->SetMax(0.01);
    w.pbrPlaylist->SetMax(0.01);
    w.pbrPlaylist->SetValue(0);
    ColourTrackRow(g, 0, skin::kText);
  } else {
    // The red mark comes off before the rows move, so only the current track's row has it.
    ColourTrackRow(g, s.gCurrentTrack - 1, skin::kText);
    const bool wasLast = row == g.Rows() - 1;
    g.RemoveItem(row);
    w.SizeTrackGrid();
    RecomputeDurations(true);
    if (s.gCurrentTrack > g.Rows()) s.gCurrentTrack = std::max(row, 1);
    ColourTrackRow(g, s.gCurrentTrack - 1, kCurrentTrackColor);
    ShowTotals(g.Rows());
    s.gPrevTracksSeconds = DurationsUpTo(row);
    EditBars(w);
    const int next = wasLast ? g.Rows() - 1 : row;
    try {
      w.mpPlaylist->SetFileName(g.TextMatrix(next, 4));
      w.mpPlaylist->Stop();
    } catch (const std::exception&) {
    }
  }
  w.MarkUnsaved(true);
  ClosePopup(w);
}
