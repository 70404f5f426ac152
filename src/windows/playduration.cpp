#include "windows/playduration.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A number to the nearest hundredth, as its fixed two-decimal text gives it.
float Hundredths(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return std::strtof(text, nullptr);
}

}  // namespace

PlayDuration SplitDuration(double d) {
  if (!std::isfinite(d) || d < 0) d = 0;
  // Whole hours and minutes in 64 bits: ten hours and more split like shorter lengths.
  long long hours = 0, minutes = 0;
  double rest = d;
  if (d >= 3600) {
    hours = static_cast<long long>(std::trunc(d)) / 3600;
    minutes = static_cast<long long>(std::trunc((d - static_cast<double>(hours) * 3600) / 60));
    rest = d - static_cast<double>(hours) * 3600 - static_cast<double>(minutes) * 60;
  } else if (d >= 60) {
    minutes = static_cast<long long>(std::trunc(d / 60));
    rest = d - static_cast<double>(minutes) * 60;
  }
  return {static_cast<int>(std::min<long long>(hours, INT_MAX)), static_cast<int>(minutes), Hundredths(rest)};
}

std::string PlayDurationText(int hours, int minutes, float seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(seconds));
  std::string s = text;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return " " + std::to_string(hours) + "h " + std::to_string(minutes) + "m " + s + "s";
}
