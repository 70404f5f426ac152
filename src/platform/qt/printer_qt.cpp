#include "platform/qt/printer_qt.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
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

}  // namespace

std::vector<LaidOutPage> LayOutDocument(const std::vector<DocumentLine>& lines, const TextMetrics& metrics,
                                        double pageHeight) {
  std::vector<LaidOutPage> pages;
  if (lines.empty()) return pages;
  pages.emplace_back();
  double top = 0;
  for (const DocumentLine& line : lines) {
    const double height = metrics.LineHeight(line.font);
    const double zone = kPrintZoneColumns * metrics.ColumnWidth(line.font);
    // A line that does not fit under the one before goes to a new page; on an empty page it
    // stays, however tall it is.
    auto beginLine = [&] {
      if (top > 0 && top + height > pageHeight) {
        pages.emplace_back();
        top = 0;
      }
    };
    // The next zone strictly after x: an item that ends on a zone's start skips that zone, as
    // a leading "," at the line's start skips the first. The small slack keeps a width that
    // is a zone's multiple but for rounding from counting as short of it.
    auto nextZone = [&](double x) { return zone > 0 ? (std::floor(x / zone + 1e-9) + 1) * zone : x; };

    beginLine();
    double x = 0;
    for (const PrintItem& item : line.items) {
      if (item.place == PrintItem::Place::NextZone) x = nextZone(x);
      const std::string& text = item.text;
      std::size_t start = 0;
      auto place = [&](std::size_t end) {
        if (end > start) {
          std::string piece = text.substr(start, end - start);
          const double width = metrics.Width(line.font, piece);
          pages.back().texts.push_back({x, top, line.font, std::move(piece)});
          x += width;
        }
      };
      for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\t' && c != '\r' && c != '\n') continue;
        place(i);
        if (c == '\t') {
          x = nextZone(x);
        } else {
          if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
          top += height;
          beginLine();
          x = 0;
        }
        start = i + 1;
      }
      place(text.size());
    }
    top += height;
  }
  return pages;
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
  printer->setPageOrientation(settings.orientation == vbPRORLandscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);

  DeviceMetrics metrics(printer);
  const std::vector<LaidOutPage> pages =
      LayOutDocument(document, metrics, printer->pageRect(QPrinter::DevicePixel).height());

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
