#include <cstdio>
#include <cstring>
#include <string>

#include "analysis/readers.h"
#include "analysis/survivingtexts.h"

namespace analysis {
namespace {

enum AiffChunk { kFver, kComm, kSsnd, kComt, kCopyright };

const IdentifierSet& AiffIdentifiers() {
  static const IdentifierSet ids{"fver", "comm", "ssnd", "comt", "(c) "};
  return ids;
}

// The rates an 80-bit extended number can spell here, matched by all ten bytes.
struct AiffRate {
  std::uint8_t bytes[10];
  const char* text;
};
constexpr AiffRate kAiffRates[] = {
    {{0x40, 0x0C, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, "11.025 kHz"},
    {{0x40, 0x0C, 0xAD, 0xDD, 0x17, 0x44, 0, 0, 0, 0}, "11.127 kHz"},
    {{0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, "22.050 kHz"},
    {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, "44.100 kHz"},
};

// The whole number of hertz that an 80-bit extended number holds exactly; 0 when it holds
// none (a fraction, a negative or zero value, one beyond 64 bits, infinity or NaN).
std::uint64_t WholeHertz(const std::uint8_t* bytes) {
  const Extended80Fields x = ReadExtended80(bytes);
  if (x.negative || x.mantissa == 0 || x.exponent == 0x7FFF) return 0;
  const std::uint64_t mantissa = x.mantissa;
  const int shift = x.exponent - 16383 - 63;
  if (shift >= 0) {
    if (shift >= 64 || (shift > 0 && (mantissa >> (64 - shift)) != 0)) return 0;  // beyond 64 bits
    return mantissa << shift;
  }
  if (shift <= -64) return 0;
  if (mantissa & ((std::uint64_t{1} << -shift) - 1)) return 0;  // not whole
  return mantissa >> -shift;
}

std::string AiffRateText(const std::uint8_t* bytes) {
  for (const AiffRate& rate : kAiffRates) {
    if (std::memcmp(rate.bytes, bytes, 10) == 0) return rate.text;
  }
  // Other rates are written the way the table writes its own: kilohertz to three places.
  const std::uint64_t hertz = WholeHertz(bytes);
  if (hertz == 0) return "Undetermined";
  char text[40];
  std::snprintf(text, sizeof text, "%llu.%03u kHz", static_cast<unsigned long long>(hertz / 1000),
                static_cast<unsigned>(hertz % 1000));
  return text;
}

const char* CompressionText(const std::uint8_t* type) {
  char lower[4];
  for (int i = 0; i < 4; ++i) {
    char c = static_cast<char>(type[i]);
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  std::string_view t(lower, 4);
  if (t == "none") return "Uncompressed";
  if (t == "ace2") return "ACE 2:1";
  if (t == "ace8") return "ACE 8:3";
  if (t == "mac3") return "MACE 3:1";
  if (t == "mac6") return "MACE6:1";
  return "Undetermined";
}

bool ReadCommonChunk(AnalyzerFile& file, std::int64_t o, bool aiffC, AudioProperties& props) {
  std::string* field = &props.gAudioChannels;
  try {
    props.gAudioChannels = ChannelsText(U16BE(file.Item(o + 8, 2)));
    field = &props.gAudioBits;
    props.gAudioBits = BitsText(U16BE(file.Item(o + 14, 2)));
    field = &props.gAudioSampleRate;
    props.gAudioSampleRate = AiffRateText(file.Item(o + 16, 10));
    if (aiffC) {
      field = &props.gAudioEncoding;
      if (o + 30 > file.length()) {  // the compression type is cut off
        props.gAudioEncoding = kError;
        return false;
      }
      props.gAudioEncoding = CompressionText(file.Item(o + 26, 4));
    }
  } catch (const ReadFault&) {
    *field = kError;
    return false;
  }
  return true;
}

// COMT and "(c) ": the body without its last byte; a body of size 0, or one that reaches
// past the end of the file, has no text.
bool ReadTextChunk(AnalyzerFile& file, std::int64_t o, std::string& field, SurvivingTexts& texts) {
  const std::uint8_t* size;
  try {
    size = file.Item(o + 4, 4);
  } catch (const ReadFault&) {
    return texts.Fail(field);
  }
  std::int64_t gChunkSize = U32BE(size);
  if (size[0] >= 128 || gChunkSize == 0 || gChunkSize > file.length() - (o + 8)) return texts.Fail(field);
  return texts.Take(field, o + 8, gChunkSize - 1);
}

void ScanAiffChunks(AnalyzerFile& file, AudioProperties& props, SurvivingTexts& texts) {
  const bool aiffC = props.gAudioFileType == "AIFF-C";
  const std::int64_t last = file.length() - 5;
  std::int64_t gScanPos = 12;
  int gChunkId = -1;
  while ((gScanPos = file.FindIdentifier(gScanPos, last, AiffIdentifiers(), gChunkId)) >= 0) {
    const std::int64_t o = gScanPos;
    gScanPos = o + 1;
    switch (gChunkId) {
      case kFver:
        try {
          static constexpr std::uint8_t kVersion1[4] = {0xA2, 0x80, 0x51, 0x40};
          props.gAudioFormatVersion = std::memcmp(file.Item(o + 8, 4), kVersion1, 4) == 0
                                          ? "AIFC Version 1"
                                          : "Unrecognized AIFC format version";
        } catch (const ReadFault&) {
          props.gAudioFormatVersion = kError;
          return;
        }
        break;
      case kComm:
        if (!ReadCommonChunk(file, o, aiffC, props)) return;
        break;
      case kSsnd: {
        const std::uint8_t* size;
        try {
          size = file.Item(o + 4, 4);
        } catch (const ReadFault&) {
          return;
        }
        if (size[0] >= 128) return;
        // Lands seven bytes short of the chunk's end: those bytes are still tried.
        gScanPos = o + static_cast<std::int64_t>(U32BE(size)) + 1;
        break;
      }
      case kComt:
        if (!ReadTextChunk(file, o, props.gAudioComment, texts)) return;
        break;
      default:
        if (!ReadTextChunk(file, o, props.gAudioCopyright, texts)) return;
        break;
    }
  }
}

}  // namespace

void AnalyzeAiffFile(AnalyzerFile& file, AudioProperties& props) {
  SurvivingTexts::Run(file, [&](SurvivingTexts& texts) { ScanAiffChunks(file, props, texts); });
}

}  // namespace analysis
