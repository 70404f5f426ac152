#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPrinter>
#include <QPrinterInfo>

#include "platform/core/printer.h"

namespace platform {

struct PrinterFont {
  double points = 10;
  bool bold = false;
  bool operator==(const PrinterFont&) const = default;
};

// A printed line as the document keeps it until EndDoc: the font it was printed in and its items.
struct DocumentLine {
  PrinterFont font;
  std::vector<PrintItem> items;
};

// A piece of text at its place on a page; x and top in the page's units from the printable
// area's top-left corner. Tabs and line breaks are already laid out: the text holds neither.
struct PlacedText {
  double x = 0;
  double top = 0;
  PrinterFont font;
  std::string text;
  bool operator==(const PlacedText&) const = default;
};

struct LaidOutPage {
  std::vector<PlacedText> texts;
};

// Measures text for the layout, in the units of the page.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual double Width(const PrinterFont& font, std::string_view text) const = 0;
  // One character column: the average character width of the font.
  virtual double ColumnWidth(const PrinterFont& font) const = 0;
  virtual double LineHeight(const PrinterFont& font) const = 0;
};

// The printable area of a page, in the units of the page.
struct PageArea {
  double width = 0;
  double height = 0;
};

// The printable areas of the paper in its two orientations.
struct Paper {
  PageArea portrait;
  PageArea landscape;
};

struct LaidOutDocument {
  int orientation = vbPRORPortrait;  // the one the pages are printed in
  std::vector<LaidOutPage> pages;
};

// A line too wide for its page is set in a smaller face, but not below this one while the
// page can still turn.
inline constexpr double kSmallestFitPoints = 6;

// Places the document's lines on pages of `paper` in `orientation`; a document with lines has
// at least one page. The items of a line follow each other or stand in print zones, 14
// columns of the line's font. A text holding tabs or line breaks is a table: line breaks (CR,
// LF, CR LF) end its rows and tabs its cells, and its columns start where the text starts,
// each as wide as its widest cell and a gap of two columns (a column no cell of which holds
// text takes no room), so that every cell stands under its column's header; items after it
// continue its last row.
// A line that fits the page keeps its font. A line wider than the page is set in the largest
// face, by half points, that fits; when no face down to kSmallestFitPoints fits a portrait
// page, the whole document turns to landscape, where each line again keeps its font if it
// fits, else takes the largest face that fits, below kSmallestFitPoints too. A row that does not
// fit under the last one starts a new page.
LaidOutDocument LayOutDocument(const std::vector<DocumentLine>& lines, const TextMetrics& metrics, const Paper& paper,
                               int orientation);

// Finds the printer to print on; a null QPrinterInfo means none is installed.
using PrinterLookup = std::function<QPrinterInfo()>;

// The system's default printer, or its first printer when none is marked default.
QPrinterInfo SystemPrinter();

// Where one printout goes: the PDF file that TOLVAN_PRINT_TO_PDF names (written beside it and
// renamed over it only when whole), else the printer `lookup` finds. Every failure throws
// VbError(errPrinterError) with a description for the user.
class PrintTarget {
 public:
  explicit PrintTarget(const PrinterLookup& lookup);
  ~PrintTarget();
  PrintTarget(const PrintTarget&) = delete;
  PrintTarget& operator=(const PrintTarget&) = delete;

  QPrinter& printer() { return *printer_; }
  // Ends the printout; `drawn` tells whether everything reached the printer.
  void Finish(bool drawn);

 private:
  std::unique_ptr<QPrinter> printer_;
  QString pdfPath_, partPath_;
  QString failure_;
};

// The printer of the system over Qt PrintSupport, without a dialog. The environment variable
// TOLVAN_PRINT_TO_PDF=/host/path/file.pdf sends every document to that PDF file instead
// (each document replaces the file).
class QtPrinter : public Printer {
 public:
  using PrinterLookup = platform::PrinterLookup;

  // The system's default printer, or its first printer when none is marked default.
  QtPrinter();
  explicit QtPrinter(PrinterLookup lookup);

 protected:
  void DoSetCopies(int copies) override { settings_.copies = copies; }
  void DoSetPrintQuality(int quality) override { settings_.quality = quality; }
  void DoSetOrientation(int orientation) override { settings_.orientation = orientation; }
  void DoSetFontSize(double points) override { font_.points = points; }
  void DoSetFontBold(bool bold) override { font_.bold = bold; }
  void DoPrintLine(const std::vector<PrintItem>& items) override { document_.push_back({font_, items}); }
  void DoEndDoc() override;

 private:
  struct Settings {
    int copies = 1;
    int quality = 0;  // 0: the printer's own
    int orientation = vbPRORPortrait;
  };

  void Print(const Settings& settings, const std::vector<DocumentLine>& document);

  PrinterLookup lookup_;
  Settings settings_;
  PrinterFont font_;
  std::vector<DocumentLine> document_;
};

}  // namespace platform
