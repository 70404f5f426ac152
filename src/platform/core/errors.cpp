#include "platform/core/errors.h"

#include <cerrno>

namespace platform {

std::string VbError::DescribeError(std::int32_t number) {
  switch (number) {
    case errBadFileName: return "Bad file name or number";
    case errFileNotFound: return "File not found";
    case errFileAlreadyOpen: return "File already open";
    case errDeviceIO: return "Device I/O error";
    case errDiskFull: return "Disk full";
    case errInputPastEnd: return "Input past end of file";
    case errDeviceUnavailable: return "Device unavailable";
    case errPermissionDenied: return "Permission denied";
    case errPathFileAccess: return "Path/File access error";
    case errPathNotFound: return "Path not found";
    case errTypeMismatch: return "Type mismatch";
    case errCancel: return "Cancel was selected.";
    case errUnspecified: return "Unspecified error";
    default: return "Application-defined or object-defined error";
  }
}

std::int32_t ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return errFileNotFound;
    case ENOTDIR: return errPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return errPermissionDenied;
    case ENOSPC:
    case EDQUOT: return errDiskFull;
    case ENAMETOOLONG: return errBadFileName;
    case EISDIR:
    case ETXTBSY:
    case EBUSY: return errPathFileAccess;
    case EIO: return errDeviceIO;
    default: return errPathFileAccess;
  }
}

}  // namespace platform
