#pragma once

#include "datafiles/datafilenames.h"
#include "datafiles/prefs.h"
#include "inventory/reconcile.h"

namespace inventory {

// Tests every note of userdb.dat against inventory.dat (one pass over each): a note whose path
// (without trailing blanks, case included) stands on no line is an orphan. Sets the count, the
// orphans' paths (when there are any), gOrphanQuantity (" 3") and saves the preferences.
// A missing or unreadable userdb.dat or inventory.dat changes nothing and is no search.
struct OrphanSearch {
  bool searched = false;
  datafiles::SaveOutcome prefsSave;  // the save of the preferences that followed the search
  explicit operator bool() const { return searched; }
};
OrphanSearch FindOrphanedRecords(const datafiles::DataFileNames& files, datafiles::Preferences& prefs,
                                 ReconcileDBState& state);

}  // namespace inventory
