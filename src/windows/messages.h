#pragma once

// The system's messages, by outcome: the core says what became of a data file, these give it
// the words, style and title the user has always seen.

#include <string>
#include <string_view>

#include "datafiles/inventoryfiles.h"
#include "datafiles/outcome.h"
#include "datafiles/userdb.h"
#include "inventory/reconcilelogic.h"

namespace messages {

// "Data File Missing", "Data File Damaged" or "Data File Unusable" for prefs.dat and preset.dat;
// other outcomes and other files say nothing.
void ShowReadOutcome(const datafiles::ReadOutcome& read);

// "Data File Not Saved"; the change stays in memory.
void ReportSaveFailure(const std::string& file, const std::string& reason);
// The same for a failed save; true when saved.
bool ShowSaveOutcome(const datafiles::SaveOutcome& save);

// "Data File Missing" for the inventory's files, with the notice of the rebuild that follows.
inline constexpr std::string_view kInventorySummaryWhat = "inventory summary";
inline constexpr std::string_view kInventoryDataWhat = "inventory data";
void ShowDataFileMissing(std::string_view what, std::string_view fullPath);
std::string_view InventoryWhat(datafiles::DataFile which);

// "Note Not Saved" for anything but Saved.
void ShowNoteSaveOutcome(const datafiles::NoteSaveOutcome& save);
// "Note Not Deleted" for a rewrite of userdb.dat that failed (a failed reading is not told).
void ShowNoteDeleteOutcome(const datafiles::NoteDeleteOutcome& removal);

// The reconcile tools: "Note Not Linked" for a refused link, an unreadable userdb.dat or a
// failed write; "Note Not Deleted" for an orphan's note that could not be read or removed.
void ShowLinkRefusal(const inventory::PreparedLink& prepared);
bool ShowLinkWrite(const inventory::LinkWrite& write);
bool ShowOrphanNoteDelete(const datafiles::NoteDeleteOutcome& removal);

}  // namespace messages
