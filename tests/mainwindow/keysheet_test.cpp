#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "platform/core/clock.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/printer_qt.h"
#include "support/app_fixture.h"

using platform::PrintItem;
using testing_support::AppFixture;
using testing_support::RecordingPrinter;

namespace {

class KeySheetTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    window = OpenMainWindow();
  }

  void SetPreset(int n, const std::string& caption) {
    state.io.presets.gPresetCaptions[n - 1] = caption;
    state.io.presets.gPresetPaths[n - 1] = "C:\\Sounds\\" + std::to_string(n) + ".wav";
  }

  std::unique_ptr<frmLauncher> window;
};

std::vector<PrintItem> Zones(const std::vector<std::string>& texts) {
  std::vector<PrintItem> items;
  for (const auto& t : texts) items.push_back(PrintItem::Zone(t));
  return items;
}

// The printer calls of a sheet whose captions are `captions` (1 to 20).
std::vector<std::string> SheetCalls(const std::vector<std::string>& captions) {
  std::vector<std::string> plain(captions.begin(), captions.begin() + 10);
  std::vector<PrintItem> shifted{PrintItem::Direct("       SHIFT")};
  for (int i = 10; i < 20; ++i) shifted.push_back(PrintItem::Zone(captions[i]));
  return {"Copies 1",
          "PrintQuality -4",
          "Orientation 2",
          "FontSize 10",
          "FontBold true",
          "Line |Tapdeck Function Key Assignements - Tolvan Audio Manager|",
          "Line |" + platform::ShortDate({2026, 12, 10, 9, 30, 0}) + "|",
          "Line",
          "Line",
          "FontSize 8",
          RecordingPrinter::LineRecord(Zones({"       F1", "       F2", "       F3", "       F4", "       F5",
                                              "       F6", "       F7", "       F8", "       F9", "      F10"})),
          RecordingPrinter::LineRecord(Zones(plain)),
          RecordingPrinter::LineRecord(shifted),
          "EndDoc"};
}

TEST_F(KeySheetTest, EmptyPresetsPrintTheirNumbersUnderTheKeys) {
  bool handled = false;
  window->Form_KeyDown(123, 0, handled);
  EXPECT_TRUE(handled);
  std::vector<std::string> numbers;
  for (int n = 1; n <= 20; ++n) numbers.push_back(std::to_string(n));
  EXPECT_EQ(printer.calls(), SheetCalls(numbers));
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(platform::ScreenPointer(), 0);
}

TEST_F(KeySheetTest, CaptionsPrintAsTheButtonsShowThem) {
  SetPreset(1, "Intro & Outro");
  SetPreset(12, "");
  SetPreset(20, "A caption far wider than a zone");
  state.io.presets.gPresetCaptions[4] = "not shown";  // no file: the button shows 5
  window->Bank().RefreshPresetButtons();
  window->PrintPresetKeyAssignments();
  std::vector<std::string> captions;
  for (int n = 1; n <= 20; ++n) captions.push_back(std::to_string(n));
  captions[0] = "Intro & Outro";
  captions[11] = "";
  captions[19] = "A caption far wider than a zone";
  EXPECT_EQ(printer.calls(), SheetCalls(captions));
}

TEST_F(KeySheetTest, OnlyF12WithoutModifiersPrints) {
  for (int shift : {1, 2, 4}) {
    bool handled = true;
    window->Form_KeyDown(123, shift, handled);
    EXPECT_FALSE(handled) << shift;
  }
  EXPECT_TRUE(printer.calls().empty());
}

TEST_F(KeySheetTest, APrinterFailureIsShownAndTheNextSheetPrintsWhole) {
  printer.FailNextEndDoc();
  boxes.Answer(platform::vbOK);
  window->PrintPresetKeyAssignments();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::kNoPrinterInstalled);
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].title, "Tolvan Audio Manager");
  EXPECT_EQ(platform::ScreenPointer(), 0) << "the pointer is back";
  printer.clear();
  window->PrintPresetKeyAssignments();
  std::vector<std::string> numbers;
  for (int n = 1; n <= 20; ++n) numbers.push_back(std::to_string(n));
  EXPECT_EQ(printer.calls(), SheetCalls(numbers));
}

// --- where the items land -----------------------------------------------------------------

// Keeps the lines of a document with their fonts, for the layout.
class DocumentPrinter : public platform::Printer {
 public:
  DocumentPrinter() { platform::SetPrinter(this); }
  ~DocumentPrinter() override { platform::SetPrinter(nullptr); }
  std::vector<platform::DocumentLine> lines;

 protected:
  void DoSetCopies(int) override {}
  void DoSetPrintQuality(int) override {}
  void DoSetOrientation(int) override {}
  void DoSetFontSize(double points) override { font_.points = points; }
  void DoSetFontBold(bool bold) override { font_.bold = bold; }
  void DoPrintLine(const std::vector<PrintItem>& items) override { lines.push_back({font_, items}); }
  void DoEndDoc() override {}

 private:
  platform::PrinterFont font_;
};

// Every character one unit wide, whatever the font.
class UnitMetrics : public platform::TextMetrics {
 public:
  double Width(const platform::PrinterFont&, std::string_view text) const override {
    return static_cast<double>(text.size());
  }
  double ColumnWidth(const platform::PrinterFont&) const override { return 1; }
  double LineHeight(const platform::PrinterFont&) const override { return 1; }
};

// The x of each piece of text on the line at `top`.
std::vector<double> Xs(const platform::LaidOutPage& page, double top) {
  std::vector<double> xs;
  for (const auto& t : page.texts)
    if (t.top == top) xs.push_back(t.x);
  return xs;
}

TEST_F(KeySheetTest, KeyNamesStandOverTheirCaptionsUntilOneIsWiderThanAZone) {
  SetPreset(3, "Wider than one zone!");  // 20 characters: the rest of its line moves a zone on
  window->Bank().RefreshPresetButtons();
  DocumentPrinter document;
  window->PrintPresetKeyAssignments();
  ASSERT_EQ(document.lines.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_TRUE(document.lines[i].font.bold) << i;
    EXPECT_EQ(document.lines[i].font.points, i < 4 ? 10 : 8) << i;
  }
  const auto pages =
      platform::LayOutDocument(document.lines, UnitMetrics{}, {{1000, 1000}, {1000, 1000}}, platform::vbPRORLandscape)
          .pages;
  ASSERT_EQ(pages.size(), 1u);
  const std::vector<double> zones{14, 28, 42, 56, 70, 84, 98, 112, 126, 140};
  EXPECT_EQ(Xs(pages[0], 4), zones) << "F1 to F10 in zones 2 to 11";
  EXPECT_EQ(Xs(pages[0], 5), (std::vector<double>{14, 28, 42, 70, 84, 98, 112, 126, 140, 154}));
  std::vector<double> shifted{0};
  shifted.insert(shifted.end(), zones.begin(), zones.end());
  EXPECT_EQ(Xs(pages[0], 6), shifted) << "SHIFT in zone 1, presets 11 to 20 under F1 to F10";
}

// --- a real printout ----------------------------------------------------------------------

std::optional<std::string> PdfText(const QString& pdf) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) return std::nullopt;
  const std::string command = "pdftotext -layout '" + pdf.toStdString() + "' -";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

TEST_F(KeySheetTest, PrintsOneLandscapePageToPdf) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("keys.pdf");
  qputenv("TOLVAN_PRINT_TO_PDF", pdf.toUtf8());
  SetPreset(1, "Intro");
  SetPreset(11, "Finale");
  window->Bank().RefreshPresetButtons();
  {
    platform::QtPrinter real;
    platform::SetPrinter(&real);
    window->PrintPresetKeyAssignments();
    platform::SetPrinter(&printer);
  }
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  EXPECT_TRUE(boxes.shown().empty());
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::string bytes = file.readAll().toStdString();
  ASSERT_EQ(bytes.rfind("%PDF", 0), 0u);
  const std::regex page(R"(/Type\s*/Page[^s])");
  EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 1);
  std::smatch box;
  ASSERT_TRUE(std::regex_search(bytes, box, std::regex(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+))")));
  EXPECT_GT(std::stod(box[1]), std::stod(box[2])) << "landscape";

  const auto text = PdfText(pdf);
  if (!text) GTEST_SKIP() << "pdftotext not installed: the words of the page are not checked";
  EXPECT_NE(text->find("Tapdeck Function Key Assignements - Tolvan Audio Manager"), std::string::npos) << *text;
  EXPECT_TRUE(std::regex_search(*text, std::regex(R"(F1\s+F2\s+F3.*F10)"))) << *text;
  EXPECT_TRUE(std::regex_search(*text, std::regex(R"(Intro\s+2\s+3)"))) << *text;
  EXPECT_TRUE(std::regex_search(*text, std::regex(R"(SHIFT\s+Finale\s+12\s+13)"))) << *text;
}

}  // namespace
