#include "inventory/localfiletimes.h"

#include <climits>

namespace inventory {
namespace {

constexpr long kOffsetChanges = LONG_MIN;
constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The calendar date and time of seconds since 1970 (days to civil: proleptic Gregorian).
platform::DateTime CivilTime(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t rest = seconds - days * kSecondsPerDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), static_cast<int>(rest / 3600),
          static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60)};
}

// The offset from UTC over the whole of a UTC day, or kOffsetChanges when it is not one offset.
long OffsetOverDay(std::int64_t day) {
  const std::time_t first = static_cast<std::time_t>(day * kSecondsPerDay), last = first + kSecondsPerDay - 1;
  std::tm a{}, b{};
  if (!localtime_r(&first, &a) || !localtime_r(&last, &b)) return kOffsetChanges;
  return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst ? a.tm_gmtoff : kOffsetChanges;
}

}  // namespace

long LocalFileTimes::OffsetOfDay(std::int64_t day) {
  constexpr long kUnknown = LONG_MAX;
  constexpr std::int64_t kTableDays = 2 * 36525;
  if (byDay_.empty()) {
    byDay_.assign(kTableDays, kUnknown);
    firstDay_ = day - kTableDays / 2;
  }
  const std::int64_t index = day - firstDay_;
  if (index >= 0 && index < kTableDays) {
    long& offset = byDay_[static_cast<std::size_t>(index)];
    if (offset == kUnknown) offset = OffsetOverDay(day);
    return offset;
  }
  auto it = otherDays_.find(day);
  if (it == otherDays_.end()) it = otherDays_.emplace(day, OffsetOverDay(day)).first;
  return it->second;
}

platform::DateTime LocalFileTimes::Of(std::time_t t) {
  const long offset = OffsetOfDay(FloorDiv(t, kSecondsPerDay));
  if (offset == kOffsetChanges) return platform::LocalDateTime(t);
  return CivilTime(static_cast<std::int64_t>(t) + offset);
}

}  // namespace inventory
