#pragma once

// The steps the windows take after what the core's readers and writers came to: the message
// first, then what the program does about it, in the order the user has always seen.

#include <functional>
#include <string>
#include <string_view>

#include "datafiles/inventoryfiles.h"
#include "datafiles/prefs.h"

namespace datafilesteps {

enum class LoadOutcome {
  Loaded,     // read from the file (a short or damaged file keeps defaults for what it lacks)
  Defaulted,  // the file was missing: announced, defaults set and saved, then read back
  NotAFile,   // something else stands in its place: told once, the defaults stand, nothing saved
};

// Reads prefs.dat. A missing file is announced ("Data File Missing"), the defaults are set,
// `fillPreferencesForm` runs, the defaults are saved (a failure told, and the end) and read back
// once; a damaged file is told. A folder in the file's place is told as that alone: no save is
// tried, so what is there stays as it is.
LoadOutcome LoadPreferences(const datafiles::DataFileNames& files, datafiles::Preferences& prefs,
                            const std::function<void()>& fillPreferencesForm);
// The same for preset.dat, with `refreshPresetButtons` in the missing-file path.
LoadOutcome LoadTapdeckPresets(const datafiles::DataFileNames& files, datafiles::Presets& presets,
                               const std::function<void()>& refreshPresetButtons);

// Saves and tells a failure; true when saved.
bool SavePreferences(const datafiles::DataFileNames& files, const datafiles::Preferences& prefs);
bool SaveTapdeckPresets(const datafiles::DataFileNames& files, const datafiles::Presets& presets);

// The full inventory update of the database pane; run where a missing file must be rebuilt.
using InventoryUpdate = std::function<void()>;

// A missing inventory file: "Data File Missing" unless rebuildInventory, then the update,
// then rebuildInventory := false.
void RebuildMissing(datafiles::DataFile which, std::string_view file, bool& rebuildInventory,
                    const InventoryUpdate& updateInventory);

// The inventory's readers and writers with a missing file rebuilt: the summary is read again
// after the rebuild; a change is not made (the rebuild counted it), `missing` tells.
std::int32_t LoadInventorySummary(const datafiles::DataFileNames& files, bool& rebuildInventory,
                                  const InventoryUpdate& updateInventory, datafiles::InventorySummary& summary);
datafiles::InventoryChange AddFileToInventory(const datafiles::DataFileNames& files,
                                              std::string_view savePlaylistPath, bool& rebuildInventory,
                                              const InventoryUpdate& updateInventory,
                                              datafiles::InventorySummary& summary);
datafiles::InventoryChange RemoveFileFromInventory(const datafiles::DataFileNames& files,
                                                   std::string_view gCurrentPlaylistPath,
                                                   std::string_view currentCellText, bool& rebuildInventory,
                                                   const InventoryUpdate& updateInventory,
                                                   datafiles::InventorySummary& summary);

}  // namespace datafilesteps
