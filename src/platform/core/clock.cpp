#include "platform/core/clock.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

bool PlainLocale() {
  const char* name = std::setlocale(LC_TIME, nullptr);
  return !name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

std::tm ToTm(const DateTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return tm;
}

std::string Format(const DateTime& t, const char* fmt) {
  std::tm tm = ToTm(t);
  char buf[128];
  std::size_t n = std::strftime(buf, sizeof buf, fmt, &tm);
  return std::string(buf, n);
}

SystemClock gSystemClock;
Clock* gClock = &gSystemClock;

}  // namespace

DateTime LocalDateTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string ShortDate(const DateTime& t) {
  if (PlainLocale()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d", t.month, t.day, t.year);
    return buf;
  }
  return Format(t, "%x");
}

std::string LongTime(const DateTime& t) {
  if (PlainLocale()) {
    int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, t.minute, t.second, t.hour < 12 ? "AM" : "PM");
    return buf;
  }
  return Format(t, "%X");
}

std::string DateTimeText(const DateTime& t) {
  if (t.hour == 0 && t.minute == 0 && t.second == 0) return ShortDate(t);
  return ShortDate(t) + " " + LongTime(t);
}

DateTime SystemClock::Now() { return LocalDateTime(std::time(nullptr)); }

Clock& CurrentClock() { return *gClock; }
void SetClock(Clock* clock) { gClock = clock ? clock : &gSystemClock; }

std::string TodayText() { return ShortDate(CurrentClock().Now()); }
std::string NowTimeText() { return LongTime(CurrentClock().Now()); }

}  // namespace platform
