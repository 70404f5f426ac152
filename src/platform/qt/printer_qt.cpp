#include "platform/qt/printer_qt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "platform/core/errors.h"

namespace platform {
namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

[[noreturn]] void Fail(const QString& description) {
  throw VbError(errPrinterError, description.toStdString());
}

// Fonts of the printer's own face, measured on the device that prints them.
class DeviceMetrics : public TextMetrics {
 public:
  explicit DeviceMetrics(QPaintDevice* device)
      : device_(device), family_(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()) {}

  double Width(const PrinterFont& font, std::string_view text) const override {
    return Metrics(font).horizontalAdvance(ToQString(text));
  }
  double ColumnWidth(const PrinterFont& font) const override { return Metrics(font).averageCharWidth(); }
  double LineHeight(const PrinterFont& font) const override { return Metrics(font).lineSpacing(); }
  double Ascent(const PrinterFont& font) const { return Metrics(font).ascent(); }

  QFont Font(const PrinterFont& font) const {
    QFont f(family_);
    f.setPointSizeF(font.points);
    f.setBold(font.bold);
    return f;
  }

 private:
  const QFontMetricsF& Metrics(const PrinterFont& font) const {
    auto key = std::make_pair(font.points, font.bold);
    auto it = cache_.find(key);
    if (it == cache_.end()) it = cache_.emplace(key, QFontMetricsF(Font(font), device_)).first;
    return it->second;
  }

  QPaintDevice* device_;
  QString family_;
  mutable std::map<std::pair<double, bool>, QFontMetricsF> cache_;
};

// The resolution a named quality stands for; 0 keeps the printer's own.
int ResolutionOf(int quality) {
  switch (quality) {
    case vbPRPQDraft: return 150;
    case vbPRPQLow: return 300;
    case vbPRPQMedium: return 600;
    case vbPRPQHigh:
    case 0: return 0;
    default: return quality;
  }
}

// Room between the columns of a table, in character columns.
constexpr double kTableGapColumns = 2;
// Where even landscape needs it, a line goes down to this face rather than off the page.
constexpr double kLastResortPoints = 1;

struct LineExtent {
  double right = 0;  // where the line's rightmost text ends
  int rows = 1;
};

// Places the items of `line` in `font`, calling put(row, x, text) for every piece of text, rows
// in order. A text holding tabs or line breaks is a table of its own: rows at line breaks,
// cells at tabs, columns from where the text starts, each as wide as its widest cell and the
// gap; a column without any text takes no room.
template <typename Put>
LineExtent PlaceLine(const DocumentLine& line, const PrinterFont& font, const TextMetrics& metrics, Put&& put) {
  const double column = metrics.ColumnWidth(font);
  const double zone = kPrintZoneColumns * column;
  const double gap = kTableGapColumns * column;
  // The next zone strictly after x: an item that ends on a zone's start skips that zone, as
  // a leading "," at the line's start skips the first. The small slack keeps a width that
  // is a zone's multiple but for rounding from counting as short of it.
  auto nextZone = [&](double x) { return zone > 0 ? (std::floor(x / zone + 1e-9) + 1) * zone : x; };

  LineExtent extent;
  int row = 0;
  double x = 0;
  auto place = [&](int at, double left, std::string_view text, double width) {
    if (text.empty()) return;
    put(at, left, text);
    extent.right = std::max(extent.right, left + width);
  };
  struct Cell {
    int row;
    std::size_t column;
    std::string_view text;
    double width;
  };
  std::vector<Cell> cells;
  std::vector<double> widest, left;
  for (const PrintItem& item : line.items) {
    if (item.place == PrintItem::Place::NextZone) x = nextZone(x);
    const std::string_view text = item.text;
    if (text.find_first_of("\t\r\n") == std::string_view::npos) {
      const double width = text.empty() ? 0 : metrics.Width(font, text);
      place(row, x, text, width);
      x += width;
      continue;
    }
    cells.clear();
    widest.clear();
    int r = 0;
    std::size_t c = 0, start = 0;
    auto cell = [&](std::size_t end) {
      const std::string_view t = text.substr(start, end - start);
      const double width = t.empty() ? 0 : metrics.Width(font, t);
      if (widest.size() <= c) widest.resize(c + 1, 0);
      widest[c] = std::max(widest[c], width);
      cells.push_back({r, c, t, width});
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char ch = text[i];
      if (ch != '\t' && ch != '\r' && ch != '\n') continue;
      cell(i);
      if (ch == '\t') {
        ++c;
      } else {
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++r;
        c = 0;
      }
      start = i + 1;
    }
    cell(text.size());
    left.assign(widest.size(), 0);
    double at = x;
    for (std::size_t k = 0; k < widest.size(); ++k) {
      left[k] = at;
      if (widest[k] > 0) at += widest[k] + gap;
    }
    for (const Cell& each : cells) place(row + each.row, left[each.column], each.text, each.width);
    row += cells.back().row;
    x = left[cells.back().column] + cells.back().width;
  }
  extent.rows = row + 1;
  return extent;
}

double Right(const DocumentLine& line, const PrinterFont& font, const TextMetrics& metrics) {
  return PlaceLine(line, font, metrics, [](int, double, std::string_view) {}).right;
}

// The line's own font when the line fits `width`, else the largest face by half points, down
// to `smallest`, in which it does; nothing when none does.
std::optional<PrinterFont> FitFont(const DocumentLine& line, const TextMetrics& metrics, double width,
                                   double smallest) {
  const double full = Right(line, line.font, metrics);
  if (full <= width) return line.font;
  PrinterFont font = line.font;
  auto fits = [&](double points) {
    font.points = points;
    return Right(line, font, metrics) <= width;
  };
  // Text widths scale about as the size does: start from that guess, then step half points.
  const double below = std::ceil(2 * line.font.points) / 2 - 0.5;
  double points = std::min(below, std::floor(2 * line.font.points * width / full) / 2);
  points = std::max(points, smallest);
  if (points > below) return std::nullopt;
  if (fits(points)) {
    while (points + 0.5 <= below && fits(points + 0.5)) points += 0.5;
  } else {
    do {
      points -= 0.5;
      if (points < smallest) return std::nullopt;
    } while (!fits(points));
  }
  font.points = points;
  return font;
}

}  // namespace

LaidOutDocument LayOutDocument(const std::vector<DocumentLine>& lines, const TextMetrics& metrics, const Paper& paper,
                               int orientation) {
  LaidOutDocument document;
  document.orientation = orientation;
  if (lines.empty()) return document;
  auto area = [&] { return document.orientation == vbPRORLandscape ? paper.landscape : paper.portrait; };

  // A line too wide for the page takes a smaller face; only where no face down to the smallest
  // fits does the whole document turn, and there a line may go below it rather than off the page.
  std::vector<PrinterFont> fonts(lines.size());
  auto fitAll = [&](double smallest) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::optional<PrinterFont> font = FitFont(lines[i], metrics, area().width, smallest);
      if (!font) return false;
      fonts[i] = *font;
    }
    return true;
  };
  if (!fitAll(kSmallestFitPoints)) {
    document.orientation = vbPRORLandscape;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      fonts[i] = FitFont(lines[i], metrics, area().width, kLastResortPoints)
                     .value_or(PrinterFont{kLastResortPoints, lines[i].font.bold});
    }
  }

  const double pageHeight = area().height;
  std::vector<LaidOutPage>& pages = document.pages;
  pages.emplace_back();
  double top = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const PrinterFont& font = fonts[i];
    const double height = metrics.LineHeight(font);
    // A row that does not fit under the one before goes to a new page; on an empty page it
    // stays, however tall it is.
    auto nextRow = [&] {
      top += height;
      if (top + height > pageHeight) {
        pages.emplace_back();
        top = 0;
      }
    };
    if (top > 0 && top + height > pageHeight) {
      pages.emplace_back();
      top = 0;
    }
    int row = 0;
    const LineExtent extent = PlaceLine(lines[i], font, metrics, [&](int at, double x, std::string_view text) {
      for (; row < at; ++row) nextRow();
      pages.back().texts.push_back({x, top, font, std::string(text)});
    });
    for (; row + 1 < extent.rows; ++row) nextRow();
    top += height;
  }
  return document;
}

QPrinterInfo SystemPrinter() {
  QPrinterInfo printer = QPrinterInfo::defaultPrinter();
  if (printer.isNull()) {
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    if (!all.isEmpty()) printer = all.front();
  }
  return printer;
}

PrintTarget::PrintTarget(const PrinterLookup& lookup) {
  pdfPath_ = qEnvironmentVariable("TOLVAN_PRINT_TO_PDF");
  if (!pdfPath_.isEmpty()) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    partPath_ = pdfPath_ + QStringLiteral(".part");
    printer_->setOutputFileName(partPath_);
    failure_ = QStringLiteral("The printout could not be written to the file %1.").arg(pdfPath_);
    return;
  }
  const QPrinterInfo info = lookup();
  if (info.isNull()) Fail(ToQString(kNoPrinterInstalled));
  printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer_->isValid()) Fail(QStringLiteral("The printer \"%1\" is not available.").arg(info.printerName()));
  failure_ = QStringLiteral("The printer \"%1\" could not print the document.").arg(info.printerName());
}

PrintTarget::~PrintTarget() {
  if (!partPath_.isEmpty()) QFile::remove(partPath_);  // an unfinished PDF
}

void PrintTarget::Finish(bool drawn) {
  bool ok = drawn && printer_->printerState() != QPrinter::Error;
  if (!partPath_.isEmpty()) {
    ok = ok && QFileInfo(partPath_).size() > 0 &&
         std::rename(QFile::encodeName(partPath_).constData(), QFile::encodeName(pdfPath_).constData()) == 0;
    if (ok) partPath_.clear();
  }
  if (!ok) Fail(failure_);
}

QtPrinter::QtPrinter() : QtPrinter(SystemPrinter) {}
QtPrinter::QtPrinter(PrinterLookup lookup) : lookup_(std::move(lookup)) {}

void QtPrinter::DoEndDoc() {
  // The document and the settings end here whatever becomes of the printout.
  const Settings settings = std::exchange(settings_, Settings{});
  const std::vector<DocumentLine> document = std::exchange(document_, {});
  font_ = PrinterFont{};
  if (document.empty()) return;
  Print(settings, document);
}

void QtPrinter::Print(const Settings& settings, const std::vector<DocumentLine>& document) {
  PrintTarget target(lookup_);
  QPrinter* printer = &target.printer();
  printer->setDocName(QStringLiteral("tolvan"));
  printer->setCopyCount(settings.copies);
  if (const int dpi = ResolutionOf(settings.quality); dpi > 0) printer->setResolution(dpi);
  auto area = [printer](QPageLayout::Orientation orientation) {
    QPageLayout layout = printer->pageLayout();
    layout.setOrientation(orientation);
    const QRect rect = layout.paintRectPixels(printer->resolution());
    return PageArea{static_cast<double>(rect.width()), static_cast<double>(rect.height())};
  };
  DeviceMetrics metrics(printer);
  const LaidOutDocument laidOut = LayOutDocument(
      document, metrics, {area(QPageLayout::Portrait), area(QPageLayout::Landscape)}, settings.orientation);
  const std::vector<LaidOutPage>& pages = laidOut.pages;
  printer->setPageOrientation(laidOut.orientation == vbPRORLandscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);

  QPainter painter;
  if (!painter.begin(printer)) target.Finish(false);
  bool ok = true;
  for (std::size_t p = 0; p < pages.size() && ok; ++p) {
    if (p > 0 && !printer->newPage()) {
      ok = false;
      break;
    }
    for (const PlacedText& text : pages[p].texts) {
      painter.setFont(metrics.Font(text.font));
      painter.drawText(QPointF(text.x, text.top + metrics.Ascent(text.font)), ToQString(text.text));
    }
  }
  if (!ok) printer->abort();
  ok = painter.end() && ok;
  target.Finish(ok);
}

}  // namespace platform
