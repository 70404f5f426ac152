#pragma once

#include <cstdint>
#include <string>

// The short time text of the playlist window: "m:ss  " below an hour, "h:mm:ss  " from an
// hour on, both ending in two blanks. 0 gives "0:00  ", the invalid-track mark of the track
// grid. Counts are 64-bit, so lists longer than nine hours show their true length; a count
// below zero (the remaining time when the rounded total falls short of the time played)
// shows as 0.
std::string FormatPlayTime(std::int64_t totalSeconds);

// The invalid-track mark of the track grid's time column.
inline constexpr const char* kInvalidTrackTime = "0:00  ";

// Seconds taken to the nearest whole second, a half going to the even neighbour; anything
// not finite or below zero gives 0.
std::int64_t RoundSeconds(double seconds);
// Seconds cut toward zero, 0 for anything not finite or below zero.
std::int64_t WholeSeconds(double seconds);
