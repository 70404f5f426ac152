#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/printer.h"

namespace testing_support {

// Records every printer call in order, installed as the printer while it lives. Calls read:
//   "Copies 1", "PrintQuality -4", "Orientation 2", "FontSize 10", "FontBold true",
//   "Line" followed per item by " |text|" (placed directly) or " zone|text|" (at the next
//   print zone): "Line |Title|", "Line zone|       F1| zone|       F2|", "Line" for an empty
//   line; and "EndDoc". Texts are kept as given, tabs and carriage returns included.
// Settings out of range are refused as by the real printer and not recorded.
class RecordingPrinter : public platform::Printer {
 public:
  RecordingPrinter();
  ~RecordingPrinter() override;

  // The next EndDoc is recorded and then throws this error.
  void FailNextEndDoc(std::int32_t number = platform::errPrinterError,
                      std::string description = std::string(platform::kNoPrinterInstalled));

  const std::vector<std::string>& calls() const { return calls_; }
  void clear() { calls_.clear(); }

  // The record form of one line, for expectations.
  static std::string LineRecord(const std::vector<platform::PrintItem>& items);

 protected:
  void DoSetCopies(int copies) override;
  void DoSetPrintQuality(int quality) override;
  void DoSetOrientation(int orientation) override;
  void DoSetFontSize(double points) override;
  void DoSetFontBold(bool bold) override;
  void DoPrintLine(const std::vector<platform::PrintItem>& items) override;
  void DoEndDoc() override;

 private:
  std::vector<std::string> calls_;
  std::optional<platform::VbError> failure_;
};

}  // namespace testing_support
