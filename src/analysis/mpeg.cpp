#include <iterator>
#include <string>

#include "analysis/readers.h"

namespace analysis {
namespace {

constexpr const char* kGenres[] = {"Blues",
                                   "Classic Rock",
                                   "Country",
                                   "Dance",
                                   "Disco",
                                   "Funk",
                                   "Grunge",
                                   "Hip-Hop",
                                   "Jazz",
                                   "Metal",
                                   "New Age",
                                   "Oldies",
                                   "Other",
                                   "Pop",
                                   "R&B",
                                   "Rap",
                                   "Reggae",
                                   "Rock",
                                   "Techno",
                                   "Industrial",
                                   "Alternative",
                                   "Ska",
                                   "Death Metal",
                                   "Pranks",
                                   "Soundtrack",
                                   "Euro-Techno",
                                   "Ambient",
                                   "Trip-Hop",
                                   "Vocal",
                                   "Jazz+Funk",
                                   "Fusion",
                                   "Trance",
                                   "Classical",
                                   "Instrumental",
                                   "Acid",
                                   "House",
                                   "Game",
                                   "Sound Clip",
                                   "Gospel",
                                   "Noise",
                                   "AlternRock",
                                   "Bass",
                                   "Soul",
                                   "Punk",
                                   "Space",
                                   "Meditative",
                                   "Inst. Pop",
                                   "Inst. Rock",
                                   "Ethnic",
                                   "Gothic",
                                   "Darkwave",
                                   "Techno-Indust.",
                                   "Electronic",
                                   "Pop-Folk",
                                   "Eurodance",
                                   "Dream",
                                   "Southern Rock",
                                   "Comedy",
                                   "Cult",
                                   "Gangsta",
                                   "Top 40",
                                   "Christian Rap",
                                   "Pop/Funk",
                                   "Jungle",
                                   "Native American",
                                   "Cabaret",
                                   "New Wave",
                                   "Psychadelic",
                                   "Rave",
                                   "Showtunes",
                                   "Trailer",
                                   "Lo-Fi",
                                   "Tribal",
                                   "Acid Punk",
                                   "Acid Jazz",
                                   "Polka",
                                   "Retro",
                                   "Musicals",
                                   "Rock & Roll",
                                   "Hard Rock"};
static_assert(std::size(kGenres) == 80);

// The header's bit fields, numbered as digits 1 to 32 of its binary text from the left.
unsigned VersionBits(const std::uint8_t* h) { return (h[1] >> 3) & 3; }   // digits 12-13
unsigned LayerBits(const std::uint8_t* h) { return (h[1] >> 1) & 3; }     // digits 14-15
unsigned BitrateBits(const std::uint8_t* h) { return h[2] >> 4; }         // digits 17-20
unsigned RateBits(const std::uint8_t* h) { return (h[2] >> 2) & 3; }      // digits 21-22
unsigned ModeBits(const std::uint8_t* h) { return h[3] >> 6; }            // digits 25-26
unsigned CopyrightBit(const std::uint8_t* h) { return (h[3] >> 3) & 1; }  // digit 29
unsigned EmphasisBits(const std::uint8_t* h) { return h[3] & 3; }         // digits 31-32

bool PlausibleHeader(const std::uint8_t* h) {
  return VersionBits(h) != 1 && LayerBits(h) != 0 && BitrateBits(h) != 15 && RateBits(h) != 3 && EmphasisBits(h) != 2;
}

void DecodeHeader(const std::uint8_t* h, AudioProperties& props) {
  static constexpr const char* kVersions[4] = {"MPEG 2.5", "", "MPEG 2", "MPEG 1"};
  static constexpr const char* kLayers[4] = {"", " layer 3", " layer 2", " layer 1"};
  static constexpr const char* kRates[3][3] = {
      {"44.1 kHz", "48 kHz", "32 kHz"}, {"22.05 kHz", "24 kHz", "16 kHz"}, {"11.025 kHz", "12 kHz", "8 kHz"}};
  static constexpr const char* kModes[4] = {"2 - Stereo", "2 - Joint stereo", "2 - Dual channel (stereo)", "1 - Mono"};
  const unsigned version = VersionBits(h);
  props.gAudioFormatVersion = std::string(kVersions[version]) + kLayers[LayerBits(h)];
  const int row = version == 3 ? 0 : version == 2 ? 1 : 2;
  props.gAudioSampleRate = kRates[row][RateBits(h)];
  props.gAudioChannels = kModes[ModeBits(h)];
  if (CopyrightBit(h)) props.gAudioCopyright = "This file is copyrighted";
}

}  // namespace

void AnalyzeMpegFile(AnalyzerFile& file, AudioProperties& props) {
  const std::int64_t L = file.length();

  // The first plausible frame header from offset 1 on; offset 0 is never examined.
  try {
    std::int64_t gScanPos = file.FindFrameSync(1, L - 4, PlausibleHeader);
    if (gScanPos >= 0) DecodeHeader(file.Item(gScanPos, 4), props);
  } catch (const ReadFault&) {
    return;
  }

  // ID3v1 in the last 128 bytes; a shorter file has none.
  if (L < 128) return;
  const std::int64_t tag = L - 128;
  try {
    const std::uint8_t* id = file.Item(tag, 3);
    auto lower = [](std::uint8_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    if (lower(id[0]) != 't' || lower(id[1]) != 'a' || lower(id[2]) != 'g') return;
  } catch (const ReadFault&) {
    return;
  }
  struct TagText {
    std::string* field;
    std::int64_t offset;
    std::int64_t size;
  };
  const TagText texts[] = {{&props.gAudioName, 3, 30},
                           {&props.gAudioArtist, 33, 30},
                           {&props.gAudioAlbum, 63, 30},
                           {&props.gAudioYear, 93, 4},
                           {&props.gAudioComment, 97, 30}};
  for (const TagText& t : texts) {
    try {
      if (!file.Text(tag + t.offset, t.size, *t.field)) {
        *t.field = kError;
        return;
      }
    } catch (const ReadFault&) {
      *t.field = kError;
      return;
    }
  }
  try {
    std::uint8_t genre = file.Item(L - 1, 1)[0];
    props.gAudioGenre = genre < 80 ? kGenres[genre] : "Unknown";
  } catch (const ReadFault&) {
    props.gAudioGenre = kError;
  }
}

void AnalyzeUnknownFile(AnalyzerFile&, AudioProperties&) {}

}  // namespace analysis
