#pragma once

// Tests work the preset bank's buttons and read what a preset editor found at its opening, as
// their friends; production code asks the bank and the editors through their methods.
#include "mainwindow/presetbank.h"
#include "mainwindow/tapdeckeditor.h"

class PresetBankTestAccess {
 public:
  static PresetBankControls& Controls(PresetBank& b) { return b; }
};

class TapdeckEditorTestAccess {
 public:
  static const std::array<std::string, 20>& PathsSaved(const TapdeckEditor& e) { return e.gPresetPathsSaved; }
};

inline PresetBankControls& BankUi(PresetBank& b) { return PresetBankTestAccess::Controls(b); }
inline const std::array<std::string, 20>& PathsSavedBy(const TapdeckEditor& e) {
  return TapdeckEditorTestAccess::PathsSaved(e);
}
