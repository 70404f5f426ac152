#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/audioproperties.h"
#include "datafiles/inventoryfiles.h"
#include "datafiles/userdb.h"
#include "inventory/driveconfig.h"

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
// The file of the grid's current row in a list: a playlist goes to the playlist editor, any
// other file is analysed and shown in File Detail. Rows that hold no file (the header, the
// no-match row) open nothing. True when File Detail now shows the file.
bool OpenListedFile();
// The File Detail view of gCurrentFilePath, analysed into `audio` and loaded in the player.
void ShowFileDetail();
// Empties the five note boxes of the edit mode.
void ClearUserDBFields();
// The keyword search of the phrases in txtDBSearchText, by the search options; its result is
// listed and kept in result.dat. Always ends with the pane in the Result view.
void SearchDatabase();
// The last search result again, from result.dat.
void ShowPreviousSearchResult();
// While search entry is open: the "Include:" line of the search options in force.
void ShowSearchIncludeLine();
// Closes search entry without searching and puts the pane back as it was.
void RestoreDBPaneState();
// Enters the note edit mode of File Detail, or leaves it through its save question.
void ToggleDBEditMode();
// Opens the playlist editor on gCurrentPlaylistPath.
void OpenPlaylistWindow();
