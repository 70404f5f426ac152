#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One logical drive: a letter and the host folder it stands for.
struct MappedDrive {
  char letter = 'C';     // upper case
  std::string hostRoot;  // absolute, no trailing slash except for "/"
};

// The logical drives C: .. Z: and the host folders behind them. Every path the program
// handles is in drive-letter form (C:\Music\a.wav); only this layer sees host paths.
class DriveMap {
 public:
  DriveMap() = default;
  explicit DriveMap(std::vector<MappedDrive> drives);

  // "C=/path/one;D=/path/two". Entries that are malformed are skipped.
  static DriveMap Parse(std::string_view mapText);
  // The default map: C: is "/", each further mounted disk, removable medium or network
  // share takes the next letter, in the order of their mount points.
  // `isFolder` tells real folders from file bind mounts (stat by default).
  static DriveMap FromMountTable(std::string_view procMounts,
                                 bool (*isFolder)(const std::string&) = nullptr);
  // TOLVAN_DRIVES when set, else the host's mount table.
  static DriveMap FromEnvironment();

  const std::vector<MappedDrive>& drives() const { return drives_; }
  const MappedDrive* find(char letter) const;

  // C:\Music\a.wav -> /host/root/Music/a.wav; nothing when the letter is not mapped.
  std::optional<std::string> ToHost(std::string_view dosPath) const;
  // The reverse; nothing when the path lies on no mapped drive or holds a name that
  // cannot be written in drive-letter form (a backslash in a name).
  std::optional<std::string> ToDos(std::string_view hostPath) const;

  // The platform's drive-string list: "C:\" NUL "D:\" NUL ... NUL.
  std::string LogicalDriveStrings() const;

 private:
  std::vector<MappedDrive> drives_;  // sorted by letter, at most one per letter
};

// The map the running program uses; set once at start (tests set their own).
const DriveMap& CurrentDriveMap();
void SetDriveMap(DriveMap map);

// Shorthands over the current map. HostPathOf gives "" when the path is on no mapped drive.
std::string HostPathOf(std::string_view dosPath);
std::optional<std::string> DosPathOf(std::string_view hostPath);

}  // namespace platform
