#include "inventory/orphans.h"

#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"

namespace inventory {

OrphanSearch FindOrphanedRecords(const datafiles::DataFileNames& files, datafiles::Preferences& prefs,
                                 ReconcileDBState& state) {
  if (!platform::FileLen(files.gUserDBFile).ok()) return {};
  datafiles::UserDBContents notes = datafiles::ReadUserDB(files);
  if (notes.error != platform::errNone) return {};

  std::vector<std::string> keys;
  keys.reserve(notes.records.size());
  for (const datafiles::UserDBRecord& r : notes.records) keys.emplace_back(r.Key());
  std::vector<bool> listed;
  try {
    // Without the inventory every note would look orphaned: better to report nothing.
    if (!platform::FileLen(files.gInventoryFile).ok()) return {};
    listed = datafiles::FindPathsInInventory(files.gInventoryFile, keys);
  } catch (const platform::VbError&) {
    return {};
  }

  std::vector<std::string> orphans;
  for (std::size_t i = 0; i < notes.records.size(); ++i) {
    if (!listed[i]) orphans.emplace_back(platform::Trim(notes.records[i].Path));
  }
  state.gOrphanRecordCount = static_cast<std::int64_t>(orphans.size());
  if (!orphans.empty()) state.gOrphanPaths = std::move(orphans);
  prefs.gOrphanQuantity = platform::NumberText(state.gOrphanRecordCount);
  return {true, datafiles::SavePreferences(files, prefs)};
}

}  // namespace inventory
