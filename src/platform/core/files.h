#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The outcome of asking for a file's length: the length, or why it could not be had.
// A missing file is errFileNotFound (53), a missing folder on the way errPathNotFound (76);
// a path that is not a regular file (a folder, a pipe, a device) counts as not found.
struct FileProbe {
  std::int64_t length = 0;
  std::int32_t error = 0;
  bool ok() const { return error == 0; }
};

FileProbe FileLen(std::string_view dosPath);
FileProbe FileLenHost(const std::string& hostPath);

// Whether anything is at the path, a regular file or not (a folder where a file belongs).
bool AnythingAt(std::string_view dosPath);

// The length probe and the last modification time together, from one status call.
struct FileStatus {
  FileProbe probe;
  std::time_t modified = 0;      // valid when probe.ok()
  std::int64_t modifiedNs = 0;   // the same in nanoseconds since the epoch, as fine as the file system keeps it
};
FileStatus FileStatusOf(std::string_view dosPath);
FileStatus FileStatusOfHost(const std::string& hostPath);

// FileStatusOf for many files in a row, as a listing in folder order names them: the folder
// of the last file stays open, so that a file beside it costs the lookup of its name only.
class FileStatusProber {
 public:
  FileStatusProber() = default;
  ~FileStatusProber();
  FileStatusProber(const FileStatusProber&) = delete;
  FileStatusProber& operator=(const FileStatusProber&) = delete;

  FileStatus Probe(std::string_view dosPath);

 private:
  void CloseFolder();

  std::string folder_;            // drive-letter form, through its last backslash
  std::int32_t folderError_ = 0;  // why the folder could not be opened
  int folderFd_ = -1;
  std::string name_;
};

// The read-only attribute is the absence of write permission.
std::int32_t SetReadOnly(std::string_view dosPath, bool readOnly);
bool IsReadOnly(std::string_view dosPath);

std::int32_t DeleteFile(std::string_view dosPath);
// Cuts a file back to `length` bytes (a failed append undone). Returns 0 or the error.
std::int32_t TruncateFile(std::string_view dosPath, std::int64_t length);
std::int32_t RenameFile(std::string_view fromDos, std::string_view toDos);

// Last modification time of a regular file; nothing when it cannot be had.
std::optional<std::time_t> FileModified(std::string_view dosPath);
std::optional<std::time_t> FileModifiedHost(const std::string& hostPath);

// Reads a whole file in one go; throws VbError (53, 76, ...) when it cannot be read.
std::string ReadWholeFile(std::string_view dosPath);

// A whole file's bytes, as ReadWholeFileInParallel read them.
class FileBytes {
 public:
  std::string_view view() const { return parallel_ ? std::string_view(parallel_.get(), size_) : whole_; }

 private:
  friend FileBytes ReadWholeFileInParallel(std::string_view dosPath, unsigned threads);
  std::unique_ptr<char[]> parallel_;
  std::size_t size_ = 0;
  std::string whole_;
};

// ReadWholeFile for a large file (1 MiB or more), by `threads` threads at once, each reading
// its own part into memory that is not zero-filled first: one thread copying a hundred
// megabytes is otherwise what the threads of a search wait for. A small file, one thread, or a
// read that cannot be done so (no thread to be had, the file changing its length meanwhile)
// is left to ReadWholeFile, which also throws the VbError that tells why a file cannot be read.
FileBytes ReadWholeFileInParallel(std::string_view dosPath, unsigned threads);

// A sequential writer with a 64 KiB buffer. Every failure throws VbError.
class OutFile {
 public:
  enum class Mode { Create, Append };

  OutFile(std::string_view dosPath, Mode mode);
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  void Write(std::string_view bytes);
  void Flush();
  void Sync();  // flush, then fsync
  void Close();
  // Bytes the file held when it was opened (for appends).
  std::int64_t initialSize() const { return initialSize_; }
  const std::string& hostPath() const { return hostPath_; }

 private:
  void WriteRaw(const char* data, std::size_t size);

  std::string hostPath_;
  int fd_ = -1;
  std::string buffer_;
  std::int64_t initialSize_ = 0;
};

// Rewrites `targetDos` whole through its temporary twin `tempDos`: `fill` writes the new
// content into the twin, which is synced and renamed over the target. Until the rename the
// target holds its old content; after it the new. Any failure removes the twin, leaves the
// target as it was and throws VbError. With `readOnly` the new file carries the read-only
// attribute.
void ReplaceFile(std::string_view targetDos, std::string_view tempDos,
                 const std::function<void(OutFile&)>& fill, bool readOnly);

// Fault injection for tests: after `bytes` more bytes have been written by any OutFile or
// RecordFile, writing fails as a full disk would. A negative value switches the fault off.
void InjectWriteFailureAfter(std::int64_t bytes);
// The writers' side of it: how many of `size` bytes the next write may put on the disk (all of
// them without a fault), counted as written; throws VbError(errDiskFull) when none may.
std::size_t TakeWriteAllowance(std::size_t size);

}  // namespace platform
