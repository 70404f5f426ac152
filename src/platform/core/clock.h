#pragma once

#include <ctime>
#include <string>

namespace platform {

struct DateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

DateTime LocalDateTime(std::time_t t);

// The system's short date and time forms (the user's LC_TIME locale; in the plain C locale
// M/D/YYYY and h:mm:ss AM/PM, the forms the program was written for).
std::string ShortDate(const DateTime& t);
std::string LongTime(const DateTime& t);
// A date-and-time value as text: short date, a blank, the time; the date alone at midnight.
std::string DateTimeText(const DateTime& t);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() = 0;
};

class SystemClock : public Clock {
 public:
  DateTime Now() override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime t) : t_(t) {}
  DateTime Now() override { return t_; }
  void Set(DateTime t) { t_ = t; }

 private:
  DateTime t_;
};

// The clock the program reads; the system clock unless a test installs another.
Clock& CurrentClock();
void SetClock(Clock* clock);  // nullptr restores the system clock

// Shorthands: Date and Time of now.
std::string TodayText();
std::string NowTimeText();

}  // namespace platform
