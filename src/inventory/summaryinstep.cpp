#include "inventory/summaryinstep.h"

#include <array>
#include <map>
#include <string_view>

#include "datafiles/inventoryfiles.h"
#include "datafiles/inventoryline.h"
#include "inventory/folderscan.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace inventory {
namespace {

using Counts = datafiles::TypeCounts;

void Count(Counts& counts, int column) {
  ++counts[datafiles::kTotal];
  if (column >= 0) ++counts[static_cast<std::size_t>(column)];
}

}  // namespace

SummaryInStep BringSummaryInStep(const datafiles::DataFileNames& files) {
  SummaryInStep step;
  for (const std::string& twin : {datafiles::InventoryTwinFile(files), datafiles::InvSumTwinFile(files)}) {
    if (platform::DeleteFile(twin) == platform::errNone) step.removed.push_back(twin);
  }

  const platform::FileStatus inventory = platform::FileStatusOf(files.gInventoryFile);
  const platform::FileStatus summaryFile = platform::FileStatusOf(files.gInvSumFile);
  if (!inventory.probe.ok() || !summaryFile.probe.ok() || inventory.modifiedNs <= summaryFile.modifiedNs) return step;

  datafiles::InventorySummary stored;
  if (datafiles::LoadInventorySummary(files, stored) != platform::errNone) return step;

  Counts totals{};
  std::map<std::string, Counts, std::less<>> byDrive;
  for (std::int32_t i = 1; i <= stored.gLoopIndex; ++i) byDrive[stored.gSumDriveLetters[static_cast<std::size_t>(i)]];
  try {
    datafiles::InventoryReader reader(files.gInventoryFile);
    datafiles::InventoryLine line;
    std::string name;
    while (reader.Next(line, 4)) {
      name.assign(".").append(line.gInvExtension);
      const int column = CounterOfPattern(AudioPatternOf(name));
      Count(totals, column);
      auto row = byDrive.find(line.gInvDrive);
      if (row != byDrive.end()) Count(row->second, column);
    }
  } catch (const platform::VbError&) {
    return step;  // its readers tell what became of inventory.dat
  }

  datafiles::InventorySummary counted = stored;
  counted.gTypeTotals = totals;
  std::vector<std::string> letters(1);
  std::vector<std::int32_t> icons(1);
  for (std::int32_t i = 1; i <= stored.gLoopIndex; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const Counts& row = byDrive.find(stored.gSumDriveLetters[slot])->second;
    for (int c = 0; c < datafiles::kTypeColumnCount; ++c) {
      counted.gDriveTypeCounts[static_cast<std::size_t>(c)][slot] = row[static_cast<std::size_t>(c)];
    }
    letters.push_back(stored.gSumDriveLetters[slot]);
    icons.push_back(stored.gSumDriveIcons[slot]);
  }
  // Slots past the stored rows were copied unchanged, so the whole arrays compare.
  const bool sameCounts =
      counted.gTypeTotals == stored.gTypeTotals && counted.gDriveTypeCounts == stored.gDriveTypeCounts;
  std::string header = stored.gInvSumHeader;
  if (!sameCounts) {
    const platform::DateTime written = platform::LocalDateTime(inventory.modified);
    header = "Last Updated:  " + platform::ShortDate(written) + "  " + platform::LongTime(written);
  }
  // Written even when the counts were right, so that the next start finds it in step.
  step.error = datafiles::SaveInventorySummary(files, header, letters, icons, stored.gLoopIndex, counted);
  step.rebuilt = step.error == platform::errNone;
  return step;
}

}  // namespace inventory
