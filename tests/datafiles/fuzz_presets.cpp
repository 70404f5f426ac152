// libFuzzer target: any bytes as preset.dat. The load never fails; what it read is saved and
// must read back the same, from a file that is not damaged.
#include "datafiles/prefs.h"
#include "datafiles/fuzz_support.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("preset.dat", data, size);
  datafiles::Presets first;
  const datafiles::ReadStatus read = datafiles::ReadTapdeckPresets(Files(), first).status;
  Check(read == datafiles::ReadStatus::Loaded || read == datafiles::ReadStatus::Damaged, "preset.dat is read");
  Check(static_cast<bool>(datafiles::SaveTapdeckPresets(Files(), first)), "the presets read are saved");
  datafiles::Presets again;
  Check(datafiles::ReadTapdeckPresets(Files(), again).status == datafiles::ReadStatus::Loaded,
        "a saved preset.dat is not damaged");
  Check(again.gPresetCaptions == first.gPresetCaptions && again.gPresetPaths == first.gPresetPaths &&
            again.gPresetLoop == first.gPresetLoop,
        "preset.dat reads back what was saved");
  return 0;
}
