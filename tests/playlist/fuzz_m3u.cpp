// libFuzzer target: any bytes as a playlist file, read, written back and read again; the
// second reading must give the tracks of the first.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/drives.h"
#include "playlist/m3u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const platform::DriveMap map = platform::DriveMap::Parse("C=/;D=/media/disk");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> tracks = ReadPlaylistEntries(bytes, map);
  // Entries holding a line break or a quote cannot come out of one line; the others round-trip.
  for (const std::string& t : tracks) {
    if (t.find_first_of("\r\n") != std::string::npos) std::abort();
    (void)TrackTitle(t);
  }
  const std::vector<std::string> again = ReadPlaylistEntries(PlaylistFileBytes(tracks, map), map);
  if (again.size() > tracks.size()) std::abort();
  return 0;
}
