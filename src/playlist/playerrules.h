#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The rules of the playlist player that need no window: where a command's target moves the
// current track, how the track grid scrolls to it, what the transport buttons send, and what
// follows the end of a track. Rows are 0-based, tracks 1-based (track c is row c - 1).
namespace playerrules {

// Whether a row of the track grid is playable (its time is not the invalid mark).
using RowValid = std::function<bool(int row)>;

// A player command: an action and the track it aims at. Its name is eight letters, four of
// action and four of target ("PlayCurr", "LoadHead"), the text form ParseCommand reads and
// CommandCode writes.
enum class Action {
  None,        // a text no operation goes with: the player is left alone
  Load,        // "Load": the current track loaded and stopped
  LoadPaused,  // "Lodp": loaded and paused at its start
  Play,        // "Play": loaded and played from the start
  Pause,       // "Paus"
  Resume,      // "Resu": played on from the paused position
  Stop,        // "Stop"
};
enum class Target { Head, Prev, Next, Clik, Curr };  // "Curr" and any other text: no move
struct Command {
  Action action;
  Target target;
  bool operator==(const Command&) const = default;
};

// The command a text names. The action is its first four letters, the target the four after.
Command ParseCommand(std::string_view code);
// The eight letters of `command` (an action of None gives none of its own).
std::string CommandCode(Command command);

// The current track after the target part of a command (Curr keeps the track). The searches
// stay inside rows 0..rows-1: "Head" the first
// valid row; "Prev" the nearest valid row above, else the first valid row from the top;
// "Next" the nearest valid row below, else the nearest valid row searching up from the end.
// Where no row is valid the current track stays (clamped to the grid). "Clik" takes
// `targetRow` without a validity test, clamped to the grid.
int MoveTarget(Target target, int currentTrack, int rows, const RowValid& valid, int targetRow);

// The first valid track, or 1 when no row is valid.
int FirstValidTrack(int rows, const RowValid& valid);

// The grid's TopRow that keeps row `r` in sight: rows TopRow..TopRow+11 count as visible.
int ScrollTopRow(int topRow, int r);

// What follows a track that ran out: PlayNext when a valid track stands after it, else
// LoadHead (the head of the list, loaded stopped, ends the chain).
Command ContinuationCommand(int currentTrack, int rows, const RowValid& valid);

// Play states of the player as the window reads them.
enum State : int { Stopped = 0, Paused = 1, Playing = 2 };

// The command a transport button sends in a player state, or none. `canPlay`: the
// total time is above 0 (Play); `hasNext`: the track count exceeds the current track
// (Forward); `hasPrev`: the current track is above 1 (Back).
enum class Button { Play, Pause, Stop, Fwd, Rev };
std::optional<Command> TransportCommand(Button button, int playState, bool canPlay, bool hasNext, bool hasPrev);

// The command a click on a track row sends (by play state and mouse button), or none.
std::optional<Command> ClickCommand(int playState, int mouseButton);

}  // namespace playerrules
