// The printed sheet of the preset keys: F1-F10 over the captions of presets 1-10, and under
// them, behind SHIFT, those of 11-20.
#include <array>
#include <string>
#include <vector>

#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/printout.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/core/printer.h"
#include "platform/qt/eventpump.h"

using platform::PrintItem;

void frmLauncher::PrintPresetKeyAssignments() {
  const frmLauncher* window = this;
  // The whole sheet is made before the printer is touched: what reaches it is only settings
  // and lines, and only EndDoc can fail, which drops the document whole.
  std::vector<PrintItem> keys, plain, shifted{PrintItem::Direct("       SHIFT")};
  for (int k = 1; k <= 10; ++k) {
    const std::string name = "F" + std::to_string(k);
    keys.push_back(PrintItem::Zone(std::string(9 - name.size(), ' ') + name));
    plain.push_back(PrintItem::Zone(window->Bank().PresetButtonCaption(k)));
    shifted.push_back(PrintItem::Zone(window->Bank().PresetButtonCaption(k + 10)));
  }
  const std::string date = platform::ShortDate(platform::CurrentClock().Now());

  const int pointer = platform::ScreenPointer();
  platform::SetScreenPointer(11);
  try {
    platform::Printer& printer = platform::Printers();
    PrintPrintoutHead(printer, platform::vbPRORLandscape, "Tapdeck Function Key Assignements - Tolvan Audio Manager",
                      date, true);
    printer.SetFontSize(8);
    printer.PrintLine(keys);
    printer.PrintLine(plain);
    printer.PrintLine(shifted);
    printer.EndDoc();
  } catch (const platform::VbError& failure) {
    platform::SetScreenPointer(pointer);
    platform::MsgBox(failure.what(), platform::vbExclamation, "");
    return;
  }
  platform::SetScreenPointer(pointer);
}
