#include "playlist/playtime.h"

#include <cmath>
#include <limits>

std::string FormatPlayTime(std::int64_t totalSeconds) {
  const std::int64_t count = totalSeconds < 0 ? 0 : totalSeconds;
  const std::int64_t hours = count / 3600;
  const std::int64_t minutes = (count % 3600) / 60;
  const std::int64_t seconds = count % 60;
  std::string text;
  if (hours > 0) {
    text = std::to_string(hours) + ":" + (minutes < 10 ? "0" : "") + std::to_string(minutes) + ":";
  } else {
    text = std::to_string(minutes) + ":";
  }
  text += (seconds < 10 ? "0" : "") + std::to_string(seconds) + "  ";
  return text;
}

namespace {
constexpr double kLargest = 9.0e15;  // far beyond any list, still exact in a double
}

std::int64_t RoundSeconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  if (seconds > kLargest) seconds = kLargest;
  // The default rounding mode sends halves to the even neighbour.
  return static_cast<std::int64_t>(std::nearbyint(seconds));
}

std::int64_t WholeSeconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  if (seconds > kLargest) seconds = kLargest;
  return static_cast<std::int64_t>(std::trunc(seconds));
}
