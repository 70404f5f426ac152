#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class DriveMap;
}

// The .m3u playlist file. It is shared with the host's other players, which know host paths:
// the writer writes each track as its host absolute path, the reader takes host absolute
// paths and drive-letter paths and turns each into drive-letter form.

// The tracks of a playlist file's bytes, one per line, in file order. Leading blanks are
// skipped and an entry in double quotes is read without them. A drive-letter entry (its
// third character "\") is kept as it stands, one written with forward slashes ("c:/a/b.au")
// becomes the drive path it names ("c:\a\b.au"); a host absolute path on a mapped drive becomes
// its drive-letter form, one on no mapped drive is kept as it is (its file is then not found,
// so the track shows invalid, and saving the list keeps it). Everything else (empty lines,
// "#" lines such as #EXTM3U and #EXTINF, relative paths, URLs) is skipped.
std::vector<std::string> ReadPlaylistEntries(std::string_view bytes, const platform::DriveMap& drives);

// The bytes of a playlist file: each track's path in host form where its drive is mapped,
// otherwise as it stands, each followed by CR LF. An empty path (the one row of an empty list)
// is no track and gives no line.
std::string PlaylistFileBytes(const std::vector<std::string>& paths, const platform::DriveMap& drives);

// Writes `paths` to the playlist `dosPath` through a temporary twin, so that a failure leaves
// the old file whole. A read-only playlist is not overwritten. Throws VbError.
void WritePlaylistBytes(const std::string& dosPath, const std::vector<std::string>& paths,
                        const platform::DriveMap& drives);

// The title column of the track grid: the file name (of a drive path, or of the host path of a
// track on none of the drives), without its extension for an .mp3 file (the extension in any
// case).
std::string TrackTitle(std::string_view path);
