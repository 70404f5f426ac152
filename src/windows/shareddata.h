#pragma once

#include <string>

#include "datafiles/datafilenames.h"
#include "datafiles/prefs.h"

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
