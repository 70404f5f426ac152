#include "inventory/driveconfig.h"

#include <cctype>

#include "platform/core/driveinfo.h"
#include "platform/core/drives.h"

namespace inventory {

std::string GetLogicalDriveList() { return platform::CurrentDriveMap().LogicalDriveStrings(); }

std::string PopNullTerminated(std::string& list) {
  std::size_t nul = list.find('\0');
  if (nul == std::string::npos) return {};
  std::string entry = list.substr(0, nul);
  list.erase(0, nul + 1);
  return entry;
}

std::int32_t DriveIconNumber(int driveType, std::string_view driveName) {
  switch (driveType) {
    case platform::kDriveRemovable: {
      char letter = driveName.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(driveName[0])));
      return letter == 'A' || letter == 'B' ? kIconFloppy : kIconFixedDisk;
    }
    case platform::kDriveRemote:
      return kIconNetwork;
    case platform::kDriveCdrom:
      return kIconCdrom;
    case platform::kDriveRamdisk:
      return kIconRamDisk;
    default:  // undetermined, no root folder, fixed
      return kIconFixedDisk;
  }
}

void ReadDriveConfiguration(DriveConfiguration& config, std::string driveStrings, platform::DriveFacts& facts) {
  config.gLogicalDriveStrings = std::move(driveStrings);
  config.gDriveCount = 0;
  config.gDriveLetters.assign(2, std::string());
  config.gDriveIcons.assign(2, 0);
  while (config.gDriveCount < kMaxDrives) {
    // An empty entry is the list's closing NUL; a list without one has no more entries.
    std::string entry = PopNullTerminated(config.gLogicalDriveStrings);
    if (entry.empty()) break;
    const auto k = static_cast<std::size_t>(++config.gDriveCount);
    config.gDriveLetters.resize(k + 2);
    config.gDriveIcons.resize(k + 2, 0);
    std::string letter = entry.substr(0, 2);
    for (char& c : letter) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    config.gDriveLetters[k] = letter;
    config.gDriveIcons[k] = DriveIconNumber(facts.GetDriveType(letter), letter);
  }
  config.gDriveFileLists.resize(static_cast<std::size_t>(config.gDriveCount) + 2);
}

void ReadDriveConfiguration(DriveConfiguration& config) {
  ReadDriveConfiguration(config, GetLogicalDriveList(), platform::CurrentDriveFacts());
}

}  // namespace inventory
