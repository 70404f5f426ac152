#include <cstring>
#include <new>

#include "analysis/readers.h"

namespace analysis {
namespace {

// An annotation may reach past the end of the file (it is made up with zero bytes), but
// not so far that a few corrupt header bytes cost memory out of proportion to the file.
constexpr std::int64_t kAnnotationSlack = 64 * 1024;

struct AuEncoding {
  const char* bits;
  const char* encoding;
};

AuEncoding AuEncodingTexts(std::uint32_t encoding) {
  switch (encoding) {
    case 1: return {"8 bits", "ISDN u-law"};
    case 2: return {"8 bits", "Linear PCM"};
    case 3: return {"16 bits", "Linear PCM"};
    case 4: return {"24 bits", "Linear PCM"};
    case 5: return {"32 bits", "Linear PCM"};
    case 6: return {"32 bits", "IEEE floating point"};
    case 7: return {"64 bits", "IEEE floating point"};
    case 23: return {"8 bits", "ITU G.721 ADPCM"};
    default: return {"Undetermined", "Undetermined"};
  }
}

}  // namespace

void AnalyzeAuFile(AnalyzerFile& file, AudioProperties& props) {
  // Bytes 4 to 23 in one read; a fault here is the analysis's own.
  std::uint8_t gHeaderBytes[20];
  std::memcpy(gHeaderBytes, file.Item(4, 20), sizeof gHeaderBytes);

  if (gHeaderBytes[0] >= 128) return;
  const std::int64_t gChunkSize = U32BE(gHeaderBytes);  // the data offset

  if (gHeaderBytes[8] >= 128) {
    props.gAudioEncoding = kError;
    return;
  }
  AuEncoding texts = AuEncodingTexts(U32BE(gHeaderBytes + 8));
  props.gAudioBits = texts.bits;
  props.gAudioEncoding = texts.encoding;

  if (gHeaderBytes[12] >= 128) {
    props.gAudioSampleRate = kError;
    return;
  }
  props.gAudioSampleRate = KiloHertzText(U32BE(gHeaderBytes + 12));

  if (gHeaderBytes[16] >= 128) {
    props.gAudioChannels = kError;
    return;
  }
  props.gAudioChannels = ChannelsText(U32BE(gHeaderBytes + 16));

  if (gChunkSize <= 24) return;
  if (gChunkSize - file.length() > kAnnotationSlack) {
    props.gAudioComment = kError;
    return;
  }
  try {
    file.TextZeroFilled(24, gChunkSize - 24, props.gAudioComment);
  } catch (const ReadFault&) {
    props.gAudioComment = kError;
  } catch (const std::bad_alloc&) {
    props.gAudioComment = kError;
  }
}

}  // namespace analysis
