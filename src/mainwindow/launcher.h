#pragma once

#include <string>

#include "windows/shareddata.h"

// Whether a preset's loop flag asks for looping ("True", in any case).
bool PresetLoops(const std::string& loopFlag);

// The audio file filter of the file dialogs.
std::string BuildOpenFilter();



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

