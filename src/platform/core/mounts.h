#pragma once

#include <string>
#include <string_view>

namespace platform {

// Helpers shared by the drive map and the drive facts, both of which read the mount table.

// Mount table fields escape blanks and a few other characters as \ooo.
std::string UnescapeMountField(std::string_view field);
// Whether `path` is `folder` itself or lies below it (both absolute, no trailing slash).
bool PathWithin(std::string_view path, std::string_view folder);
// File systems that reach another machine: their drives are network drives.
bool IsNetworkFileSystem(std::string_view type);

}  // namespace platform
