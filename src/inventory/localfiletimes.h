#pragma once

#include <cstdint>
#include <ctime>
#include <unordered_map>
#include <vector>

#include "platform/core/clock.h"

namespace inventory {

// Local times of file times, as platform::LocalDateTime gives them, without taking the C
// library's time-zone lock for each one (the threads of a search would queue for it): the
// offset from UTC is looked up once per day, and a day in which it changes is left to
// LocalDateTime. One object per thread.
class LocalFileTimes {
 public:
  platform::DateTime Of(std::time_t t);

 private:
  long OffsetOfDay(std::int64_t day);
  // The days of two centuries around the first time met, in a table small enough to stay in
  // the processor's cache; days beyond, by a map.
  std::vector<long> byDay_;
  std::int64_t firstDay_ = 0;
  std::unordered_map<std::int64_t, long> otherDays_;
};

}  // namespace inventory
