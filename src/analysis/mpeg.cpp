#include <cstring>
#include <iterator>
#include <string>

#include "analysis/mpegframe.h"
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

bool PlausibleHeader(const std::uint8_t* h) { return mpeg::Plausible(h); }

void DecodeHeader(const std::uint8_t* bytes, AudioProperties& props) {
  static constexpr const char* kVersions[4] = {"MPEG 2.5", "", "MPEG 2", "MPEG 1"};
  static constexpr const char* kLayers[4] = {"", " layer 3", " layer 2", " layer 1"};
  static constexpr const char* kRates[3][3] = {
      {"44.1 kHz", "48 kHz", "32 kHz"}, {"22.05 kHz", "24 kHz", "16 kHz"}, {"11.025 kHz", "12 kHz", "8 kHz"}};
  static constexpr const char* kModes[4] = {"2 - Stereo", "2 - Joint stereo", "2 - Dual channel (stereo)", "1 - Mono"};
  const mpeg::FrameHeader h = mpeg::Decode(bytes);
  props.gAudioFormatVersion = std::string(kVersions[h.version]) + kLayers[h.layer];
  const int row = h.version == 3 ? 0 : h.version == 2 ? 1 : 2;
  props.gAudioSampleRate = kRates[row][h.rateIndex];
  props.gAudioChannels = kModes[h.mode];
  if (h.copyright) props.gAudioCopyright = "This file is copyrighted";
}

}  // namespace

void AnalyzeMpegFile(AnalyzerFile& file, AudioProperties& props) {
  const std::int64_t L = file.length();

  // The first confirmed frame header from offset 0 on, behind an ID3v2 tag when the file
  // starts with one (a false sync in the tag's body is never taken).
  try {
    std::int64_t from = 0;
    if (L >= 10) {
      const std::int64_t tag = mpeg::Id3v2Length(file.Item(0, 10));
      if (tag > 0 && tag < L) from = tag;
    }
    // A read fault ends the search like the end of the file; with no sync found by then it
    // ends the reader.
    bool faulted = false;
    auto findSync = [&](std::int64_t q) -> std::int64_t {
      try {
        return file.FindFrameSync(q, L - 4, PlausibleHeader);
      } catch (const ReadFault&) {
        faulted = true;
        return -1;
      }
    };
    auto peek = [&](std::int64_t q, std::uint8_t* out) {
      try {
        return file.Peek(q, 4, out);  // the window stays where the scan is
      } catch (const ReadFault&) {
        return false;
      }
    };
    bool confirmed = false;
    std::int64_t gScanPos = mpeg::FindFirstFrame(from, L - 4, L, findSync, peek, confirmed);
    if (gScanPos < 0 && faulted) return;
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
