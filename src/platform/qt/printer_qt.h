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

// Places the document's lines in print zones and on pages of the given printable height.
// A document with lines has at least one page.
std::vector<LaidOutPage> LayOutDocument(const std::vector<DocumentLine>& lines, const TextMetrics& metrics,
                                        double pageHeight);

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
