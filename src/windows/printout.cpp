#include "windows/printout.h"

#include "platform/core/printer.h"

void PrintPrintoutHead(platform::Printer& printer, int orientation, std::string_view name,
                       const std::string& date, bool boldName) {
  printer.SetCopies(1);
  printer.SetPrintQuality(platform::vbPRPQHigh);
  printer.SetOrientation(orientation);
  printer.SetFontSize(10);
  if (boldName) printer.SetFontBold(true);
  printer.PrintLine({platform::PrintItem::Direct(std::string(name))});
  printer.PrintLine({platform::PrintItem::Direct(date)});
  printer.PrintLine({});
  printer.PrintLine({});
}
