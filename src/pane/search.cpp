// The keyword search of the database pane, its search entry's include line, and the Result
// view it draws.
#include <algorithm>
#include <exception>

#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "pane/databasepane.h"
#include "inventory/searchcore.h"
#include "inventory/searchresult.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"
#include "windows/messages.h"
#include "windows/shareddata.h"
#include "windows/skin.h"

using platform::Q;

namespace {

constexpr int kListHeightTwips = 3375;
constexpr int kRowsWithoutScrollBar = 13;  // header included

void ResultHeight(platform::FlexGrid& g) {
  g.SetHeight(g.Rows() < kRowsWithoutScrollBar ? g.RowHeight(0) * (g.Rows() + 1) : kListHeightTwips);
}

}  // namespace

void DatabasePane::LayOutResultGrid() {
  platform::FlexGrid& g = *grdTotals;
  lblDBFileCover->show();
  g.SetVisible(false);
  g.SetMousePointer(99);
  g.SetMouseIcon(platform::LoadResCursor(skin::kHandIcon));
  g.SetCols(5);
  g.SetRows(1);
  g.SetFixedRows(1);
  g.SetColWidth(0, 350);
  g.SetColWidth(1, 400);
  g.SetColWidth(2, 5900);
  g.SetColWidth(3, 0);
  g.SetColWidth(4, 500);
  g.SetRow(0);
  for (int c = 0; c <= 4; ++c) {
    g.SetColAlignment(c, 1);
    g.SetCol(c);
    g.SetCellFontBold(true);
  }
  g.SetColAlignment(4, 7);
  g.SetTextMatrix(0, 0, "DB");
  g.SetTextMatrix(0, 1, "Drv");
  g.SetTextMatrix(0, 2, "File");
  g.SetTextMatrix(0, 3, "");
  g.SetTextMatrix(0, 4, "Hits");
  g.SetCol(0);
  ResultHeight(g);
}

std::int64_t DatabasePane::ShowResultRows(std::vector<inventory::SearchHit> rows, const datafiles::UserDBIndex& notes) {
  platform::FlexGrid& g = *grdTotals;
  std::vector<std::string> shown;
  shown.reserve(rows.size());
  for (const inventory::SearchHit& r : rows) shown.push_back(AbbreviatePath(r.pathWithoutDrive, 73));
  inventory::SortSearchRows(rows, shown);

  g.SetRows(static_cast<int>(rows.size()) + 1);
  std::int64_t listed = 0;
  std::string full;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const inventory::SearchHit& r = rows[i];
    g.SetTextMatrix(row, 1, r.drive);
    g.SetTextMatrix(row, 2, shown[i]);
    g.SetTextMatrix(row, 3, r.pathWithoutDrive);
    g.SetTextMatrix(row, 4, std::to_string(r.hits));
    db.gListRow = row;
    full.assign(r.drive).append(r.pathWithoutDrive);
    MarkUserDBRowInGrid(notes, full);
    ++listed;  // a reloaded no-match row is a listed row too
  }
  ResultHeight(g);
  if (g.Rows() > 1) g.SetTopRow(db.gRestoreRow != 0 ? std::clamp(db.gRestoreRow, 1, g.Rows() - 1) : 1);
  // Used once, also by a list without rows: else the next list would open at an old row.
  db.gRestoreRow = 0;
  db.gListRow = listed;
  return listed;
}

void DatabasePane::ShowNoMatchRow() {
  platform::FlexGrid& g = *grdTotals;
  g.SetRows(2);
  g.SetHeight(g.RowHeight(0) * 3);
  g.SetTextMatrix(1, 1, " ");
  g.SetTextMatrix(1, 2, inventory::NoMatchText());
  g.SetTextMatrix(1, 3, " ");
  g.SetTopRow(1);
}

void DatabasePane::FinishResultView(const std::string& status, std::int64_t listed) {
  lblDBSearchTextLabel->setEnabled(false);
  lblDBSearchTextLabel->hide();
  txtDBSearchText->setEnabled(false);
  txtDBSearchText->hide();
  grdTotals->SetVisible(true);
  db.gViewMode = DBView::Result;
  skin::AtRest(btnSelSearch);
  skin::Current(btnSelDetail);
  skin::AtRest(btnSelInventory);
  SetMode(PaneMode::Browse);
  for (platform::Label* b : {btnSelDetail, btnSelInventory, btnPrint, btnPlay}) {
    b->setEnabled(true);
    b->show();
  }
  platform::SetScreenPointer(0);
  txtDBDescription->SetForeColor(skin::kText);
  lblDBStatus1->SetCaption(Q(status));
  lblDBStatus2->SetCaption(Q("Total files listed: " + std::to_string(listed)));
}


void DatabasePane::ShowSearchIncludeLine() {
  if (title_ != PaneTitle::SearchInventory) return;
  const datafiles::Preferences& prefs = io_.prefs;
  std::string line = "Include: ";
  txtDBDescription->setToolTip("");
  if (prefs.gSearchAttributes == 1) {
    line += "File attributes";
    if (prefs.gSearchUserDB == 1 || prefs.gSearchChunks == 1) line += ",  ";
  }
  if (prefs.gSearchUserDB == 1) {
    line += "User DB";
    if (prefs.gSearchChunks == 1) line += ",  ";
  }
  if (prefs.gSearchChunks == 1) line += "Embedded info";
  if (line == "Include: ") {
    txtDBDescription->SetForeColor(skin::kHighlight);
    SetDescription("NO SEARCH OPTIONS SET");
    lblDBStatus1->SetCaption("Select one or more DB Search Options from");
    lblDBStatus2->SetCaption("Tools/Preferences menu before continuing");
  } else {
    txtDBDescription->SetForeColor(skin::kText);
    SetDescription(Q(line));
    lblDBStatus1->SetCaption("Enter phrase(s) to search for");
    lblDBStatus2->SetCaption("Separate phrases with commas");
  }
}

void DatabasePane::SearchDatabase() {
  const datafiles::DataFileNames& files = decl_.files;
  PaneWork work(db);
  const std::string searchText = txtDBSearchText->text().toStdString();

  auto busyLook = [&] {
    SetTitle(PaneTitle::InventoryDetail);
    txtDBDescription->setToolTip("");
    lblDBStatus2->SetCaption("");
    txtDBDescription->SetForeColor(skin::kHighlight);
    SetDescription(Q("Keyword search: " + searchText));
    platform::SetScreenPointer(11);
  };
  SetTitle(PaneTitle::InventoryDetail);
  SetDescription("");
  lblDBStatus1->SetCaption("");
  lblDBStatus2->SetCaption("");
  ReleasePlayButton();
  busyLook();
  lblDBStatus1->SetCaption("Initializing DB search...");
  platform::DoEvents();
  LayOutResultGrid();
  lblDBStatus1->SetCaption("Searching database...");
  platform::DoEvents();

  std::string status = "Search completed";
  std::int64_t listed = 0;
  // Whatever happens on the way, the pane ends in the Result view with its pointer, colours
  // and buttons back.
  try {
    if (platform::FileLen(files.gInventoryFile).error == platform::errFileNotFound) {
      if (!decl_.gRebuildInventory) messages::ShowDataFileMissing(messages::kInventoryDataWhat, files.gInventoryFile);
      UpdateInventory();
      // The update drew its own progress; the search takes the pane back.
      busyLook();
      lblDBStatus1->SetCaption("Searching database...");
      LayOutResultGrid();
    }

    const datafiles::Preferences& prefs = io_.prefs;
    inventory::SearchRequest request;
    request.searchText = searchText;
    request.options = {prefs.gSearchAttributes == 1, prefs.gSearchUserDB == 1, prefs.gSearchChunks == 1};
    request.inventoryFile = files.gInventoryFile;
    request.resultFile = files.gResultFile;
    // userdb.dat is read once: for the notes group and for the marks of the listed files.
    datafiles::UserDBContents contents = datafiles::ReadUserDB(files);
    const bool notesUnreadable = contents.error != platform::errNone && contents.error != platform::errFileNotFound;
    request.notes = &contents.records;
    inventory::SearchOutcome outcome = inventory::SearchInventory(request);
    const datafiles::UserDBIndex notes(contents.records);
    contents.records.clear();

    if (outcome.hits.empty()) {
      ShowNoMatchRow();
      db.gListRow = 0;
      db.gRestoreRow = 0;
    } else {
      listed = ShowResultRows(std::move(outcome.hits), notes);
    }
    if (!outcome.failure.empty()) {
      status = outcome.failure;
    } else if (notesUnreadable && request.options.userDB) {
      status = "Search completed without the notes: cannot read " + files.gUserDBFile + " (" +
               platform::VbError::DescribeError(contents.error) + ")";
    }
  } catch (const std::exception& failure) {
    status = std::string("Search stopped: ") + failure.what();
  }
  FinishResultView(status, listed);
}
