#include "datafiles/datafilenames.h"

namespace datafiles {

DataFileNames DataFileNames::InFolder(const std::string& dataPath) {
  DataFileNames n;
  n.gDataPath = dataPath;
  n.gGroupsFile = dataPath + "groups.dat";
  n.gUserDBFile = dataPath + "userdb.dat";
  n.gInventoryFile = dataPath + "inventory.dat";
  n.gInvSumFile = dataPath + "invsum.dat";
  n.gTempUserDBFile = dataPath + "tempuserdb.dat";
  n.gTempInvDBFile = dataPath + "tempinvdb.dat";
  n.gPrefsFile = dataPath + "prefs.dat";
  n.gPresetFile = dataPath + "preset.dat";
  n.gResultFile = dataPath + "result.dat";
  return n;
}

}  // namespace datafiles
