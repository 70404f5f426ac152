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

std::optional<Command> TransportCommand(Button button, int playState, bool canPlay, bool hasNext, bool hasPrev) {
  const bool stopped = playState == Stopped, paused = playState == Paused, playing = playState == Playing;
  // The action a button takes in the states where it has one: stopped, paused, playing.
  auto by = [&](std::optional<Action> whenStopped, std::optional<Action> whenPaused, std::optional<Action> whenPlaying,
                Target target) -> std::optional<Command> {
    const std::optional<Action> action = stopped   ? whenStopped
                                         : paused  ? whenPaused
                                         : playing ? whenPlaying
                                                   : std::nullopt;
    if (!action) return std::nullopt;
    return Command{*action, target};
  };
  switch (button) {
    case Button::Play:
      if (!canPlay) return std::nullopt;
      return by(Action::Play, Action::Resume, std::nullopt, Target::Curr);
    case Button::Pause:
      return by(std::nullopt, Action::Resume, Action::Pause, Target::Curr);
    case Button::Stop:
      if (stopped) return std::nullopt;
      return Command{Action::Stop, Target::Curr};
    case Button::Fwd:
      if (!hasNext) return std::nullopt;
      return by(Action::Load, Action::LoadPaused, Action::Play, Target::Next);
    case Button::Rev:
      if (!hasPrev) return std::nullopt;
      return by(Action::Load, Action::LoadPaused, Action::Play, Target::Prev);
  }
  return std::nullopt;
}

std::optional<Command> ClickCommand(int playState, int mouseButton) {
  // Paused or playing, only the left button sends.
  if (playState == Paused || playState == Playing) {
    if (mouseButton != 1) return std::nullopt;
    return Command{playState == Paused ? Action::LoadPaused : Action::Play, Target::Clik};
  }
  return Command{Action::Load, Target::Clik};
}

}  // namespace playerrules
