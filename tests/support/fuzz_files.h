// What the fuzz targets share: a temporary folder of their own, removed when the run ends, files
// written anew for each input, and a check that stops the run with what broke.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz_support {

inline std::string& TempFolder() {
  static std::string folder;
  return folder;
}

// Makes the run's folder, /tmp/tolvan-fuzz-<tag>-XXXXXX.
inline const std::string& MakeTempFolder(const std::string& tag) {
  std::string templ = "/tmp/tolvan-fuzz-" + tag + "-XXXXXX";
  if (!::mkdtemp(templ.data())) std::abort();
  TempFolder() = templ;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(TempFolder(), ignored);
  });
  return TempFolder();
}

// A new file each time: rewriting one in place makes some file systems wait for the disk, and
// the program leaves its data files read-only.
inline void WriteHostFile(const std::string& path, std::string_view bytes) {
  ::unlink(path.c_str());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace fuzz_support
