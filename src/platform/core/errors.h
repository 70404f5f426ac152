#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Run-time error numbers the program tells apart. Callers compare against these, never
// against errno: the values are the ones the rest of the system was written for.
enum ErrorNumber : std::int32_t {
  errNone = 0,
  errBadFileName = 52,
  errFileNotFound = 53,
  errFileAlreadyOpen = 55,
  errDeviceIO = 57,
  errDiskFull = 61,
  errInputPastEnd = 62,
  errDeviceUnavailable = 68,
  errPermissionDenied = 70,
  errPathFileAccess = 75,
  errPathNotFound = 76,
  errTypeMismatch = 13,
  errCancel = 32755,                      // a file dialog was cancelled
  errUnspecified = -2147467259,           // &H80004005: the media player refuses a file
};

// A failed operation of the platform layer: the error number and its description.
class VbError : public std::runtime_error {
 public:
  VbError(std::int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  explicit VbError(std::int32_t number) : VbError(number, DescribeError(number)) {}

  std::int32_t number() const { return number_; }

  static std::string DescribeError(std::int32_t number);

 private:
  std::int32_t number_;
};

// Maps an errno value from a file operation to the error number the program expects.
std::int32_t ErrorFromErrno(int err);

}  // namespace platform
