#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "pane/dbviewer.h"
#include "pane/frmReconcileDB.h"
#include "inventory/reconcile.h"
#include "inventory_test_support.h"
#include "mainwindow/frmLauncher.h"
#include "pane/databasepane.h"
#include "support/window_steps.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"

using inventory_testing::FakeDriveFacts;
using testing_support::AppFixture;

namespace {

using Lines = std::vector<std::string>;
using Counts = std::array<std::int64_t, 8>;

constexpr std::uint32_t kSkinBack = 0x473D01, kSkinText = 0xDCC281;
const std::string kHeader = "Last Updated:  3/9/2024  2:05:07 PM";
const std::string kNow = "Last Updated:  12/10/2026  9:30:00 AM";  // the fixture's clock

struct SummaryRow {
  std::string letter;
  int icon;
  Counts counts;
};

class Pane : public AppFixture {
 protected:
  void SetUp() override { WriteDefaultSettings(); }
  void TearDown() override { platform::InjectWriteFailureAfter(-1); }

  const datafiles::DataFileNames& Files() const { return state.decl.files; }

  // invsum.dat as the update writes it: the header, the totals, a row per drive.
  void WriteSummary(const std::vector<SummaryRow>& rows, const std::string& header = kHeader) {
    platform::ListWriter w;
    w.Text(header).EndLine();
    Counts totals{};
    for (const auto& r : rows) {
      for (int c = 0; c < 8; ++c) totals[c] += r.counts[c];
    }
    for (auto t : totals) w.Number(t);
    w.EndLine();
    for (const auto& r : rows) {
      w.Text(r.letter).Number(r.icon);
      for (auto n : r.counts) w.Number(n);
      w.EndLine();
    }
    drives.Write(Files().gInvSumFile, w.str());
  }
  void WriteInventory(const Lines& paths) {
    std::string bytes;
    for (const auto& p : paths) datafiles::AppendStoredInventoryLine(p, nullptr, bytes);
    drives.Write(Files().gInventoryFile, bytes);
  }
  void WriteNotes(const Lines& paths) {
    std::string bytes;
    for (const auto& p : paths) {
      datafiles::UserDBRecord r;
      r.Path = p;
      r.Caption = "noted";
      bytes += r.Bytes();
    }
    drives.Write(Files().gUserDBFile, bytes);
  }
  // A machine with drives C: and D: whose inventory matches the summary.
  void WriteMatchingInventory(const Lines& paths = {}) {
    WriteSummary({{"C:", 104, {5, 2, 1, 1, 0, 1, 0, 0}}, {"D:", 104, {7, 3, 0, 0, 2, 0, 1, 1}}});
    WriteInventory(paths);
  }

  std::unique_ptr<frmLauncher> Open() {
    auto w = OpenMainWindow();
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QApplication::processEvents();
    return w;
  }

  static platform::FlexGrid& Grid(frmLauncher& w) { return *PaneUi(w.Pane()).grdTotals; }
  static QTableView* View(frmLauncher& w) { return PaneUi(w.Pane()).grdTotals->findChild<QTableView*>(); }

  // A real click on a cell: press, release, as the user makes it.
  static void ClickCell(frmLauncher& w, int row, int col, Qt::MouseButton button = Qt::LeftButton) {
    QApplication::processEvents();
    QTableView* v = View(w);
    const int x = v->columnViewportPosition(col) + 3;
    if (row < Grid(w).FixedRows()) {
      QTest::mouseClick(v->horizontalHeader()->viewport(), button, Qt::NoModifier, QPoint(x, 5));
    } else {
      const int y = v->rowViewportPosition(row - Grid(w).FixedRows()) + 3;
      QTest::mouseClick(v->viewport(), button, Qt::NoModifier, QPoint(x, y));
    }
    QApplication::processEvents();
  }

  static Lines Row(frmLauncher& w, int row) {
    Lines cells;
    for (int c = 0; c < Grid(w).Cols(); ++c) cells.push_back(Grid(w).TextMatrix(row, c));
    return cells;
  }
  // Each listed row as "mark|drive|shown path|full path without the drive".
  static Lines Listed(frmLauncher& w) {
    Lines out;
    for (int r = 1; r < Grid(w).Rows(); ++r) {
      Lines c = Row(w, r);
      out.push_back(c[0] + "|" + c[1] + "|" + c[2] + "|" + c[3]);
    }
    return out;
  }
  static void ExpectLook(platform::Label* b, std::uint32_t back, std::uint32_t fore, const char* what) {
    EXPECT_EQ(b->BackColor(), back) << what;
    EXPECT_EQ(b->ForeColor(), fore) << what;
  }

  FakeDriveFacts facts;
};

// ---- System Inventory

TEST_F(Pane, SystemInventoryShowsTheStoredCountsOfMatchingDrives) {
  WriteMatchingInventory();
  auto w = Open();
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "System Inventory");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), kHeader);
  platform::FlexGrid& g = Grid(*w);
  ASSERT_EQ(g.Rows(), 5);
  ASSERT_EQ(g.Cols(), 10);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(Row(*w, 0), (Lines{"", "", "Total", "Wav", "MP3", "MIDI", "Au", "Aiff", "Snd", "Lists"}));
  EXPECT_EQ(Row(*w, 1), (Lines{"C:", "", "5", "2", "1", "1", "0", "1", "0", "0"}));
  EXPECT_EQ(Row(*w, 2), (Lines{"D:", "", "7", "3", "0", "0", "2", "0", "1", "1"}));
  EXPECT_EQ(Row(*w, 3), Lines(10, ""));
  EXPECT_EQ(Row(*w, 4), (Lines{"", "", "12", "5", "1", "1", "2", "1", "1", "1"}));
  EXPECT_EQ(g.Height(), 6 * 240);
  EXPECT_EQ(g.ColWidth(0), 250);
  EXPECT_EQ(g.ColWidth(1), 400);
  EXPECT_EQ(g.ColWidth(8), 840);
  for (int r : {1, 2, 4}) {
    g.SetRow(r);
    g.SetCol(1);
    EXPECT_FALSE(g.CellPicture().isNull()) << "row " << r;
    g.SetCol(0);
    EXPECT_TRUE(g.CellFontBold()) << "row " << r;
  }
  g.SetRow(3);
  g.SetCol(1);
  EXPECT_TRUE(g.CellPicture().isNull());
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Inventory");
  ExpectLook(PaneUi(w->Pane()).btnSelInventory, kSkinText, kSkinBack, "Inventory tab current");
  ExpectLook(PaneUi(w->Pane()).btnSelDetail, kSkinBack, kSkinText, "Detail tab at rest");
  ExpectLook(PaneUi(w->Pane()).btnSelSearch, kSkinBack, kSkinText, "Search tab at rest");
}

// As drawn: every text of the views fits its column whole, and the grid is as wide as the
// views' columns, with no band between them and the scroll bar.
TEST_F(Pane, TheViewsTextsFitTheirColumnsAndTheGridFitsTheColumns) {
  const Counts big{1000003, 4999999, 1234567, 3654321, 1000000, 4888888, 4444444, 2222222};
  WriteSummary({{"C:", 104, big}, {"D:", 104, big}});
  Lines paths;
  for (int k = 0; k < 30; ++k) paths.push_back("D:\\f" + std::to_string(k) + ".wav");
  WriteInventory(paths);
  WriteNotes({"D:\\f3.wav"});
  auto w = Open();
  ASSERT_TRUE(boxes.shown().empty());
  platform::FlexGrid& g = Grid(*w);
  QTableView* v = View(*w);
  auto columnsWidth = [&] {
    int px = 0;
    for (int c = 0; c < g.Cols(); ++c) px += v->columnWidth(c);
    return px;
  };
  auto allFit = [&](const char* view) {
    for (int r = 0; r < g.Rows(); ++r) {
      for (int c = 0; c < g.Cols(); ++c) {
        if (g.ColWidth(c) == 0) continue;
        EXPECT_TRUE(g.CellTextFits(r, c)) << view << ": \"" << g.TextMatrix(r, c) << "\" at " << r << "," << c;
      }
    }
  };
  QApplication::processEvents();
  EXPECT_EQ(g.TextMatrix(2, 0), "D:");
  EXPECT_EQ(g.TextMatrix(4, 3), "9999998");
  allFit("System Inventory");
  // The Play button the view took away leaves no empty frame; the others keep theirs.
  EXPECT_EQ(PaneUi(w->Pane()).btnPlay->Caption(), "");
  EXPECT_EQ(PaneUi(w->Pane()).btnPlay->frameStyle(), QFrame::NoFrame);
  EXPECT_EQ(PaneUi(w->Pane()).btnUpdate->frameStyle(), QFrame::Box | QFrame::Plain);
  EXPECT_FALSE(v->horizontalScrollBar()->isVisible());
  EXPECT_LE(v->viewport()->width() - columnsWidth(), 4);

  PaneDb(MainPane()).gTypeFilter = "total";
  PaneDb(MainPane()).gSelectedDrive = "";
  MainPane().ShowInventoryDetail();
  QApplication::processEvents();
  allFit("Inventory Detail");
  EXPECT_TRUE(v->verticalScrollBar()->isVisible());
  EXPECT_FALSE(v->horizontalScrollBar()->isVisible());
  EXPECT_LE(v->viewport()->width() - columnsWidth(), 12) << "no wide band before the scroll bar";
}

struct ChangeCase {
  const char* name;
  std::vector<SummaryRow> stored;
  int dType;  // what the platform now says of D:
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class DriveChange : public Pane, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(DriveChange, IsAnnouncedAndTheSystemRescanned) {
  facts.types['D'] = GetParam().dType;
  WriteSummary(GetParam().stored);
  WriteInventory({});
  drives.Write("D:\\Music\\a.wav", "x");
  boxes.Answer(platform::vbOK);
  auto w = Open();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "System Configuration Change");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "The system's drive configuration has changed since the last inventory update.\n\r"
            "The current saved inventory is probably incorrect.\n\r"
            "Tolvan will now rescan your system and update the inventory.");
  const int dIcon = GetParam().dType == platform::kDriveCdrom ? 102 : 104;
  EXPECT_EQ(drives.Read(Files().gInvSumFile),
            kNow + "\r\n 1 , 1 , 0 , 0 , 0 , 0 , 0 , 0 \r\n"
                   "C:, 104 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n"
                   "D:, " + std::to_string(dIcon) + " , 1 , 1 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
  EXPECT_EQ(Row(*w, 2)[2], "1");
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Update completed");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), kNow);

  // Shown again with the drives as saved: nothing to announce.
  MainPane().btnSelInventory_Click();
  EXPECT_EQ(boxes.shown().size(), 1u);
}

const Counts kSome{1, 1, 0, 0, 0, 0, 0, 0};
INSTANTIATE_TEST_SUITE_P(
    Cases, DriveChange,
    ::testing::Values(ChangeCase{"ADriveWasAdded", {{"C:", 104, kSome}}, platform::kDriveFixed},
                      ChangeCase{"ADriveBecameACdrom", {{"C:", 104, kSome}, {"D:", 104, kSome}}, platform::kDriveCdrom},
                      ChangeCase{"AnotherLetter", {{"C:", 104, kSome}, {"E:", 104, kSome}}, platform::kDriveFixed},
                      ChangeCase{"ADriveWasRemoved",
                                 {{"C:", 104, kSome}, {"D:", 104, kSome}, {"E:", 104, kSome}},
                                 platform::kDriveFixed}));

TEST_F(Pane, FirstStartBuildsTheInventorySilentlyByteForByte) {
  drives.Write("C:\\Music\\c.m3u", "x");
  drives.Write("C:\\Music\\b.mid", "x");
  drives.Write("C:\\Music\\a.wav", "x");
  drives.Write("C:\\Music\\Sub, two\\z.WAV", "x");
  drives.Write("D:\\s.snd", "x");
  drives.Write("D:\\x.aifc", "x");
  auto w = Open();
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_FALSE(state.decl.gRebuildInventory);
  const std::string empty18(18, ',');
  EXPECT_EQ(drives.Read(Files().gInventoryFile),
            "C:,\\Music\\,a,wav" + empty18 + "\r\n" +     //
                "C:,\\Music\\,b,mid" + empty18 + "\r\n" +  //
                "C:,\\Music\\,c,m3u" + empty18 + "\r\n" +  //
                "C:,\\Music\\Sub\xC2\xBB two\\,z,WAV" + empty18 + "\r\n" +
                "D:,\\,x,aifc" + empty18 + "\r\n" +  //
                "D:,\\,s,snd" + empty18 + "\r\n");
  EXPECT_EQ(drives.Read(Files().gInvSumFile), kNow +
                                                  "\r\n 6 , 2 , 0 , 1 , 0 , 1 , 1 , 1 \r\n"
                                                  "C:, 104 , 4 , 2 , 0 , 1 , 0 , 0 , 0 , 1 \r\n"
                                                  "D:, 104 , 2 , 0 , 0 , 0 , 0 , 1 , 1 , 0 \r\n");
  EXPECT_TRUE(platform::IsReadOnly(Files().gInventoryFile));
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), kNow);
  EXPECT_EQ(Row(*w, 4), (Lines{"", "", "6", "2", "0", "1", "0", "1", "1", "1"}));
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Update completed");
}

// ---- the update

struct StepsCase {
  int embedded;
  const char* saving;
};

class UpdateSteps : public Pane, public ::testing::WithParamInterface<StepsCase> {};

TEST_P(UpdateSteps, AreReportedInTheStatusLineInOrder) {
  WriteMatchingInventory();
  drives.Write("C:\\a.wav", "RIFF");
  auto w = Open();
  state.io.prefs.gEnableEmbedded = GetParam().embedded;
  std::vector<std::string> steps;
  QObject::connect(PaneUi(w->Pane()).lblDBStatus1, &platform::Label::Change,
                   [&] { steps.push_back(PaneUi(w->Pane()).lblDBStatus1->Caption().toStdString()); });
  std::vector<std::uint32_t> updateBack;
  QObject::connect(PaneUi(w->Pane()).lblDBStatus1, &platform::Label::Change, [&] { updateBack.push_back(PaneUi(w->Pane()).btnUpdate->BackColor()); });
  MainPane().btnUpdate_Click();
  EXPECT_EQ(steps, (Lines{"Scanning system drive configuration...", "Scanning drives for audio files...",
                          GetParam().saving, "Reconciling user data with inventory...", "Update completed"}));
  EXPECT_EQ(updateBack.front(), 0xDCu) << "Update pressed while it works";
  ExpectLook(PaneUi(w->Pane()).btnUpdate, kSkinBack, kSkinText, "Update at rest afterwards");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->ForeColor(), kSkinText);
  EXPECT_EQ(platform::ScreenPointer(), 0);
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Inventory");
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "System Inventory");
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdateSteps,
                         ::testing::Values(StepsCase{0, "Saving updated inventory to database..."},
                                           StepsCase{1, "Analyzing inventory and updating database..."}));

TEST_F(Pane, UpdateOffersToReconcileOrphanedNotes) {
  WriteMatchingInventory();
  drives.Write("C:\\Music\\kept.wav", "x");
  WriteNotes({"C:\\Music\\kept.wav", "C:\\Music\\gone.wav", "D:\\moved.mp3", "C:\\MUSIC\\KEPT.WAV"});
  auto w = Open();
  boxes.Answer(platform::vbNo);
  boxes.Answer(platform::vbOK);
  MainPane().btnUpdate_Click();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Orphaned records found");
  EXPECT_EQ(boxes.shown()[0].style, 52);
  EXPECT_EQ(boxes.shown()[0].text,
            "Changes in your system inventory\n\rhave orphaned 3 of your database records.\n\r\n\r"
            "Would you like to reconcile those records now?");
  EXPECT_EQ(boxes.shown()[1].title, "Reconciling Later");
  EXPECT_EQ(boxes.shown()[1].style, 64);
  EXPECT_EQ(boxes.shown()[1].text,
            "You may reconcile your database anytime later\n\rby clicking the \"Tools/Preferences\" button\n\r"
            "and selecting \"Reconcile Database\" from the tools screen.");
  EXPECT_EQ(MainPane().Reconcile().state.gOrphanRecordCount, 3);
  EXPECT_EQ(MainPane().Reconcile().state.gOrphanPaths, (Lines{"C:\\Music\\gone.wav", "D:\\moved.mp3", "C:\\MUSIC\\KEPT.WAV"}));
  EXPECT_EQ(state.io.prefs.gOrphanQuantity, " 3");
  EXPECT_EQ(drives.Read(Files().gPrefsFile), datafiles::PrefsLine(state.io.prefs));

  boxes.Answer(platform::vbYes);
  int listed = -1;
  auto closeBox = testing_support::OnModal<frmReconcileDB>([&](frmReconcileDB& r) {
    listed = r.grdOrphans->Rows();
    r.close();
  });
  MainPane().btnUpdate_Click();
  EXPECT_EQ(listed, 3) << "Yes opens the reconcile window on the orphans";
  EXPECT_EQ(boxes.shown().size(), 3u) << "Yes goes to the reconcile window, without a further box";
  EXPECT_EQ(platform::ScreenPointer(), 0);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Update completed");
}

TEST_F(Pane, AFailedWriteIsReportedAndLeavesTheSavedInventory) {
  WriteMatchingInventory({"C:\\old.wav"});
  drives.Write("C:\\new.wav", "x");
  auto w = Open();
  const std::string inventoryBefore = drives.Read(Files().gInventoryFile);
  const std::string summaryBefore = drives.Read(Files().gInvSumFile);
  ASSERT_TRUE(FailsToWrite([&] { MainPane().btnUpdate_Click(); }));
  EXPECT_NE(boxes.shown()[0].text.find("C:\\app\\data\\inventory.dat"), std::string::npos) << boxes.shown()[0].text;
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Update failed: inventory not saved");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), kHeader) << "still the date of the saved inventory";
  EXPECT_EQ(drives.Read(Files().gInventoryFile), inventoryBefore);
  EXPECT_EQ(drives.Read(Files().gInvSumFile), summaryBefore);
  ExpectLook(PaneUi(w->Pane()).btnUpdate, kSkinBack, kSkinText, "Update at rest");
  EXPECT_EQ(platform::ScreenPointer(), 0);
}

// A full disk while the missing summary is rebuilt: one failure, one message, no second update.
TEST_F(Pane, AFailedRebuildOfAMissingSummaryIsToldOnceAndNotRetried) {
  WriteMatchingInventory({"C:\\old.wav"});
  drives.Write("C:\\new.wav", "x");
  drives.Remove(Files().gInvSumFile);
  state.decl.gRebuildInventory = true;  // as the start-up that found it missing sets it
  const std::string inventoryBefore = drives.Read(Files().gInventoryFile);
  int updates = 0;
  auto w = std::make_unique<frmLauncher>(&player, state);
  QObject::connect(PaneUi(w->Pane()).lblDBStatus1, &platform::Label::Change, [&] {
    if (PaneUi(w->Pane()).lblDBStatus1->Caption() == "Scanning drives for audio files...") ++updates;
  });
  ASSERT_TRUE(FailsToWrite([&] { w->Form_Load(); }));
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Update failed: inventory not saved");
  EXPECT_EQ(drives.Read(Files().gInventoryFile), inventoryBefore);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "System Inventory");
}

// Clicks that wait in the event pump while the update runs reach no handler and do not
// move the grid: posted at each of the update's two pump passes.
class BusyPane : public Pane, public ::testing::WithParamInterface<const char*> {};

TEST_P(BusyPane, IgnoresClicksWaitingInTheEventPump) {
  WriteMatchingInventory();
  WriteNotes({"C:\\gone.wav"});  // every update asks about it once
  drives.Write("C:\\a.wav", "x");
  auto w = Open();
  const std::string postAt = GetParam();
  auto post = [](QWidget* target, QPoint at) {
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(target, new QMouseEvent(t, QPointF(at), QPointF(target->mapToGlobal(at)),
                                                          Qt::LeftButton,
                                                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                          Qt::NoModifier));
    }
  };
  QTableView* v = View(*w);
  const QPoint cell(v->columnViewportPosition(3) + 3, v->rowViewportPosition(0) + 3);
  QObject::connect(PaneUi(w->Pane()).lblDBStatus1, &platform::Label::Change, [&] {
    if (PaneUi(w->Pane()).lblDBStatus1->Caption().toStdString() != postAt) return;
    post(PaneUi(w->Pane()).btnUpdate, {5, 5});
    post(PaneUi(w->Pane()).btnSelDetail, {5, 5});
    post(v->viewport(), cell);
  });
  boxes.Answer(platform::vbNo);
  boxes.Answer(platform::vbOK);
  MainPane().btnUpdate_Click();
  QApplication::processEvents();
  EXPECT_EQ(boxes.shown().size(), 2u) << "one update, one question";
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Inventory");
  EXPECT_EQ(Grid(*w).Row(), 4) << "the totals row the update wrote last stays current";
  EXPECT_FALSE(PaneDb(MainPane()).PaneBusy());

  // At rest the same click works.
  ClickCell(*w, 1, 3);
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Detail");
}

INSTANTIATE_TEST_SUITE_P(PumpPasses, BusyPane,
                         ::testing::Values("Scanning drives for audio files...",
                                           "Reconciling user data with inventory..."));

// ---- Inventory Detail

const Lines kInventory = {
    "C:\\Music\\a.wav", "C:\\Music\\B.MID", "C:\\z.midi",     "c:\\lower.wav",   "D:\\x.rmi",
    "D:\\Lists\\mix.m3u", "C:\\Sound\\y.AIF", "C:\\Sound\\y.aifc", "D:\\q.aiff",  "C:\\b, c.wav",
    "C:\\s.au",        "C:\\s.snd",       "D:\\s.mp3",
};

struct ListCase {
  const char* name;
  int row, col;  // the clicked count
  const char* description;
  Lines listed;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class CountClick : public Pane, public ::testing::WithParamInterface<ListCase> {};

TEST_P(CountClick, ListsThatTypeOnThatDriveWithNoteMarks) {
  WriteMatchingInventory(kInventory);
  WriteNotes({"C:\\Music\\a.wav", "C:\\B, C.WAV", "D:\\Lists\\mix.m3u"});
  auto w = Open();
  ClickCell(*w, GetParam().row, GetParam().col);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), GetParam().description);
  EXPECT_EQ(Listed(*w), GetParam().listed);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption(), "Search completed");
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus2->Caption().toStdString(), "Total files listed: " + std::to_string(GetParam().listed.size()));
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Detail");
  EXPECT_EQ(Grid(*w).ColWidth(3), 0) << "the full path's column is hidden";
  ExpectLook(PaneUi(w->Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail tab current");
  ExpectLook(PaneUi(w->Pane()).btnSelInventory, kSkinBack, kSkinText, "Inventory tab at rest");
  EXPECT_TRUE(boxes.shown().empty());
}

const std::string kMark = "  \xC2\xBB";
INSTANTIATE_TEST_SUITE_P(
    Cases, CountClick,
    ::testing::Values(
        ListCase{"WavOnC", 1, 3, "     List of wav files on drive C:",
                 {"|C:|\\b, c.wav|\\b, c.wav", kMark + "|C:|\\Music\\a.wav|\\Music\\a.wav"}},
        ListCase{"MidiOnCTakesEveryMidiExtension", 1, 5, "     List of midi files on drive C:",
                 {"|C:|\\Music\\B.MID|\\Music\\B.MID", "|C:|\\z.midi|\\z.midi"}},
        ListCase{"AiffOnAllDrives", 4, 7, "     List of aiff files on all drives",
                 {"|C:|\\Sound\\y.AIF|\\Sound\\y.AIF", "|C:|\\Sound\\y.aifc|\\Sound\\y.aifc", "|D:|\\q.aiff|\\q.aiff"}},
        ListCase{"ListsAreTheM3uFiles", 4, 9, "     List of m3u files on all drives",
                 {kMark + "|D:|\\Lists\\mix.m3u|\\Lists\\mix.m3u"}},
        ListCase{"TotalOnD", 2, 2, "     List of total files on drive D:",
                 {kMark + "|D:|\\Lists\\mix.m3u|\\Lists\\mix.m3u", "|D:|\\q.aiff|\\q.aiff", "|D:|\\s.mp3|\\s.mp3",
                  "|D:|\\x.rmi|\\x.rmi"}}));

TEST_F(Pane, CellsWithoutACountOrADriveDoNothing) {
  WriteSummary({{"C:", 104, {5, 0, 1, 1, 0, 1, 0, 2}}, {"D:", 104, {7, 3, 0, 0, 2, 0, 1, 1}}});
  WriteInventory(kInventory);
  auto w = Open();
  struct Click {
    int row, col;
    const char* what;
  };
  for (Click c : {Click{1, 3, "a count of 0"}, Click{0, 3, "the header row"}, Click{3, 4, "the spacer row"},
                  Click{4, 0, "the totals row's drive column"}, Click{4, 1, "the totals row's picture"},
                  Click{3, 0, "the spacer row's drive column"}}) {
    ClickCell(*w, c.row, c.col);
    EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Inventory") << c.what;
    EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "System Inventory") << c.what;
    ExpectLook(PaneUi(w->Pane()).btnSelDetail, kSkinBack, kSkinText, c.what);
  }
  EXPECT_TRUE(boxes.shown().empty());
}

struct SizeCase {
  int files;
  int rows;
  int height;
};

class ListSize : public Pane, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ListSize, GrowsRowByRowUpToTwelveFilesThenScrolls) {
  Lines paths;
  for (int i = 0; i < GetParam().files; ++i) paths.push_back("D:\\f" + std::to_string(100 + i) + ".wav");
  paths.push_back("C:\\other.mp3");
  WriteMatchingInventory(paths);
  auto w = Open();
  PaneDb(MainPane()).gSelectedDrive = "D:";
  PaneDb(MainPane()).gTypeFilter = "wav";
  MainPane().ShowInventoryDetail();
  EXPECT_EQ(Grid(*w).Rows(), GetParam().rows);
  EXPECT_EQ(Grid(*w).Height(), GetParam().height);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus2->Caption().toStdString(), "Total files listed: " + std::to_string(GetParam().files));
  EXPECT_EQ(Row(*w, 0), (Lines{"DB", "Drv", "File", ""})) << "the hidden column has no header, not an old one";
}

INSTANTIATE_TEST_SUITE_P(Cases, ListSize,
                         ::testing::Values(SizeCase{0, 1, 6 * 240}, SizeCase{1, 2, 3 * 240}, SizeCase{12, 13, 14 * 240},
                                           SizeCase{13, 14, 3375}, SizeCase{40, 41, 3375}));

TEST_F(Pane, DetailTabAndUpdateBuildTheListAgainAtTheRestoredRow) {
  Lines paths;
  for (int i = 0; i < 40; ++i) paths.push_back("C:\\Music\\Album " + std::to_string(10 + i) + "\\track.wav");
  WriteMatchingInventory(paths);
  auto w = Open();
  MainPane().btnSelDetail_Click();
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), "     List of total files on all drives")
      << "nothing chosen yet: every file";
  EXPECT_EQ(Grid(*w).Rows(), 41);
  EXPECT_EQ(Grid(*w).TextMatrix(1, 2), "\\Music\\Album 10\\track.wav");
  ExpectLook(PaneUi(w->Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail tab current");

  PaneDb(MainPane()).gRestoreRow = 20;
  MainPane().btnUpdate_Click();
  QApplication::processEvents();
  EXPECT_EQ(Grid(*w).TopRow(), 20);
  EXPECT_EQ(PaneDb(MainPane()).gRestoreRow, 0);
  ExpectLook(PaneUi(w->Pane()).btnUpdate, kSkinBack, kSkinText, "Update at rest");

  PaneDb(MainPane()).gRestoreRow = 999;
  MainPane().btnSelDetail_Click();
  QApplication::processEvents();
  EXPECT_GE(Grid(*w).TopRow(), 1);
  EXPECT_LE(Grid(*w).TopRow(), 40) << "kept inside the grid";
}

TEST_F(Pane, AMissingInventoryFileIsAnnouncedAndRebuiltBeforeTheList) {
  WriteMatchingInventory({"C:\\old.wav"});
  drives.Write("D:\\fresh.wav", "x");
  auto w = Open();
  drives.Remove(Files().gInventoryFile);
  boxes.Answer(platform::vbOK);
  MainPane().btnSelDetail_Click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Data File Missing");
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find inventory data file C:\\app\\data\\inventory.dat.\n\r"
            "Tolvan will now scan your system for audio files and update the inventory records.");
  EXPECT_EQ(Listed(*w), Lines{"|D:|\\fresh.wav|\\fresh.wav"});
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "Inventory Detail");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), "     List of total files on all drives");

  // A missing summary when a count is clicked: the same, then the list.
  MainPane().btnSelInventory_Click();
  drives.Remove(Files().gInvSumFile);
  boxes.Answer(platform::vbOK);
  ClickCell(*w, 2, 3);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].text,
            "Cannot find inventory summary file C:\\app\\data\\invsum.dat.\n\r"
            "Tolvan will now scan your system for audio files and update the inventory records.");
  EXPECT_EQ(Listed(*w), Lines{"|D:|\\fresh.wav|\\fresh.wav"});
  EXPECT_TRUE(drives.Exists(Files().gInvSumFile));
}

// ---- Drive Detail

struct DriveCase {
  const char* name;
  std::optional<platform::VolumeInformation> volume;
  std::optional<platform::DiskFreeSpace> space;
  Lines values;  // column 2 of rows 1 to 7
  const char* status;
};

void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.name; }

class DriveDetail : public Pane, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(DriveDetail, ShowsTheVolumeFacts) {
  WriteMatchingInventory();
  if (GetParam().volume) facts.volumes['D'] = *GetParam().volume;
  if (GetParam().space) facts.spaces['D'] = *GetParam().space;
  auto w = Open();
  ClickCell(*w, 2, 0);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBViewTitle->Caption(), "Drive Detail");
  EXPECT_EQ(PaneUi(w->Pane()).txtDBDescription->text().toStdString(), "     Volume information for drive D:");
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Drive");
  platform::FlexGrid& g = Grid(*w);
  ASSERT_EQ(g.Rows(), 8);
  ASSERT_EQ(g.Cols(), 3);
  EXPECT_EQ(Row(*w, 0), (Lines{" ", "", " "}));
  Lines captions, spacer, values;
  for (int r = 1; r <= 7; ++r) {
    captions.push_back(g.TextMatrix(r, 0));
    spacer.push_back(g.TextMatrix(r, 1));
    values.push_back(g.TextMatrix(r, 2));
    g.SetRow(r);
    g.SetCol(1);
    EXPECT_TRUE(g.CellPicture().isNull()) << "no drive picture left behind in row " << r;
  }
  EXPECT_EQ(captions,
            (Lines{"Drive:", "Volume Name:", "Serial Number:", "File System:", "Size:", "Free:", "% Used:"}));
  EXPECT_EQ(spacer, Lines(7, ""));
  EXPECT_EQ(values, GetParam().values);
  EXPECT_EQ(PaneUi(w->Pane()).lblDBStatus1->Caption().toStdString(), GetParam().status);
  EXPECT_EQ(g.Height(), 9 * 240);
  EXPECT_EQ(g.ColAlignment(0), 7);
  ExpectLook(PaneUi(w->Pane()).btnSelDetail, kSkinText, kSkinBack, "Detail tab current");
  EXPECT_EQ(platform::ScreenPointer(), 0);
}

using VI = platform::VolumeInformation;
using DS = platform::DiskFreeSpace;
INSTANTIATE_TEST_SUITE_P(
    Cases, DriveDetail,
    ::testing::Values(
        DriveCase{"Ordinary", VI{"Music", 0x12345678u, "EXT4"}, DS{5120000, 10240000, 7680000},
                  {"D:", "Music", "305419896", "EXT4", "10,000 KB", "5,000 KB", "25.00%"}, "Drive analysis completed"},
        DriveCase{"NoLabelHighSerialNothingFree", VI{"", 0x80000001u, "VFAT"}, DS{0, 2048, 0},
                  {"D:", "<none>", "-2147483647", "VFAT", "2 KB", " KB", "100.00%"}, "Drive analysis completed"},
        DriveCase{"ASizeOfZero", VI{"x", 1, "TMPFS"}, DS{0, 0, 0},
                  {"D:", "x", "1", "TMPFS", " KB", " KB", "n/a"}, "Drive analysis completed"},
        DriveCase{"VolumeQueryFails", std::nullopt, DS{1024 * 1024, 1024 * 1024 * 1024, 1024 * 1024},
                  {"", "", "", "", "1,048,576 KB", "1,024 KB", "99.90%"}, "Error in GetVolumeInformation."},
        DriveCase{"BothQueriesFail", std::nullopt, std::nullopt, Lines(7, ""), "Error in GetDiskFreeSpace."}));

TEST_F(Pane, UpdateReadsTheDriveAgain) {
  WriteMatchingInventory();
  facts.volumes['C'] = {"Before", 1, "EXT4"};
  facts.spaces['C'] = {1024, 2048, 1024};
  auto w = Open();
  ClickCell(*w, 1, 1);
  EXPECT_EQ(Grid(*w).TextMatrix(2, 2), "Before");
  facts.volumes['C'] = {"After", 1, "EXT4"};
  MainPane().btnUpdate_Click();
  EXPECT_EQ(Grid(*w).TextMatrix(2, 2), "After");
  ExpectLook(PaneUi(w->Pane()).btnUpdate, kSkinBack, kSkinText, "Update at rest");
  MainPane().btnSelInventory_Click();
  MainPane().btnSelDetail_Click();
  EXPECT_EQ(ViewName(PaneDb(MainPane()).gViewMode), "Drive") << "the Detail tab goes back to the drive";
}

// ---- the Play button

struct PlayCase {
  const char* name;
  std::function<void(DatabasePane&)> view;
};

void PrintTo(const PlayCase& c, std::ostream* os) { *os << c.name; }

class PlayButton : public Pane, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(PlayButton, IsTakenAwayUnlessAFileIsPlaying) {
  WriteMatchingInventory();
  auto w = Open();
  PaneTestAccess::ShowPlayButton(w->Pane(), "Play");
  PaneUi(w->Pane()).btnPlay->setEnabled(true);
  GetParam().view(w->Pane());
  EXPECT_EQ(PaneUi(w->Pane()).btnPlay->Caption(), "");
  EXPECT_FALSE(PaneUi(w->Pane()).btnPlay->isEnabled());
  PaneTestAccess::ShowPlayButton(w->Pane(), "Stop");
  PaneUi(w->Pane()).btnPlay->setEnabled(true);
  GetParam().view(w->Pane());
  EXPECT_EQ(PaneUi(w->Pane()).btnPlay->Caption(), "Stop");
  EXPECT_TRUE(PaneUi(w->Pane()).btnPlay->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Views, PlayButton,
                         ::testing::Values(PlayCase{"SystemInventory", [](DatabasePane& p) { p.ShowSystemInventory(); }},
                                           PlayCase{"InventoryDetail", [](DatabasePane& p) { p.ShowInventoryDetail(); }},
                                           PlayCase{"DriveDetail", [](DatabasePane& p) {
                                                      PaneDb(p).gSelectedDrive = "C:";
                                                      p.ShowDriveDetail();
                                                    }}));

}  // namespace
