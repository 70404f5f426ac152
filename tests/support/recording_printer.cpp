#include "support/recording_printer.h"

#include <sstream>
#include <utility>

namespace testing_support {

RecordingPrinter::RecordingPrinter() { platform::SetPrinter(this); }
RecordingPrinter::~RecordingPrinter() { platform::SetPrinter(nullptr); }

void RecordingPrinter::FailNextEndDoc(std::int32_t number, std::string description) {
  failure_.emplace(number, description);
}

std::string RecordingPrinter::LineRecord(const std::vector<platform::PrintItem>& items) {
  std::string record = "Line";
  for (const platform::PrintItem& item : items) {
    record += ' ';
    if (item.place == platform::PrintItem::Place::NextZone) record += "zone";
    record += '|' + item.text + '|';
  }
  return record;
}

void RecordingPrinter::DoSetCopies(int copies) { calls_.push_back("Copies " + std::to_string(copies)); }
void RecordingPrinter::DoSetPrintQuality(int quality) {
  calls_.push_back("PrintQuality " + std::to_string(quality));
}
void RecordingPrinter::DoSetOrientation(int orientation) {
  calls_.push_back("Orientation " + std::to_string(orientation));
}
void RecordingPrinter::DoSetFontSize(double points) {
  std::ostringstream out;
  out << "FontSize " << points;
  calls_.push_back(out.str());
}
void RecordingPrinter::DoSetFontBold(bool bold) { calls_.push_back(bold ? "FontBold true" : "FontBold false"); }
void RecordingPrinter::DoPrintLine(const std::vector<platform::PrintItem>& items) {
  calls_.push_back(LineRecord(items));
}

void RecordingPrinter::DoEndDoc() {
  calls_.push_back("EndDoc");
  if (failure_) {
    platform::VbError error = std::move(*failure_);
    failure_.reset();
    throw error;
  }
}

}  // namespace testing_support
