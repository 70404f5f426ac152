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
  datafiles::LoadTapdeckPresets(Files(), first, nullptr);
  Check(datafiles::SaveTapdeckPresets(Files(), first), "the presets read are saved");
  const int boxes = Boxes().shown;
  datafiles::Presets again;
  datafiles::LoadTapdeckPresets(Files(), again, nullptr);
  Check(Boxes().shown == boxes, "a saved preset.dat is not damaged");
  Check(again.gPresetCaptions == first.gPresetCaptions && again.gPresetPaths == first.gPresetPaths &&
            again.gPresetLoop == first.gPresetLoop,
        "preset.dat reads back what was saved");
  return 0;
}
