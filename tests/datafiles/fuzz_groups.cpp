// libFuzzer target: any bytes as groups.dat. Whatever loads must save, and the saved file must
// load back to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "datafiles/groups.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"

namespace {

std::string gFolder;

void WriteFile(const std::string& path, const std::string& bytes) {
  ::unlink(path.c_str());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char templ[] = "/tmp/tolvan-fuzz-groups-XXXXXX";
  if (!::mkdtemp(templ)) std::abort();
  gFolder = templ;
  platform::SetDriveMap(platform::DriveMap({{'C', gFolder}}));
  std::atexit([] {
    ::unlink((gFolder + "/groups.dat").c_str());
    ::rmdir(gFolder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto files = datafiles::DataFileNames::InFolder("C:\\");
  WriteFile(gFolder + "/groups.dat", std::string(reinterpret_cast<const char*>(data), size));
  platform::TreeModel tree;
  datafiles::LoadGroupTree(files, tree);
  if (!tree.Root()) std::abort();  // there is always a root
  const std::string saved = datafiles::GroupsFileText(tree);
  WriteFile(gFolder + "/groups.dat", saved);
  platform::TreeModel again;
  if (datafiles::LoadGroupTree(files, again) != datafiles::GroupsLoad::Loaded) std::abort();
  if (datafiles::GroupsFileText(again) != saved) std::abort();
  return 0;
}
