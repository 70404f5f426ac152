// Module DBViewer's views: System Inventory, Inventory Detail and Drive Detail, and the
// inventory update, drawn into the main window's database pane.

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "datafiles/inventoryline.h"
#include "datafiles/prefs.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "pane/databasepane.h"
#include "inventory/folderscan.h"
#include "inventory/reconcile.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/driveinfo.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/controls.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"
#include "windows/datafilesteps.h"
#include "windows/messages.h"
#include "windows/shareddata.h"
#include "windows/skin.h"

namespace {

using datafiles::kTypeColumnCount;

constexpr int kListHeightTwips = 3375;
constexpr int kListRowsWithoutScrollBar = 12;


using platform::Q;


void HandPointer(platform::FlexGrid& g) {
  g.SetMousePointer(99);
  g.SetMouseIcon(platform::LoadResCursor(skin::kHandIcon));
}

// The grid still shows the System Inventory layout of these drives.
bool ShowsSystemInventory(const platform::FlexGrid& g, const inventory::DriveConfiguration& drives) {
  const int n = drives.gDriveCount;
  if (g.Cols() != 10 || g.Rows() != n + 3 || g.TextMatrix(0, 2) != "Total") return false;
  for (int k = 1; k <= n; ++k) {
    if (g.TextMatrix(k, 0) != drives.gDriveLetters[static_cast<std::size_t>(k)]) return false;
  }
  return true;
}


// Row `row`, columns 2 to 9: the counts of one drive slot, or the totals.
void WriteCounts(platform::FlexGrid& g, int row, const datafiles::InventorySummary& s, int slot) {
  for (int c = 0; c < kTypeColumnCount; ++c) {
    std::int64_t v = slot < 0 ? s.gTypeTotals[static_cast<std::size_t>(c)]
                              : s.gDriveTypeCounts[static_cast<std::size_t>(c)][static_cast<std::size_t>(slot)];
    g.SetTextMatrix(row, c + 2, std::to_string(v));
  }
}

std::string LfCr() { return std::string(platform::vbLf) + std::string(platform::vbCr); }


// A count cell's number; nothing for a text that is not one.
std::optional<std::int64_t> CountOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return negative ? -v : v;
}

bool SameLetters(std::string_view a, std::string_view lowerB) {
  if (a.size() != lowerB.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lowerB[i]) return false;
  }
  return true;
}

// Whether an extension belongs to a type word of the Inventory Detail list.
bool ListedExtension(std::string_view typeFilter, std::string_view extension) {
  if (typeFilter == "total") return true;
  if (typeFilter == "midi") {
    return SameLetters(extension, "mid") || SameLetters(extension, "midi") || SameLetters(extension, "rmi");
  }
  if (typeFilter == "aiff") {
    return SameLetters(extension, "aiff") || SameLetters(extension, "aif") || SameLetters(extension, "aifc");
  }
  return SameLetters(extension, typeFilter);
}

// "#,###" of a kilobyte count: thousands grouped, nothing for zero.
std::string KiloBytes(std::uint64_t bytes) {
  const auto kb = static_cast<std::uint64_t>(std::llround(static_cast<double>(bytes) / 1024.0));
  std::string digits = kb == 0 ? std::string() : std::to_string(kb);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped + " KB";
}

std::string PercentUsed(const platform::DiskFreeSpace& space) {
  if (space.totalBytes == 0) return "n/a";
  double used = 1.0 - static_cast<double>(space.totalFreeBytes) / static_cast<double>(space.totalBytes);
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%", used * 100.0);
  return text;
}

}  // namespace

void DatabasePane::StartView(PaneTitle title) {
  SetTitle(title);
  SetDescription("");
  txtDBDescription->setToolTip("");
  lblDBStatus1->SetCaption("");
  lblDBStatus2->SetCaption("");
  ReleasePlayButton();
}

// The System Inventory grid for the current drives, without counts. `readDrives` reads the
// drive configuration first.
void DatabasePane::DrawSystemInventoryLayout(bool readDrives) {
  platform::FlexGrid& g = *grdTotals;
  HandPointer(g);
  g.SetCols(10);
  g.SetRows(0);
  g.SetColWidth(0, 250);
  g.SetColWidth(1, 400);
  for (int c = 2; c <= 8; ++c) g.SetColWidth(c, 840);
  if (readDrives) inventory::ReadDriveConfiguration(db.drives);
  const int n = db.drives.gDriveCount;
  g.SetRows(n + 3);
  g.SetHeight(std::min(g.RowHeight(0) * (g.Rows() + 1), kListHeightTwips));
  g.SetRow(0);
  for (int c = 0; c <= 9; ++c) {
    g.SetColAlignment(c, 1);
    g.SetCol(c);
    g.SetCellFontBold(true);
  }
  g.SetCol(0);
  for (int r = 1; r <= n + 2; ++r) {
    g.SetRow(r);
    g.SetCellFontBold(true);
  }
  static const char* const kHeaders[] = {"Total", "Wav", "MP3", "MIDI", "Au", "Aiff", "Snd", "Lists"};
  for (int c = 0; c < kTypeColumnCount; ++c) g.SetTextMatrix(0, c + 2, kHeaders[c]);
  g.SetFixedRows(1);
  auto picture = [&g](int row, int bitmap) {
    g.SetRow(row);
    g.SetCol(1);
    g.SetCellPictureAlignment(1);
    g.SetCellPicture(platform::LoadResPicture(bitmap, platform::ResKind::Bitmap));
  };
  for (int k = 1; k <= n; ++k) {
    const auto slot = static_cast<std::size_t>(k);
    g.SetTextMatrix(k, 0, db.drives.gDriveLetters[slot]);
    picture(k, db.drives.gDriveIcons[slot]);
  }
  picture(n + 2, inventory::kIconTotalsRow);
}

void DatabasePane::OfferReconcile(std::int64_t orphans) {
  const std::string br = LfCr(), q = "\"";
  int answer = platform::MsgBox("Changes in your system inventory" + br + "have orphaned " + std::to_string(orphans) +
                                    " of your database records." + br + br +
                                    "Would you like to reconcile those records now?",
                                platform::vbYesNo + platform::vbExclamation, "Orphaned records found");
  if (answer == platform::vbYes) {
    platform::SetScreenPointer(0);
    reconcile_.OpenReconcileWindow();
  } else {
    platform::MsgBox("You may reconcile your database anytime later" + br + "by clicking the " + q +
                         "Tools/Preferences" + q + " button" + br + "and selecting " + q + "Reconcile Database" + q +
                         " from the tools screen.",
                     platform::vbInformation, "Reconciling Later");
  }
}

// A view takes the Play button away unless a file is playing; also one that search entry put
// out of reach, which the finished view gives back enabled.
void DatabasePane::ReleasePlayButton() {
  if (play_ != PlayState::Stop) {
    SetPlayButton(PlayState::Away);
    btnPlay->setEnabled(false);
  }
}

void DatabasePane::SetDBPaneLinkCursors() {
  for (platform::Label* b : {btnSelSearch, btnSelDetail, btnSelInventory, btnUpdate, btnPrint, btnPlay}) {
    b->setCursor(platform::LoadResCursor(skin::kHandIcon));
  }
}

void DatabasePane::ShowSystemInventory() {
  PaneWork work(db);
  db.gPrevViewMode = db.gViewMode;
  StartView(PaneTitle::SystemInventory);
  skin::AtRest(btnSelSearch);
  skin::AtRest(btnSelDetail);
  skin::Pressed(btnSelInventory);
  lblDBFileCover->show();
  grdTotals->SetVisible(true);
  DrawSystemInventoryLayout(true);
  db.gViewMode = DBView::Inventory;
  btnSelInventory->SetBackColor(skin::kText);

  bool rebuilt = false;
  const std::int32_t loadError = datafilesteps::LoadInventorySummary(
      decl_.files, decl_.gRebuildInventory,
      [this, &rebuilt] {
        UpdateInventory();
        rebuilt = true;
      },
      db.summary);
  // The rebuild of a missing summary failed and said so: its scan of the drives as they are
  // stays on show, and no drive check starts the same failing update again.
  if (rebuilt && loadError != platform::errNone) return;
  const datafiles::InventorySummary& s = db.summary;
  SetDescription(Q(s.gInvSumHeader));
  const int n = db.drives.gDriveCount;
  platform::FlexGrid& g = *grdTotals;
  if (!ShowsSystemInventory(g, db.drives)) DrawSystemInventoryLayout(false);
  for (int k = 1; k <= n; ++k) WriteCounts(g, k, s, k);
  WriteCounts(g, n + 2, s, -1);

  db.gDriveConfigChanged = s.gLoopIndex != n;
  for (int k = 1; k <= n && !db.gDriveConfigChanged; ++k) {
    const auto slot = static_cast<std::size_t>(k);
    db.gDriveConfigChanged = db.drives.gDriveLetters[slot] != s.gSumDriveLetters[slot] ||
                             db.drives.gDriveIcons[slot] != s.gSumDriveIcons[slot];
  }
  if (db.gDriveConfigChanged) {
    const std::string br = LfCr();
    platform::MsgBox("The system's drive configuration has changed since the last inventory update." + br +
                         "The current saved inventory is probably incorrect." + br +
                         "Tolvan will now rescan your system and update the inventory.",
                     platform::vbExclamation, "System Configuration Change");
    UpdateInventory();
  }
}

void DatabasePane::UpdateInventory() {
  const datafiles::DataFileNames& files = decl_.files;
  PaneWork work(db);
  datafiles::InventorySummary& s = db.summary;
  s.gTypeTotals.fill(0);
  skin::Pressed(btnUpdate);
  txtDBDescription->SetForeColor(skin::kHighlight);
  SetDescription("             UPDATING...");
  platform::SetScreenPointer(11);
  lblDBStatus1->SetCaption("Scanning system drive configuration...");
  inventory::ReadDriveConfiguration(db.drives);
  platform::FlexGrid& g = *grdTotals;
  // The counts go into the System Inventory layout; another view's grid, or one drawn for
  // other drives, is drawn anew first.
  if (!ShowsSystemInventory(g, db.drives)) DrawSystemInventoryLayout(false);
  lblDBStatus1->SetCaption("Scanning drives for audio files...");
  platform::DoEvents();

  const int n = db.drives.gDriveCount;
  for (int k = 1; k <= n; ++k) {
    const auto slot = static_cast<std::size_t>(k);
    for (auto& column : s.gDriveTypeCounts) column[slot] = 0;
    g.SetRow(k);
    db.drives.gDriveFileLists[slot] = inventory::ScanFolderForAudio(db.drives.gDriveLetters[slot] + "\\", k,
                                                                    s.gDriveTypeCounts);
    for (int c = 0; c < kTypeColumnCount; ++c) {
      s.gTypeTotals[static_cast<std::size_t>(c)] += s.gDriveTypeCounts[static_cast<std::size_t>(c)][slot];
    }
    WriteCounts(g, k, s, k);
  }
  g.SetRow(n + 2);
  WriteCounts(g, n + 2, s, -1);

  const int embedded = io_.prefs.gEnableEmbedded;
  lblDBStatus1->SetCaption(embedded == 1 ? "Analyzing inventory and updating database..."
                                           : "Saving updated inventory to database...");
  std::int32_t error = datafiles::WriteInventoryFile(files, db.drives.gDriveFileLists, embedded, &player_);
  const bool inventoryWritten = error == platform::errNone;
  if (inventoryWritten) {
    SetDescription(Q("Last Updated:  " + platform::TodayText() + "  " + platform::NowTimeText()));
    error = datafiles::SaveInventorySummary(files, txtDBDescription->text().toStdString(), db.drives.gDriveLetters,
                                            db.drives.gDriveIcons, n, s);
    if (error != platform::errNone) messages::ReportSaveFailure(files.gInvSumFile, platform::VbError::DescribeError(error));
  } else {
    // inventory.dat and invsum.dat stay as they were; so does the line that dates them.
    SetDescription(Q(s.gInvSumHeader));
    messages::ReportSaveFailure(files.gInventoryFile, platform::VbError::DescribeError(error));
  }

  if (inventoryWritten) {
    lblDBStatus1->SetCaption("Reconciling user data with inventory...");
    platform::DoEvents();
    reconcile_.FindOrphanedRecords();
    if (reconcile_.state.gOrphanRecordCount > 0) OfferReconcile(reconcile_.state.gOrphanRecordCount);
  }

  platform::SetScreenPointer(0);
  skin::AtRest(btnUpdate);
  txtDBDescription->SetForeColor(skin::kText);
  lblDBStatus1->SetCaption(error == platform::errNone ? "Update completed" : "Update failed: inventory not saved");
}

void DatabasePane::OnTotalsGridClick() {
  platform::FlexGrid& g = *grdTotals;
  const int col = g.Col();
  if (col >= 2) {
    std::optional<std::int64_t> count = CountOf(g.Text());
    if (!count) {
      QApplication::beep();
      return;
    }
    if (*count < 1) return;
  }
  const std::string drive = g.TextMatrix(g.Row(), 0);
  if (col < 2 && drive.empty()) return;
  db.gSelectedDrive = drive;
  skin::AtRest(btnSelSearch);
  skin::Pressed(btnSelDetail);
  skin::AtRest(btnSelInventory);
  if (col >= 2) {
    const std::string typeWord = platform::LowerCase(g.TextMatrix(0, col));
    if (platform::FileLen(decl_.files.gInvSumFile).error == platform::errFileNotFound) {
      if (!decl_.gRebuildInventory) {
        messages::ShowDataFileMissing(messages::kInventorySummaryWhat, decl_.files.gInvSumFile);
      }
      UpdateInventory();
      decl_.gRebuildInventory = false;
    }
    db.gTypeFilter = typeWord;
    ShowInventoryDetail();
  } else {
    ShowDriveDetail();
  }
  skin::Current(btnSelDetail);
}

void DatabasePane::MarkUserDBRowInGrid(const datafiles::UserDBIndex& notes, std::string_view path) {
  const int row = static_cast<int>(db.gListRow);
  grdTotals->SetTextMatrix(row, 0, notes.Contains(path) ? "  \xC2\xBB" : "");
}

void DatabasePane::ShowInventoryDetail() {
  const datafiles::DataFileNames& files = decl_.files;
  PaneWork work(db);
  StartView(PaneTitle::InventoryDetail);
  if (db.gTypeFilter.empty()) db.gTypeFilter = "total";
  if (db.gTypeFilter == "lists") db.gTypeFilter = "m3u";
  platform::FlexGrid& g = *grdTotals;
  auto busyLook = [&] {
    txtDBDescription->SetForeColor(skin::kHighlight);
    SetDescription(Q("     List of " + db.gTypeFilter +
                                  (db.gSelectedDrive.empty() ? " files on all drives"
                                                             : " files on drive " + db.gSelectedDrive)));
    lblDBStatus1->SetCaption("Searching database...");
    platform::SetScreenPointer(11);
  };
  busyLook();
  platform::DoEvents();
  lblDBFileCover->show();
  g.SetVisible(false);
  HandPointer(g);

  if (platform::FileLen(files.gInventoryFile).error == platform::errFileNotFound) {
    if (!decl_.gRebuildInventory) messages::ShowDataFileMissing(messages::kInventoryDataWhat, files.gInventoryFile);
    UpdateInventory();
    // The update drew its own texts and grid; the list takes the pane back.
    busyLook();
    g.SetVisible(false);
  }

  g.SetCols(4);
  g.SetRows(1);
  g.SetColWidth(0, 350);
  g.SetColWidth(1, 400);
  g.SetColWidth(2, 6400);
  g.SetColWidth(3, 0);
  g.SetRow(0);
  for (int c = 0; c <= 2; ++c) g.SetColAlignment(c, 1);
  g.SetTextMatrix(0, 0, "DB");
  g.SetTextMatrix(0, 1, "Drv");
  g.SetTextMatrix(0, 2, "File");
  // The hidden path column has no header of its own; the view before must not lend it one
  // (a printout shows the whole grid).
  g.SetTextMatrix(0, 3, "");
  db.gListRow = 0;

  // One reading of userdb.dat serves the marks of the whole list; none without the file.
  datafiles::UserDBContents contents = datafiles::ReadUserDB(files);
  const datafiles::UserDBIndex notes(contents.records);
  contents.records.clear();
  try {
    datafiles::InventoryReader reader(files.gInventoryFile);
    datafiles::InventoryLine line;
    std::string path, full;
    while (reader.Next(line, 4)) {
      if (!db.gSelectedDrive.empty() && line.gInvDrive != db.gSelectedDrive) continue;
      if (!ListedExtension(db.gTypeFilter, line.gInvExtension)) continue;
      const int row = static_cast<int>(++db.gListRow);
      g.SetRows(row + 1);
      if (row <= kListRowsWithoutScrollBar) {
        g.SetHeight(g.RowHeight(0) * (g.Rows() + 1));
      } else if (row == kListRowsWithoutScrollBar + 1) {
        g.SetHeight(kListHeightTwips);
      }
      path.assign(line.gInvFolder).append(line.gInvFileName).append(".").append(line.gInvExtension);
      full.assign(line.gInvDrive).append(path);
      g.SetTextMatrix(row, 1, line.gInvDrive);
      g.SetTextMatrix(row, 2, AbbreviatePath(path, 75));
      g.SetTextMatrix(row, 3, path);
      MarkUserDBRowInGrid(notes, full);
    }
  } catch (const platform::VbError&) {
    // An inventory that cannot be read lists what was read of it.
  }

  if (g.Rows() > 1) {
    g.SetRow(1);
    g.SetCol(1);
    g.SetColSel(3);
    g.Sort(5);
    g.SetTopRow(db.gRestoreRow != 0 ? std::clamp(db.gRestoreRow, 1, g.Rows() - 1) : 1);
  }
  // Used once, also by a list without rows: else the next list would open at an old row.
  db.gRestoreRow = 0;
  g.SetVisible(true);
  db.gViewMode = DBView::Detail;
  platform::SetScreenPointer(0);
  txtDBDescription->SetForeColor(skin::kText);
  lblDBStatus1->SetCaption("Search completed");
  lblDBStatus2->SetCaption(Q("Total files listed: " + std::to_string(db.gListRow)));
}

void DatabasePane::ShowDriveDetail() {
  PaneWork work(db);
  StartView(PaneTitle::DriveDetail);
  txtDBDescription->SetForeColor(skin::kHighlight);
  SetDescription(Q("     Volume information for drive " + db.gSelectedDrive));
  lblDBStatus1->SetCaption("Getting drive volume information...");
  platform::SetScreenPointer(11);
  platform::DoEvents();

  lblDBFileCover->show();
  platform::FlexGrid& g = *grdTotals;
  g.SetVisible(true);
  g.SetMousePointer(0);
  g.SetCols(3);
  g.SetRows(8);
  // Nothing of the view before stays in the cells a failed query leaves unwritten.
  g.Clear();
  g.SetHeight(g.RowHeight(0) * (g.Rows() + 1));
  g.SetColWidth(0, 1650);
  g.SetColWidth(1, 1);
  g.SetColWidth(2, 5499);
  g.SetRow(0);
  g.SetColAlignment(0, 7);
  g.SetTextMatrix(0, 2, " ");
  g.SetTextMatrix(0, 0, " ");
  static const char* const kCaptions[] = {"Drive:", "Volume Name:", "Serial Number:", "File System:",
                                          "Size:",  "Free:",        "% Used:"};
  for (int r = 1; r <= 7; ++r) g.SetTextMatrix(r, 0, kCaptions[r - 1]);

  const std::string root = db.gSelectedDrive + "\\";
  platform::DriveFacts& facts = platform::CurrentDriveFacts();
  bool failed = false;
  if (std::optional<platform::VolumeInformation> volume = facts.GetVolumeInformation(root)) {
    g.SetTextMatrix(1, 2, db.gSelectedDrive);
    std::string label = volume->volumeName.substr(0, volume->volumeName.find('\0'));
    g.SetTextMatrix(2, 2, label.empty() ? "<none>" : label);
    g.SetTextMatrix(3, 2, std::to_string(static_cast<std::int32_t>(volume->serialNumber)));
    g.SetTextMatrix(4, 2, volume->fileSystemName.substr(0, volume->fileSystemName.find('\0')));
  } else {
    lblDBStatus1->SetCaption("Error in GetVolumeInformation.");
    failed = true;
  }
  if (std::optional<platform::DiskFreeSpace> space = facts.GetDiskFreeSpaceEx(root)) {
    g.SetTextMatrix(5, 2, KiloBytes(space->totalBytes));
    g.SetTextMatrix(6, 2, KiloBytes(space->freeBytesAvailable));
    g.SetTextMatrix(7, 2, PercentUsed(*space));
  } else {
    lblDBStatus1->SetCaption("Error in GetDiskFreeSpace.");
    failed = true;
  }
  db.gViewMode = DBView::Drive;
  platform::SetScreenPointer(0);
  txtDBDescription->SetForeColor(skin::kText);
  if (!failed) lblDBStatus1->SetCaption("Drive analysis completed");
}
