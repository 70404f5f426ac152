#pragma once

#include <array>
#include <string>

#include "datafiles/datafilenames.h"
#include "datafiles/outcome.h"

namespace datafiles {

// The eight preferences of prefs.dat, each starting at its default.
struct Preferences {
  std::string gBrowsePath = "c:\\";
  std::string gOrphanQuantity = "n/a ";
  int gEnableEmbedded = 0;
  int gSearchAttributes = 1;
  int gSearchUserDB = 1;
  int gSearchChunks = 0;
  std::string gWaveEditorPath = "None selected";
  int gExportFile = 1;
};

inline constexpr int kPresetCount = 20;

// The 20 presets of preset.dat: index = button number - 1; a loop flag reads True or False.
struct Presets {
  std::array<std::string, kPresetCount> gPresetCaptions;
  std::array<std::string, kPresetCount> gPresetPaths;
  std::array<std::string, kPresetCount> gPresetLoop;

  Presets();  // the defaults: captions "1" to "20", no files, no loops
};

// Reads prefs.dat into `prefs`, which first gets its defaults. A missing file reads nothing;
// a damaged one is kept beside itself (see ReadOutcome) before a save can overwrite it.
ReadOutcome ReadPreferences(const DataFileNames& files, Preferences& prefs);
// Writes prefs.dat through its temporary twin, read-only afterwards.
SaveOutcome SavePreferences(const DataFileNames& files, const Preferences& prefs);

// The same for preset.dat.
ReadOutcome ReadTapdeckPresets(const DataFileNames& files, Presets& presets);
SaveOutcome SaveTapdeckPresets(const DataFileNames& files, const Presets& presets);

// The line prefs.dat holds for these preferences, and preset.dat's 20 lines.
std::string PrefsLine(const Preferences& prefs);
std::string PresetLines(const Presets& presets);

}  // namespace datafiles
