#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/core/codepage.h"
#include "platform/core/gridrows.h"

using platform::GridCellFormat;
using platform::GridPictureId;
using platform::GridRows;
using platform::GridSelection;

namespace {

using Table = std::vector<std::vector<std::string>>;

GridRows Make(const Table& table) {
  GridRows rows(static_cast<int>(table.size()), static_cast<int>(table.front().size()));
  for (std::size_t r = 0; r < table.size(); ++r) {
    for (std::size_t c = 0; c < table[r].size(); ++c) rows.SetText(int(r), int(c), table[r][c]);
  }
  return rows;
}

std::vector<std::string> Column(const GridRows& rows, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < rows.Rows(); ++r) out.emplace_back(rows.Text(r, col));
  return out;
}

GridCellFormat Bold() {
  GridCellFormat f;
  f.bold = true;
  return f;
}

GridCellFormat WithPicture(GridPictureId id) {
  GridCellFormat f;
  f.picture = id;
  return f;
}

}  // namespace

// ---- Sort ----

struct RowsSortCase {
  const char* name;
  Table rows;  // column 0 names the row; the keys are in the other columns
  int fixedRows;
  GridSelection sel;
  int setting;
  std::vector<std::string> expected;  // column 0 after the sort
};

void PrintTo(const RowsSortCase& k, std::ostream* os) { *os << k.name; }

class GridRowsSort : public ::testing::TestWithParam<RowsSortCase> {};

TEST_P(GridRowsSort, OrdersTheSelectedRowsByTheKeyColumns) {
  const RowsSortCase& k = GetParam();
  GridRows rows = Make(k.rows);
  EXPECT_TRUE(rows.Sort(k.setting, k.sel, k.fixedRows));
  EXPECT_EQ(Column(rows, 0), k.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridRowsSort,
    ::testing::Values(
        RowsSortCase{"NothingMovesForSettingZero", {{"1", "b"}, {"2", "a"}}, 0, {0, 1, 0, 1}, 0, {"1", "2"}},
        RowsSortCase{"AscendingIgnoresCase", {{"1", "b"}, {"2", "A"}, {"3", "a"}}, 0, {0, 1, 0, 1}, 5, {"2", "3", "1"}},
        RowsSortCase{"DescendingKeepsEqualKeysInOrder", {{"1", "a"}, {"2", "B"}, {"3", "A"}}, 0, {0, 1, 0, 1}, 6,
                     {"2", "1", "3"}},
        RowsSortCase{"AShorterCellBeforeTheNextColumn", {{"1", "ab", "c"}, {"2", "a", "bd"}}, 0, {0, 1, 0, 2}, 5,
                     {"2", "1"}},
        RowsSortCase{"KeysPastEightBytesDecideLate",
                     {{"1", "0123456789abcdefX"}, {"2", "0123456789ABCDEFw"}, {"3", "0123456789abcdef"}}, 0,
                     {0, 1, 0, 1}, 5, {"3", "2", "1"}},
        RowsSortCase{"EveryRowBelowTheFixedOnesWhenRowIsRowSel",
                     {{"H", "z"}, {"1", "c"}, {"2", "b"}, {"3", "a"}}, 1, {3, 1, 3, 1}, 5, {"H", "3", "2", "1"}},
        RowsSortCase{"OnlyRowToRowSelWhenTheyDiffer", {{"1", "d"}, {"2", "c"}, {"3", "b"}, {"4", "a"}}, 0,
                     {2, 1, 1, 1}, 5, {"1", "3", "2", "4"}},
        RowsSortCase{"ASelectionReachingIntoTheFixedRowsLeavesThem",
                     {{"H", "z"}, {"1", "b"}, {"2", "a"}}, 1, {0, 1, 2, 1}, 5, {"H", "2", "1"}},
        RowsSortCase{"KeyColumnsAreClampedToTheGrid", {{"1", "b"}, {"2", "a"}}, 0, {0, 1, 0, 7}, 5, {"2", "1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridRows, SortRefusesASettingItDoesNotTakeAndMovesNothing) {
  for (int setting : {-1, 1, 3, 4, 7, 9}) {
    GridRows rows = Make({{"1", "b"}, {"2", "a"}});
    EXPECT_FALSE(rows.Sort(setting, {}, 0)) << setting;
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "2"})) << setting;
  }
}

// Random rows with case variants, Latin-1 capitals, blanks and empty cells, sorted on a span of
// rows: the order must be that of comparing the lower-cased key cells one column after the
// other, equal keys keeping their order, and the rows outside the span staying where they are.
TEST(GridRows, SortAgreesWithAColumnByColumnComparisonOnRandomRows) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {"a", "A", "b", "\\", " ", "\xC3\x89", "\xC3\xA9", "\xC3\x97", "z", "0"};
  auto text = [&] {
    std::string t;
    for (int n = int(random() % 20); n > 0; --n) t += pieces[random() % pieces.size()];
    return t;
  };
  Table table;
  for (int i = 0; i < 5000; ++i) table.push_back({std::to_string(i), text(), text(), text()});
  const int first = 100, last = 4899;
  for (int setting : {5, 6}) {
    GridRows rows = Make(table);
    ASSERT_TRUE(rows.Sort(setting, {first, 2, last, 1}, 1));

    Table expected = table;
    auto key = [](const std::vector<std::string>& r) {
      return std::vector<std::string>{platform::LowerCase(r[1]), platform::LowerCase(r[2])};
    };
    std::stable_sort(expected.begin() + first, expected.begin() + last + 1, [&](const auto& a, const auto& b) {
      return setting == 5 ? key(a) < key(b) : key(b) < key(a);
    });
    std::vector<std::string> ids;
    for (const auto& r : expected) ids.push_back(r[0]);
    EXPECT_EQ(Column(rows, 0), ids) << "setting " << setting;
    EXPECT_EQ(Column(rows, 3)[first], expected[first][3]) << "whole rows move";
  }
}

// ---- Texts and rows ----

TEST(GridRows, CellsKeepTheirTextsWholeAndEmptyCellsReadEmpty) {
  GridRows rows(2, 4);
  const std::string padded("Title\0\0tail", 11);
  rows.SetText(0, 3, padded);
  rows.SetText(0, 1, "b");
  EXPECT_EQ(rows.Text(0, 3), padded);
  EXPECT_EQ(rows.Text(0, 1), "b");
  EXPECT_EQ(rows.Text(0, 0), "");
  EXPECT_EQ(rows.Text(0, 2), "");
  EXPECT_EQ(rows.Text(1, 3), "");
  rows.SetText(0, 3, "");
  rows.SetText(0, 1, "");
  EXPECT_EQ(rows.Text(0, 1), "");
  EXPECT_EQ(rows.Text(0, 3), "");
  rows.SetText(1, 2, "");  // an empty text in an empty row stays nothing
  EXPECT_EQ(rows.Text(1, 2), "");
}

TEST(GridRows, AddItemSplitsTabsIntoTheColumnsAndDropsTheRest) {
  GridRows rows(0, 2);
  struct Case {
    const char* item;
    int index;
  };
  for (const Case& k : {Case{"a\tb", 0}, Case{"no tab", 1}, Case{"x\ty\tdropped", 2}, Case{"first\t", 0},
                        Case{"", 4}}) {
    rows.AddItem(k.item, k.index);
  }
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"first", "a", "no tab", "x", ""}));
  EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"", "b", "", "y", ""}));
}

TEST(GridRows, RowsMoveRemoveGrowAndShrinkWithTheirFormats) {
  GridRows rows = Make({{"0"}, {"1"}, {"2"}, {"3"}});
  rows.SetFormat(1, 0, Bold());
  rows.MoveRow(1, 3);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"0", "2", "3", "1"}));
  rows.MoveRow(3, 0);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "0", "2", "3"}));
  ASSERT_NE(rows.Format(0, 0), nullptr);
  EXPECT_TRUE(rows.Format(0, 0)->bold);
  rows.RemoveRow(1);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_NE(rows.Format(0, 0), nullptr);
  rows.SetRows(5);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "2", "3", "", ""}));
  rows.SetRows(1);
  rows.SetRows(2);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", ""}));
  EXPECT_EQ(rows.Format(1, 0), nullptr);
  rows.SetRows(0);
  EXPECT_EQ(rows.Rows(), 0);
  EXPECT_EQ(rows.Cols(), 1);
}

TEST(GridRows, ShrinkingColumnsDropsTheirTextsAndFormatsForGood) {
  GridRows rows = Make({{"a", "b", "c"}, {"d", "e", "f"}});
  rows.SetFormat(0, 2, Bold());
  rows.SetFormat(0, 1, Bold());
  rows.SetCols(2);
  rows.SetCols(3);
  EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"b", "e"}));
  EXPECT_EQ(Column(rows, 2), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(rows.Format(0, 2), nullptr);
  EXPECT_NE(rows.Format(0, 1), nullptr);
}

TEST(GridRows, ClearEmptiesTextsAndFormatsAndKeepsTheShape) {
  GridRows rows = Make({{"a", "b"}, {"c", "d"}});
  rows.SetFormat(1, 1, Bold());
  rows.Clear();
  EXPECT_EQ(rows.Rows(), 2);
  EXPECT_EQ(rows.Cols(), 2);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(rows.Format(1, 1), nullptr);
}

TEST(GridRows, ClipJoinsCellsByTabAndRowsByCarriageReturnWhicheverWayTheSelectionRuns) {
  const GridRows rows = Make({{"DB", "Drv", "File"}, {"", "C:", "\\a.wav"}, {"  x", "D:", ""}});
  struct Case {
    GridSelection sel;
    const char* clip;
  };
  for (const Case& k : {Case{{0, 0, 2, 2}, "DB\tDrv\tFile\r\tC:\t\\a.wav\r  x\tD:\t"}, Case{{2, 2, 1, 1}, "C:\t\\a.wav\rD:\t"},
                        Case{{1, 1, 1, 1}, "C:"}}) {
    EXPECT_EQ(rows.Clip(k.sel), k.clip);
  }
  EXPECT_EQ(GridRows(0, 2).Clip({}), "");
  EXPECT_EQ(GridRows(2, 0).Clip({}), "");
}

// ---- Formats and pictures ----

TEST(GridRows, FormatsFollowTheirRowThroughASort) {
  GridRows rows = Make({{"c", ""}, {"a", ""}, {"b", ""}});
  GridCellFormat f;
  f.fore = 0xFF;
  f.picture = rows.NewPicture();
  rows.SetFormat(0, 1, f);
  rows.SetFormat(2, 0, Bold());
  ASSERT_TRUE(rows.Sort(5, {0, 0, 0, 0}, 0));
  ASSERT_EQ(Column(rows, 0), (std::vector<std::string>{"a", "b", "c"}));
  ASSERT_NE(rows.Format(2, 1), nullptr);
  EXPECT_EQ(*rows.Format(2, 1), f);
  ASSERT_NE(rows.Format(1, 0), nullptr);
  EXPECT_TRUE(rows.Format(1, 0)->bold);
  EXPECT_EQ(rows.Format(0, 0), nullptr);
  EXPECT_EQ(rows.Format(0, 1), nullptr);
}

TEST(GridRows, AFormatBackToTheDefaultsIsNotKept) {
  GridRows rows(1, 2);
  GridCellFormat f;
  f.back = 0x800000;
  f.pictureAlignment = 7;
  rows.SetFormat(0, 1, f);
  ASSERT_NE(rows.Format(0, 1), nullptr);
  EXPECT_EQ(*rows.Format(0, 1), f);
  EXPECT_EQ(rows.Format(0, 0), nullptr);
  f.back = 0;
  rows.SetFormat(0, 1, f);
  EXPECT_EQ(rows.Format(0, 1)->pictureAlignment, 7);
  f.pictureAlignment = platform::kGridDefaultPictureAlignment;
  rows.SetFormat(0, 1, f);
  EXPECT_EQ(rows.Format(0, 1), nullptr);
  rows.SetFormat(0, 0, GridCellFormat{});
  EXPECT_EQ(rows.Format(0, 0), nullptr);
}

// Every way a cell stops holding a picture tells its number free once no cell holds it, and a
// free number is the next one handed out.
TEST(GridRows, APictureIsReleasedWhenTheLastCellHoldingItLetsGo) {
  GridRows rows(6, 3);
  std::vector<GridPictureId> released;
  rows.OnPictureReleased([&](GridPictureId id) { released.push_back(id); });
  const GridPictureId shared = rows.NewPicture();
  rows.SetFormat(0, 0, WithPicture(shared));
  rows.SetFormat(1, 0, WithPicture(shared));
  GridCellFormat bold = WithPicture(shared);
  bold.bold = true;
  rows.SetFormat(1, 0, bold);  // the same picture under a new format is still held
  rows.RemoveRow(0);
  EXPECT_TRUE(released.empty()) << "row 1 still holds it";
  rows.SetFormat(0, 0, Bold());
  EXPECT_EQ(released, (std::vector<GridPictureId>{shared}));
  EXPECT_EQ(rows.NewPicture(), shared) << "a released number is handed out again";

  struct Case {
    const char* how;
    void (*letGo)(GridRows&);
  };
  const std::vector<Case> cases = {
      {"a default format", [](GridRows& r) { r.SetFormat(4, 2, GridCellFormat{}); }},
      {"RemoveRow", [](GridRows& r) { r.RemoveRow(4); }},
      {"SetRows", [](GridRows& r) { r.SetRows(2); }},
      {"SetCols", [](GridRows& r) { r.SetCols(2); }},
      {"Clear", [](GridRows& r) { r.Clear(); }},
  };
  for (const Case& k : cases) {
    GridRows grid(6, 3);
    released.clear();
    grid.OnPictureReleased([&](GridPictureId id) { released.push_back(id); });
    const GridPictureId id = grid.NewPicture();
    const GridPictureId other = grid.NewPicture();
    EXPECT_NE(id, other) << k.how;
    grid.SetFormat(4, 2, WithPicture(id));
    grid.SetFormat(0, 0, WithPicture(other));
    k.letGo(grid);
    if (std::string(k.how) == "Clear") {
      std::sort(released.begin(), released.end());
      EXPECT_EQ(released, (std::vector<GridPictureId>{id, other})) << k.how;
    } else {
      EXPECT_EQ(released, (std::vector<GridPictureId>{id})) << k.how;
    }
  }
}
