#include "playlist/playerrules.h"

#include <algorithm>

namespace playerrules {

namespace {

struct ActionCode {
  std::string_view code;
  Action action;
};
constexpr ActionCode kActions[] = {{"Load", Action::Load},   {"Lodp", Action::LoadPaused}, {"Play", Action::Play},
                                   {"Paus", Action::Pause},  {"Resu", Action::Resume},     {"Stop", Action::Stop}};
struct TargetCode {
  std::string_view code;
  Target target;
};
constexpr TargetCode kTargets[] = {
    {"Head", Target::Head}, {"Prev", Target::Prev}, {"Next", Target::Next}, {"Clik", Target::Clik}, {"Curr", Target::Curr}};

int Clamp(int row, int rows) { return std::clamp(row, 0, std::max(rows - 1, 0)); }

// The first valid row at or below `from`, else -1.
int ValidDownFrom(int from, int rows, const RowValid& valid) {
  for (int r = std::max(from, 0); r < rows; ++r) {
    if (valid(r)) return r;
  }
  return -1;
}

// The first valid row at or above `from`, else -1.
int ValidUpFrom(int from, int rows, const RowValid& valid) {
  for (int r = std::min(from, rows - 1); r >= 0; --r) {
    if (valid(r)) return r;
  }
  return -1;
}

}  // namespace

Command ParseCommand(std::string_view code) {
  const std::string_view action = code.substr(0, 4);
  const std::string_view target = code.size() > 4 ? code.substr(4, 4) : std::string_view();
  Command command{Action::None, Target::Curr};
  for (const ActionCode& a : kActions) {
    if (a.code == action) command.action = a.action;
  }
  for (const TargetCode& t : kTargets) {
    if (t.code == target) command.target = t.target;
  }
  return command;
}

std::string CommandCode(Command command) {
  std::string code;
  for (const ActionCode& a : kActions) {
    if (a.action == command.action) code = a.code;
  }
  for (const TargetCode& t : kTargets) {
    if (t.target == command.target) code += t.code;
  }
  return code;
}

int MoveTarget(Target target, int currentTrack, int rows, const RowValid& valid, int targetRow) {
  const int start = Clamp(currentTrack - 1, rows);
  if (rows <= 0) return 1;
  int r = start;
  switch (target) {
    case Target::Head: {
      const int found = ValidDownFrom(0, rows, valid);
      r = found >= 0 ? found : start;
      break;
    }
    case Target::Prev: {
      int found = ValidUpFrom(start - 1, rows, valid);
      if (found < 0) found = ValidDownFrom(0, rows, valid);
      r = found >= 0 ? found : start;
      break;
    }
    case Target::Next: {
      int found = ValidDownFrom(start + 1, rows, valid);
      if (found < 0) found = ValidUpFrom(rows - 1, rows, valid);
      r = found >= 0 ? found : start;
      break;
    }
    case Target::Clik:
      r = Clamp(targetRow, rows);
      break;
    case Target::Curr:
      break;
  }
  return r + 1;
}

int FirstValidTrack(int rows, const RowValid& valid) {
  const int found = ValidDownFrom(0, rows, valid);
  return found >= 0 ? found + 1 : 1;
}

int ScrollTopRow(int topRow, int r) {
  if (topRow < r - 11) topRow = r;
  if (topRow > r) topRow = r;
  return topRow;
}

Command ContinuationCommand(int currentTrack, int rows, const RowValid& valid) {
  if (ValidDownFrom(currentTrack, rows, valid) >= 0) return {Action::Play, Target::Next};
  return {Action::Load, Target::Head};
}

std::string TransportCommand(Button button, int playState, bool canPlay, bool hasNext, bool hasPrev) {
  const bool stopped = playState == Stopped, paused = playState == Paused, playing = playState == Playing;
  switch (button) {
    case Button::Play:
      if (!canPlay) return "";
      return stopped ? "PlayCurr" : paused ? "ResuCurr" : "";
    case Button::Pause:
      return paused ? "ResuCurr" : playing ? "PausCurr" : "";
    case Button::Stop:
      return stopped ? "" : "StopCurr";
    case Button::Fwd:
      if (!hasNext) return "";
      return stopped ? "LoadNext" : paused ? "LodpNext" : playing ? "PlayNext" : "";
    case Button::Rev:
      if (!hasPrev) return "";
      return stopped ? "LoadPrev" : paused ? "LodpPrev" : playing ? "PlayPrev" : "";
  }
  return "";
}

std::string ClickCommand(int playState, int mouseButton) {
  if (playState == Paused) return mouseButton == 1 ? "LodpClik" : "";
  if (playState == Playing) return mouseButton == 1 ? "PlayClik" : "";
  return "LoadClik";
}

}  // namespace playerrules
