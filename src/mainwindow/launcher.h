#pragma once

#include <string>

#include "windows/shareddata.h"

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
