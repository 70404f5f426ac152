#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/audioproperties.h"
#include "datafiles/inventoryfiles.h"
#include "datafiles/userdb.h"
#include "inventory/driveconfig.h"

// The view on show (None before the first one).
enum class DBView { None, Inventory, Detail, Drive, File, Result };

// Module DBViewer's state: what the database pane's views share (DatabasePane owns it).
struct DBViewerState {
  // The view on show; the one before the System Inventory or File Detail view took over.
  DBView gViewMode = DBView::None;
  DBView gPrevViewMode = DBView::None;
  // The file of the File Detail view.
  std::string gCurrentFilePath;
  // The drive ("C:", empty for all) and type word of the Inventory Detail and Drive Detail views.
  std::string gSelectedDrive;
  std::string gTypeFilter;
  // The list row of the file last opened from a list; the next build of a list scrolls to it.
  int gRestoreRow = 0;
  // The grid row under the mouse at the last press on the pane's grid.
  int gTargetRow = 0;
  // The playlist a list hands to the playlist editor.
  std::string gCurrentPlaylistPath;
  // The header analysis of gCurrentFilePath, and the state of the note lookups and saves.
  analysis::AudioProperties audio;
  // The analysis left gCurrentFilePath loaded in the main window's player: only then is the
  // player's duration that file's.
  bool gPlayerHoldsShownFile = false;
  datafiles::UserDBState userdb;
  // The pane's texts saved when search entry opened, put back when it is cancelled.
  std::string gSavedViewTitle;
  std::string gSavedDescription;
  std::string gSavedDescriptionTip;
  std::string gSavedStatus1;
  std::string gSavedStatus2;

  // The current drives and each one's scan result.
  inventory::DriveConfiguration drives;
  // The counts: as stored in invsum.dat after a load, as scanned after an update.
  datafiles::InventorySummary summary;
  // Set by the System Inventory view when the drives differ from the stored ones.
  bool gDriveConfigChanged = false;
  // The number of files listed so far while a list is built: the row being filled.
  std::int64_t gListRow = 0;

  // Long work of the pane (an update, a list build, a search) lets events run; while it does,
  // the pane's tabs, Update and grid clicks are ignored. See PaneWork.
  int gPaneWorkDepth = 0;
  bool PaneBusy() const { return gPaneWorkDepth > 0; }
};

// Holds the pane busy while it lives; work started inside other work nests.
class PaneWork {
 public:
  explicit PaneWork(DBViewerState& state) : state_(state) { ++state_.gPaneWorkDepth; }
  ~PaneWork() { --state_.gPaneWorkDepth; }
  PaneWork(const PaneWork&) = delete;
  PaneWork& operator=(const PaneWork&) = delete;

 private:
  DBViewerState& state_;
};
