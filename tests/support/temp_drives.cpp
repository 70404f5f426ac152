#include "support/temp_drives.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

TempDrives::TempDrives(std::string_view letters) : previous_(platform::CurrentDriveMap()) {
  std::string templ = (fs::temp_directory_path() / "tolvan-test-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  root_ = templ;
  std::vector<platform::MappedDrive> drives;
  for (char c : letters) {
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::create_directories(fs::path(root_) / std::string(1, lower));
    drives.push_back({c, root_ + "/" + std::string(1, lower)});
  }
  platform::SetDriveMap(platform::DriveMap(std::move(drives)));
}

TempDrives::~TempDrives() {
  platform::SetDriveMap(previous_);
  std::error_code ec;
  // Read-only files and folders must become writable before they can go.
  for (auto it = fs::recursive_directory_iterator(root_, ec); it != fs::recursive_directory_iterator(); ++it) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(root_, ec);
}

std::string TempDrives::Host(std::string_view dosPath) const {
  auto host = platform::CurrentDriveMap().ToHost(dosPath);
  if (!host) throw std::runtime_error("path on no test drive: " + std::string(dosPath));
  return *host;
}

void TempDrives::Write(std::string_view dosPath, std::string_view bytes) const {
  fs::path p = Host(dosPath);
  fs::create_directories(p.parent_path());
  std::error_code ec;
  fs::permissions(p, fs::perms::owner_write, fs::perm_options::add, ec);
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string TempDrives::Read(std::string_view dosPath) const {
  std::ifstream in(Host(dosPath), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + std::string(dosPath));
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempDrives::Exists(std::string_view dosPath) const { return fs::exists(Host(dosPath)); }

void TempDrives::MakeFolder(std::string_view dosPath) const { fs::create_directories(Host(dosPath)); }

void TempDrives::Remove(std::string_view dosPath) const {
  std::error_code ec;
  fs::remove_all(Host(dosPath), ec);
}

}  // namespace testing_support
