#pragma once

#include <string>

namespace datafiles {

// The full names of the files of the data folder, built once at start from the program's
// folder (drive-letter form, the folder ending in "\").
struct DataFileNames {
  std::string gDataPath;
  std::string gGroupsFile;
  std::string gUserDBFile;
  std::string gInventoryFile;
  std::string gInvSumFile;
  std::string gTempUserDBFile;
  std::string gTempInvDBFile;
  std::string gPrefsFile;
  std::string gPresetFile;
  std::string gResultFile;

  static DataFileNames InFolder(const std::string& dataPath);
};

}  // namespace datafiles
