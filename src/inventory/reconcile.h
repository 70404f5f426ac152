#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/userdb.h"
#include "inventory/reconcilelogic.h"

// Module ReconcileDB's state: the result of the last orphan search and the reconcile tools'
// choice.
struct ReconcileDBState {
  // The orphaned notes' paths, in record order, blanks at both ends removed. A search that
  // finds none leaves them as they were.
  std::vector<std::string> gOrphanPaths;
  // How many orphans the last completed search found.
  std::int64_t gOrphanRecordCount = 0;

  // The orphan chosen in the reconcile window (its full path) and its name parts.
  std::string gSelectedOrphan;
  std::string gOrphanBaseName;
  std::string gOrphanExtension;
  inventory::LinkKind gLinkKind = inventory::LinkKind::Same;
  // The full path the note is to point to.
  std::string gLinkTarget;
  // The target came from the file dialog: the note takes its length.
  bool gLinkFromBrowse = false;
  // The chosen orphan's note as ShowOrphanRecord found it; its size feeds the candidate search.
  std::optional<datafiles::UserDBRecord> gSelectedRecord;
};
