#include "platform/core/driveinfo.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <fstream>
#include <sstream>

#include "platform/core/drives.h"
#include "platform/core/mounts.h"

namespace platform {
namespace {

std::string RealPath(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf)) return buf;
  return {};
}

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The host folder behind a drive-letter root, when the letter is mapped and it is a folder.
std::optional<std::string> HostRootOf(std::string_view root, struct stat& st) {
  if (root.empty()) return std::nullopt;
  const MappedDrive* drive = CurrentDriveMap().find(root[0]);
  if (!drive) return std::nullopt;
  if (::stat(drive->hostRoot.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return drive->hostRoot;
}

std::optional<MountEntry> MountOfHostFolder(const std::string& folder, const struct stat& st) {
  std::vector<MountEntry> mounts = ParseMountInfo(ReadSmallFile("/proc/self/mountinfo"));
  std::string real = RealPath(folder);
  if (real.empty()) real = folder;
  return MountOfFolder(mounts, major(st.st_dev), minor(st.st_dev), real);
}

// The name under /dev/disk/<by> of the link that leads to `device`; empty when none does.
std::string DiskLinkName(const char* by, const std::string& device) {
  if (device.rfind("/dev/", 0) != 0) return {};
  std::string target = RealPath(device);
  if (target.empty()) return {};
  std::string folder = std::string("/dev/disk/") + by;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (RealPath(folder + "/" + name) == target) {
      found = name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool IsRemovableDevice(const std::string& device) {
  if (device.rfind("/dev/", 0) != 0) return false;
  std::string target = RealPath(device);
  if (target.empty()) return false;
  std::string name = target.substr(target.rfind('/') + 1);
  std::string sys = RealPath("/sys/class/block/" + name);
  if (sys.empty()) return false;
  // A partition's flag is its disk's, one folder up.
  for (const std::string& folder : {sys, sys.substr(0, sys.rfind('/'))}) {
    std::string flag = ReadSmallFile(folder + "/removable");
    if (!flag.empty()) return flag[0] == '1';
  }
  return false;
}

bool IsOneOf(std::string_view type, std::initializer_list<std::string_view> list) {
  for (std::string_view t : list) {
    if (type == t) return true;
  }
  return false;
}

HostDriveFacts gHostFacts;
DriveFacts* gFacts = nullptr;

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> out;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    // id parent major:minor root mountpoint options [optional...] - type source superoptions
    std::size_t dash = 6;
    while (dash < f.size() && f[dash] != "-") ++dash;
    if (f.size() < 7 || dash + 2 >= f.size()) continue;
    MountEntry m;
    unsigned long maj = 0, min = 0;
    if (std::sscanf(f[2].c_str(), "%lu:%lu", &maj, &min) != 2) continue;
    m.major = static_cast<std::uint32_t>(maj);
    m.minor = static_cast<std::uint32_t>(min);
    m.mountPoint = UnescapeMountField(f[4]);
    m.fsType = f[dash + 1];
    m.source = UnescapeMountField(f[dash + 2]);
    out.push_back(std::move(m));
  }
  return out;
}

std::optional<MountEntry> MountOfFolder(const std::vector<MountEntry>& mounts, std::uint32_t major,
                                        std::uint32_t minor, std::string_view realFolder) {
  const MountEntry* best = nullptr;
  const MountEntry* sameDevice = nullptr;
  for (const MountEntry& m : mounts) {
    if (m.major != major || m.minor != minor) continue;
    sameDevice = &m;
    if (PathWithin(realFolder, m.mountPoint) && (!best || m.mountPoint.size() >= best->mountPoint.size())) best = &m;
  }
  if (!best) best = sameDevice;
  if (!best) return std::nullopt;
  return *best;
}

int DriveTypeOfMount(const MountEntry& mount, bool removable) {
  std::string_view type = mount.fsType;
  if (IsNetworkFileSystem(type)) {
    return kDriveRemote;
  }
  if (IsOneOf(type, {"iso9660", "udf"}) || mount.source.rfind("/dev/sr", 0) == 0) return kDriveCdrom;
  if (IsOneOf(type, {"tmpfs", "ramfs"})) return kDriveRamdisk;
  if (removable) return kDriveRemovable;
  return kDriveFixed;
}

std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid) {
  std::uint64_t low = 0;
  bool any = false;
  for (char c : uuid) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      continue;
    }
    low = ((low << 4) | static_cast<std::uint64_t>(digit)) & 0xFFFFFFFFu;
    any = true;
  }
  if (!any) return std::nullopt;
  return static_cast<std::uint32_t>(low);
}

std::string DecodeUdevName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto hex = [&](std::size_t k) { return k < name.size() && std::isxdigit(static_cast<unsigned char>(name[k])); };
    if (name[i] == '\\' && i + 1 < name.size() && name[i + 1] == 'x' && hex(i + 2) && hex(i + 3)) {
      out.push_back(static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(name[i]);
    }
  }
  return out;
}

int HostDriveFacts::GetDriveType(std::string_view root) {
  struct stat st {};
  std::optional<std::string> host = HostRootOf(root, st);
  if (!host) return kDriveNoRootDir;
  std::optional<MountEntry> mount = MountOfHostFolder(*host, st);
  if (!mount) return kDriveUnknown;
  return DriveTypeOfMount(*mount, IsRemovableDevice(mount->source));
}

std::optional<VolumeInformation> HostDriveFacts::GetVolumeInformation(std::string_view root) {
  struct stat st {};
  std::optional<std::string> host = HostRootOf(root, st);
  if (!host) return std::nullopt;
  struct statvfs vfs {};
  if (::statvfs(host->c_str(), &vfs) != 0) return std::nullopt;
  VolumeInformation info;
  std::optional<MountEntry> mount = MountOfHostFolder(*host, st);
  std::optional<std::uint32_t> serial;
  if (mount) {
    for (char c : mount->fsType) info.fileSystemName.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    info.volumeName = DecodeUdevName(DiskLinkName("by-label", mount->source));
    serial = SerialFromUuid(DiskLinkName("by-uuid", mount->source));
  }
  if (!serial) {
    // Without a UUID the file system's own id stands in for the serial number.
    std::uint64_t id = vfs.f_fsid;
    serial = static_cast<std::uint32_t>(id ^ (id >> 32));
  }
  info.serialNumber = *serial;
  return info;
}

std::optional<DiskFreeSpace> HostDriveFacts::GetDiskFreeSpaceEx(std::string_view root) {
  struct stat st {};
  std::optional<std::string> host = HostRootOf(root, st);
  if (!host) return std::nullopt;
  struct statvfs vfs {};
  if (::statvfs(host->c_str(), &vfs) != 0) return std::nullopt;
  const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  DiskFreeSpace space;
  space.totalBytes = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
  space.totalFreeBytes = static_cast<std::uint64_t>(vfs.f_bfree) * unit;
  space.freeBytesAvailable = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
  return space;
}

DriveFacts& CurrentDriveFacts() { return gFacts ? *gFacts : gHostFacts; }
void SetDriveFacts(DriveFacts* facts) { gFacts = facts; }

}  // namespace platform
