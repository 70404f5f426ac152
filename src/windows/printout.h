#pragma once

#include <string>
#include <string_view>

namespace platform {
class Printer;
}

// The head every printout of the program begins with: one copy in high quality, its name in
// 10 points (bold where `boldName`), the date and two empty lines.
void PrintPrintoutHead(platform::Printer& printer, int orientation, std::string_view name,
                       const std::string& date, bool boldName);
