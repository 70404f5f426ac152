// The list of known playlists, and the inventory kept in step with Save and Delete.
#include <string>
#include <vector>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "inventory/abbreviatepath.h"
#include "pane/dbviewer.h"
#include "pane/databasepane.h"
#include "windows/shareddata.h"
#include "windows/datafilesteps.h"
#include "windows/messages.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/playlist.h"

using namespace playlist_detail;
using platform::Q;

namespace {

// A change the inventory files could not take is told once, as other data files' are; the
// pane and the list go on showing what is stored.
void Report(const datafiles::InventoryChange& change) {
  if (change.error != platform::errNone) {
    messages::ReportSaveFailure(change.file, platform::VbError::DescribeError(change.error));
  }
}

}  // namespace

void PlaylistEditor::FillPlaylistInventory() {
  frmPlaylist& w = Window();
  const datafiles::DataFileNames& files = app.decl.files;
  platform::FlexGrid& g = *w.grdPlaylistInventory;
  if (platform::FileLen(files.gInventoryFile).error == platform::errFileNotFound) {
    if (!app.decl.gRebuildInventory) messages::ShowDataFileMissing(messages::kInventoryDataWhat, files.gInventoryFile);
    pane.UpdateInventory();
  }
  std::vector<std::string> paths;
  try {
    datafiles::InventoryReader reader(files.gInventoryFile);
    datafiles::InventoryLine line;
    while (reader.Next(line, 4)) {
      if (platform::LowerCase(line.gInvExtension) == "m3u") paths.push_back(line.FullPath());
    }
  } catch (const platform::VbError&) {
    return;  // an inventory that cannot be read leaves the list as it was
  }
  g.Clear();
  g.SetVisible(false);
  if (!paths.empty()) g.SetRows(static_cast<int>(paths.size()));
  const int rows = g.Rows();
  g.SetHeight(rows < 5 ? g.RowHeight(0) * rows + 10 : kInventoryGridMaxTwips);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    g.SetTextMatrix(static_cast<int>(i), 0, AbbreviatePath(paths[i], 45));
    g.SetTextMatrix(static_cast<int>(i), 1, paths[i]);
  }
  g.SetRow(0);
  g.SetCol(0);
  g.SetColSel(0);
  g.Sort(5);
  g.SetVisible(true);
  if (pane.CurrentPlaylistPath().empty()) pane.SetCurrentPlaylistPath(g.TextMatrix(g.Row(), 1));
}

void PlaylistEditor::RefreshPlaylistInventory() {
  frmPlaylist& w = Window();
  platform::FlexGrid& g = *w.grdPlaylistInventory;
  const std::string& current = pane.CurrentPlaylistPath();
  FillPlaylistInventory();
  if (!current.empty()) {
    for (int r = 0; r < g.Rows(); ++r) {
      if (g.TextMatrix(r, 1) == current) {
        g.SetRow(r);
        g.SetTopRow(r);
      }
    }
  } else {
    g.SetRow(0);
  }
  g.SetCol(0);
  g.SetCellBackColor(kNavy);
  g.SetCellForeColor(kWhite);
  LoadPlaylist();
}

void PlaylistEditor::RedrawDatabasePane() {
  pane.RedrawAfterPlaylistChange();
}

void PlaylistEditor::ApplyPlaylistInventoryChange() {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  if (s.gInventoryOp == InventoryOp::Save) {
    if (!s.gSavePlaylistPath.empty()) Report(pane.AddToInventory(s.gSavePlaylistPath));
  } else if (s.gInventoryOp == InventoryOp::Delete) {
    if (!pane.CurrentPlaylistPath().empty()) {
      Report(pane.RemoveFromInventory(pane.CurrentPlaylistPath(), w.grdPlaylistInventory->Text()));
    }
  }
  RedrawDatabasePane();
}

void PlaylistEditor::UpdatePlaylistInventory() {
  frmPlaylist& w = Window();
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdPlaylistInventory;
  if (s.gInventoryOp == InventoryOp::Save) {
    for (int r = 0; r < g.Rows(); ++r) {
      if (g.TextMatrix(r, 1) == s.gSavePlaylistPath) {
        s.gInventoryOp = InventoryOp::None;
        return;
      }
    }
    w.lblPlaylistName->SetForeColor(skin::kHighlight);
    w.ShowPlaylistName("UPDATING INVENTORY...");
    Report(pane.AddToInventory(s.gSavePlaylistPath));
    FillPlaylistInventory();
    RedrawDatabasePane();
    s.gInventoryOp = InventoryOp::None;
    return;
  }
  if (s.gInventoryOp == InventoryOp::Delete) {
    // The playlist the question names: the selected row's. No playlist selected, nothing to do.
    const int row = g.Row();
    const std::string path = row >= 0 && row < g.Rows() ? g.TextMatrix(row, 1) : std::string();
    if (path.empty()) {
      s.gInventoryOp = InventoryOp::None;
      return;
    }
    const std::string lf(platform::vbLf), cr(platform::vbCr);
    g.SetCol(0);
    const std::string shown = g.Text();
    const int answer = platform::MsgBox("You are about to delete the following playlist file: " + lf + cr + lf + cr +
                                            shown + lf + cr + lf + cr + "Click 'OK' to delete the file." + lf + cr +
                                            "Click 'Cancel' to cancel delete request.",
                                        platform::vbOKCancel | platform::vbExclamation | platform::vbDefaultButton2,
                                        "Delete Playlist");
    if (answer == platform::vbCancel) {
      s.gInventoryOp = InventoryOp::None;
      return;
    }
    const std::int32_t error = platform::DeleteFile(path);
    if (error != 0 && error != platform::errFileNotFound && error != platform::errPathNotFound) return;
    w.lblPlaylistName->SetForeColor(skin::kHighlight);
    w.ShowPlaylistName("UPDATING INVENTORY...");
    Report(pane.RemoveFromInventory(path, shown));
    pane.SetCurrentPlaylistPath(row > 0 ? g.TextMatrix(row - 1, 1) : std::string());
    RefreshPlaylistInventory();
    w.MarkUnsaved(false);
    w.lblPlaylistName->SetForeColor(skin::kText);
    RedrawDatabasePane();
    s.gInventoryOp = InventoryOp::None;
    return;
  }
  RedrawDatabasePane();
}
