#include "inventory/folderscan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/core/drives.h"

namespace inventory {
namespace {

constexpr int kCounters[kPatternCount] = {
    datafiles::kWav,  datafiles::kMP3,  datafiles::kMIDI, datafiles::kMIDI, datafiles::kMIDI, datafiles::kAiff,
    datafiles::kAiff, datafiles::kAiff, datafiles::kAu,   datafiles::kSnd,  datafiles::kLists,
};

// Folders deeper than this are read and closed at once, their subfolders opened by full
// path, so that a deep tree cannot use up the process's file descriptors.
constexpr std::size_t kOpenDepth = 96;
constexpr std::size_t kDentBuffer = 64 * 1024;

inline unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }
inline unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// The order of names with letter case ignored (ASCII letters folded to upper case); names that
// differ only in case follow their bytes, so that the order is total.
bool NameLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = Upper(static_cast<unsigned char>(a[i])), y = Upper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

bool Storable(const char* name, std::size_t len) {
  for (std::size_t i = 0; i < len; ++i) {
    char c = name[i];
    if (c == '\\' || c == '\r' || c == '\n') return false;
  }
  return true;
}

struct Name {
  std::uint32_t offset;
  std::uint32_t length;
  int pattern;
};

// One folder on the way down: its subfolders still to enter.
struct Frame {
  int fd = -1;
  std::size_t dosLength = 0, hostLength = 0;  // of the folder's own paths in the scanner's buffers
  std::string names;
  std::vector<Name> subfolders;
  std::size_t next = 0;
};

class Scanner {
 public:
  Scanner(std::vector<std::string>& out, DriveTypeCounts& counts, int drive)
      : out_(out), counts_(counts), drive_(drive), buffer_(new char[kDentBuffer]) {}

  void Run(std::string dosRoot, std::string hostRoot) {
    if (hostRoot.empty()) return;
    int fd = ::open(hostRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      ::close(fd);
      return;
    }
    device_ = st.st_dev;
    dos_ = std::move(dosRoot);
    if (dos_.empty() || dos_.back() != '\\') dos_.push_back('\\');
    host_ = std::move(hostRoot);
    if (host_.back() != '/') host_.push_back('/');

    std::size_t depth = 0;
    Enter(depth, fd);
    for (;;) {
      Frame& f = stack_[depth];
      if (f.next == f.subfolders.size()) {
        if (f.fd >= 0) ::close(f.fd);
        f.fd = -1;
        if (depth == 0) break;
        --depth;
        continue;
      }
      const Name n = f.subfolders[f.next++];
      const char* name = f.names.data() + n.offset;
      dos_.resize(f.dosLength);
      host_.resize(f.hostLength);
      int child;
      constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
      if (f.fd >= 0) {
        child = ::openat(f.fd, name, kFlags);
      } else {
        std::string full = host_;
        full.append(name, n.length);
        child = ::open(full.c_str(), kFlags);
      }
      if (child < 0) continue;
      if (::fstat(child, &st) != 0 || st.st_dev != device_) {
        ::close(child);
        continue;
      }
      dos_.append(name, n.length).push_back('\\');
      host_.append(name, n.length).push_back('/');
      Enter(++depth, child);
    }
  }

 private:
  // Reads the folder open on `fd` as the frame at `depth`: lists its files, keeps its subfolders.
  void Enter(std::size_t depth, int fd) {
    if (stack_.size() <= depth) stack_.resize(depth + 1);
    Frame& f = stack_[depth];
    f.dosLength = dos_.size();
    f.hostLength = host_.size();
    f.names.clear();
    f.subfolders.clear();
    f.next = 0;
    Read(fd, f);
    if (depth >= kOpenDepth) {
      ::close(fd);
      f.fd = -1;
    } else {
      f.fd = fd;
    }
  }

  void Read(int fd, Frame& f) {
    fileNames_.clear();
    files_.clear();
    for (;;) {
      ssize_t got = ::getdents64(fd, buffer_.get(), kDentBuffer);
      if (got <= 0) break;
      for (ssize_t pos = 0; pos < got;) {
        auto* d = reinterpret_cast<struct dirent64*>(buffer_.get() + pos);
        pos += d->d_reclen;
        const char* name = d->d_name;
        const std::size_t len = std::strlen(name);
        if (name[0] == '.' && (len == 1 || (len == 2 && name[1] == '.'))) continue;
        if (!Storable(name, len)) continue;
        unsigned char type = d->d_type;
        if (type == DT_UNKNOWN) {
          struct stat st {};
          if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
          type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
          f.subfolders.push_back({static_cast<std::uint32_t>(f.names.size()), static_cast<std::uint32_t>(len), -1});
          f.names.append(name, len + 1);  // with its NUL, for openat
          continue;
        }
        if (type != DT_REG && type != DT_LNK) continue;
        const int pattern = AudioPatternOf(std::string_view(name, len));
        if (pattern < 0) continue;
        if (type == DT_LNK) {
          struct stat st {};
          if (::fstatat(fd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        }
        files_.push_back({static_cast<std::uint32_t>(fileNames_.size()), static_cast<std::uint32_t>(len), pattern});
        fileNames_.append(name, len);
      }
    }

    const std::string& fn = fileNames_;
    std::sort(files_.begin(), files_.end(), [&fn](const Name& a, const Name& b) {
      if (a.pattern != b.pattern) return a.pattern < b.pattern;
      return NameLess(std::string_view(fn).substr(a.offset, a.length), std::string_view(fn).substr(b.offset, b.length));
    });
    const std::string& sn = f.names;
    std::sort(f.subfolders.begin(), f.subfolders.end(), [&sn](const Name& a, const Name& b) {
      return NameLess(std::string_view(sn).substr(a.offset, a.length), std::string_view(sn).substr(b.offset, b.length));
    });

    const bool counted = drive_ >= 0 && drive_ < datafiles::kDriveSlots;
    for (const Name& n : files_) {
      std::string full;
      full.reserve(dos_.size() + n.length);
      full.append(dos_).append(fileNames_, n.offset, n.length);
      out_.push_back(std::move(full));
      if (counted) {
        ++counts_[datafiles::kTotal][static_cast<std::size_t>(drive_)];
        ++counts_[static_cast<std::size_t>(kCounters[n.pattern])][static_cast<std::size_t>(drive_)];
      }
    }
  }

  std::vector<std::string>& out_;
  DriveTypeCounts& counts_;
  int drive_;
  std::unique_ptr<char[]> buffer_;
  dev_t device_ = 0;
  std::string dos_, host_;
  std::vector<Frame> stack_;
  std::string fileNames_;
  std::vector<Name> files_;
};

}  // namespace

int AudioPatternOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return -1;
  const std::size_t n = name.size() - dot - 1;
  if (n < 2 || n > 4) return -1;
  unsigned char x[4] = {};
  for (std::size_t i = 0; i < n; ++i) x[i] = Lower(static_cast<unsigned char>(name[dot + 1 + i]));
  auto is = [&](const char* e) { return std::memcmp(x, e, n) == 0; };
  switch (n) {
    case 2:
      return is("au") ? 8 : -1;
    case 3:
      if (is("wav")) return 0;
      if (is("mp3")) return 1;
      if (is("mid")) return 2;
      if (is("rmi")) return 4;
      if (is("aif")) return 5;
      if (is("snd")) return 9;
      if (is("m3u")) return 10;
      return -1;
    default:
      if (is("midi")) return 3;
      if (is("aifc")) return 6;
      if (is("aiff")) return 7;
      return -1;
  }
}

int CounterOfPattern(int pattern) { return pattern >= 0 && pattern < kPatternCount ? kCounters[pattern] : -1; }

std::vector<std::string> ScanFolderForAudio(const std::string& path, int driveNumber,
                                            DriveTypeCounts& gDriveTypeCounts) {
  std::vector<std::string> found;
  Scanner scanner(found, gDriveTypeCounts, driveNumber);
  scanner.Run(path, platform::HostPathOf(path));
  return found;
}

}  // namespace inventory
