// What the data-file fuzz targets share: a data folder on a temporary drive C:, files written
// anew for each input, and message boxes answered OK and counted.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "datafiles/datafilenames.h"
#include "platform/core/drives.h"
#include "platform/core/msgbox.h"

namespace fuzz_support {

class CountedBoxes : public platform::MessageBoxService {
 public:
  int Show(std::string_view, int, std::string_view) override {
    ++shown;
    return platform::vbOK;
  }
  int shown = 0;
};

inline std::string& Folder() {
  static std::string folder;
  return folder;
}

inline CountedBoxes& Boxes() {
  static CountedBoxes boxes;
  return boxes;
}

// The data folder is C:\data\ on a fresh temporary folder, removed at the end.
inline const datafiles::DataFileNames& Files() {
  static const datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  return files;
}

inline void Initialize() {
  char templ[] = "/tmp/tolvan-fuzz-XXXXXX";
  if (!::mkdtemp(templ)) std::abort();
  Folder() = templ;
  if (::mkdir((Folder() + "/data").c_str(), 0755) != 0) std::abort();
  platform::SetDriveMap(platform::DriveMap({{'C', Folder()}}));
  platform::SetMessageBoxes(&Boxes());
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
  });
}

// The host path of a file of the data folder.
inline std::string Host(std::string_view name) { return Folder() + "/data/" + std::string(name); }

// A new file each time (the program leaves its files read-only; a new one can always be made).
inline void WriteFile(std::string_view name, const std::uint8_t* data, std::size_t size) {
  const std::string path = Host(name);
  ::unlink(path.c_str());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// Stops the run with a message when a property does not hold.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace fuzz_support
