#include "platform/core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/core/drives.h"
#include "platform/core/errors.h"

namespace platform {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
std::atomic<std::int64_t> gWriteBudget{-1};

std::string HostOrThrow(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) throw VbError(errPathNotFound);
  return *host;
}

std::string ParentOf(const std::string& hostPath) {
  auto slash = hostPath.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return hostPath.substr(0, slash);
}

// ENOENT means a missing file only when the folder that should hold it exists.
std::int32_t MissingError(const std::string& hostPath) {
  struct stat st {};
  std::string parent = ParentOf(hostPath);
  if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return errFileNotFound;
  return errPathNotFound;
}

std::int32_t StatError(const std::string& hostPath, int err) {
  if (err == ENOENT) return MissingError(hostPath);
  return ErrorFromErrno(err);
}

std::int64_t ModifiedNs(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

FileProbe FileLenHost(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return {0, StatError(hostPath, errno)};
  if (!S_ISREG(st.st_mode)) return {0, errFileNotFound};
  return {static_cast<std::int64_t>(st.st_size), errNone};
}

FileStatus FileStatusOfHost(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return {{0, StatError(hostPath, errno)}, 0};
  if (!S_ISREG(st.st_mode)) return {{0, errFileNotFound}, 0};
  return {{static_cast<std::int64_t>(st.st_size), errNone}, st.st_mtime, ModifiedNs(st)};
}

FileStatus FileStatusOf(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return {{0, errPathNotFound}, 0};
  return FileStatusOfHost(*host);
}

FileStatusProber::~FileStatusProber() { CloseFolder(); }

void FileStatusProber::CloseFolder() {
  if (folderFd_ >= 0) ::close(folderFd_);
  folderFd_ = -1;
}

FileStatus FileStatusProber::Probe(std::string_view dosPath) {
  const std::size_t slash = dosPath.find_last_of('\\');
  if (slash == std::string_view::npos) return FileStatusOf(dosPath);
  const std::string_view folder = dosPath.substr(0, slash + 1);
  if (folder != folder_) {
    CloseFolder();
    folder_.assign(folder);
    folderError_ = errNone;
    auto host = CurrentDriveMap().ToHost(folder);
    if (!host) {
      folderError_ = errPathNotFound;
    } else {
      folderFd_ = ::open(host->c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      if (folderFd_ < 0) folderError_ = errno == ENOENT || errno == ENOTDIR ? errPathNotFound : ErrorFromErrno(errno);
    }
  }
  if (folderError_ != errNone) return {{0, folderError_}, 0};
  name_.assign(dosPath.substr(slash + 1));
  struct stat st {};
  if (name_.empty() || ::fstatat(folderFd_, name_.c_str(), &st, 0) != 0) {
    const int err = name_.empty() ? ENOENT : errno;
    return {{0, err == ENOENT ? errFileNotFound : ErrorFromErrno(err)}, 0};
  }
  if (!S_ISREG(st.st_mode)) return {{0, errFileNotFound}, 0};
  return {{static_cast<std::int64_t>(st.st_size), errNone}, st.st_mtime, ModifiedNs(st)};
}

bool AnythingAt(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  struct stat st {};
  return host && ::stat(host->c_str(), &st) == 0;
}

FileProbe FileLen(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return {0, errPathNotFound};
  return FileLenHost(*host);
}

std::int32_t SetReadOnly(std::string_view dosPath, bool readOnly) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return errPathNotFound;
  struct stat st {};
  if (::stat(host->c_str(), &st) != 0) return StatError(*host, errno);
  mode_t mode = st.st_mode & 07777;
  mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  if (::chmod(host->c_str(), mode) != 0) return ErrorFromErrno(errno);
  return errNone;
}

bool IsReadOnly(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  struct stat st {};
  if (!host || ::stat(host->c_str(), &st) != 0) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::int32_t DeleteFile(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return errPathNotFound;
  if (::unlink(host->c_str()) != 0) return StatError(*host, errno);
  return errNone;
}

std::int32_t TruncateFile(std::string_view dosPath, std::int64_t length) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return errPathNotFound;
  if (::truncate(host->c_str(), static_cast<off_t>(length)) != 0) return StatError(*host, errno);
  return errNone;
}

std::int32_t RenameFile(std::string_view fromDos, std::string_view toDos) {
  auto from = CurrentDriveMap().ToHost(fromDos);
  auto to = CurrentDriveMap().ToHost(toDos);
  if (!from || !to) return errPathNotFound;
  if (::rename(from->c_str(), to->c_str()) != 0) return StatError(*from, errno);
  return errNone;
}

std::optional<std::time_t> FileModifiedHost(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return st.st_mtime;
}

std::optional<std::time_t> FileModified(std::string_view dosPath) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) return std::nullopt;
  return FileModifiedHost(*host);
}

std::string ReadWholeFile(std::string_view dosPath) {
  std::string host = HostOrThrow(dosPath);
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw VbError(StatError(host, errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw VbError(errFileNotFound);
  }
  std::string data;
  data.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < data.size()) {
    ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      throw VbError(ErrorFromErrno(err));
    }
    if (n == 0) break;  // the file shrank while we read it
    got += static_cast<std::size_t>(n);
  }
  data.resize(got);
  // It may also have grown: take the rest.
  char extra[kBufferSize];
  for (;;) {
    ssize_t n = ::read(fd, extra, sizeof extra);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(extra, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

namespace {

constexpr std::size_t kParallelFrom = 1024 * 1024;

// The whole of the regular file `host` by `threads` preads at once; nothing when it cannot be
// had so.
std::unique_ptr<char[]> ReadInParallel(const std::string& host, unsigned threads, std::size_t& size) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= static_cast<off_t>(kParallelFrom);
  size = ok ? static_cast<std::size_t>(st.st_size) : 0;
  std::unique_ptr<char[]> bytes;
  if (ok) {
    // Not zeroed: every byte is read into it, each thread faulting in its own pages.
    bytes.reset(new char[size]);
    std::atomic<bool> complete{true};
    const std::size_t part = (size + threads - 1) / threads;
    auto readPart = [&](std::size_t from) {
      const std::size_t to = std::min(size, from + part);
      while (from < to) {
        const ssize_t n = ::pread(fd, bytes.get() + from, to - from, static_cast<off_t>(from));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
          complete = false;
          return;
        }
        from += static_cast<std::size_t>(n);
      }
    };
    std::vector<std::thread> readers;
    try {
      for (unsigned t = 1; t < threads; ++t) readers.emplace_back(readPart, t * part);
    } catch (const std::system_error&) {
      complete = false;  // no thread to be had: the plain way
    }
    if (complete) readPart(0);
    for (std::thread& r : readers) r.join();
    // A file that changed its length meanwhile is read again the plain way.
    struct stat after {};
    ok = complete && ::fstat(fd, &after) == 0 && after.st_size == st.st_size;
  }
  ::close(fd);
  if (!ok) return nullptr;
  return bytes;
}

}  // namespace

FileBytes ReadWholeFileInParallel(std::string_view dosPath, unsigned threads) {
  FileBytes file;
  if (threads > 1) {
    if (auto host = CurrentDriveMap().ToHost(dosPath)) {
      file.parallel_ = ReadInParallel(*host, threads, file.size_);
      if (file.parallel_) return file;
    }
  }
  file.whole_ = ReadWholeFile(dosPath);
  return file;
}

OutFile::OutFile(std::string_view dosPath, Mode mode) : hostPath_(HostOrThrow(dosPath)) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == Mode::Append ? O_APPEND : O_TRUNC);
  fd_ = ::open(hostPath_.c_str(), flags, 0644);
  if (fd_ < 0) throw VbError(StatError(hostPath_, errno));
  if (mode == Mode::Append) {
    struct stat st {};
    if (::fstat(fd_, &st) == 0) initialSize_ = st.st_size;
  }
  buffer_.reserve(kBufferSize);
}

OutFile::~OutFile() {
  if (fd_ >= 0) {
    try {
      Flush();
    } catch (...) {
    }
    ::close(fd_);
  }
}

void OutFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) {
    Flush();
    if (bytes.size() >= kBufferSize) {
      WriteRaw(bytes.data(), bytes.size());
      return;
    }
  }
  buffer_.append(bytes);
}

void OutFile::Flush() {
  if (!buffer_.empty()) {
    std::string pending;
    pending.swap(buffer_);
    buffer_.reserve(kBufferSize);
    WriteRaw(pending.data(), pending.size());
  }
}

void OutFile::Sync() {
  Flush();
  if (fd_ >= 0 && ::fsync(fd_) != 0) throw VbError(ErrorFromErrno(errno));
}

void OutFile::Close() {
  if (fd_ < 0) return;
  try {
    Flush();
  } catch (...) {
    ::close(fd_);
    fd_ = -1;
    throw;
  }
  int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) throw VbError(ErrorFromErrno(errno));
}

void OutFile::WriteRaw(const char* data, std::size_t size) {
  if (fd_ < 0) throw VbError(errBadFileName);
  while (size > 0) {
    const std::size_t chunk = TakeWriteAllowance(size);
    ssize_t n;
    do {
      n = ::write(fd_, data, chunk);
    } while (n < 0 && errno == EINTR);
    if (n < 0) throw VbError(ErrorFromErrno(errno));
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void ReplaceFile(std::string_view targetDos, std::string_view tempDos,
                 const std::function<void(OutFile&)>& fill, bool readOnly) {
  std::string target = HostOrThrow(targetDos);
  std::string temp = HostOrThrow(tempDos);
  ::unlink(temp.c_str());  // a twin left behind read-only would refuse to open
  try {
    OutFile out(tempDos, OutFile::Mode::Create);
    fill(out);
    out.Sync();
    out.Close();
    if (readOnly) ::chmod(temp.c_str(), 0444);
    if (::rename(temp.c_str(), target.c_str()) != 0) throw VbError(ErrorFromErrno(errno));
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  SyncFolder(ParentOf(target));
}

void InjectWriteFailureAfter(std::int64_t bytes) { gWriteBudget.store(bytes < 0 ? -1 : bytes); }

std::size_t TakeWriteAllowance(std::size_t size) {
  std::int64_t budget = gWriteBudget.load();
  if (budget < 0) return size;
  if (budget == 0) throw VbError(errDiskFull);
  const std::size_t allowed = std::min<std::size_t>(size, static_cast<std::size_t>(budget));
  gWriteBudget.store(budget - static_cast<std::int64_t>(allowed));
  return allowed;
}

}  // namespace platform
