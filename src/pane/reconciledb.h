#pragma once

#include <QPointer>

#include <string>

#include "datafiles/userdb.h"
#include "inventory/reconcile.h"

class QWidget;
class PaneHost;
class frmReconcileDB;
struct Declarations;
struct DataFileIO;

// Module ReconcileDB: the orphan search and the reconcile window's procedures, over the
// program's data files and preferences and the window while it exists.
class ReconcileDB {
 public:
  // `userdb` is the pane's note lookup state, which the window's lookup shares; the window
  // opens over `owner`'s window.
  ReconcileDB(Declarations& decl, DataFileIO& io, datafiles::UserDBState& userdb, const std::string& openFilter,
              PaneHost& host, QWidget* owner);
  ~ReconcileDB();
  ReconcileDB(const ReconcileDB&) = delete;
  ReconcileDB& operator=(const ReconcileDB&) = delete;

  ReconcileDBState state;

  // The orphan search, with its progress in the reconcile window's status label.
  void FindOrphanedRecords();
  // Fills the reconcile window's lists and shows it, modal over the main window.
  void OpenReconcileWindow();

  // The reconcile window's module procedures.
  void FillOrphansGrid();
  void InitMatchesGrid();
  void ShowOrphanRecord();
  void FindCandidateMatches();
  void DetermineLinkKind();
  void ApplyLink();
  // True when the chosen orphan's notes are gone; a failure has been told.
  bool DeleteOrphanRecord();
  void ClearSelectionPane();

  // The window while it exists; Window() creates it, hidden and loaded, when there is none.
  frmReconcileDB* WindowOrNull() const;
  frmReconcileDB& Window();

  // What the window reads and writes.
  Declarations& decl;
  DataFileIO& io;
  const std::string& openFilter;
  PaneHost& host;

 private:
  datafiles::UserDBState& userdb_;
  QWidget* owner_;
  QPointer<frmReconcileDB> window_;
};
