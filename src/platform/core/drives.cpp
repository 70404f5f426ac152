#include "platform/core/drives.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/core/mounts.h"

namespace platform {
namespace {

std::string NormalizeHostRoot(std::string root) {
  // Collapse repeated slashes and drop a trailing one.
  std::string out;
  out.reserve(root.size());
  for (char c : root) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsPseudoFs(std::string_view type) {
  static const char* const kPseudo[] = {
      "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "cgroup", "cgroup2", "securityfs",
      "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl",
      "binfmt_misc", "autofs", "efivarfs", "overlay", "squashfs", "nsfs", "rpc_pipefs",
      "fuse.gvfsd-fuse", "fuse.portal", "selinuxfs"};
  return std::any_of(std::begin(kPseudo), std::end(kPseudo),
                     [&](const char* p) { return type == p; });
}

bool IsSystemMountPoint(std::string_view mp) {
  static const char* const kSystem[] = {"/proc", "/sys", "/dev", "/boot", "/snap", "/etc",
                                        "/usr", "/var", "/tmp", "/run"};
  if (PathWithin(mp, "/run/media")) return false;
  return std::any_of(std::begin(kSystem), std::end(kSystem),
                     [&](const char* p) { return PathWithin(mp, p); });
}

}  // namespace

DriveMap::DriveMap(std::vector<MappedDrive> drives) {
  for (auto& d : drives) {
    d.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(d.letter)));
    if (d.letter < 'A' || d.letter > 'Z' || d.hostRoot.empty() || d.hostRoot[0] != '/') continue;
    d.hostRoot = NormalizeHostRoot(d.hostRoot);
    if (find(d.letter)) continue;
    drives_.push_back(std::move(d));
    std::sort(drives_.begin(), drives_.end(),
              [](const MappedDrive& a, const MappedDrive& b) { return a.letter < b.letter; });
  }
}

DriveMap DriveMap::Parse(std::string_view mapText) {
  std::vector<MappedDrive> drives;
  size_t start = 0;
  while (start <= mapText.size()) {
    size_t end = mapText.find(';', start);
    if (end == std::string_view::npos) end = mapText.size();
    std::string_view entry = mapText.substr(start, end - start);
    size_t eq = entry.find('=');
    if (eq != std::string_view::npos && eq >= 1) {
      std::string_view letter = entry.substr(0, eq);
      while (!letter.empty() && letter.front() == ' ') letter.remove_prefix(1);
      if (!letter.empty() && letter.back() == ':') letter.remove_suffix(1);
      if (letter.size() == 1 && std::isalpha(static_cast<unsigned char>(letter[0]))) {
        drives.push_back({letter[0], std::string(entry.substr(eq + 1))});
      }
    }
    start = end + 1;
  }
  return DriveMap(std::move(drives));
}

DriveMap DriveMap::FromMountTable(std::string_view procMounts, bool (*isFolder)(const std::string&)) {
  if (!isFolder) isFolder = IsDirectory;
  std::vector<std::string> further;
  std::istringstream in{std::string(procMounts)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    mountPoint = NormalizeHostRoot(UnescapeMountField(mountPoint));
    if (mountPoint == "/" || IsPseudoFs(type) || IsSystemMountPoint(mountPoint)) continue;
    if (!IsNetworkFileSystem(type) && device.rfind("/dev/", 0) != 0) continue;
    if (!isFolder(mountPoint)) continue;  // file bind mounts
    if (std::find(further.begin(), further.end(), mountPoint) == further.end()) {
      further.push_back(mountPoint);
    }
  }
  std::sort(further.begin(), further.end());
  std::vector<MappedDrive> drives{{'C', "/"}};
  char letter = 'D';
  for (const auto& mp : further) {
    if (letter > 'Z') break;
    drives.push_back({letter++, mp});
  }
  return DriveMap(std::move(drives));
}

DriveMap DriveMap::FromEnvironment() {
  if (const char* mapText = std::getenv("TOLVAN_DRIVES"); mapText && *mapText) return Parse(mapText);
  std::ifstream mounts("/proc/self/mounts");
  std::stringstream text;
  text << mounts.rdbuf();
  return FromMountTable(text.str());
}

const MappedDrive* DriveMap::find(char letter) const {
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const auto& d : drives_) {
    if (d.letter == up) return &d;
  }
  return nullptr;
}

std::optional<std::string> DriveMap::ToHost(std::string_view dosPath) const {
  if (dosPath.size() < 2 || dosPath[1] != ':') return std::nullopt;
  const MappedDrive* drive = find(dosPath[0]);
  if (!drive) return std::nullopt;
  std::string rest;
  rest.reserve(dosPath.size());
  for (char c : dosPath.substr(2)) {
    char s = (c == '\\') ? '/' : c;
    if (s == '/' && (rest.empty() || rest.back() == '/')) {
      if (rest.empty()) rest.push_back('/');
      continue;
    }
    rest.push_back(s);
  }
  if (rest.empty() || rest[0] != '/') rest.insert(rest.begin(), '/');
  if (drive->hostRoot == "/") return rest;
  if (rest == "/") return drive->hostRoot;
  return drive->hostRoot + rest;
}

std::optional<std::string> DriveMap::ToDos(std::string_view hostPath) const {
  if (hostPath.empty() || hostPath[0] != '/') return std::nullopt;
  std::string path = NormalizeHostRoot(std::string(hostPath));
  const MappedDrive* best = nullptr;
  for (const auto& d : drives_) {
    if (PathWithin(path, d.hostRoot) && (!best || d.hostRoot.size() > best->hostRoot.size())) {
      best = &d;
    }
  }
  if (!best) return std::nullopt;
  std::string_view rest = std::string_view(path).substr(best->hostRoot == "/" ? 0 : best->hostRoot.size());
  if (rest.find('\\') != std::string_view::npos) return std::nullopt;
  std::string out{best->letter, ':'};
  if (rest.empty()) rest = "/";
  for (char c : rest) out.push_back(c == '/' ? '\\' : c);
  return out;
}

std::string DriveMap::LogicalDriveStrings() const {
  std::string out;
  for (const auto& d : drives_) {
    out.push_back(d.letter);
    out += ":\\";
    out.push_back('\0');
  }
  out.push_back('\0');
  return out;
}

namespace {
std::mutex gMapMutex;
std::optional<DriveMap> gMap;
}  // namespace

const DriveMap& CurrentDriveMap() {
  std::lock_guard lock(gMapMutex);
  if (!gMap) gMap = DriveMap::FromEnvironment();
  return *gMap;
}

void SetDriveMap(DriveMap map) {
  std::lock_guard lock(gMapMutex);
  gMap = std::move(map);
}

std::string HostPathOf(std::string_view dosPath) {
  return CurrentDriveMap().ToHost(dosPath).value_or(std::string());
}

std::optional<std::string> DosPathOf(std::string_view hostPath) {
  return CurrentDriveMap().ToDos(hostPath);
}

}  // namespace platform
