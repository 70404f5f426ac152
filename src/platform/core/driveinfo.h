#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The platform's drive types, as its drive-type query numbers them.
enum DriveType : int {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdrom = 5,
  kDriveRamdisk = 6,
};

struct VolumeInformation {
  std::string volumeName;      // empty when the volume has no label
  std::uint32_t serialNumber = 0;
  std::string fileSystemName;  // "EXT4", "VFAT", "NTFS3" ...
};

struct DiskFreeSpace {
  std::uint64_t freeBytesAvailable = 0;  // free to the caller
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFreeBytes = 0;
};

// What the platform tells about a logical drive. `root` is a drive-letter root, "C:\" or "C:".
class DriveFacts {
 public:
  virtual ~DriveFacts() = default;
  virtual int GetDriveType(std::string_view root) = 0;
  // Nothing when the query fails (unmapped letter, missing folder, no medium).
  virtual std::optional<VolumeInformation> GetVolumeInformation(std::string_view root) = 0;
  virtual std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root) = 0;
};

// The facts of the host's file systems behind the current drive map: the mount table
// (/proc/self/mountinfo), /sys/class/block for removable media, /dev/disk/by-label and
// /dev/disk/by-uuid for labels and serial numbers, statvfs for the sizes.
class HostDriveFacts : public DriveFacts {
 public:
  int GetDriveType(std::string_view root) override;
  std::optional<VolumeInformation> GetVolumeInformation(std::string_view root) override;
  std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root) override;
};

// The facts in use: the host's unless a test installs its own (nullptr restores the host's).
DriveFacts& CurrentDriveFacts();
void SetDriveFacts(DriveFacts* facts);

// ---- the pieces of the host facts, for their tests

// One line of /proc/self/mountinfo.
struct MountEntry {
  std::uint32_t major = 0, minor = 0;
  std::string mountPoint;  // unescaped
  std::string fsType;
  std::string source;      // the device, "/dev/sda1", or the file system's own name
};
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount a host folder lies on: the last (uppermost) mount of its device whose mount point
// contains it; failing that the last mount of its device; nothing when none matches.
std::optional<MountEntry> MountOfFolder(const std::vector<MountEntry>& mounts, std::uint32_t major,
                                        std::uint32_t minor, std::string_view realFolder);

// The drive type of a mount; `removable` is the block device's removable flag.
int DriveTypeOfMount(const MountEntry& mount, bool removable);

// The serial number a file system's UUID gives: the low 32 bits of the number its hex digits
// spell ("ABCD-1234" gives 0xABCD1234); nothing without hex digits.
std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid);

// udev's link names escape characters as \xHH ("My\x20Music").
std::string DecodeUdevName(std::string_view name);

}  // namespace platform
