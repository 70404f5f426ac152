// libFuzzer target: any bytes as groups.dat. Whatever loads must save, and the saved file must
// load back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "datafiles/groups.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "support/fuzz_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeTempFolder("groups");
  platform::SetDriveMap(platform::DriveMap({{'C', fuzz_support::TempFolder()}}));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto files = datafiles::DataFileNames::InFolder("C:\\");
  const std::string path = fuzz_support::TempFolder() + "/groups.dat";
  fuzz_support::WriteHostFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  platform::TreeModel tree;
  datafiles::LoadGroupTree(files, tree);
  if (!tree.Root()) std::abort();  // there is always a root
  const std::string saved = datafiles::GroupsFileText(tree);
  fuzz_support::WriteHostFile(path, saved);
  platform::TreeModel again;
  if (datafiles::LoadGroupTree(files, again) != datafiles::GroupsLoad::Loaded) std::abort();
  if (datafiles::GroupsFileText(again) != saved) std::abort();
  return 0;
}
