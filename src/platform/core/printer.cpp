#include "platform/core/printer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/core/errors.h"

namespace platform {
namespace {

// The platform's largest font size.
constexpr double kMaxFontPoints = 2160;

Printer* gPrinter = nullptr;

[[noreturn]] void InvalidValue() { throw VbError(errInvalidPropertyValue, "Invalid property value"); }

}  // namespace

void Printer::SetCopies(int copies) {
  if (copies < 1) InvalidValue();
  DoSetCopies(copies);
}

void Printer::SetPrintQuality(int quality) {
  if (quality == 0 || quality < vbPRPQHigh) InvalidValue();
  DoSetPrintQuality(quality);
}

void Printer::SetOrientation(int orientation) {
  if (orientation != vbPRORPortrait && orientation != vbPRORLandscape) InvalidValue();
  DoSetOrientation(orientation);
}

void Printer::SetFontSize(double points) {
  if (!std::isfinite(points) || points <= 0 || points > kMaxFontPoints) InvalidValue();
  DoSetFontSize(points);
}

void Printer::SetFontBold(bool bold) { DoSetFontBold(bold); }

Printer& Printers() {
  if (!gPrinter) {
    // Until the program or a test installs a printer, printing is a programming error.
    std::fprintf(stderr, "tolvan: no printer service installed\n");
    std::abort();
  }
  return *gPrinter;
}

void SetPrinter(Printer* printer) { gPrinter = printer; }

}  // namespace platform
