// Module ReconcileDB's procedures over the program's state.
#include "inventory/orphans.h"
#include "inventory/reconcile.h"
#include "main/declarations.h"

void FindOrphanedRecords() {
  ProgramState& app = App();
  inventory::FindOrphanedRecords(app.decl.files, app.io.prefs, app.reconcile);
}
