#include "platform/core/mounts.h"

#include <algorithm>
#include <iterator>

namespace platform {

std::string UnescapeMountField(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  auto octal = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '7'; };
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      out.push_back(static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

bool PathWithin(std::string_view path, std::string_view folder) {
  if (folder == "/") return !path.empty() && path[0] == '/';
  return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

bool IsNetworkFileSystem(std::string_view type) {
  static const std::string_view kNetwork[] = {"nfs", "nfs4", "cifs", "smbfs", "smb3", "fuse.sshfs",
                                              "9p",  "afs",  "ncpfs", "fuse.rclone"};
  return std::find(std::begin(kNetwork), std::end(kNetwork), type) != std::end(kNetwork);
}

}  // namespace platform
