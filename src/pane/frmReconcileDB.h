#pragma once

#include <QDialog>
#include <QPushButton>

#include <string>

#include "platform/qt/controls.h"

namespace platform {
class FlexGrid;
}

class ReconcileDB;

// "Reconcile Database": the orphaned notes on the left, the candidate files of the chosen one
// on the right, and the tools that link or delete its note. Module ReconcileDB owns it; it may
// exist hidden before it is shown (the orphan search writes its status label).
class frmReconcileDB : public QDialog {
  Q_OBJECT
 public:
  frmReconcileDB(ReconcileDB& module, QWidget* parent);
  ~frmReconcileDB() override;

  void Form_Load();
  void Form_Unload();

  void grdOrphans_MouseDown(int Button, int Shift, int X, int Y);
  void grdMatches_Click();
  void grdOrphans_LeaveCell();
  void grdMatches_LeaveCell();
  void grdOrphans_MouseMove(int Button, int Shift, int X, int Y);
  void grdMatches_MouseMove(int Button, int Shift, int X, int Y);
  void btnLink_Click();
  void btnBrowse_Click();
  void btnDeleteRecord_Click();
  void btnClose_Click();
  void btnReconcileHelp_Click();

  // The states of lblSearchStatus.
  enum class Status { Idle, Scanning, Searching, Linking };
  void SetStatus(Status status);

  // Sizes a list by its rows: one row height each and 10 twips, up to `limit` rows; from there
  // on `fullHeight` with a scroll bar.
  static void SizeGrid(platform::FlexGrid& grid, int limit, int fullHeight);
  // Whether the orphan list still holds an orphan (not only the "No Orphans Found" row).
  bool OrphansRemain() const;

  platform::Label* lblOrphanedRecords;
  platform::Label* lblOrphansBkgd;
  platform::FlexGrid* grdOrphans;
  platform::Label* lblDetailFrame;
  platform::Label* lblSelectedCaption;
  platform::Label* lblSelectedSubject;
  platform::Label* lblSelectedProject;
  platform::Label* lblSelectedKeywords;
  platform::Label* lblSelectedPlayers;
  platform::Label* lblSearchStatus;
  QPushButton* btnLink;
  QPushButton* btnDeleteRecord;
  QPushButton* btnBrowse;
  QPushButton* btnReconcileHelp;
  QPushButton* btnClose;
  platform::Label* lblPotentialMatches;
  platform::Label* lblMatchesBkgd;
  platform::FlexGrid* grdMatches;
  // cdlBrowseFiles's start folder.
  std::string browseInitDir;

 protected:
  void done(int result) override;
  void closeEvent(QCloseEvent* event) override;

 public:
  // Escape: the questions of Close.
  void reject() override;

 private:
  // A handler's work lets events run; while it does, the window's other handlers wait.
  ReconcileDB& module_;
  bool busy_ = false;
  bool unloaded_ = false;
};

// The placeholder row of an orphan list without orphans.
inline constexpr const char* kNoOrphansFound = "No Orphans Found";
