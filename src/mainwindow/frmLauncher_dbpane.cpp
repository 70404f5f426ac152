// The database pane's tabs, Update and grid events.
#include "mainwindow/frmLauncher_dbpane.h"

#include <QEvent>

#include "inventory/dbviewer.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "platform/qt/grid.h"

namespace {

constexpr std::uint32_t kSkinBack = 0x473D01;
constexpr std::uint32_t kSkinText = 0xDCC281;
constexpr std::uint32_t kBusyBack = 0xDC;

void AtRest(platform::Label* b) {
  b->SetBackColor(kSkinBack);
  b->SetForeColor(kSkinText);
}
void Current(platform::Label* b) {
  b->SetBackColor(kSkinText);
  b->SetForeColor(kSkinBack);
}
void Pressed(platform::Label* b) {
  b->SetBackColor(kBusyBack);
  b->SetForeColor(kSkinBack);
}

bool PaneBusy() { return App().db.PaneBusy(); }

// Clicks (and the grid's keys) that reach the pane while its work lets events run are dropped
// before the controls see them, so that nothing moves the grid under the work.
class BusyPaneFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return PaneBusy();
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void frmLauncher::WireDatabasePane() {
  auto* filter = new BusyPaneFilter(this);
  for (platform::Label* b : {btnSelInventory, btnSelDetail, btnUpdate}) b->installEventFilter(filter);
  grdTotals->installEventFilter(filter);
  for (QWidget* w : grdTotals->findChildren<QWidget*>()) w->installEventFilter(filter);

  connect(btnSelInventory, &platform::Label::Click, this, [] { frmLauncher_btnSelInventory_Click(); });
  connect(btnSelDetail, &platform::Label::Click, this, [] { frmLauncher_btnSelDetail_Click(); });
  connect(btnUpdate, &platform::Label::Click, this, [] { frmLauncher_btnUpdate_Click(); });
  connect(grdTotals, &platform::FlexGrid::MouseUp, this,
          [](int button, int shift, int x, int y) { frmLauncher_grdTotals_MouseUp(button, shift, x, y); });
}

void frmLauncher_btnSelInventory_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  AtRest(f.btnSelSearch);
  AtRest(f.btnSelDetail);
  Pressed(f.btnSelInventory);
  ShowSystemInventory();
}

void frmLauncher_btnSelDetail_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  DBViewerState& db = App().db;
  AtRest(f.btnSelSearch);
  Pressed(f.btnSelDetail);
  AtRest(f.btnSelInventory);
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
  Current(f.btnSelDetail);
}

void frmLauncher_btnUpdate_Click() {
  if (PaneBusy()) return;
  frmLauncher& f = MainWindow();
  const std::string view = App().db.gViewMode;
  if (view == "Inventory") {
    AtRest(f.btnSelSearch);
    AtRest(f.btnSelDetail);
    Current(f.btnSelInventory);
    Pressed(f.btnUpdate);
    UpdateInventory();
    AtRest(f.btnUpdate);
  } else if (view == "Detail" || view == "Drive") {
    AtRest(f.btnSelSearch);
    Current(f.btnSelDetail);
    AtRest(f.btnSelInventory);
    Pressed(f.btnUpdate);
    if (view == "Detail") {
      ShowInventoryDetail();
    } else {
      ShowDriveDetail();
    }
    AtRest(f.btnUpdate);
  }
}

void frmLauncher_grdTotals_MouseUp(int, int, int, int) {
  if (PaneBusy()) return;
  platform::FlexGrid& g = *MainWindow().grdTotals;
  if (g.MouseRow() >= 0) g.SetRow(g.MouseRow());
  if (App().db.gViewMode == "Inventory") OnTotalsGridClick();
}
