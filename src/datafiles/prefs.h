#pragma once

#include <array>
#include <functional>
#include <string>

#include "datafiles/datafilenames.h"

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

// How a load ended.
enum class LoadOutcome {
  Loaded,     // read from the file (a short or damaged file keeps defaults for what it lacks)
  Defaulted,  // the file was missing: announced, defaults set and saved, then read back
};

// Reads prefs.dat. A missing file is announced ("Data File Missing"), the defaults are set,
// `fillPreferencesForm` runs, the defaults are saved and read back once.
LoadOutcome LoadPreferences(const DataFileNames& files, Preferences& prefs,
                            const std::function<void()>& fillPreferencesForm);
// Writes prefs.dat through its temporary twin, read-only afterwards. A failure is shown in a
// message box and reported as false.
bool SavePreferences(const DataFileNames& files, const Preferences& prefs);

// The same for preset.dat, with `refreshPresetButtons` in the missing-file path.
LoadOutcome LoadTapdeckPresets(const DataFileNames& files, Presets& presets,
                               const std::function<void()>& refreshPresetButtons);
bool SaveTapdeckPresets(const DataFileNames& files, const Presets& presets);

// The line prefs.dat holds for these preferences, and preset.dat's 20 lines.
std::string PrefsLine(const Preferences& prefs);
std::string PresetLines(const Presets& presets);

// Tells the user that a data file could not be written; the change stays in memory.
void ReportSaveFailure(const std::string& file, const std::string& reason);

}  // namespace datafiles
