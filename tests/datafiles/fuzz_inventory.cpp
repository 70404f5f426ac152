// libFuzzer target: any bytes as inventory.dat. Read for the path alone and whole, the reader
// must see the same lines; every path it gives that splits back into its fields, and every
// analysis text without a comma or line break, must come back through the writer unchanged.
#include <vector>

#include "analysis/audioproperties.h"
#include "datafiles/fuzz_support.h"
#include "datafiles/inventoryline.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("inventory.dat", data, size);
  std::vector<std::string> paths, whole;
  std::vector<datafiles::InventoryLine> lines;
  {
    datafiles::InventoryReader reader(Files().gInventoryFile);
    datafiles::InventoryLine line;
    while (reader.Next(line, 4)) paths.push_back(line.FullPath());
  }
  {
    datafiles::InventoryReader reader(Files().gInventoryFile);
    datafiles::InventoryLine line;
    while (reader.Next(line)) {
      whole.push_back(line.FullPath());
      lines.push_back(line);
    }
  }
  Check(paths == whole, "the same lines and paths whether 4 or 22 fields are read");
  std::vector<bool> found = datafiles::FindPathsInInventory(Files().gInventoryFile, paths);
  for (bool f : found) Check(f, "every path read is found");

  for (const datafiles::InventoryLine& line : lines) {
    const std::string path = line.FullPath();
    datafiles::InventoryLine split;
    datafiles::SplitInventoryPath(path, split);
    if (split.FullPath() != path) continue;  // not a path the writer could have been given
    analysis::AudioProperties props;
    auto texts = props.Texts();
    for (int i = 0; i < 18; ++i) *texts[i] = *line.Fields()[i + 4];
    std::string stored;
    datafiles::AppendStoredInventoryLine(path, &props, stored);
    datafiles::InventoryLine back;
    datafiles::ParseInventoryLine(stored, back);
    Check(back.FullPath() == path, "a path comes back through the writer");
    for (int i = 0; i < 18; ++i) {
      if (texts[i]->find_first_of(",\r\n") != std::string::npos) continue;
      Check(*back.Fields()[i + 4] == *texts[i], "an analysis text comes back through the writer");
    }
  }
  return 0;
}
