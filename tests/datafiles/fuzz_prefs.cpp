// libFuzzer target: any bytes as prefs.dat. The load never fails; what it read is saved and
// must read back the same, from a file that is not damaged.
#include "datafiles/prefs.h"
#include "datafiles/fuzz_support.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("prefs.dat", data, size);
  datafiles::Preferences first;
  const datafiles::ReadStatus read = datafiles::ReadPreferences(Files(), first).status;
  Check(read == datafiles::ReadStatus::Loaded || read == datafiles::ReadStatus::Damaged, "prefs.dat is read");
  Check(static_cast<bool>(datafiles::SavePreferences(Files(), first)), "the preferences read are saved");
  datafiles::Preferences again;
  Check(datafiles::ReadPreferences(Files(), again).status == datafiles::ReadStatus::Loaded,
        "a saved prefs.dat is not damaged");
  Check(again.gBrowsePath == first.gBrowsePath && again.gOrphanQuantity == first.gOrphanQuantity &&
            again.gEnableEmbedded == first.gEnableEmbedded && again.gSearchAttributes == first.gSearchAttributes &&
            again.gSearchUserDB == first.gSearchUserDB && again.gSearchChunks == first.gSearchChunks &&
            again.gWaveEditorPath == first.gWaveEditorPath && again.gExportFile == first.gExportFile,
        "prefs.dat reads back what was saved");
  return 0;
}
