// libFuzzer target: any bytes as invsum.dat. A summary that loads is saved under its own
// drive texts and icons and must load back the same.
#include "datafiles/fuzz_support.h"
#include "datafiles/inventoryfiles.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("invsum.dat", data, size);
  datafiles::InventorySummary first;
  if (datafiles::LoadInventorySummary(Files(), first) != 0) return 0;
  std::vector<std::string> letters(1);
  std::vector<std::int32_t> icons(1);
  for (std::int32_t i = 1; i <= first.gLoopIndex; ++i) {
    letters.push_back(first.gSumDriveLetters[static_cast<std::size_t>(i)]);
    icons.push_back(first.gSumDriveIcons[static_cast<std::size_t>(i)]);
  }
  datafiles::InventorySummary saved = first;
  Check(datafiles::SaveInventorySummary(Files(), first.gInvSumHeader, letters, icons, first.gLoopIndex, saved) == 0,
        "the summary read is saved");
  datafiles::InventorySummary again;
  Check(datafiles::LoadInventorySummary(Files(), again) == 0, "a saved summary loads");
  Check(again.gInvSumHeader == first.gInvSumHeader, "the header reads back");
  Check(again.gTypeTotals == first.gTypeTotals, "the totals read back");
  Check(again.gLoopIndex == first.gLoopIndex, "every drive row reads back");
  for (std::int32_t i = 1; i <= first.gLoopIndex; ++i) {
    const auto s = static_cast<std::size_t>(i);
    Check(again.gSumDriveLetters[s] == first.gSumDriveLetters[s], "a drive text reads back");
    Check(again.gSumDriveIcons[s] == first.gSumDriveIcons[s], "an icon reads back");
    for (int c = 0; c < datafiles::kTypeColumnCount; ++c) {
      Check(again.gDriveTypeCounts[c][s] == first.gDriveTypeCounts[c][s], "a count reads back");
    }
  }
  return 0;
}
