#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/driveinfo.h"

namespace inventory_testing {

// Drive facts told by the test, by drive letter; letters it names nothing about are of
// undetermined type and fail both queries.
class FakeDriveFacts : public platform::DriveFacts {
 public:
  FakeDriveFacts() { platform::SetDriveFacts(this); }
  ~FakeDriveFacts() override { platform::SetDriveFacts(nullptr); }
  FakeDriveFacts(const FakeDriveFacts&) = delete;
  FakeDriveFacts& operator=(const FakeDriveFacts&) = delete;

  std::map<char, int> types;
  std::map<char, platform::VolumeInformation> volumes;
  std::map<char, platform::DiskFreeSpace> spaces;
  std::string asked;  // every root asked about, in order

  int GetDriveType(std::string_view root) override {
    asked.append(root).push_back(' ');
    auto it = types.find(Letter(root));
    return it == types.end() ? platform::kDriveUnknown : it->second;
  }
  std::optional<platform::VolumeInformation> GetVolumeInformation(std::string_view root) override {
    auto it = volumes.find(Letter(root));
    if (it == volumes.end()) return std::nullopt;
    return it->second;
  }
  std::optional<platform::DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root) override {
    auto it = spaces.find(Letter(root));
    if (it == spaces.end()) return std::nullopt;
    return it->second;
  }

 private:
  static char Letter(std::string_view root) { return root.empty() ? '?' : root[0]; }
};

}  // namespace inventory_testing
