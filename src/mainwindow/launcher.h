#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/core/treemodel.h"
#include "windows/playduration.h"

// Module Launcher's state: what the main window's areas share with the other windows.
struct LauncherState {
  // The filter of every open dialog for audio files, built once by the main window's load.
  std::string gOpenFilter;
  // Player: the looping preset (0 none) and the user's stop.
  int gLoopingPreset = 0;
  bool gStopRequested = false;
  // SplitPlayDuration's result.
  int gPlayHours = 0;
  int gPlayMinutes = 0;
  float gPlaySeconds = 0;
  // The preset the one-preset editor shows, and a path dropped on a preset or the tree.
  int gPresetIndex = 0;
  std::string gPrefillPath;
  bool gPrefillPending = false;
  // Edit windows mark changes only while armed.
  bool gEditArmed = false;
  bool gPrefsArmed = false;
  // A confirmed re-scan for newly enabled header analysis, run when the preferences close.
  bool gRescanPending = false;
  // The presets' captions and paths as a preset editor found them when it opened; its
  // change marks compare against these.
  std::array<std::string, 20> gPresetCaptionsSaved;
  std::array<std::string, 20> gPresetPathsSaved;
  // The groups tree's node references (nothing once their node is gone): the node pressed last
  // (also the node dragged or moved), the drop target, the node at the last drag-over, the node
  // a tree procedure looks at, the sibling a move passes.
  platform::NodeRef gDragNode = platform::kNoNode;
  platform::NodeRef gTargetNode = platform::kNoNode;
  platform::NodeRef gHitNode = platform::kNoNode;
  platform::NodeRef gCurrentNode = platform::kNoNode;
  platform::NodeRef gSiblingNode = platform::kNoNode;
  // groups.dat could not be read whole: it is copied aside before the first save.
  bool gGroupsKeepCopy = false;
};

// Splits the main window's player's duration into gPlayHours, gPlayMinutes, gPlaySeconds.
void SplitPlayDuration();
// Whether a preset's loop flag asks for looping ("True", in any case).
bool PresetLoops(const std::string& loopFlag);
// In File Detail, lists in lblDBRallysets the presets and groups that hold the shown file.
void ShowFileRallysets();

// The audio file filter of the file dialogs.
std::string BuildOpenFilter();

// Prints the function-key sheet of the presets on the default printer.
void PrintPresetKeyAssignments();


// What a function key does in the main window (and in the playlist window, which forwards
// them): F1-F10 and Shift+F1-F10 play presets 1-20, F11 opens the presets editor, F12 prints
// the key sheet; with Ctrl or Alt, or any other key, nothing.
struct FunctionKeyAction {
  enum Kind { None, Preset, Configure, PrintKeySheet };
  Kind kind = None;
  int preset = 0;
  bool operator==(const FunctionKeyAction&) const = default;
};
FunctionKeyAction FunctionKeyFor(int KeyCode, int Shift);

// Copies the preferences into the preferences window; nothing while that window is closed.
void FillPreferencesForm();
