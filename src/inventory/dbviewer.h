#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/inventoryfiles.h"
#include "inventory/driveconfig.h"

namespace datafiles {
class UserDBIndex;
}

// Module DBViewer: the database pane's views, drawn into the main window's controls.
// Its state lives here; the procedures take no arguments and work on it and on the pane.
struct DBViewerState {
  // The view on show: "Inventory", "Detail", "Drive", "File" or "Result"; the one before the
  // System Inventory or File Detail view took over.
  std::string gViewMode;
  std::string gPrevViewMode;
  // The file of the File Detail view.
  std::string gCurrentFilePath;
  // The drive ("C:", empty for all) and type word of the Inventory Detail and Drive Detail views.
  std::string gSelectedDrive;
  std::string gTypeFilter;
  // The list row of the file last opened from a list; the next build of a list scrolls to it.
  int gRestoreRow = 0;
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

// The pane's label-buttons get the hand pointer (icon 205); once, by the main window's load.
void SetDBPaneLinkCursors();
// The System Inventory view; runs the inventory update when the summary is missing or the
// drives changed.
void ShowSystemInventory();
// Rescans every drive, shows the counts, rewrites inventory.dat and invsum.dat, then looks for
// orphaned notes and offers to reconcile them. Also the rebuild of a missing inventory file.
void UpdateInventory();
// A click in the System Inventory grid at its current cell: a count lists those files, a drive
// cell shows the drive.
void OnTotalsGridClick();
// The Inventory Detail list of gTypeFilter files on gSelectedDrive (all drives when empty).
void ShowInventoryDetail();
// The note mark of list row gListRow, whose file's full path is `path`, from `notes`
// (userdb.dat read once for the whole list).
void MarkUserDBRowInGrid(const datafiles::UserDBIndex& notes, std::string_view path);
// The Drive Detail view of gSelectedDrive.
void ShowDriveDetail();
// The last search result again, from result.dat.
void ShowPreviousSearchResult();
// While search entry is open: the "Include:" line of the search options in force.
void ShowSearchIncludeLine();
// Closes search entry without searching and puts the pane back as it was.
void RestoreDBPaneState();
// Enters the note edit mode of File Detail, or leaves it through its save question.
void ToggleDBEditMode();
