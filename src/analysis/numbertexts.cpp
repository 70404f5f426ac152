#include <string>

#include "analysis/readers.h"

namespace analysis {

std::string ChannelsText(std::int64_t channels) {
  if (channels == 1) return "1 - Mono";
  if (channels == 2) return "2 - Stereo";
  return BlankNumberText(channels);
}

// The rate in kHz as the shortest decimal: no trailing zeros, no leading zero before the
// point. Rates are whole hertz, so three decimals always suffice.
std::string KiloHertzText(std::int64_t hertz) {
  std::string text;
  std::int64_t whole = hertz / 1000;
  std::int64_t thousandths = hertz % 1000;
  if (whole != 0 || thousandths == 0) text = std::to_string(whole);
  if (thousandths != 0) {
    char digits[4] = {static_cast<char>('0' + thousandths / 100), static_cast<char>('0' + thousandths / 10 % 10),
                      static_cast<char>('0' + thousandths % 10), 0};
    int n = 3;
    while (digits[n - 1] == '0') --n;
    text += '.';
    text.append(digits, static_cast<std::size_t>(n));
  }
  return text + " kHz";
}

std::string BitsText(std::int64_t bits) { return std::to_string(bits) + " bits"; }

std::string BlankNumberText(std::int64_t number) {
  return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}

}  // namespace analysis
