#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A file of fixed-length records without header or separators, numbered from 1.
// Every failure throws VbError.
class RecordFile {
 public:
  enum class Mode { Read, ReadWrite };  // ReadWrite creates a missing file

  RecordFile(std::string_view dosPath, std::size_t recordLength, Mode mode);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Whole records in the file; a partial tail is not a record.
  std::int64_t RecordCount() const;
  // Record `number` (from 1); throws errInputPastEnd beyond the last whole record.
  std::string Read(std::int64_t number) const;
  // Writes record `number`, which may be one past the last; the record is fitted to the
  // record length (cut or blank-padded).
  void Write(std::int64_t number, std::string_view record);
  void Sync();
  void Close();

  std::size_t recordLength() const { return recordLength_; }

 private:
  std::string hostPath_;
  std::size_t recordLength_;
  int fd_ = -1;
};

}  // namespace platform
