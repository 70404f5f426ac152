#pragma once

#include <optional>
#include <string>
#include <string_view>

// The playing time of an audio file as its headers give it, at once and without a media
// backend: WAV, AIFF, AIFF-C and AU from their sample counts, MP3 from a Xing/Info or VBRI
// header, a constant bitrate or its frames, MIDI through its tempo map. No figure for a file
// whose headers do not settle it (an unknown type or encoding, a damaged header): the media
// player then asks its backend, which may refuse the file. The program hands ProbeDurationHost
// to its media players as their platform::DurationProbe.
namespace analysis {

// Seconds, from the file at a host path.
std::optional<double> ProbeDurationHost(const std::string& hostPath);

// The same for a file's bytes held in memory; `name` is its file name (its extension counts
// for MP3 as it does for the analyser).
std::optional<double> ProbeDurationBytes(std::string_view bytes, std::string_view name);

}  // namespace analysis
