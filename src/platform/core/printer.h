#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Print quality: the platform's named qualities, or a resolution in dots per inch (> 0).
enum PrintQualityValue : int { vbPRPQDraft = -1, vbPRPQLow = -2, vbPRPQMedium = -3, vbPRPQHigh = -4 };
enum OrientationValue : int { vbPRORPortrait = 1, vbPRORLandscape = 2 };

// Error numbers of the printer. Every failure to print is errPrinterError with a description
// fit for a message box; a setting out of range is errInvalidPropertyValue.
inline constexpr std::int32_t errInvalidPropertyValue = 380;
inline constexpr std::int32_t errPrinterError = 482;
inline constexpr std::string_view kNoPrinterInstalled =
    "No printer is installed. Add a printer in the system's printer settings and print again.";

// A print zone is this many character columns wide; a column is the average character width
// of the current font.
inline constexpr int kPrintZoneColumns = 14;

// One item of a printed line and where it goes: directly after the item before it (the
// platform's ";"), or at the start of the next print zone after the end of the item before it
// (the platform's ","). At the start of a line "the next zone" is the second one, column 14,
// as a leading "," gives.
struct PrintItem {
  enum class Place { Direct, NextZone };

  std::string text;
  Place place = Place::Direct;

  static PrintItem Direct(std::string text) { return {std::move(text), Place::Direct}; }
  static PrintItem Zone(std::string text) { return {std::move(text), Place::NextZone}; }
  bool operator==(const PrintItem&) const = default;
};

// The platform's printer object: the current default printer, no dialog. A document is the
// lines printed since the last EndDoc; it reaches the printer only at EndDoc, so a printout
// that fails before then prints nothing.
//
// Text of an item is UTF-8 and may hold a grid's clip text: CR, LF and CR LF each end a row
// and a tab a cell, and the cells stand in columns as wide as their widest cells, under the
// header row. A line that does not fit below the last one starts a new page. A line wider
// than the page is printed in a smaller face, and where even that is not enough the whole
// document is printed in landscape: no text runs off the page (see LayOutDocument).
//
// Every document starts from the defaults: one copy, the printer's own quality, portrait,
// the printer's own font face at 10 points, not bold. EndDoc, whether it succeeds or fails,
// ends the document and brings the settings back to these defaults.
class Printer {
 public:
  virtual ~Printer() = default;

  // How many copies of the document the printer makes (>= 1). This is the setting that each
  // printout sets to 1 before it prints: a printout is printed once whatever copy count the
  // printer was left with.
  void SetCopies(int copies);
  // vbPRPQDraft .. vbPRPQHigh, or dots per inch.
  void SetPrintQuality(int quality);
  // vbPRORPortrait or vbPRORLandscape; applies to the whole document.
  void SetOrientation(int orientation);
  // Points, > 0; applies to the lines printed after it.
  void SetFontSize(double points);
  void SetFontBold(bool bold);
  // Prints one line of items followed by a line end; no items print an empty line.
  void PrintLine(const std::vector<PrintItem>& items) { DoPrintLine(items); }
  // Sends the document to the printer. A failure (no printer, the printer cannot start or
  // breaks off) throws VbError(errPrinterError) with a description for the user; the document
  // is dropped either way. With nothing printed since the last EndDoc it does nothing.
  void EndDoc() { DoEndDoc(); }

  // Settings out of range throw VbError(errInvalidPropertyValue) before they reach these.
 protected:
  virtual void DoSetCopies(int copies) = 0;
  virtual void DoSetPrintQuality(int quality) = 0;
  virtual void DoSetOrientation(int orientation) = 0;
  virtual void DoSetFontSize(double points) = 0;
  virtual void DoSetFontBold(bool bold) = 0;
  virtual void DoPrintLine(const std::vector<PrintItem>& items) = 0;
  virtual void DoEndDoc() = 0;
};

// The printer in use: the system's printer in the program, a recorder in tests.
Printer& Printers();
void SetPrinter(Printer* printer);

}  // namespace platform
