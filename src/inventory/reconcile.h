#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Module ReconcileDB's state: the result of the last orphan search.
struct ReconcileDBState {
  // The orphaned notes' paths, in record order, blanks at both ends removed. A search that
  // finds none leaves them as they were.
  std::vector<std::string> gOrphanPaths;
  // How many orphans the last completed search found.
  std::int64_t gOrphanRecordCount = 0;
};

// The orphan search over the program's data files and preferences (App()).
void FindOrphanedRecords();

// Fills the reconcile window's lists and shows it, modal over the main window.
void OpenReconcileWindow();
