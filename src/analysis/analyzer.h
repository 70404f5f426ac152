#pragma once

#include <string>

#include "analysis/audioproperties.h"

namespace platform {
class MediaPlayer;
}

namespace analysis {

// How an analysis ended, for the caller to act on.
enum class AnalysisStatus {
  Done,         // fields as found (some may read "ERROR"); the player was loaded when given
  NotFound,     // the probe failed: every field empty, length 0, player untouched
  Unsupported,  // an unsupported RIFF or FORM type: player untouched
  Failed,       // the file could not be opened or read, or the player refused it
};

// Analyses the file at `gCurrentFilePath` (drive-letter form) into `props` and, unless the
// file is missing or of an unsupported RIFF/FORM type, loads it stopped into `player`
// (SetFileName, then Stop; none: the player step is left out). Never throws: whatever goes
// wrong ends in the status, with the fields as they stood.
AnalysisStatus AnalyzeAudioFile(const std::string& gCurrentFilePath, AudioProperties& props,
                                platform::MediaPlayer* player);

}  // namespace analysis
