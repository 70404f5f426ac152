// The database pane's tabs, Update and grid events.
#include "mainwindow/frmLauncher_dbpane.h"

#include <QEvent>

#include "inventory/dbviewer.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "windows/skin.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"

namespace {



bool PaneBusy() { return App().db.PaneBusy(); }

}  // namespace

void frmLauncher::WireDatabasePane() {
  // Clicks and the grid's keys that reach the pane while its work lets events run are dropped
  // before the controls see them, so that nothing moves the grid under the work.
  auto* blocker = new platform::InputBlocker(this, [] { return PaneBusy(); });
  for (platform::Label* b : {btnSelInventory, btnSelDetail, btnSelSearch, btnUpdate, btnPrint}) blocker->Watch(b);
  blocker->Watch(grdTotals);

  connect(btnSelInventory, &platform::Label::Click, this, [] { frmLauncher_btnSelInventory_Click(); });
  connect(btnSelDetail, &platform::Label::Click, this, [] { frmLauncher_btnSelDetail_Click(); });
  connect(btnSelSearch, &platform::Label::Click, this, [] { frmLauncher_btnSelSearch_Click(); });
  connect(btnUpdate, &platform::Label::Click, this, [] { frmLauncher_btnUpdate_Click(); });
  connect(btnPrint, &platform::Label::Click, this, [] { frmLauncher_btnPrint_Click(); });
  connect(grdTotals, &platform::FlexGrid::MouseDown, this,
          [](int button, int shift, int x, int y) { frmLauncher_grdTotals_MouseDown(button, shift, x, y); });
  connect(grdTotals, &platform::FlexGrid::MouseMove, this,
          [](int button, int shift, int x, int y) { frmLauncher_grdTotals_MouseMove(button, shift, x, y); });
  connect(grdTotals, &platform::FlexGrid::MouseUp, this,
          [](int button, int shift, int x, int y) { frmLauncher_grdTotals_MouseUp(button, shift, x, y); });
  WireNoteFields(*this);
}

void frmLauncher_btnSelInventory_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  skin::AtRest(f.btnSelSearch);
  skin::AtRest(f.btnSelDetail);
  skin::Pressed(f.btnSelInventory);
  ShowSystemInventory();
}

void frmLauncher_btnSelDetail_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  DBViewerState& db = App().db;
  skin::AtRest(f.btnSelSearch);
  skin::Pressed(f.btnSelDetail);
  skin::AtRest(f.btnSelInventory);
  const std::string view = db.gViewMode;
  if (view == "Detail") {
    ShowInventoryDetail();
  } else if (view == "Drive") {
    ShowDriveDetail();
  } else if (view == "Inventory" || view == "File") {
    // Back to the list the user came from.
    if (db.gPrevViewMode == "Drive") {
      ShowDriveDetail();
    } else if (db.gPrevViewMode == "Result") {
      ShowPreviousSearchResult();
    } else {
      ShowInventoryDetail();
    }
  }
  skin::Current(f.btnSelDetail);
}

void frmLauncher_btnSelSearch_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  DBViewerState& db = App().db;
  if (f.btnSelSearch->Caption() == "Erase All") {
    ClearUserDBFields();
    return;
  }
  if (f.btnSelSearch->BackColor() == skin::kBack) {
    skin::Current(f.btnSelSearch);
    f.btnUpdate->SetCaption("Cancel");
    for (platform::Label* b : {f.btnSelDetail, f.btnSelInventory, f.btnPrint, f.btnPlay}) {
      b->setEnabled(false);
      b->hide();
    }
    db.gSavedViewTitle = f.lblDBViewTitle->Caption().toStdString();
    db.gSavedDescription = f.txtDBDescription->text().toStdString();
    db.gSavedDescriptionTip = f.txtDBDescription->toolTip().toStdString();
    db.gSavedStatus1 = f.lblDBStatus1->Caption().toStdString();
    db.gSavedStatus2 = f.lblDBStatus2->Caption().toStdString();
    f.lblDBViewTitle->SetCaption("Search Inventory");
    ShowSearchIncludeLine();
    f.grdTotals->SetVisible(false);
    f.lblDBFileCover->show();
    f.lblDBSearchTextLabel->setEnabled(true);
    f.lblDBSearchTextLabel->show();
    f.txtDBSearchText->setEnabled(true);
    f.txtDBSearchText->show();
    f.txtDBSearchText->setFocus();
    return;
  }
  // The pressed look shows before the search; a click that arrives meanwhile finds the pane busy.
  PaneWork work(db);
  skin::Pressed(f.btnSelSearch);
  platform::DoEvents();
  SearchDatabase();
}

void frmLauncher_btnUpdate_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  if (f.btnUpdate->Caption() == "Cancel") {
    RestoreDBPaneState();
    return;
  }
  const std::string view = App().db.gViewMode;
  if (view == "Inventory") {
    skin::AtRest(f.btnSelSearch);
    skin::AtRest(f.btnSelDetail);
    skin::Current(f.btnSelInventory);
    skin::Pressed(f.btnUpdate);
    UpdateInventory();
    skin::AtRest(f.btnUpdate);
  } else if (view == "Detail" || view == "Drive") {
    skin::AtRest(f.btnSelSearch);
    skin::Current(f.btnSelDetail);
    skin::AtRest(f.btnSelInventory);
    skin::Pressed(f.btnUpdate);
    if (view == "Detail") {
      ShowInventoryDetail();
    } else {
      ShowDriveDetail();
    }
    skin::AtRest(f.btnUpdate);
  } else if (view == "File") {
    skin::AtRest(f.btnSelDetail);
    f.btnSelSearch->SetCaption("Erase All");
    for (platform::Label* b : {f.btnSelDetail, f.btnSelInventory, f.btnPrint, f.btnPlay}) {
      b->SetCaption("");
      b->setEnabled(false);
    }
    ToggleDBEditMode();
  }
}

void frmLauncher_grdTotals_MouseDown(int, int, int, int) {
  App().db.gTargetRow = MainWindow().grdTotals->MouseRow();
}

void frmLauncher_grdTotals_MouseMove(int, int, int, int Y) {
  platform::FlexGrid& g = *MainWindow().grdTotals;
  const std::string& view = App().db.gViewMode;
  const bool list = view == "Detail" || view == "Result";
  if (!list || g.MouseRow() == 0) {
    if (!g.ToolTipText().empty()) g.SetToolTipText("");
    return;
  }
  // Every row is taken as 240 twips high, the header included.
  const int r = Y / platform::FlexGrid::kRowHeightTwips + g.TopRow() - 1;
  const std::string tip = r >= 1 && r < g.Rows() && g.Cols() > 3 ? g.TextMatrix(r, 3) : std::string();
  if (tip != g.ToolTipText()) g.SetToolTipText(tip);
}

void frmLauncher_grdTotals_MouseUp(int Button, int, int, int) {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  platform::FlexGrid& g = *f.grdTotals;
  if (g.MouseRow() >= 0) g.SetRow(g.MouseRow());
  const std::string view = App().db.gViewMode;
  if (view == "Inventory") {
    OnTotalsGridClick();
  } else if (view == "Detail" || view == "Result") {
    // The right button plays what it opened; a row that opened nothing leaves the player alone.
    if (OpenListedFile() && Button == 2) f.btnPlay_Click();
  }
}
