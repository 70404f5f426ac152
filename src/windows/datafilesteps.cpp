#include "windows/datafilesteps.h"

#include "platform/core/errors.h"
#include "windows/messages.h"

namespace datafilesteps {
namespace {

// Read, and for a missing file: told, defaults shown, saved, read back once.
template <typename Settings, typename Read, typename Save>
LoadOutcome LoadSettings(const datafiles::DataFileNames& files, Settings& settings, Read read, Save save,
                         const std::function<void()>& showDefaults) {
  datafiles::ReadOutcome outcome = read(files, settings);
  messages::ShowReadOutcome(outcome);
  if (outcome.status == datafiles::ReadStatus::NotAFile) return LoadOutcome::NotAFile;
  if (outcome.status != datafiles::ReadStatus::Missing) return LoadOutcome::Loaded;
  if (showDefaults) showDefaults();
  if (!messages::ShowSaveOutcome(save(files, settings))) return LoadOutcome::Defaulted;
  outcome = read(files, settings);
  // Gone again after its save: nothing more to say.
  if (outcome.status != datafiles::ReadStatus::Missing) messages::ShowReadOutcome(outcome);
  return LoadOutcome::Defaulted;
}

datafiles::InventoryChange Rebuilt(datafiles::InventoryChange change, bool& rebuildInventory,
                                   const InventoryUpdate& updateInventory) {
  if (change.missing) RebuildMissing(change.missingFile, change.file, rebuildInventory, updateInventory);
  return change;
}

}  // namespace

LoadOutcome LoadPreferences(const datafiles::DataFileNames& files, datafiles::Preferences& prefs,
                            const std::function<void()>& fillPreferencesForm) {
  return LoadSettings(files, prefs, datafiles::ReadPreferences, datafiles::SavePreferences, fillPreferencesForm);
}

LoadOutcome LoadTapdeckPresets(const datafiles::DataFileNames& files, datafiles::Presets& presets,
                               const std::function<void()>& refreshPresetButtons) {
  return LoadSettings(files, presets, datafiles::ReadTapdeckPresets, datafiles::SaveTapdeckPresets,
                      refreshPresetButtons);
}

bool SavePreferences(const datafiles::DataFileNames& files, const datafiles::Preferences& prefs) {
  return messages::ShowSaveOutcome(datafiles::SavePreferences(files, prefs));
}

bool SaveTapdeckPresets(const datafiles::DataFileNames& files, const datafiles::Presets& presets) {
  return messages::ShowSaveOutcome(datafiles::SaveTapdeckPresets(files, presets));
}

void RebuildMissing(datafiles::DataFile which, std::string_view file, bool& rebuildInventory,
                    const InventoryUpdate& updateInventory) {
  if (!rebuildInventory) messages::ShowDataFileMissing(messages::InventoryWhat(which), file);
  if (updateInventory) updateInventory();
  rebuildInventory = false;
}

std::int32_t LoadInventorySummary(const datafiles::DataFileNames& files, bool& rebuildInventory,
                                  const InventoryUpdate& updateInventory, datafiles::InventorySummary& summary) {
  const std::int32_t error = datafiles::LoadInventorySummary(files, summary);
  if (error != platform::errFileNotFound) return error;
  RebuildMissing(datafiles::DataFile::InventorySummary, files.gInvSumFile, rebuildInventory, updateInventory);
  return datafiles::LoadInventorySummary(files, summary);
}

datafiles::InventoryChange AddFileToInventory(const datafiles::DataFileNames& files,
                                              std::string_view savePlaylistPath, bool& rebuildInventory,
                                              const InventoryUpdate& updateInventory,
                                              datafiles::InventorySummary& summary) {
  return Rebuilt(datafiles::AddFileToInventory(files, savePlaylistPath, summary), rebuildInventory,
                 updateInventory);
}

datafiles::InventoryChange RemoveFileFromInventory(const datafiles::DataFileNames& files,
                                                   std::string_view gCurrentPlaylistPath,
                                                   std::string_view currentCellText, bool& rebuildInventory,
                                                   const InventoryUpdate& updateInventory,
                                                   datafiles::InventorySummary& summary) {
  return Rebuilt(datafiles::RemoveFileFromInventory(files, gCurrentPlaylistPath, currentCellText, summary),
                 rebuildInventory, updateInventory);
}

}  // namespace datafilesteps
