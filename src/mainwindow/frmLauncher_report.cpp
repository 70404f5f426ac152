// The database report: the view on show, printed on the default printer.
#include <string>
#include <utility>
#include <vector>

#include "inventory/dbviewer.h"
#include "inventory/paneparts.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmLauncher_dbpane.h"
#include "mainwindow/launcher.h"
#include "windows/skin.h"
#include "windows/printout.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/core/printer.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"

using namespace pane;
using platform::PrintItem;

namespace {

std::string Text(const platform::Label* l) { return l->Caption().toStdString(); }

// The File Detail fields in their five groups.
std::vector<std::vector<std::pair<const char*, const platform::Label*>>> FileDetailGroups(const frmLauncher& f) {
  return {
      {{"Caption: ", f.lblDBCaption},
       {"Subject: ", f.lblDBSubject},
       {"Project: ", f.lblDBProject},
       {"Keywords: ", f.lblDBKeywords},
       {"Players: ", f.lblDBPlayers}},
      {{"Rallysets: ", f.lblDBRallysets}},
      {{"Artist: ", f.lblDBArtist}, {"Album: ", f.lblDBAlbum}, {"Year: ", f.lblDBYear}, {"Genre: ", f.lblDBGenre}},
      {{"File Type: ", f.lblDBFileType},
       {"Format: ", f.lblDBFormatVersion},
       {"Name: ", f.lblDBName},
       {"Created: ", f.lblDBCreationDate},
       {"Engineer: ", f.lblDBEngineer},
       {"Copyright: ", f.lblDBCopyright},
       {"Comment: ", f.lblDBComment}},
      {{"Length: ", f.lblDBLength}, {"Channels: ", f.lblDBChannels}, {"Encoding: ", f.lblDBEncoding}},
  };
}

}  // namespace

void frmLauncher_btnPrint_Click() {
  if (App().db.PaneBusy()) return;
  frmLauncher& f = MainWindow();
  skin::Pressed(f.btnPrint);
  f.lblDBStatus1->SetCaption("Printing Systen Inventory report...");
  platform::SetScreenPointer(11);
  platform::DoEvents();

  try {
    platform::Printer& printer = platform::Printers();
    PrintPrintoutHead(printer, platform::vbPRORPortrait, "Audio Database Report - Tolvan Audio Manager",
                      platform::ShortDate(platform::CurrentClock().Now()), false);
    printer.SetFontSize(14);
    printer.SetFontBold(true);
    printer.PrintLine({PrintItem::Direct(Text(f.lblDBViewTitle))});
    printer.SetFontSize(10);
    printer.PrintLine({PrintItem::Direct(f.txtDBDescription->text().toStdString())});
    printer.PrintLine({});
    if (f.lblDBViewTitle->Caption() == "File Detail") {
      bool first = true;
      for (const auto& group : FileDetailGroups(f)) {
        if (!first) printer.PrintLine({});
        first = false;
        for (const auto& [literal, label] : group) printer.PrintLine({PrintItem::Direct(literal + Text(label))});
      }
    } else {
      platform::FlexGrid& g = *f.grdTotals;
      if (g.Rows() > 0 && g.Cols() > 0) {
        g.SetRow(0);
        g.SetCol(0);
        g.SetRowSel(g.Rows() - 1);
        g.SetColSel(g.Cols() - 1);
        printer.PrintLine({PrintItem::Direct(g.Clip())});
      }
    }
    printer.EndDoc();
  } catch (const platform::VbError& failure) {
    platform::SetScreenPointer(0);
    skin::AtRest(f.btnPrint);
    f.lblDBStatus1->SetCaption("Print request failed");
    platform::MsgBox(failure.what(), platform::vbExclamation, "Database Report Not Printed");
    return;
  }
  platform::SetScreenPointer(0);
  skin::AtRest(f.btnPrint);
  f.lblDBStatus1->SetCaption("Print request completed");
}
