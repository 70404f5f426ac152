// The way back to earlier states of the pane: the last search result from result.dat, and the
// pane as it was before search entry opened.
#include "datafiles/userdb.h"
#include "pane/databasepane.h"
#include "inventory/searchresult.h"
#include "platform/qt/controls.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "windows/shareddata.h"
#include "windows/skin.h"

using platform::Q;

void DatabasePane::ShowPreviousSearchResult() {
  PaneWork work(db);
  SetTitle(PaneTitle::InventoryDetail);
  SetDescription("");
  txtDBDescription->setToolTip("");
  lblDBStatus1->SetCaption("");
  lblDBStatus2->SetCaption("");
  ReleasePlayButton();
  txtDBDescription->SetForeColor(skin::kHighlight);
  SetDescription("Retreiving previous search result...");
  lblDBStatus1->SetCaption("Getting search result data...");
  platform::SetScreenPointer(11);
  platform::DoEvents();
  LayOutResultGrid();

  inventory::SearchResultFile result = inventory::ReadSearchResult(decl_.files.gResultFile);
  if (result.error != 0) {
    // Without the file there is nothing to show but the empty list, and the pane is ready again.
    SetDescription("");
    FinishResultView("Previous search result not found", 0);
    return;
  }
  SetDescription(Q(result.header));
  datafiles::UserDBContents contents = datafiles::ReadUserDB(decl_.files);
  const datafiles::UserDBIndex notes(contents.records);
  contents.records.clear();
  const std::int64_t listed = ShowResultRows(std::move(result.rows), notes);
  FinishResultView("Search completed", listed);
}

void DatabasePane::RestoreDBPaneState() {
  skin::AtRest(btnSelSearch);
  SetMode(PaneMode::Browse);
  for (platform::Label* b : {btnSelDetail, btnSelInventory, btnPrint, btnPlay}) {
    b->setEnabled(true);
    b->show();
  }
  // The caption as it was, whatever it said.
  title_ = savedTitle_;
  lblDBViewTitle->SetCaption(Q(db.gSavedViewTitle));
  txtDBDescription->SetForeColor(skin::kText);
  SetDescription(Q(db.gSavedDescription));
  txtDBDescription->setToolTip(Q(db.gSavedDescriptionTip));
  lblDBStatus1->SetCaption(Q(db.gSavedStatus1));
  lblDBStatus2->SetCaption(Q(db.gSavedStatus2));
  lblDBSearchTextLabel->setEnabled(false);
  lblDBSearchTextLabel->hide();
  txtDBSearchText->setEnabled(false);
  txtDBSearchText->hide();
  const DBView view = db.gViewMode;
  if (view == DBView::Inventory || view == DBView::Detail || view == DBView::Drive ||
      view == DBView::Result) {
    grdTotals->SetVisible(true);
    lblDBFileCover->show();
  } else if (view == DBView::File) {
    grdTotals->SetVisible(false);
    lblDBFileCover->hide();
  }
}
