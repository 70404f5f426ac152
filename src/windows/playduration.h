#pragma once

#include <string>

// A player's duration as the main window shows it: whole hours, whole minutes and the seconds
// left to the nearest hundredth.
struct PlayDuration {
  int hours = 0;
  int minutes = 0;
  float seconds = 0;
};

// The parts of `seconds`; nothing (all 0) for a duration that is not finite or below 0.
PlayDuration SplitDuration(double seconds);

// The length text of the player area and of File Detail: " 0h 1m 23.5s" (shortest forms, up
// to two decimals).
std::string PlayDurationText(int hours, int minutes, float seconds);
