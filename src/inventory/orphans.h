#pragma once

#include "datafiles/datafilenames.h"
#include "datafiles/prefs.h"
#include "inventory/reconcile.h"

namespace inventory {

// Tests every note of userdb.dat against inventory.dat (one pass over each): a note whose path
// (without trailing blanks, case included) stands on no line is an orphan. Sets the count, the
// orphans' paths (when there are any), gOrphanQuantity (" 3") and saves the preferences.
// A missing or unreadable userdb.dat or inventory.dat changes nothing and returns false.
bool FindOrphanedRecords(const datafiles::DataFileNames& files, datafiles::Preferences& prefs,
                         ReconcileDBState& state);

}  // namespace inventory
