#pragma once

#include <string>

#include "datafiles/datafilenames.h"
#include "datafiles/prefs.h"
#include "platform/core/treemodel.h"

// Module Declarations: the program's folders and data-file names, set by Main and kept for
// the program's lifetime.
struct Declarations {
  std::string gAppPath;  // the program's folder, drive-letter form, always ending in "\"
  datafiles::DataFileNames files;
  // Set when the splash found invsum.dat or inventory.dat missing: the inventory is being
  // built from nothing, so its readers rebuild it without the "Data File Missing" message.
  bool gRebuildInventory = false;
};

// The state of module DataFileIO that lives for the whole run: the preferences and presets.
struct DataFileIO {
  datafiles::Preferences prefs;
  datafiles::Presets presets;
};

// Module Launcher's state: what the main window's areas share with the other windows.
struct LauncherState {
  // The filter of every open dialog for audio files, built once by the main window's load.
  std::string gOpenFilter;
  // The preset the one-preset editor shows, and a path dropped on a preset or the tree.
  int gPresetIndex = 0;
  std::string gPrefillPath;
  bool gPrefillPending = false;
  // Edit windows mark changes only while armed.
  bool gEditArmed = false;
  bool gPrefsArmed = false;
  // A confirmed re-scan for newly enabled header analysis, run when the preferences close.
  bool gRescanPending = false;
};

// Every module's state, one instance for the program; each window is given it.
struct ProgramState {
  Declarations decl;
  DataFileIO io;
  LauncherState launcher;
};
