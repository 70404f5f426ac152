// The way back to earlier states of the pane: the last search result from result.dat, and the
// pane as it was before search entry opened.
#include "datafiles/userdb.h"
#include "inventory/dbviewer.h"
#include "inventory/paneparts.h"
#include "inventory/searchcore.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "windows/skin.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"

using namespace pane;

void ShowPreviousSearchResult() {
  frmLauncher& f = MainWindow();
  ProgramState& app = App();
  DBViewerState& db = app.db;
  PaneWork work(db);
  f.lblDBViewTitle->SetCaption("Inventory Detail");
  f.txtDBDescription->setText("");
  f.txtDBDescription->setToolTip("");
  f.lblDBStatus1->SetCaption("");
  f.lblDBStatus2->SetCaption("");
  ReleasePlayButton(f);
  f.txtDBDescription->SetForeColor(skin::kHighlight);
  f.txtDBDescription->setText("Retreiving previous search result...");
  f.lblDBStatus1->SetCaption("Getting search result data...");
  platform::SetScreenPointer(11);
  platform::DoEvents();
  LayOutResultGrid(f);

  inventory::SearchResultFile result = inventory::ReadSearchResult(app.decl.files.gResultFile);
  if (result.error != 0) {
    // Without the file there is nothing to show but the empty list, and the pane is ready again.
    f.txtDBDescription->setText("");
    FinishResultView(f, db, "Previous search result not found", 0);
    return;
  }
  f.txtDBDescription->setText(Q(result.header));
  datafiles::UserDBContents contents = datafiles::ReadUserDB(app.decl.files);
  const datafiles::UserDBIndex notes(contents.records);
  contents.records.clear();
  const std::int64_t listed = ShowResultRows(f, db, std::move(result.rows), notes);
  FinishResultView(f, db, "Search completed", listed);
}

void RestoreDBPaneState() {
  frmLauncher& f = MainWindow();
  DBViewerState& db = App().db;
  skin::AtRest(f.btnSelSearch);
  f.btnUpdate->SetCaption("Update");
  for (platform::Label* b : {f.btnSelDetail, f.btnSelInventory, f.btnPrint, f.btnPlay}) {
    b->setEnabled(true);
    b->show();
  }
  f.lblDBViewTitle->SetCaption(Q(db.gSavedViewTitle));
  f.txtDBDescription->SetForeColor(skin::kText);
  f.txtDBDescription->setText(Q(db.gSavedDescription));
  f.txtDBDescription->setToolTip(Q(db.gSavedDescriptionTip));
  f.lblDBStatus1->SetCaption(Q(db.gSavedStatus1));
  f.lblDBStatus2->SetCaption(Q(db.gSavedStatus2));
  f.lblDBSearchTextLabel->setEnabled(false);
  f.lblDBSearchTextLabel->hide();
  f.txtDBSearchText->setEnabled(false);
  f.txtDBSearchText->hide();
  const std::string& view = db.gViewMode;
  if (view == "Inventory" || view == "Detail" || view == "Drive" || view == "Result") {
    f.grdTotals->SetVisible(true);
    f.lblDBFileCover->show();
  } else if (view == "File") {
    f.grdTotals->SetVisible(false);
    f.lblDBFileCover->hide();
  }
}
