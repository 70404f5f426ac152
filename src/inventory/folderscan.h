#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/inventoryfiles.h"

namespace inventory {

// The eleven search patterns in their search order: "*.wav", "*.mp3", "*.mid", "*.midi",
// "*.rmi", "*.aif", "*.aifc", "*.aiff", "*.au", "*.snd", "*.m3u".
inline constexpr int kPatternCount = 11;

// The pattern (0..10) whose extension `name` ends in after a point, letter case ignored;
// -1 for none.
int AudioPatternOf(std::string_view name);
// The counter that a match of the pattern raises besides Total (datafiles::TypeColumn).
int CounterOfPattern(int pattern);

using DriveTypeCounts = std::array<datafiles::DriveCounts, datafiles::kTypeColumnCount>;

// The audio and playlist files of the drive-letter folder `path` (ending in "\") and of its
// subfolders: the full path of each, in scan order, with gDriveTypeCounts[.][driveNumber]
// raised for each. A folder's own files come first, grouped by pattern in search order, then
// the whole result of each subfolder in turn; the entries of a folder are taken in the order
// of their names with letter case ignored. The scan stays on the folder's own file system,
// enters no symbolic link, lists regular files only (a link counts when it leads to one) and
// skips names that cannot be stored (holding a backslash, CR or LF). A folder that cannot be
// read contributes nothing. The caller zeroes the drive's counters first.
std::vector<std::string> ScanFolderForAudio(const std::string& path, int driveNumber,
                                            DriveTypeCounts& gDriveTypeCounts);

}  // namespace inventory
