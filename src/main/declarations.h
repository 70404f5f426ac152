#pragma once

#include <string>

#include "datafiles/datafilenames.h"
#include "datafiles/prefs.h"
#include "inventory/dbviewer.h"
#include "inventory/reconcile.h"
#include "mainwindow/launcher.h"

// Module Declarations: the program's folders and data-file names, set by Main and kept for
// the program's lifetime, and the state the other modules share through it.
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

// Every module's state, one instance for the program.
struct ProgramState {
  Declarations decl;
  DataFileIO io;
  LauncherState launcher;
  DBViewerState db;
  ReconcileDBState reconcile;
};

ProgramState& App();

// The folder part of the program file's path, in drive-letter form and ending in "\";
// nothing when it lies on no mapped drive.
std::string AppPathFromHost(const std::string& hostProgramFolder);
