#include "platform/qt/printer_qt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>

#include "platform/core/errors.h"
#include "support/recording_printer.h"

namespace {

using platform::DocumentLine;
using platform::PrinterFont;
using platform::PrintItem;

PrintItem D(std::string text) { return PrintItem::Direct(std::move(text)); }
PrintItem Z(std::string text) { return PrintItem::Zone(std::move(text)); }

// Every character 10 units wide at 10 points, lines 20 high; both scale with the size.
class FixedMetrics : public platform::TextMetrics {
 public:
  double Width(const PrinterFont& font, std::string_view text) const override {
    return ColumnWidth(font) * static_cast<double>(text.size());
  }
  double ColumnWidth(const PrinterFont& font) const override { return font.points; }
  double LineHeight(const PrinterFont& font) const override { return 2 * font.points; }
};

// Where a piece of text landed: page, top, x.
struct Spot {
  int page;
  double top;
  double x;
  std::string text;
  bool operator==(const Spot&) const = default;
};

void PrintTo(const Spot& s, std::ostream* os) {
  *os << "{page " << s.page << ", top " << s.top << ", x " << s.x << ", \"" << s.text << "\"}";
}

// Paper of the given height and wider than any line, in both orientations.
platform::Paper Tall(double pageHeight) { return {{1e9, pageHeight}, {1e9, pageHeight}}; }

std::vector<Spot> Spots(const std::vector<DocumentLine>& lines, double pageHeight) {
  std::vector<Spot> spots;
  const auto pages =
      platform::LayOutDocument(lines, FixedMetrics{}, Tall(pageHeight), platform::vbPRORPortrait).pages;
  for (std::size_t p = 0; p < pages.size(); ++p)
    for (const auto& t : pages[p].texts) spots.push_back({static_cast<int>(p) + 1, t.top, t.x, t.text});
  return spots;
}

// --- print zones -------------------------------------------------------------------------

struct ZoneCase {
  const char* name;
  std::vector<PrintItem> items;
  std::vector<Spot> expected;  // on page 1; top 0 is the first line, 20 the second ...
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.name; }

class PrintZones : public testing::TestWithParam<ZoneCase> {};

TEST_P(PrintZones, PlacesItemsOfALine) {
  const ZoneCase& c = GetParam();
  EXPECT_EQ(Spots({{PrinterFont{}, c.items}}, 1e9), c.expected);
}

const std::string k14(14, 'x');
const std::string k20(20, 'x');

INSTANTIATE_TEST_SUITE_P(
    Layout, PrintZones,
    testing::Values(
        ZoneCase{"DirectItemsFollowEachOther", {D("ab"), D("cd")}, {{1, 0, 0, "ab"}, {1, 0, 20, "cd"}}},
        ZoneCase{"ShortItemsStartAtEveryFourteenthColumn",
                 {D("ab"), Z("c"), Z("d")},
                 {{1, 0, 0, "ab"}, {1, 0, 140, "c"}, {1, 0, 280, "d"}}},
        ZoneCase{"ZoneAtLineStartSkipsTheFirstZone", {Z("F1"), Z("F2")}, {{1, 0, 140, "F1"}, {1, 0, 280, "F2"}}},
        ZoneCase{"EmptyFirstItemLeavesTheFirstZoneEmpty", {D(""), Z("F1")}, {{1, 0, 140, "F1"}}},
        ZoneCase{"LongItemPushesTheNextToTheZoneAfterItsEnd",
                 {D(k20), Z("y"), Z("z")},
                 {{1, 0, 0, k20}, {1, 0, 280, "y"}, {1, 0, 420, "z"}}},
        ZoneCase{"ItemFillingAZoneExactlyPushesTheNextOn", {D(k14), Z("y")}, {{1, 0, 0, k14}, {1, 0, 280, "y"}}},
        ZoneCase{"DirectItemFollowsAZonedOne", {Z("a"), D("b")}, {{1, 0, 140, "a"}, {1, 0, 150, "b"}}},
        ZoneCase{"CrLfIsOneBreakLfAlone", {D("a\r\nb\nc")}, {{1, 0, 0, "a"}, {1, 20, 0, "b"}, {1, 40, 0, "c"}}},
        ZoneCase{"ItemsAfterAMultiLineItemContinueItsLastLine",
                 {D("a\rbc"), Z("z"), D("q")},
                 {{1, 0, 0, "a"}, {1, 20, 0, "bc"}, {1, 20, 140, "z"}, {1, 20, 150, "q"}}},
        ZoneCase{"UnicodeTextIsKeptWhole", {D("Grüße"), Z("»")}, {{1, 0, 0, "Grüße"}, {1, 0, 140, "»"}}}),
    [](const testing::TestParamInfo<ZoneCase>& info) { return std::string(info.param.name); });

TEST(PrintZones, ZoneWidthFollowsTheFontOfTheLine) {
  // At 8 points a column is 8 units; at 14 points 14.
  EXPECT_EQ(Spots({{PrinterFont{8, true}, {Z("a")}}, {PrinterFont{14, false}, {D(""), Z("b")}}}, 1e9),
            (std::vector<Spot>{{1, 0, 8 * 14, "a"}, {1, 16, 14 * 14, "b"}}));
}

// --- text in columns ---------------------------------------------------------------------

// A grid's clip text: its columns as wide as their widest cells and two columns of gap (20).
class TableColumns : public testing::TestWithParam<ZoneCase> {};

TEST_P(TableColumns, StandEveryCellUnderItsHeader) {
  const ZoneCase& c = GetParam();
  EXPECT_EQ(Spots({{PrinterFont{}, c.items}}, 1e9), c.expected);
}

const std::string kPath = "\\Music\\Live\\a.wav";  // 17 characters

INSTANTIATE_TEST_SUITE_P(
    Layout, TableColumns,
    testing::Values(
        // The hidden path column is printed too; the hit count stays under "Hits".
        ZoneCase{"SearchResult",
                 {D("DB\tDrv\tFile\t\tHits\r*\tC:\t" + kPath + "\t" + kPath + "\t12")},
                 {{1, 0, 0, "DB"}, {1, 0, 40, "Drv"}, {1, 0, 90, "File"}, {1, 0, 470, "Hits"},
                  {1, 20, 0, "*"}, {1, 20, 40, "C:"}, {1, 20, 90, kPath}, {1, 20, 280, kPath}, {1, 20, 470, "12"}}},
        // A caption as wide as a zone ("Serial Number:") does not push its value on.
        ZoneCase{"DriveDetailValuesStandInOneColumn",
                 {D(" \t\t \rDrive:\t\tC:\rVolume Name:\t\tMUSIC\rSerial Number:\t\t-12345\rFile System:\t\text4")},
                 {{1, 0, 0, " "}, {1, 0, 160, " "}, {1, 20, 0, "Drive:"}, {1, 20, 160, "C:"},
                  {1, 40, 0, "Volume Name:"}, {1, 40, 160, "MUSIC"}, {1, 60, 0, "Serial Number:"},
                  {1, 60, 160, "-12345"}, {1, 80, 0, "File System:"}, {1, 80, 160, "ext4"}}},
        ZoneCase{"AColumnWithoutTextTakesNoRoom",
                 {D("\t\tTotal\tWav\rC:\t\t12\t3")},
                 {{1, 0, 40, "Total"}, {1, 0, 110, "Wav"}, {1, 20, 0, "C:"}, {1, 20, 40, "12"}, {1, 20, 110, "3"}}},
        ZoneCase{"ItemsAfterATableContinueItsLastRow",
                 {D("a\tbb\rccc\td"), Z("z"), D("q")},
                 {{1, 0, 0, "a"}, {1, 0, 50, "bb"}, {1, 20, 0, "ccc"}, {1, 20, 50, "d"}, {1, 20, 140, "z"},
                  {1, 20, 150, "q"}}},
        ZoneCase{"ATableStartsWhereItsItemStarts",
                 {D("ab"), D("x\ty\rz")},
                 {{1, 0, 0, "ab"}, {1, 0, 20, "x"}, {1, 0, 50, "y"}, {1, 20, 20, "z"}}}),
    [](const testing::TestParamInfo<ZoneCase>& info) { return std::string(info.param.name); });

// --- fitting the page --------------------------------------------------------------------

// Portrait paper 600 wide and 1000 high, landscape the other way round.
const platform::Paper kPaper{{600, 1000}, {1000, 600}};

DocumentLine Chars(std::size_t count, double points) { return {PrinterFont{points, true}, {D(std::string(count, 'x'))}}; }

struct FitCase {
  const char* name;
  int orientation;  // as the document sets it
  std::vector<DocumentLine> lines;
  int expectedOrientation;
  std::vector<double> expectedPoints;  // of each piece of text, in order
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitThePage : public testing::TestWithParam<FitCase> {};

TEST_P(FitThePage, WithTheLargestFaceThatFitsAndLandscapeOnlyWhenNeeded) {
  const FitCase& c = GetParam();
  const FixedMetrics metrics;
  const auto document = platform::LayOutDocument(c.lines, metrics, kPaper, c.orientation);
  EXPECT_EQ(document.orientation, c.expectedOrientation);
  const double width = (document.orientation == platform::vbPRORLandscape ? kPaper.landscape : kPaper.portrait).width;
  std::vector<double> points;
  for (const auto& page : document.pages)
    for (const auto& t : page.texts) {
      points.push_back(t.font.points);
      EXPECT_TRUE(t.font.bold) << t.text;
      EXPECT_LE(t.x + metrics.Width(t.font, t.text), width) << t.text;
    }
  EXPECT_EQ(points, c.expectedPoints);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, FitThePage,
    testing::Values(
        FitCase{"ALineAsWideAsThePageKeepsItsFace",
                platform::vbPRORPortrait,
                {Chars(60, 10)},
                platform::vbPRORPortrait,
                {10}},
        FitCase{"ATooWideLineTakesTheLargestHalfPointFaceThatFits",
                platform::vbPRORPortrait,
                {Chars(5, 14), Chars(70, 10), Chars(5, 10)},
                platform::vbPRORPortrait,
                {14, 8.5, 10}},
        FitCase{"ZonesShrinkWithTheFace",
                platform::vbPRORPortrait,
                {{PrinterFont{10, true}, {Z("a"), Z("b"), Z("c"), Z("d"), Z("e")}}},
                platform::vbPRORPortrait,
                {8, 8, 8, 8, 8}},
        FitCase{"WhereNoFaceDownToSixPointsFitsThePageTurns",
                platform::vbPRORPortrait,
                {Chars(5, 14), Chars(120, 10)},
                platform::vbPRORLandscape,
                {14, 8}},
        FitCase{"InLandscapeALineKeepsItsFaceWhereItFits",
                platform::vbPRORPortrait,
                {Chars(5, 10), Chars(101, 10), Chars(110, 6)},
                platform::vbPRORLandscape,
                {10, 9.5, 6}},
        FitCase{"ALandscapeDocumentShrinksOnlyItsTooWideLinesEvenBelowSixPoints",
                platform::vbPRORLandscape,
                {Chars(90, 10), Chars(120, 10), Chars(250, 10)},
                platform::vbPRORLandscape,
                {10, 8, 4}},
        FitCase{"BelowSixPointsOnlyOnceTheDocumentIsLandscape",
                platform::vbPRORPortrait,
                {Chars(250, 10)},
                platform::vbPRORLandscape,
                {4}}),
    [](const testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

TEST(FitThePage, ASmallerFaceTakesTheHeightOfItsOwnLines) {
  const auto document = platform::LayOutDocument({Chars(1, 10), Chars(70, 10), Chars(1, 10)}, FixedMetrics{},
                                                 kPaper, platform::vbPRORPortrait);
  ASSERT_EQ(document.pages.size(), 1u);
  std::vector<double> tops;
  for (const auto& t : document.pages[0].texts) tops.push_back(t.top);
  EXPECT_EQ(tops, (std::vector<double>{0, 20, 37}));
}

// The System Inventory grid: the drive letters, the empty icon column and eight counts.
const std::string kSystemInventory =
    "\t\tTotal\tWav\tMP3\tMIDI\tAu\tAiff\tSnd\tLists\r"
    "C:\t\t12345\t10000\t2000\t300\t40\t5\t0\t12\r"
    "D:\t\t812\t800\t12\t0\t0\t0\t0\t0\r"
    "\t\t\t\t\t\t\t\t\t\r"
    "\t\t13157\t10800\t2012\t300\t40\t5\t0\t12";

// Every text of `document` by its top, and each row's pieces by x.
std::map<double, std::vector<std::pair<double, std::string>>> Rows(const platform::LaidOutDocument& document) {
  std::map<double, std::vector<std::pair<double, std::string>>> rows;
  for (const auto& t : document.pages.at(0).texts) rows[t.top].emplace_back(t.x, t.text);
  return rows;
}

TEST(FitThePage, TheSystemInventoryFitsAPortraitPageInItsOwnFace) {
  // 98 columns of the 10-point face, as a portrait page has: 7 zones, but 10 columns of text.
  const platform::Paper paper{{980, 1400}, {1400, 980}};
  const FixedMetrics metrics;
  const auto document = platform::LayOutDocument({{PrinterFont{10, true}, {D(kSystemInventory)}}}, metrics, paper,
                                                 platform::vbPRORPortrait);
  EXPECT_EQ(document.orientation, platform::vbPRORPortrait);
  for (const auto& t : document.pages.at(0).texts) {
    EXPECT_EQ(t.font, (PrinterFont{10, true})) << t.text;
    EXPECT_LE(t.x + metrics.Width(t.font, t.text), 980) << t.text;
  }
  const auto rows = Rows(document);
  ASSERT_EQ(rows.size(), 4u) << "the row of empty cells prints nothing";
  const auto& header = rows.at(0);
  ASSERT_EQ(header.size(), 8u);
  EXPECT_EQ(header.back().second, "Lists");
  for (double top : {20.0, 40.0, 80.0}) {
    const auto& row = rows.at(top);
    const auto& counts = top == 80 ? row : std::vector(row.begin() + 1, row.end());
    ASSERT_EQ(counts.size(), 8u) << top;
    for (std::size_t c = 0; c < 8; ++c) EXPECT_EQ(counts[c].first, header[c].first) << header[c].second << top;
  }
}

TEST(FitThePage, AGridTooWideForThePageShrinksWholeWithItsHeaderOverItsColumns) {
  // Its widest row, the header, 4 + 5 + 75 + 62 + 4 = 150 columns, fits landscape at 6.5 points only.
  const std::string shown(73, 's'), path(60, 'p');
  const std::string clip = "DB\tDrv\tFile\t\tHits\r\tC:\t" + shown + "\t" + path + "\t12\r*\tD:\tshort\tshort\t3";
  const FixedMetrics metrics;
  const auto document = platform::LayOutDocument(
      {{PrinterFont{10, true}, {D("Inventory Detail")}}, {PrinterFont{10, true}, {D(clip)}}}, metrics, kPaper,
      platform::vbPRORPortrait);
  EXPECT_EQ(document.orientation, platform::vbPRORLandscape);
  const auto& texts = document.pages.at(0).texts;
  ASSERT_EQ(texts.size(), 14u);
  EXPECT_EQ(texts[0].font.points, 10) << "the title keeps its face";
  for (std::size_t i = 1; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].font.points, 6.5) << texts[i].text;
    EXPECT_LE(texts[i].x + metrics.Width(texts[i].font, texts[i].text), 1000) << texts[i].text;
  }
  const auto rows = Rows(document);
  ASSERT_EQ(rows.size(), 4u);
  const auto& header = rows.at(20);
  ASSERT_EQ(header.back().second, "Hits");
  EXPECT_EQ(rows.at(33).back(), std::make_pair(header.back().first, std::string("12")));
  EXPECT_EQ(rows.at(46).back(), std::make_pair(header.back().first, std::string("3")));
}

// --- pages -------------------------------------------------------------------------------

struct PageCase {
  const char* name;
  std::vector<DocumentLine> lines;
  double pageHeight;
  std::vector<Spot> expected;
};

class PageBreaks : public testing::TestWithParam<PageCase> {};

TEST_P(PageBreaks, StartANewPageWhenALineDoesNotFit) {
  const PageCase& c = GetParam();
  EXPECT_EQ(Spots(c.lines, c.pageHeight), c.expected);
}

DocumentLine L(std::string text, double points = 10) { return {PrinterFont{points, false}, {D(std::move(text))}}; }
DocumentLine Empty() { return {PrinterFont{}, {}}; }

INSTANTIATE_TEST_SUITE_P(
    Layout, PageBreaks,
    testing::Values(
        PageCase{"FiveLinesFillAPageTheSixthBreaks",
                 {L("1"), L("2"), L("3"), L("4"), L("5"), L("6"), L("7")},
                 100,
                 {{1, 0, 0, "1"}, {1, 20, 0, "2"}, {1, 40, 0, "3"}, {1, 60, 0, "4"}, {1, 80, 0, "5"},
                  {2, 0, 0, "6"}, {2, 20, 0, "7"}}},
        PageCase{"EmptyLinesTakeTheirHeight",
                 {Empty(), Empty(), Empty(), Empty(), Empty(), L("x")},
                 100,
                 {{2, 0, 0, "x"}}},
        PageCase{"RowsOfAMultiLineItemBreakOneByOne",
                 {L("1"), L("2"), L("3"), L("4"), L("a\rb\rc")},
                 100,
                 {{1, 0, 0, "1"}, {1, 20, 0, "2"}, {1, 40, 0, "3"}, {1, 60, 0, "4"}, {1, 80, 0, "a"},
                  {2, 0, 0, "b"}, {2, 20, 0, "c"}}},
        PageCase{"ATallerFontBreaksEarlier",
                 {L("1"), L("2"), L("3"), L("4"), L("big", 14)},
                 100,
                 {{1, 0, 0, "1"}, {1, 20, 0, "2"}, {1, 40, 0, "3"}, {1, 60, 0, "4"}, {2, 0, 0, "big"}}},
        PageCase{"ALineTallerThanThePageGetsAPageOfItsOwn",
                 {L("a"), L("b")},
                 10,
                 {{1, 0, 0, "a"}, {2, 0, 0, "b"}}}),
    [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST(PageBreaks, EmptyDocumentHasNoPagesEmptyLinesOne) {
  EXPECT_TRUE(platform::LayOutDocument({}, FixedMetrics{}, Tall(100), platform::vbPRORPortrait).pages.empty());
  EXPECT_EQ(platform::LayOutDocument({Empty()}, FixedMetrics{}, Tall(100), platform::vbPRORPortrait).pages.size(), 1u);
}

// --- the recorder ------------------------------------------------------------------------

TEST(RecordingPrinter, RecordsEveryCallInOrderAndInstallsItself) {
  testing_support::RecordingPrinter recorder;
  platform::Printer& printer = platform::Printers();
  EXPECT_EQ(&printer, &recorder);
  printer.SetCopies(1);
  printer.SetPrintQuality(platform::vbPRPQHigh);
  printer.SetOrientation(platform::vbPRORLandscape);
  printer.SetFontSize(10);
  printer.SetFontBold(true);
  printer.PrintLine({D("Title")});
  printer.PrintLine({});
  printer.SetFontSize(8.5);
  printer.PrintLine({Z("       F1"), Z("       F2")});
  printer.PrintLine({D("       SHIFT"), Z("11"), D("!")});
  printer.PrintLine({D("a\tb\rc")});
  printer.SetFontBold(false);
  printer.EndDoc();
  EXPECT_EQ(recorder.calls(), (std::vector<std::string>{
                                  "Copies 1", "PrintQuality -4", "Orientation 2", "FontSize 10", "FontBold true",
                                  "Line |Title|", "Line", "FontSize 8.5", "Line zone|       F1| zone|       F2|",
                                  "Line |       SHIFT| zone|11| |!|", "Line |a\tb\rc|", "FontBold false", "EndDoc"}));
}

TEST(RecordingPrinter, RefusesSettingsOutOfRangeAsThePrinterDoes) {
  testing_support::RecordingPrinter recorder;
  struct Bad {
    const char* what;
    std::function<void(platform::Printer&)> call;
  };
  const Bad bad[] = {
      {"copies 0", [](platform::Printer& p) { p.SetCopies(0); }},
      {"quality 0", [](platform::Printer& p) { p.SetPrintQuality(0); }},
      {"quality -5", [](platform::Printer& p) { p.SetPrintQuality(-5); }},
      {"orientation 3", [](platform::Printer& p) { p.SetOrientation(3); }},
      {"orientation 0", [](platform::Printer& p) { p.SetOrientation(0); }},
      {"font size 0", [](platform::Printer& p) { p.SetFontSize(0); }},
      {"font size NaN", [](platform::Printer& p) { p.SetFontSize(std::nan("")); }},
      {"font size 3000", [](platform::Printer& p) { p.SetFontSize(3000); }},
  };
  for (const Bad& b : bad) {
    try {
      b.call(recorder);
      ADD_FAILURE() << b.what << " was accepted";
    } catch (const platform::VbError& e) {
      EXPECT_EQ(e.number(), platform::errInvalidPropertyValue) << b.what;
    }
  }
  EXPECT_TRUE(recorder.calls().empty());
  recorder.SetPrintQuality(600);  // dots per inch
  EXPECT_EQ(recorder.calls(), std::vector<std::string>{"PrintQuality 600"});
}

TEST(RecordingPrinter, FailsTheNextEndDocOnDemandOnly) {
  testing_support::RecordingPrinter recorder;
  recorder.FailNextEndDoc();
  recorder.PrintLine({D("x")});
  try {
    recorder.EndDoc();
    ADD_FAILURE() << "EndDoc did not fail";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::errPrinterError);
    EXPECT_EQ(std::string(e.what()), platform::kNoPrinterInstalled);
  }
  recorder.FailNextEndDoc(57, "Device I/O error");
  EXPECT_THROW(recorder.EndDoc(), platform::VbError);
  EXPECT_NO_THROW(recorder.EndDoc());
  EXPECT_EQ(recorder.calls(), (std::vector<std::string>{"Line |x|", "EndDoc", "EndDoc", "EndDoc"}));
}

// --- the Qt printer ----------------------------------------------------------------------

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Output of a poppler tool, or nothing when the tool is not installed.
std::optional<std::string> RunTool(const std::string& command) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) return std::nullopt;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
  pclose(pipe);
  return out;
}

// The PDF's pages as counted from its page objects.
int PageObjects(const std::string& pdf) {
  static const std::regex page(R"(/Type\s*/Page[^s])");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

struct Word {
  int page;
  double xMin, yMin, xMax, yMax;
};

// Words of the PDF with their boxes in points, from pdftotext -bbox.
std::multimap<std::string, Word> Words(const std::string& bboxHtml) {
  std::multimap<std::string, Word> words;
  static const std::regex token(
      R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  int page = 0;
  for (auto it = std::sregex_iterator(bboxHtml.begin(), bboxHtml.end(), token); it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    if (!m[1].matched) {
      ++page;
      continue;
    }
    // The face sets "ff", "fi" and "fl" as ligatures; the words are compared as written.
    std::string text = m[5].str();
    for (const auto& [ligature, letters] : {std::pair{"\xEF\xAC\x80", "ff"}, {"\xEF\xAC\x81", "fi"},
                                            {"\xEF\xAC\x82", "fl"}}) {
      for (std::size_t at; (at = text.find(ligature)) != std::string::npos;) text.replace(at, 3, letters);
    }
    words.emplace(text, Word{page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
  }
  return words;
}

std::string Quoted(const QString& path) { return "'" + path.toStdString() + "'"; }

// The font names that pdffonts lists, one a line under its dashed rule.
std::vector<std::string> FontNames(const std::string& pdffonts) {
  std::vector<std::string> names;
  std::istringstream in(pdffonts);
  std::string line;
  bool table = false;
  while (std::getline(in, line)) {
    if (table && !line.empty()) names.push_back(line.substr(0, line.find(' ')));
    if (line.rfind("---", 0) == 0) table = true;
  }
  return names;
}

bool IsBold(const std::string& fontName) { return fontName.find("Bold") != std::string::npos; }

class QtPrinterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    pdf_ = dir_.filePath("out.pdf");
    qputenv("TOLVAN_PRINT_TO_PDF", pdf_.toUtf8());
  }
  void TearDown() override { qunsetenv("TOLVAN_PRINT_TO_PDF"); }

  // One zone in points of the printer's font at `points`, as the PDF route measures it.
  static double ZonePoints(double points, bool bold) {
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSizeF(points);
    font.setBold(bold);
    return platform::kPrintZoneColumns * QFontMetricsF(font, &device).averageCharWidth() * 72.0 / device.resolution();
  }

  QTemporaryDir dir_;
  QString pdf_;
};

TEST_F(QtPrinterTest, PrintsTheWholeDocumentToPdfWithZonesSizesBoldAndPages) {
  platform::QtPrinter printer;
  printer.SetCopies(1);
  printer.SetPrintQuality(platform::vbPRPQHigh);
  printer.SetOrientation(platform::vbPRORPortrait);
  printer.SetFontSize(10);
  printer.PrintLine({D("Audio Database Report")});
  printer.SetFontSize(14);
  printer.SetFontBold(true);
  printer.PrintLine({D("Heading")});
  printer.SetFontSize(8);
  printer.PrintLine({Z("       F1"), Z("       F2"), Z("       F3")});
  printer.PrintLine({D("Alpha"), Z("One"), Z("Two"), Z("Three")});
  printer.SetFontSize(10);
  for (int i = 1; i <= 80; ++i) printer.PrintLine({D("Row" + std::to_string(i))});
  EXPECT_FALSE(QFileInfo::exists(pdf_)) << "nothing reaches the printer before EndDoc";
  printer.EndDoc();

  const std::string pdf = ReadFile(pdf_);
  ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_EQ(PageObjects(pdf), 2);
  EXPECT_FALSE(QFileInfo::exists(pdf_ + ".part"));

  const auto bbox = RunTool("pdftotext -bbox " + Quoted(pdf_) + " -");
  if (!bbox) GTEST_SKIP() << "poppler-utils not installed: text of the PDF not checked";
  const auto words = Words(*bbox);
  auto word = [&](const std::string& w) {
    EXPECT_EQ(words.count(w), 1u) << w;
    auto it = words.find(w);
    return it == words.end() ? Word{} : it->second;
  };
  for (const char* w : {"Audio", "Heading", "F1", "Alpha", "Row1"}) EXPECT_EQ(word(w).page, 1) << w;
  EXPECT_EQ(word("Row80").page, 2);
  // Every row is printed once, in order, across the break.
  int last = 0;
  double lastY = 0;
  for (int i = 1; i <= 80; ++i) {
    const Word w = word("Row" + std::to_string(i));
    EXPECT_TRUE(w.page > last || (w.page == last && w.yMin > lastY)) << "Row" << i;
    last = w.page;
    lastY = w.yMin;
  }

  // Zones: 14 average columns of the 8-point bold font, counted from the line's start.
  const double zone = ZonePoints(8, true);
  const double left = word("Audio").xMin;
  EXPECT_NEAR(word("Alpha").xMin, left, 0.5);
  EXPECT_NEAR(word("One").xMin - left, zone, 0.5);
  EXPECT_NEAR(word("Two").xMin - left, 2 * zone, 0.5);
  EXPECT_NEAR(word("Three").xMin - left, 3 * zone, 0.5);
  EXPECT_NEAR(word("F2").xMin - word("F1").xMin, zone, 0.5);
  EXPECT_NEAR(word("F3").xMin - word("F2").xMin, zone, 0.5);
  EXPECT_GT(word("F1").xMin, word("One").xMin) << "the key names keep their leading blanks";

  // Sizes: the 14-point heading is 1.4 times as tall as the 10-point title.
  const Word title = word("Audio"), heading = word("Heading");
  EXPECT_NEAR((heading.yMax - heading.yMin) / (title.yMax - title.yMin), 1.4, 0.05);

  const auto fonts = RunTool("pdffonts " + Quoted(pdf_));
  ASSERT_TRUE(fonts);
  const auto names = FontNames(*fonts);
  EXPECT_EQ(std::count_if(names.begin(), names.end(), IsBold), 1) << *fonts;
  EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const auto& n) { return !IsBold(n); }), 1) << *fonts;
}

TEST_F(QtPrinterTest, EachDocumentReplacesThePdfAndStartsFromTheDefaults) {
  platform::QtPrinter printer;
  printer.SetFontSize(20);
  printer.SetFontBold(true);
  printer.PrintLine({D("First")});
  printer.EndDoc();
  ASSERT_TRUE(QFileInfo::exists(pdf_));

  printer.SetOrientation(platform::vbPRORLandscape);
  printer.PrintLine({D("Second")});
  printer.SetFontSize(10);
  printer.PrintLine({D("Ten")});
  printer.EndDoc();

  const auto text = RunTool("pdftotext -bbox " + Quoted(pdf_) + " -");
  if (!text) GTEST_SKIP() << "poppler-utils not installed";
  EXPECT_EQ(text->find(">First<"), std::string::npos);
  EXPECT_NE(text->find(">Second<"), std::string::npos);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(*text, m, std::regex(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re")));
  EXPECT_GT(std::stod(m[1]), std::stod(m[2])) << "landscape";
  const auto fonts = RunTool("pdffonts " + Quoted(pdf_));
  ASSERT_TRUE(fonts);
  const auto names = FontNames(*fonts);
  ASSERT_FALSE(names.empty()) << *fonts;
  EXPECT_EQ(std::count_if(names.begin(), names.end(), IsBold), 0) << "bold ended with the first document\n"
                                                                  << *fonts;
  // The size is back to 10 points: as tall as text set to 10 points.
  const auto words = Words(*text);
  ASSERT_EQ(words.count("Second"), 1u);
  ASSERT_EQ(words.count("Ten"), 1u);
  const Word second = words.find("Second")->second, ten = words.find("Ten")->second;
  EXPECT_NEAR(second.yMax - second.yMin, ten.yMax - ten.yMin, 0.01);
}

TEST_F(QtPrinterTest, AFailedPrintoutLeavesNoFileAndIsDropped) {
  const QString unwritable = dir_.filePath("missing/folder/out.pdf");
  qputenv("TOLVAN_PRINT_TO_PDF", unwritable.toUtf8());
  platform::QtPrinter printer;
  printer.PrintLine({D("Lost")});
  try {
    printer.EndDoc();
    ADD_FAILURE() << "EndDoc did not fail";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::errPrinterError);
    EXPECT_NE(std::string(e.what()).find(unwritable.toStdString()), std::string::npos) << e.what();
  }
  EXPECT_FALSE(QFileInfo::exists(unwritable));
  EXPECT_FALSE(QFileInfo::exists(unwritable + ".part"));

  qputenv("TOLVAN_PRINT_TO_PDF", pdf_.toUtf8());
  printer.PrintLine({D("Kept")});
  printer.EndDoc();
  const auto text = RunTool("pdftotext " + Quoted(pdf_) + " -");
  if (!text) GTEST_SKIP() << "poppler-utils not installed";
  EXPECT_EQ(text->find("Lost"), std::string::npos);
  EXPECT_NE(text->find("Kept"), std::string::npos);
}

// The page size of the PDF's first page in points.
std::pair<double, double> PageSize(const std::string& bboxHtml) {
  std::smatch m;
  if (!std::regex_search(bboxHtml, m, std::regex(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re"))) return {0, 0};
  return {std::stod(m[1]), std::stod(m[2])};
}

TEST_F(QtPrinterTest, GridTextThatFitsKeepsItsFaceAndPortraitWithEveryCellUnderItsHeader) {
  platform::QtPrinter printer;
  printer.SetOrientation(platform::vbPRORPortrait);
  printer.SetFontBold(true);
  printer.PrintLine({D("Title")});
  printer.PrintLine({D(kSystemInventory)});
  printer.PrintLine({D(" \t\t \rDrive:\t\tE:\rVolume Name:\t\tMUSIC_DISK\rSerial Number:\t\t1513889543\r"
                       "File System:\t\tEXT4")});
  printer.EndDoc();

  const auto bbox = RunTool("pdftotext -bbox " + Quoted(pdf_) + " -");
  if (!bbox) GTEST_SKIP() << "poppler-utils not installed";
  const auto [width, height] = PageSize(*bbox);
  EXPECT_LT(width, height) << "portrait";
  const auto words = Words(*bbox);
  auto only = [&](const std::string& w) {
    EXPECT_EQ(words.count(w), 1u) << w;
    auto it = words.find(w);
    return it == words.end() ? Word{} : it->second;
  };
  const Word title = only("Title");
  for (const auto& [text, w] : words) {
    EXPECT_LE(w.xMax, width) << text;
    EXPECT_NEAR(w.yMax - w.yMin, title.yMax - title.yMin, 0.01) << text << " keeps the face";
  }
  // Each count of drive C:, the row under the header, under its header.
  const std::vector<std::pair<std::string, std::string>> columns = {
      {"Total", "12345"}, {"Wav", "10000"}, {"MP3", "2000"}, {"MIDI", "300"},
      {"Au", "40"},       {"Aiff", "5"},    {"Snd", "0"},    {"Lists", "12"}};
  const Word drive = words.find("C:")->second;
  for (const auto& [header, count] : columns) {
    const Word h = only(header);
    auto [cell, end] = words.equal_range(count);
    while (cell != end && std::abs(cell->second.yMin - drive.yMin) > 0.5) ++cell;
    ASSERT_TRUE(cell != end) << count << " in the row of C:";
    EXPECT_NEAR(cell->second.xMin, h.xMin, 0.5) << header;
    EXPECT_GT(drive.yMin, h.yMin) << header;
  }
  // The values of Drive Detail stand in one column however wide their captions.
  const double value = only("E:").xMin;
  for (const char* v : {"MUSIC_DISK", "1513889543", "EXT4"}) EXPECT_NEAR(only(v).xMin, value, 0.5) << v;
  EXPECT_GT(value, only("Number:").xMax);
}

TEST_F(QtPrinterTest, GridTextTooWideForAPortraitPageTurnsItAndShrinksOnlyItself) {
  // The search result with a long hidden path: every column on the page, "Hits" over its counts.
  const std::string path = "\\Archive\\Radio_Shows\\1998\\Episode_12_-_Interview_with_the_Composer_about_music_part_two.mp3";
  const std::string shown = "\\Archive\\...\\Episode_12_-_Interview_with_the_Composer_about_music_part_two.mp3";
  platform::QtPrinter printer;
  printer.SetOrientation(platform::vbPRORPortrait);
  printer.SetFontBold(true);
  printer.PrintLine({D("Title")});
  printer.PrintLine({D("DB\tDrv\tFile\t\tHits\r\tD:\t" + shown + "\t" + path + "\t27\r*\tC:\tshort.wav\tshort.wav\t3")});
  printer.EndDoc();

  const auto bbox = RunTool("pdftotext -bbox " + Quoted(pdf_) + " -");
  if (!bbox) GTEST_SKIP() << "poppler-utils not installed";
  const auto [width, height] = PageSize(*bbox);
  EXPECT_GT(width, height) << "landscape";
  const auto words = Words(*bbox);
  auto only = [&](const std::string& w) {
    EXPECT_EQ(words.count(w), 1u) << w;
    auto it = words.find(w);
    return it == words.end() ? Word{} : it->second;
  };
  for (const auto& [text, w] : words) EXPECT_LE(w.xMax, width) << text;
  const Word title = only("Title"), hits = only("Hits");
  EXPECT_NEAR(only("27").xMin, hits.xMin, 0.5);
  EXPECT_NEAR(only("3").xMin, hits.xMin, 0.5);
  EXPECT_GT(hits.xMin, only(path).xMax) << "the hidden path is printed before the hits";
  EXPECT_LT(hits.yMax - hits.yMin, title.yMax - title.yMin) << "a smaller face for the grid";
  EXPECT_GE((hits.yMax - hits.yMin) / (title.yMax - title.yMin), 0.6 - 0.01) << "not below 6 points";
}

TEST(QtPrinterNoPrinter, EndDocSaysNoPrinterIsInstalled) {
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  int lookups = 0;
  platform::QtPrinter printer([&] {
    ++lookups;
    return QPrinterInfo();
  });
  printer.EndDoc();  // nothing printed: nothing to send, no printer needed
  EXPECT_EQ(lookups, 0);
  printer.SetFontBold(true);
  printer.PrintLine({D("x")});
  try {
    printer.EndDoc();
    ADD_FAILURE() << "EndDoc did not fail";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::errPrinterError);
    EXPECT_EQ(std::string(e.what()), platform::kNoPrinterInstalled);
  }
  EXPECT_EQ(lookups, 1);
  printer.EndDoc();  // the failed document is gone
  EXPECT_EQ(lookups, 1);
}

TEST(QtPrinterNoPrinter, SystemWithoutPrintersReportsNone) {
  if (!QPrinterInfo::defaultPrinter().isNull() || !QPrinterInfo::availablePrinters().isEmpty())
    GTEST_SKIP() << "this system has a printer; a test never prints on it";
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  platform::QtPrinter printer;
  printer.PrintLine({D("x")});
  try {
    printer.EndDoc();
    ADD_FAILURE() << "EndDoc did not fail";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(std::string(e.what()), platform::kNoPrinterInstalled);
  }
}

}  // namespace
