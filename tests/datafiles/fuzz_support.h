// What the data-file fuzz targets share: a data folder on a temporary drive C:, files written
// anew for each input. No message-box service: the core shows none, and one would abort.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datafiles/datafilenames.h"
#include "platform/core/drives.h"
#include "support/fuzz_files.h"

namespace fuzz_support {

inline std::string& Folder() { return TempFolder(); }

// The data folder is C:\data\ on a fresh temporary folder, removed at the end.
inline const datafiles::DataFileNames& Files() {
  static const datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  return files;
}

inline void Initialize() {
  MakeTempFolder("data");
  if (::mkdir((Folder() + "/data").c_str(), 0755) != 0) std::abort();
  platform::SetDriveMap(platform::DriveMap({{'C', Folder()}}));
}

// The host path of a file of the data folder.
inline std::string Host(std::string_view name) { return Folder() + "/data/" + std::string(name); }

inline void WriteFile(std::string_view name, const std::uint8_t* data, std::size_t size) {
  WriteHostFile(Host(name), std::string_view(reinterpret_cast<const char*>(data), size));
}

}  // namespace fuzz_support
