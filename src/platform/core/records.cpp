#include "platform/core/records.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace platform {

RecordFile::RecordFile(std::string_view dosPath, std::size_t recordLength, Mode mode)
    : recordLength_(recordLength) {
  auto host = CurrentDriveMap().ToHost(dosPath);
  if (!host) throw VbError(errPathNotFound);
  hostPath_ = *host;
  int flags = (mode == Mode::Read ? O_RDONLY : (O_RDWR | O_CREAT)) | O_CLOEXEC;
  fd_ = ::open(hostPath_.c_str(), flags, 0644);
  if (fd_ < 0) {
    int err = errno;
    throw VbError(err == ENOENT ? errFileNotFound : ErrorFromErrno(err));
  }
}

RecordFile::~RecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::int64_t RecordFile::RecordCount() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw VbError(ErrorFromErrno(errno));
  return static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(recordLength_);
}

std::string RecordFile::Read(std::int64_t number) const {
  if (number < 1 || number > RecordCount()) throw VbError(errInputPastEnd);
  std::string record(recordLength_, ' ');
  off_t offset = static_cast<off_t>((number - 1) * static_cast<std::int64_t>(recordLength_));
  std::size_t got = 0;
  while (got < recordLength_) {
    ssize_t n = ::pread(fd_, record.data() + got, recordLength_ - got, offset + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw VbError(ErrorFromErrno(errno));
    if (n == 0) throw VbError(errInputPastEnd);
    got += static_cast<std::size_t>(n);
  }
  return record;
}

void RecordFile::Write(std::int64_t number, std::string_view record) {
  if (number < 1) throw VbError(errBadFileName);
  std::string fitted(record.substr(0, recordLength_));
  fitted.resize(recordLength_, ' ');
  off_t offset = static_cast<off_t>((number - 1) * static_cast<std::int64_t>(recordLength_));
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw VbError(ErrorFromErrno(errno));
  // What the record overwrites, to be put back if the write fails part-way.
  std::string old;
  if (offset < st.st_size) {
    old.resize(std::min<std::size_t>(recordLength_, static_cast<std::size_t>(st.st_size - offset)));
    if (::pread(fd_, old.data(), old.size(), offset) != static_cast<ssize_t>(old.size())) old.clear();
  }
  std::size_t put = 0;
  try {
    while (put < recordLength_) {
      const std::size_t chunk = TakeWriteAllowance(recordLength_ - put);
      ssize_t n = ::pwrite(fd_, fitted.data() + put, chunk, offset + static_cast<off_t>(put));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw VbError(ErrorFromErrno(errno));
      put += static_cast<std::size_t>(n);
    }
  } catch (const VbError&) {
    // A record that grew the file and did not get there whole is no record: the file is cut
    // back to the length it had, so that no part of it is left as a tail.
    if (offset + static_cast<off_t>(recordLength_) > st.st_size) {
      [[maybe_unused]] int rc = ::ftruncate(fd_, std::max<off_t>(st.st_size, 0));
    }
    if (!old.empty()) {
      [[maybe_unused]] ssize_t n = ::pwrite(fd_, old.data(), old.size(), offset);
    }
    throw;
  }
}

void RecordFile::Sync() {
  if (fd_ >= 0 && ::fsync(fd_) != 0) throw VbError(ErrorFromErrno(errno));
}

void RecordFile::Close() {
  if (fd_ < 0) return;
  int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) throw VbError(ErrorFromErrno(errno));
}

}  // namespace platform
