#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/drives.h"

namespace testing_support {

// Temporary folders standing in for drives: drive X: is <tmp>/x. The program's drive map
// points at them while the object lives.
class TempDrives {
 public:
  explicit TempDrives(std::string_view letters = "C");
  ~TempDrives();
  TempDrives(const TempDrives&) = delete;
  TempDrives& operator=(const TempDrives&) = delete;

  // Host path of a drive-letter path.
  std::string Host(std::string_view dosPath) const;
  // Creates the file (and its folders) with the given bytes.
  void Write(std::string_view dosPath, std::string_view bytes) const;
  std::string Read(std::string_view dosPath) const;
  bool Exists(std::string_view dosPath) const;
  void MakeFolder(std::string_view dosPath) const;
  void Remove(std::string_view dosPath) const;
  const std::string& root() const { return root_; }

 private:
  std::string root_;
  platform::DriveMap previous_;
};

}  // namespace testing_support
