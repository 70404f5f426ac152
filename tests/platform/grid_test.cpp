#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>

#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/qt/grid.h"

using platform::FlexGrid;
using platform::VbError;

namespace {

using Table = std::vector<std::vector<std::string>>;

void Fill(FlexGrid& grid, const Table& rows, int fixedRows) {
  grid.SetRows(0);
  grid.SetCols(static_cast<int>(rows.front().size()));
  grid.SetRows(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) grid.SetTextMatrix(int(r), int(c), rows[r][c]);
  }
  grid.SetFixedRows(fixedRows);
}

std::vector<std::string> Column(const FlexGrid& grid, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < grid.Rows(); ++r) out.push_back(grid.TextMatrix(r, col));
  return out;
}

QTableView* ViewOf(FlexGrid& grid) { return grid.findChild<QTableView*>(); }

QPixmap Solid(QColor color, int w = 8, int h = 8) {
  QPixmap p(w, h);
  p.fill(color);
  return p;
}

// A shown grid of `dataRows` rows under one header row, two columns 100 and 200 pixels wide.
class ShownGrid : public ::testing::Test {
 protected:
  void Show(int dataRows) {
    grid.resize(400, 10);
    grid.SetHeight(3375);
    grid.SetCols(2);
    grid.SetRows(dataRows + 1);
    grid.SetFixedRows(1);
    grid.SetColWidth(0, 1500);
    grid.SetColWidth(1, 3000);
    for (int r = 0; r <= dataRows; ++r) grid.SetTextMatrix(r, 0, std::to_string(r));
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QApplication::processEvents();
  }
  QWidget* Viewport() { return ViewOf(grid)->viewport(); }
  QWidget* HeaderViewport() { return ViewOf(grid)->horizontalHeader()->viewport(); }
  QImage Grab() { return Viewport()->grab().toImage(); }
  // Top-left of a data cell in the viewport.
  QPoint CellOrigin(int row, int col) {
    QTableView* v = ViewOf(grid);
    return {v->columnViewportPosition(col), v->rowViewportPosition(row - grid.FixedRows())};
  }

  FlexGrid grid;
};

}  // namespace

// ---- Sort ----

struct SortCase {
  const char* name;
  int fixedRows;
  Table rows;  // column 0 names the row; the keys are in the other columns
  int col, colSel;
  int setting;
  std::vector<std::string> expected;  // column 0 after the sort
  int row = -1, rowSel = -1;          // -1: both the first non-fixed row
};

void PrintTo(const SortCase& k, std::ostream* os) { *os << k.name; }

class GridSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(GridSort, OrdersRowsAsTheSettingSays) {
  const SortCase& k = GetParam();
  FlexGrid grid;
  Fill(grid, k.rows, k.fixedRows);
  grid.SetRow(k.row < 0 ? k.fixedRows : k.row);
  grid.SetCol(k.col);
  grid.SetColSel(k.colSel);
  if (k.rowSel >= 0) grid.SetRowSel(k.rowSel);
  grid.Sort(k.setting);
  EXPECT_EQ(Column(grid, 0), k.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridSort,
    ::testing::Values(
        SortCase{"AscendingIgnoresCaseColumnAfterColumn", 1,
                 {{"H", "zzz", "zzz"}, {"1", "b", "x"}, {"2", "A", "z"}, {"3", "a", "y"}}, 1, 2, 5,
                 {"H", "3", "2", "1"}},
        SortCase{"ColumnsCompareOneAfterTheOther", 0, {{"1", "ab", "c"}, {"2", "a", "bd"}}, 1, 2, 5, {"2", "1"}},
        SortCase{"EmptyAndShorterTextsFirst", 0, {{"1", "abc"}, {"2", "ab"}, {"3", "ABD"}, {"4", ""}}, 1, 1, 5,
                 {"4", "2", "1", "3"}},
        SortCase{"EqualKeysKeepTheirOrder", 0, {{"1", "Same"}, {"2", "b"}, {"3", "SAME"}, {"4", "same"}}, 1, 1,
                 5, {"2", "1", "3", "4"}},
        SortCase{"DescendingKeepsEqualKeysInOrder", 0,
                 {{"1", "Same"}, {"2", "b"}, {"3", "SAME"}, {"4", "same"}}, 1, 1, 6, {"1", "3", "4", "2"}},
        SortCase{"DescendingComparesNumbersAsText", 0, {{"1", "12"}, {"2", "9"}, {"3", "100"}}, 1, 1, 6,
                 {"2", "1", "3"}},
        SortCase{"FixedRowsStay", 2, {{"H1", "z"}, {"H2", "y"}, {"1", "b"}, {"2", "a"}}, 1, 1, 5,
                 {"H1", "H2", "2", "1"}},
        SortCase{"KeyRunsFromTheLowerOfColAndColSel", 0, {{"1", "b", "a"}, {"2", "a", "b"}}, 2, 1, 5, {"2", "1"}},
        SortCase{"LongSharedPrefixes", 0,
                 {{"1", "\\Music\\Collection\\Artist\\b.wav"},
                  {"2", "\\music\\collection\\artist\\A.wav"},
                  {"3", "\\MUSIC\\COLLECTION\\ARTIST\\a.wav"}},
                 1, 1, 5, {"2", "3", "1"}},
        SortCase{"LatinCapitalsFoldAndFollowAscii", 0,
                 {{"1", "\xC3\x89lan"}, {"2", "\xC3\xA9" "clair"}, {"3", "Zebra"}, {"4", "\xC3\x89" "CLAIR"}}, 1, 1,
                 5, {"3", "2", "4", "1"}},
        SortCase{"OnlyRowToRowSelWhenTheyDiffer", 1, {{"H", "x"}, {"1", "d"}, {"2", "c"}, {"3", "b"}, {"4", "a"}},
                 1, 1, 5, {"H", "1", "3", "2", "4"}, 2, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// Random rows with case variants, Latin-1 capitals, blanks and empty cells, across the
// eight-byte pieces the sort works in: the order must be that of comparing the lower-cased
// key cells one column after the other, equal keys keeping their order.
TEST(Grid, SortAgreesWithAColumnByColumnComparisonOnRandomRows) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"a", "A", "b", "B", " ", "\\", "\xC3\x89", "\xC3\xA9", "z", "0"};
  auto text = [&] {
    std::string t;
    for (int n = int(random() % 14); n > 0; --n) t += pieces[random() % pieces.size()];
    return t;
  };
  Table rows;
  for (int i = 0; i < 3000; ++i) rows.push_back({std::to_string(i), text(), text(), text(), text()});
  for (int setting : {5, 6}) {
    FlexGrid grid;
    Fill(grid, rows, 0);
    grid.SetCol(1);
    grid.SetColSel(3);
    grid.Sort(setting);

    std::vector<std::vector<std::string>> expected = rows;
    auto key = [](const std::vector<std::string>& r) {
      return std::vector<std::string>{platform::LowerCase(r[1]), platform::LowerCase(r[2]), platform::LowerCase(r[3])};
    };
    std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
      return setting == 5 ? key(a) < key(b) : key(b) < key(a);
    });
    std::vector<std::string> ids;
    for (const auto& r : expected) ids.push_back(r[0]);
    EXPECT_EQ(Column(grid, 0), ids) << "setting " << setting;
    EXPECT_EQ(grid.TextMatrix(0, 4), expected[0][4]) << "whole rows move";
  }
}

TEST(Grid, FormatsBelongToTheRowThroughSortAndRemoval) {
  FlexGrid grid;
  Fill(grid, {{"H", ""}, {"b", ""}, {"c", ""}, {"a", ""}}, 1);
  grid.SetRow(2);  // "c"
  grid.SetCol(0);
  grid.SetCellFontBold(true);
  grid.SetCol(1);
  grid.SetCellPictureAlignment(7);
  grid.SetCellPicture(Solid(Qt::red));
  grid.SetCellBackColor(0x800000);
  grid.SetRow(1);
  grid.SetCol(0);
  grid.Sort(5);
  ASSERT_EQ(Column(grid, 0), (std::vector<std::string>{"H", "a", "b", "c"}));
  grid.SetRow(3);
  EXPECT_TRUE(grid.CellFontBold());
  grid.SetCol(1);
  EXPECT_FALSE(grid.CellPicture().isNull());
  EXPECT_EQ(grid.CellPictureAlignment(), 7);
  EXPECT_EQ(grid.CellBackColor(), 0x800000u);
  for (int r : {1, 2}) {
    grid.SetRow(r);
    grid.SetCol(0);
    EXPECT_FALSE(grid.CellFontBold()) << r;
    grid.SetCol(1);
    EXPECT_TRUE(grid.CellPicture().isNull()) << r;
  }
  grid.RemoveItem(1);
  grid.SetRow(2);
  grid.SetCol(0);
  EXPECT_EQ(grid.Text(), "c");
  EXPECT_TRUE(grid.CellFontBold());
}

// ---- Texts, rows and columns ----

TEST(Grid, ClipOfTheWholeGridHoldsHiddenColumnsAndEmptyCells) {
  FlexGrid grid;
  Fill(grid, {{"DB", "Drv", "File", ""}, {"", "C:", "\\a.wav", "\\Music\\a.wav"}, {"  x", "D:", "\\b", "\\b"}}, 1);
  grid.SetColWidth(3, 0);
  grid.SetRow(0);
  grid.SetCol(0);
  grid.SetRowSel(grid.Rows() - 1);
  grid.SetColSel(grid.Cols() - 1);
  EXPECT_EQ(grid.Clip(), "DB\tDrv\tFile\t\r\tC:\t\\a.wav\t\\Music\\a.wav\r  x\tD:\t\\b\t\\b");
  // A selection drawn backwards gives the same block.
  grid.SetRow(2);
  grid.SetCol(3);
  grid.SetRowSel(1);
  grid.SetColSel(2);
  EXPECT_EQ(grid.Clip(), "\\a.wav\t\\Music\\a.wav\r\\b\t\\b");
}

TEST(Grid, RowsZeroClearsGrowingAddsEmptyRowsShrinkingDropsTheEnd) {
  FlexGrid grid;
  Fill(grid, {{"h", "h"}, {"a", "1"}, {"b", "2"}, {"c", "3"}}, 1);
  grid.SetRow(3);
  grid.SetCol(1);
  grid.SetCellFontBold(true);
  grid.SetCellBackColor(0xDC);

  grid.SetRows(2);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"h", "a"}));
  EXPECT_EQ(grid.Row(), 1) << "the current row stays within the rows";

  grid.SetRows(0);
  EXPECT_EQ(grid.Rows(), 0);
  EXPECT_EQ(grid.FixedRows(), 0);
  EXPECT_EQ(grid.Text(), "");
  grid.SetRows(4);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>(4, "")));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>(4, "")));
  grid.SetRow(3);
  grid.SetCol(1);
  EXPECT_FALSE(grid.CellFontBold());
  EXPECT_EQ(grid.CellBackColor(), 0u);
  EXPECT_EQ(grid.Cols(), 2) << "Rows := 0 keeps the columns";
}

TEST(Grid, ShrinkingColumnsDropsTheirCellsForGood) {
  FlexGrid grid;
  Fill(grid, {{"a", "b", "c"}}, 0);
  grid.SetColWidth(2, 500);
  grid.SetCols(2);
  grid.SetCols(3);
  EXPECT_EQ(grid.TextMatrix(0, 1), "b");
  EXPECT_EQ(grid.TextMatrix(0, 2), "");
  EXPECT_EQ(grid.ColWidth(2), FlexGrid::kDefaultColWidthTwips);
}

TEST(Grid, AddItemSplitsTabsAndRemoveItemShiftsRowsUp) {
  FlexGrid grid;
  grid.SetCols(2);
  grid.SetFixedRows(0);
  grid.SetRows(0);
  grid.AddItem("\\a.wav\tC:\\Music\\a.wav");
  grid.AddItem("no tab");
  grid.AddItem("x\ty\tdropped");
  grid.AddItem("first\t", 0);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"first", "\\a.wav", "no tab", "x"}));
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"", "C:\\Music\\a.wav", "", "y"}));

  grid.SetRow(2);
  grid.RemoveItem(1);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"first", "no tab", "x"}));
  EXPECT_EQ(grid.Row(), 2) << "the current row keeps its number";
  grid.RemoveItem(2);
  EXPECT_EQ(grid.Row(), 1);
  grid.RemoveItem(0);
  grid.RemoveItem(0);
  EXPECT_EQ(grid.Rows(), 0);
}

TEST(Grid, ClearEmptiesCellsButKeepsTheShape) {
  FlexGrid grid;
  Fill(grid, {{"h", "h"}, {"a", "1"}}, 1);
  grid.SetColWidth(1, 0);
  grid.SetColAlignment(1, 7);
  grid.SetRow(1);
  grid.SetCellBackColor(0x800000);
  grid.SetCellFontBold(true);
  grid.Clear();
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(grid.CellBackColor(), 0u);
  EXPECT_FALSE(grid.CellFontBold());
  EXPECT_EQ(grid.ColWidth(1), 0);
  EXPECT_EQ(grid.ColAlignment(1), 7);
}

TEST(Grid, RowPositionMovesARowTheOthersShift) {
  FlexGrid grid;
  Fill(grid, {{"0"}, {"1"}, {"2"}, {"3"}}, 0);
  grid.SetRowPosition(0, 3);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "2", "3", "0"}));
  grid.SetRowPosition(3, 1);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "0", "2", "3"}));
}

TEST(Grid, SettingRowOrColMovesTheCurrentCellAfterLeaveCellAndResetsTheSelection) {
  FlexGrid grid;
  Fill(grid, {{"h", "h"}, {"a", "1"}, {"b", "2"}, {"c", "3"}}, 1);
  std::vector<std::pair<int, int>> left;
  QObject::connect(&grid, &FlexGrid::LeaveCell, [&] { left.emplace_back(grid.Row(), grid.Col()); });
  grid.SetRow(1);
  grid.SetCol(0);
  left.clear();
  grid.SetRow(1);
  grid.SetCol(0);
  grid.SetRowSel(3);
  grid.SetColSel(1);
  EXPECT_TRUE(left.empty()) << "no cell was left";
  grid.SetRow(2);
  EXPECT_EQ(grid.RowSel(), 2);
  EXPECT_EQ(grid.ColSel(), 0);
  grid.SetCol(1);
  EXPECT_EQ(left, (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}}));
  EXPECT_EQ(grid.Text(), "2");
}

TEST(Grid, OutOfRangeIsTheGridsRunTimeError) {
  struct Case {
    const char* what;
    std::function<void(FlexGrid&)> act;
    std::int32_t error;
  };
  const std::vector<Case> cases = {
      {"TextMatrix row", [](FlexGrid& g) { (void)g.TextMatrix(3, 0); }, FlexGrid::errSubscriptOutOfRange},
      {"TextMatrix col", [](FlexGrid& g) { g.SetTextMatrix(0, 2, "x"); }, FlexGrid::errSubscriptOutOfRange},
      {"ColWidth", [](FlexGrid& g) { g.SetColWidth(2, 100); }, FlexGrid::errSubscriptOutOfRange},
      {"RemoveItem", [](FlexGrid& g) { g.RemoveItem(3); }, FlexGrid::errSubscriptOutOfRange},
      {"AddItem index", [](FlexGrid& g) { g.AddItem("x", 4); }, FlexGrid::errSubscriptOutOfRange},
      {"Row", [](FlexGrid& g) { g.SetRow(3); }, FlexGrid::errInvalidRowValue},
      {"RowSel", [](FlexGrid& g) { g.SetRowSel(-1); }, FlexGrid::errInvalidRowValue},
      {"Col", [](FlexGrid& g) { g.SetCol(2); }, FlexGrid::errInvalidColValue},
      {"Sort setting", [](FlexGrid& g) { g.Sort(3); }, FlexGrid::errInvalidPropertyValue},
      {"FixedRows", [](FlexGrid& g) { g.SetFixedRows(4); }, FlexGrid::errInvalidPropertyValue},
      {"Alignment", [](FlexGrid& g) { g.SetColAlignment(0, 10); }, FlexGrid::errInvalidPropertyValue},
      {"Picture alignment", [](FlexGrid& g) { g.SetCellPictureAlignment(9); }, FlexGrid::errInvalidPropertyValue},
  };
  for (const Case& k : cases) {
    FlexGrid grid;
    Fill(grid, {{"h", "h"}, {"a", "1"}, {"b", "2"}}, 1);
    try {
      k.act(grid);
      ADD_FAILURE() << k.what << ": no error";
    } catch (const VbError& e) {
      EXPECT_EQ(e.number(), k.error) << k.what;
    }
  }
  FlexGrid empty;
  empty.SetRows(0);
  empty.SetRow(0);  // a grid without rows takes row 0 and stays without a current cell
  EXPECT_EQ(empty.Text(), "");
  EXPECT_THROW(empty.SetText("x"), VbError);
}

// ---- Sizes ----

TEST(Grid, EveryRowIs240TwipsAndTheHeightIsInTwips) {
  FlexGrid grid;
  grid.SetRows(5);
  for (int r = 0; r < 5; ++r) EXPECT_EQ(grid.RowHeight(r), 240);
  grid.SetHeight(grid.RowHeight(0) * (grid.Rows() + 1));
  EXPECT_EQ(grid.Height(), 1440);
  EXPECT_EQ(grid.height(), 96);
  grid.SetHeight(3375);
  EXPECT_EQ(grid.height(), 225);
  EXPECT_EQ(grid.Height(), 3375);
  grid.show();
  QApplication::processEvents();
  EXPECT_EQ(ViewOf(grid)->rowHeight(0), 16);
  EXPECT_EQ(ViewOf(grid)->horizontalHeader()->height(), 16) << "one fixed row, one row high";
}

TEST_F(ShownGrid, ColumnWidthZeroHidesAndAnUnsetWidthKeepsTheDefault) {
  Show(3);
  grid.SetCols(4);
  grid.SetColWidth(1, 0);
  grid.SetColWidth(3, 1);
  QApplication::processEvents();
  QHeaderView* header = ViewOf(grid)->horizontalHeader();
  EXPECT_TRUE(header->isSectionHidden(1));
  EXPECT_EQ(grid.ColWidth(2), FlexGrid::kDefaultColWidthTwips);
  EXPECT_EQ(header->sectionSize(2), FlexGrid::kDefaultColWidthTwips / 15);
  EXPECT_EQ(header->sectionSize(3), 1) << "a hairline column keeps a pixel";
  // The mouse just right of column 0 is over column 2.
  QTest::mouseMove(Viewport(), QPoint(101, 20));
  EXPECT_EQ(grid.MouseCol(), 2);
}

// ---- Scrolling and the mouse ----

TEST_F(ShownGrid, TopRowIsTheFirstRowInSightAndStopsAtTheLastPage) {
  Show(100);
  EXPECT_EQ(grid.TopRow(), 1);
  grid.SetTopRow(50);
  EXPECT_EQ(grid.TopRow(), 50);
  QPoint first = CellOrigin(50, 0);
  EXPECT_EQ(first.y(), 0) << "row 50 is drawn first";
  grid.SetTopRow(1000);
  int visible = (Viewport()->height()) / 16;
  EXPECT_EQ(grid.TopRow(), 101 - visible);
  grid.SetTopRow(0);
  EXPECT_EQ(grid.TopRow(), 1) << "never a fixed row";

  // Set while hidden, kept, and applied when shown again.
  grid.hide();
  grid.SetRows(1);
  grid.SetRows(201);
  grid.SetTopRow(120);
  EXPECT_EQ(grid.TopRow(), 120);
  grid.show();
  QApplication::processEvents();
  EXPECT_EQ(grid.TopRow(), 120);
  EXPECT_EQ(CellOrigin(120, 0).y(), 0);
}

TEST_F(ShownGrid, APressMakesTheCellCurrentBeforeMouseDownAndReportsTwips) {
  Show(100);
  grid.SetTopRow(50);
  grid.SetRow(1);
  grid.SetCol(0);
  std::vector<std::string> log;
  QObject::connect(&grid, &FlexGrid::LeaveCell, [&] { log.push_back("leave " + std::to_string(grid.Row())); });
  QObject::connect(&grid, &FlexGrid::MouseDown, [&](int b, int s, int x, int y) {
    log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + " " +
                  std::to_string(y) + " row " + std::to_string(grid.Row()) + " mouse " +
                  std::to_string(grid.MouseRow()) + "," + std::to_string(grid.MouseCol()));
  });
  QObject::connect(&grid, &FlexGrid::MouseUp, [&](int b, int, int, int) { log.push_back("up " + std::to_string(b)); });
  QObject::connect(&grid, &FlexGrid::Click, [&] { log.push_back("click"); });

  // Viewport (150, 53) is the cell area's (150, 69): 1035 twips down, the fourth row in sight
  // below the header, which by the program's own sum is row 1035 \ 240 + TopRow - 1.
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 53));
  EXPECT_EQ(log, (std::vector<std::string>{"leave 1", "down 1 1 2250 1035 row 53 mouse 53,1", "up 1", "click"}));
  EXPECT_EQ(grid.Row(), 1035 / 240 + grid.TopRow() - 1);
  EXPECT_EQ(grid.Col(), 1);

  log.clear();
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 100));
  EXPECT_EQ(log, (std::vector<std::string>{"down 2 0 150 1740 row 53 mouse 56,0", "up 2"}))
      << "the right button moves nothing and gives no Click";

  log.clear();
  QTest::mouseClick(HeaderViewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
  EXPECT_EQ(grid.MouseRow(), 0);
  EXPECT_EQ(grid.Row(), 1) << "a header press selects the column below it";
  EXPECT_EQ(grid.RowSel(), 100);
  EXPECT_EQ(grid.Col(), 0);
  EXPECT_EQ(log.front(), "leave 53");
}

TEST_F(ShownGrid, BelowTheLastRowTheMouseRowIsTheLastRowAndNothingIsSelected) {
  Show(3);
  grid.SetRow(2);
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 150));
  EXPECT_EQ(grid.MouseRow(), 3);
  EXPECT_EQ(grid.Row(), 2);
  QTest::mouseMove(Viewport(), QPoint(50, 20));
  EXPECT_EQ(grid.MouseRow(), 2);
}

TEST_F(ShownGrid, GrowingRowByRowIsToldToTheViewOnce) {
  Show(0);
  QAbstractItemModel* model = ViewOf(grid)->model();
  int inserts = 0;
  QObject::connect(model, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
  for (int n = 1; n <= 2000; ++n) {
    grid.SetRows(n + 1);
    grid.SetTextMatrix(n, 0, std::to_string(n));
  }
  QApplication::processEvents();
  EXPECT_EQ(inserts, 1);
  EXPECT_EQ(model->rowCount(), 2000);

  grid.hide();
  grid.SetRows(1);
  for (int n = 1; n <= 500; ++n) grid.AddItem(std::to_string(n));
  grid.show();
  EXPECT_EQ(model->rowCount(), 500);
}

// ---- Painting ----

TEST_F(ShownGrid, CellColoursShowAndZeroGivesTheGridsColoursBack) {
  Show(3);
  grid.SetBackColor(0xFFFFFF);
  grid.SetRow(2);
  grid.SetCol(1);
  QPoint at = CellOrigin(2, 1) + QPoint(5, 5);
  grid.SetCellBackColor(0x800000);
  EXPECT_EQ(Grab().pixelColor(at), QColor(0, 0, 128));
  grid.SetCellBackColor(0);
  EXPECT_EQ(grid.CellBackColor(), 0u);
  EXPECT_EQ(Grab().pixelColor(at), QColor(255, 255, 255));
}

TEST_F(ShownGrid, TextAndPicturesSitWhereTheAlignmentSays) {
  Show(3);
  grid.SetBackColor(0xFFFFFF);
  grid.SetForeColor(0);
  grid.SetRow(1);
  grid.SetCol(0);
  // The horizontal span of the ink in row 2, column 1 (200 pixels wide).
  auto ink = [&](int alignment, const std::string& text) {
    grid.SetColAlignment(1, alignment);
    grid.SetTextMatrix(2, 1, text);
    QImage img = Grab();
    QPoint o = CellOrigin(2, 1);
    int left = 1000, right = -1;
    for (int x = 0; x < 198; ++x) {
      for (int y = 2; y < 14; ++y) {
        if (img.pixelColor(o + QPoint(x, y)).lightness() < 160) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    }
    return std::pair{left, right};
  };
  struct Case {
    int alignment;
    const char* text;
    bool right;
  };
  for (const Case& k : {Case{1, "abc", false}, Case{7, "abc", true}, Case{9, "abc", false}, Case{9, "123", true},
                        Case{9, "-1.5", true}}) {
    auto [l, r] = ink(k.alignment, k.text);
    ASSERT_GE(r, 0) << k.text;
    EXPECT_EQ(k.right, l > 100) << k.alignment << " " << k.text << " ink " << l << ".." << r;
  }
  int plain = ink(7, "0:00").second;
  int blanks = ink(7, "0:00  ").second;
  EXPECT_LT(blanks, plain - 3) << "trailing blanks keep their room at the right edge";

  grid.SetTextMatrix(2, 1, "");
  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetCellPicture(Solid(Qt::red));
  for (auto [alignment, x] : {std::pair{1, 2}, std::pair{7, 195}, std::pair{4, 99}}) {
    grid.SetCellPictureAlignment(alignment);
    QImage img = Grab();
    EXPECT_EQ(img.pixelColor(CellOrigin(2, 1) + QPoint(x, 8)), QColor(Qt::red)) << alignment;
  }
}

// The cell keeps its text whole and draws it up to its first zero byte.
TEST_F(ShownGrid, ACellShowsItsTextUpToItsFirstZeroByte) {
  Show(3);
  const std::string padded("Title\0\0\0\0\0\0\0\0\0\0", 15);
  grid.SetTextMatrix(1, 1, "Title");
  grid.SetTextMatrix(2, 1, padded);
  grid.SetTextMatrix(3, 1, std::string("Title\0tail", 10));
  EXPECT_EQ(grid.TextMatrix(2, 1), padded);
  QApplication::processEvents();
  const QImage img = Grab();
  auto cell = [&](int row) { return img.copy(QRect(CellOrigin(row, 1), QSize(200, 16))); };
  EXPECT_EQ(cell(2), cell(1));
  EXPECT_EQ(cell(3), cell(1));
}
