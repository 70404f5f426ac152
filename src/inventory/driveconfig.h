#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class DriveFacts;
}

namespace inventory {

// The program keeps at most this many drives (the letters A: to Z:).
inline constexpr int kMaxDrives = 26;

// Drive icon numbers: bitmaps of the program's resources.
inline constexpr std::int32_t kIconCdrom = 102, kIconRamDisk = 103, kIconFixedDisk = 104, kIconFloppy = 105,
                              kIconNetwork = 106, kIconTotalsRow = 107;

// The current drives. Drive k (1..gDriveCount) is entry k of each list; entries 0 and
// gDriveCount + 1 are spare and empty.
struct DriveConfiguration {
  std::int32_t gDriveCount = 0;
  std::vector<std::string> gDriveLetters = std::vector<std::string>(2);  // "C:"
  std::vector<std::int32_t> gDriveIcons = std::vector<std::int32_t>(2);
  // Each drive's scan result: its files' full paths, in scan order.
  std::vector<std::vector<std::string>> gDriveFileLists = std::vector<std::vector<std::string>>(2);
  std::string gLogicalDriveStrings;  // the drive-string list while it is taken apart
};

// The platform's drive-string list: each root ("C:\") followed by a NUL, and a NUL after the last.
std::string GetLogicalDriveList();

// The text before the first NUL of `list`, which keeps what follows it; without a NUL, the
// empty text and `list` unchanged.
std::string PopNullTerminated(std::string& list);

// The icon of a drive of the platform's drive type; `driveName` ("A:") tells floppies.
std::int32_t DriveIconNumber(int driveType, std::string_view driveName);

// Fills the configuration from a drive-string list and the drive facts. The list ends at an
// empty entry or at a text without a NUL, and at most kMaxDrives drives are taken.
void ReadDriveConfiguration(DriveConfiguration& config, std::string driveStrings, platform::DriveFacts& facts);
// The same over the current drive map and drive facts.
void ReadDriveConfiguration(DriveConfiguration& config);

}  // namespace inventory
