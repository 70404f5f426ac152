#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/datafilenames.h"
#include "datafiles/inventoryline.h"
#include "datafiles/outcome.h"

namespace platform {
class MediaPlayer;
}

namespace datafiles {

// The eight count columns of the summary, in their stored order.
enum TypeColumn : int { kTotal = 0, kWav, kMP3, kMIDI, kAu, kAiff, kSnd, kLists };
inline constexpr int kTypeColumnCount = 8;
inline constexpr int kMaxSummaryDriveRows = 27;
inline constexpr int kDriveSlots = 28;  // indices 0 to 27; drive i at index i, 0 unused

using TypeCounts = std::array<std::int64_t, kTypeColumnCount>;
using DriveCounts = std::array<std::int64_t, kDriveSlots>;

// invsum.dat in memory. gDriveTypeCounts[column][i] belongs to drive row i (after a load) or to
// drive i of the current configuration (after a scan).
struct InventorySummary {
  std::string gInvSumHeader;
  TypeCounts gTypeTotals{};
  std::array<std::string, kDriveSlots> gSumDriveLetters;
  std::array<std::int32_t, kDriveSlots> gSumDriveIcons{};
  std::array<DriveCounts, kTypeColumnCount> gDriveTypeCounts{};
  std::int32_t gLoopIndex = 0;  // after a load: the number of drive rows read
};

// The temporary twins of the two full writes, in the data folder.
std::string InventoryTwinFile(const DataFileNames& files);  // inventory.dat.new
std::string InvSumTwinFile(const DataFileNames& files);     // invsum.dat.new

// Writes inventory.dat whole (through its twin, read-only afterwards) from the scan's lists:
// gDriveFileLists[i] holds drive i's full paths (i from 1; index 0 is not written). Each list is
// emptied once written. With gEnableEmbedded 1 every file is analysed (and loaded into `player`
// when one is given). Returns 0, or the error that stopped it (inventory.dat then as it was).
std::int32_t WriteInventoryFile(const DataFileNames& files, std::vector<std::vector<std::string>>& gDriveFileLists,
                                int gEnableEmbedded, platform::MediaPlayer* player);

// Writes invsum.dat whole (through its twin, read-only afterwards): line 1 `txtDBDescription`,
// line 2 summary.gTypeTotals, then for drives 1..gDriveCount of the current configuration a row
// of gDriveLetters[i], gDriveIcons[i] and summary.gDriveTypeCounts[.][i]. Sets gInvSumHeader.
// Returns 0 or the error that stopped it (invsum.dat then as it was).
std::int32_t SaveInventorySummary(const DataFileNames& files, std::string_view txtDBDescription,
                                  const std::vector<std::string>& gDriveLetters,
                                  const std::vector<std::int32_t>& gDriveIcons, std::int32_t gDriveCount,
                                  InventorySummary& summary);

// Reads invsum.dat into `summary` (at most 27 drive rows; slots above gLoopIndex keep their
// values). Returns 0 or the error that stopped the reading (then `summary` is unchanged);
// errFileNotFound when it is missing, for the window side to rebuild it.
std::int32_t LoadInventorySummary(const DataFileNames& files, InventorySummary& summary);

struct InventoryChange {
  std::int32_t error = 0;         // what stopped it; the files then as far as they were written
  std::string file;               // with an error, or missing: the data file it concerns
  bool missing = false;           // that data file was missing: nothing changed, both are to be rebuilt
  DataFile missingFile = DataFile::InventorySummary;
  std::int64_t linesRemoved = 0;  // RemoveFileFromInventory
};

// Appends the playlist `gSavePlaylistPath` as a line with empty analysis fields (inventory.dat
// is created when missing), then adds 1 to Total and Lists of the system and of the drive row
// whose text is the path's first two characters, with a new "Last Updated:  " header.
InventoryChange AddFileToInventory(const DataFileNames& files, std::string_view gSavePlaylistPath,
                                   InventorySummary& summary);

// Removes every line of `gCurrentPlaylistPath` (every other byte kept as it was), then lowers
// Total and Lists of the system and of the drive row whose text is the first two characters of
// `currentCellText` (grdPlaylistInventory's current cell) by the number of lines removed, with a
// new "Last Updated:  " header.
InventoryChange RemoveFileFromInventory(const DataFileNames& files, std::string_view gCurrentPlaylistPath,
                                        std::string_view currentCellText, InventorySummary& summary);

}  // namespace datafiles
