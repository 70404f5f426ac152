#pragma once

#include <string>
#include <string_view>

namespace help {

// A page address in drive-letter form with its "." and ".." names taken out the way the
// drives' own platform takes them out: ".." above the drive's root stays at the root, so the
// result never leaves the drive it names. "\" and "/" both separate names; repeated ones
// count as one and a trailing one is kept. Text that is not in drive-letter form comes back
// unchanged.
std::string ResolvedAddress(std::string_view address);

}  // namespace help
