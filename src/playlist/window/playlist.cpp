// Module Playlist: grid layouts, the playlist file and loading, and the shared helpers.
#include "playlist/window/playlist.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "inventory/abbreviatepath.h"
#include "pane/databasepane.h"
#include "windows/skin.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/mediaplayer.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/m3u.h"
#include "playlist/playerrules.h"
#include "playlist/playtime.h"

using namespace playlist_detail;
using platform::Q;

PlaylistEditor::PlaylistEditor(ProgramState& app, DatabasePane& pane, PlaylistHost& host)
    : app(app), pane(pane), host(host) {}

PlaylistEditor::~PlaylistEditor() { delete window_.data(); }

frmPlaylist* PlaylistEditor::WindowOrNull() const { return window_ && !window_->Unloaded() ? window_.data() : nullptr; }

frmPlaylist& PlaylistEditor::Window() {
  if (frmPlaylist* w = WindowOrNull()) return *w;
  window_ = new frmPlaylist(*this, player_);
  window_->Form_Load();
  return *window_;
}

void PlaylistEditor::ShowWindow() {
  frmPlaylist& w = Window();
  if (!w.isVisible()) w.PlaceBesideMainWindow(host.MainFrame());
  if (w.windowState() & Qt::WindowMinimized) {
    w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
  } else {
    w.show();
  }
  w.raise();
  w.activateWindow();
}

void PlaylistEditor::OpenWindow() {
  frmPlaylist* existing = WindowOrNull();
  if (existing && existing->isVisible()) RefreshPlaylistInventory();
  ShowWindow();
}

double PlaylistEditor::ProbeTrackDuration(platform::MediaPlayer& player, const std::string& path) {
  PlaylistState& s = state;
  ++s.playerProbes;
  double seconds = 0;
  try {
    player.SetFileName(path);
    player.Stop();
    seconds = player.Duration();
  } catch (const platform::VbError&) {
    seconds = 0;  // the player refused the file
  }
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  const platform::FileStatus status = platform::FileStatusOf(path);
  if (status.probe.ok()) {
    s.knownDurations[path] = {status.probe.length, status.modified, seconds};
  } else {
    s.knownDurations.erase(path);
  }
  return seconds;
}

double PlaylistEditor::TrackDuration(platform::MediaPlayer& player, const std::string& path) {
  PlaylistState& s = state;
  const platform::FileStatus status = platform::FileStatusOf(path);
  if (!status.probe.ok()) {
    // A file that is not there plays nothing; the player is not asked.
    s.knownDurations.erase(path);
    return 0;
  }
  auto known = s.knownDurations.find(path);
  if (known != s.knownDurations.end() && known->second.length == status.probe.length &&
      known->second.modified == status.modified) {
    return known->second.seconds;
  }
  return ProbeTrackDuration(player, path);
}

namespace playlist_detail {

bool RowInvalid(const platform::FlexGrid& grid, int row) {
  return row >= 0 && row < grid.Rows() && grid.TextMatrix(row, 2) == kInvalidTrackTime;
}

void ColourTrackRow(platform::FlexGrid& grid, int row, std::uint32_t colour) {
  if (row < 0 || row >= grid.Rows()) return;
  grid.SetRow(row);
  for (int c = 0; c <= 3; ++c) {
    grid.SetCol(c);
    grid.SetCellForeColor(colour);
  }
}

}  // namespace playlist_detail

double PlaylistEditor::DurationsUpTo(int upTo) const {
  const std::vector<double>& d = state.gTrackDurations;
  double sum = 0;
  for (int i = 1; i <= upTo && i < static_cast<int>(d.size()); ++i) sum += d[i];
  return sum;
}

int PlaylistEditor::ShownTrackCount() { return Window().ShownTrackCount(); }

void PlaylistEditor::ShowTotals(int tracks) { Window().ShowTotals(tracks, state.gTotalSeconds); }

void PlaylistEditor::RecomputeDurations(bool renumber) {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  const int rows = g.Rows();
  s.gTotalSeconds = 0;
  s.gTrackDurations.assign(static_cast<std::size_t>(rows) + 1, 0.0);
  for (int i = 0; i < rows; ++i) {
    if (renumber) g.SetTextMatrix(i, 0, std::to_string(i + 1) + ".");
    const std::string path = g.TextMatrix(i, 4);
    const double d = path.empty() ? 0 : TrackDuration(*w.mpPlaylist, path);
    s.gTrackDurations[static_cast<std::size_t>(i) + 1] = d;
    s.gTotalSeconds = RoundSeconds(static_cast<double>(s.gTotalSeconds) + d);
  }
}

void PlaylistEditor::FormatPlaylistInventoryGrid() {
  platform::FlexGrid& g = *Window().grdPlaylistInventory;
  g.SetMousePointer(99);
  g.SetMouseIcon(platform::LoadResCursor(skin::kHandIcon));
  g.SetRow(0);
  g.SetCol(0);
  g.SetColSel(0);
  g.Sort(5);
  g.SetColWidth(0, 4335);
  g.SetColWidth(1, 0);
}

void PlaylistEditor::FormatListDetailGrid() {
  platform::FlexGrid& g = *Window().grdListDetail;
  g.SetMousePointer(99);
  g.SetMouseIcon(platform::LoadResCursor(skin::kHandIcon));
  // The drag icon (cursor 301) is the one the window's row drag shows.
  const int widths[] = {400, 3000, kTimeColumnTwips, kPathColumnTwips, 0};
  for (int c = 0; c < 5; ++c) g.SetColWidth(c, widths[c]);
  const int alignments[] = {1, 1, 7, 1};
  for (int c = 0; c < 4; ++c) g.SetColAlignment(c, alignments[c]);
}

void PlaylistEditor::WritePlaylistFile() {
  frmPlaylist& w = Window();
  const platform::FlexGrid& g = *w.grdListDetail;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(g.Rows()));
  for (int r = 0; r < g.Rows(); ++r) paths.push_back(g.TextMatrix(r, 4));
  WritePlaylistBytes(state.gSavePlaylistPath, paths, platform::CurrentDriveMap());
}

void PlaylistEditor::ResetToNewPlaylist() {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  g.Clear();
  FormatListDetailGrid();
  g.SetRows(1);
  w.SizeTrackGrid();
  s.gTotalSeconds = 0;
  s.gCurrentTrack = 1;
  g.SetTextMatrix(0, 0, "1.");
  platform::FlexGrid& inv = *w.grdPlaylistInventory;
  inv.SetCellBackColor(kWhite);
  inv.SetCellForeColor(0);
  w.ShowNewPlaylistName();
  w.ShowTotals(0, 0);
  w.lblTrack->SetCaption("0  ");
  w.lblTrackTime->SetCaption(kInvalidTrackTime);
  w.MarkUnsaved(false);
}

namespace {

struct PointerBack {
  ~PointerBack() { platform::SetScreenPointer(0); }
};

}  // namespace

// Steps 4 to 13 of a load: the entries of the playlist's bytes into the track grid.
void PlaylistEditor::FillTrackGrid(frmPlaylist& w, const std::vector<std::string>& entries) {
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  const std::string lf(platform::vbLf), cr(platform::vbCr);
  g.Clear();
  FormatListDetailGrid();
  s.gTotalSeconds = 0;
  s.gCurrentTrack = 1;
  g.SetVisible(false);
  const int n = static_cast<int>(entries.size());
  s.gTrackDurations.assign(static_cast<std::size_t>(n) + 1, 0.0);
  // A list without a track shows as loaded too: its name, and the one empty row of an empty list.
  g.SetRows(std::max(n, 1));
  if (n == 0) g.SetTextMatrix(0, 0, "1.");
  w.SizeTrackGrid();
  w.ShowPlaylistName(AbbreviatePath(w.grdPlaylistInventory->Text(), 60));
  for (int i = 0; i < n; ++i) {
    const std::string& entry = entries[static_cast<std::size_t>(i)];
    const double d = TrackDuration(*w.mpPlaylist, entry);
    const std::string number = std::to_string(i + 1) + ".";
    const std::string shortened = AbbreviatePath(entry, 60);
    g.SetTextMatrix(i, 0, number);
    g.SetTextMatrix(i, 1, TrackTitle(entry));
    g.SetTextMatrix(i, 2, FormatPlayTime(RoundSeconds(d)));
    g.SetTextMatrix(i, 3, shortened);
    g.SetTextMatrix(i, 4, entry);
    s.gTotalSeconds = RoundSeconds(static_cast<double>(s.gTotalSeconds) + d);
    s.gTrackDurations[static_cast<std::size_t>(i) + 1] = d;
    if (d == 0) {
      platform::MsgBox("There is an error in the playlist being loaded. The file " + lf + cr + lf + cr + number +
                           "  " + shortened + lf + cr + lf + cr +
                           "either no longer exists where the playlist thinks," + lf + cr +
                           "or is a corrupted or invalid audio file type. " + lf + cr,
                       platform::vbExclamation, "Invalid audio track");
    }
  }
  w.SizeTrackGrid();  // the columns for the texts now in the grid
  // The first valid track is current; with none, the first row.
  s.gCurrentTrack = playerrules::FirstValidTrack(g.Rows(), [&g](int r) { return !RowInvalid(g, r); });
  ColourTrackRow(g, s.gCurrentTrack - 1, kCurrentTrackColor);
  g.SetVisible(true);
  ShowTotals(n);
  w.lblTrack->SetCaption("1 ");
  w.lblTrackTime->SetCaption(kInvalidTrackTime);
  w.pbrPlaylist->SetValue(0);
}

void PlaylistEditor::LoadPlaylist() {
  frmPlaylist& w = Window();
  const std::string& current = pane.CurrentPlaylistPath();
  platform::SetScreenPointer(11);
  PointerBack pointerBack;
  // Each missing playlist is removed once; the one listed above it is tried next.
  std::set<std::string> removed;
  for (;;) {
    // What inventory.dat lists opens, whatever invsum.dat counts: the two can be out of step
    // after a summary that could not be written.
    if (current.empty()) {
      ResetToNewPlaylist();
      return;
    }
    const platform::FileProbe probe = platform::FileLen(current);
    if (probe.error == platform::errFileNotFound || probe.error == platform::errPathNotFound) {
      if (removed.count(current)) {
        // Still listed after its removal: open nothing rather than remove it again.
        ResetToNewPlaylist();
        return;
      }
      removed.insert(current);
      const std::string lf(platform::vbLf), cr(platform::vbCr);
      platform::MsgBox("Cannot find the following playlist file:" + lf + cr + lf + cr + current + lf + cr + lf + cr +
                           "This filename will be removed from inventory.",
                       platform::vbExclamation, "Playlist File Missing");
      w.lblPlaylistName->SetForeColor(skin::kHighlight);
      w.ShowPlaylistName("UPDATING INVENTORY...");
      state.gInventoryOp = InventoryOp::Delete;
      ApplyPlaylistInventoryChange();
      platform::FlexGrid& inv = *w.grdPlaylistInventory;
      const int row = inv.Row();
      pane.SetCurrentPlaylistPath(row > 0 && row < inv.Rows() ? inv.TextMatrix(row - 1, 1) : std::string());
      w.lblPlaylistName->SetForeColor(skin::kText);
      // Refill and select, then go round to load the next current playlist.
      FillPlaylistInventory();
      if (!current.empty()) {
        for (int r = 0; r < inv.Rows(); ++r) {
          if (inv.TextMatrix(r, 1) == current) {
            inv.SetRow(r);
            inv.SetTopRow(r);
          }
        }
      } else {
        inv.SetRow(0);
      }
      if (current.empty()) {
        ResetToNewPlaylist();
        return;
      }
      inv.SetCol(0);
      inv.SetCellBackColor(kNavy);
      inv.SetCellForeColor(kWhite);
      continue;
    }
    if (!probe.ok()) return;
    std::string bytes;
    try {
      bytes = platform::ReadWholeFile(current);
    } catch (const platform::VbError&) {
      return;
    }
    FillTrackGrid(w, ReadPlaylistEntries(bytes, platform::CurrentDriveMap()));
    return;
  }
}
