#include <string>

#include "analysis/readers.h"
#include "analysis/survivingtexts.h"

namespace analysis {
namespace {

enum WaveChunk { kFmt, kData, kIcmt, kIcop, kIcrd, kIeng, kInam, kIprd, kIsft };

const IdentifierSet& WaveIdentifiers() {
  static const IdentifierSet ids{"fmt ", "data", "icmt", "icop", "icrd", "ieng", "inam", "iprd", "isft"};
  return ids;
}

const char* FormatTagText(std::uint32_t tag) {
  switch (tag) {
    case 0: return "Unknown";
    case 1: return "PCM/Uncompressed";
    case 2: return "Microsoft ADPCM";
    case 6: return "ITU G.711 a-law";
    case 7: return "ITU G.711 mu-law";
    case 17: return "IMA ADPCM";
    case 20: return "ITU G.723 ADPCM (Yamaha)";
    case 49: return "GSM 6.10";
    case 64: return "ITU G.721 ADPCM";
    case 80: return "MPEG";
    case 85: return "MPEG 1/Layer 3";
    default: return "Undefined";
  }
}

std::string* InfoField(int chunk, AudioProperties& props) {
  switch (chunk) {
    case kIcmt: return &props.gAudioComment;
    case kIcop: return &props.gAudioCopyright;
    case kIcrd: return &props.gAudioCreationDate;
    case kIeng: return &props.gAudioEngineer;
    case kInam: return &props.gAudioName;
    case kIprd: return &props.gAudioProduct;
    default: return &props.gAudioSoftware;
  }
}

// Reads the format chunk's items in order; false when one failed (its field then reads
// "ERROR").
bool ReadFormatChunk(AnalyzerFile& file, std::int64_t p, AudioProperties& props) {
  std::string* field = &props.gAudioEncoding;
  try {
    props.gAudioEncoding = FormatTagText(U16LE(file.Item(p + 8, 2)));
    field = &props.gAudioChannels;
    props.gAudioChannels = ChannelsText(U16LE(file.Item(p + 10, 2)));
    field = &props.gAudioSampleRate;
    const std::uint8_t* rate = file.Item(p + 12, 4);
    if (rate[3] >= 128) {
      props.gAudioSampleRate = kError;
      return false;
    }
    props.gAudioSampleRate = KiloHertzText(U32LE(rate));
    field = &props.gAudioBits;
    props.gAudioBits = BitsText(U16LE(file.Item(p + 22, 2)));
  } catch (const ReadFault&) {
    *field = kError;
    return false;
  }
  return true;
}

}  // namespace

namespace {

void ScanWaveChunks(AnalyzerFile& file, AudioProperties& props, SurvivingTexts& texts) {
  const std::int64_t last = file.length() - 5;
  std::int64_t gScanPos = 12;
  int gChunkId = -1;
  while ((gScanPos = file.FindIdentifier(gScanPos, last, WaveIdentifiers(), gChunkId)) >= 0) {
    const std::int64_t p = gScanPos;
    if (gChunkId == kFmt) {
      if (!ReadFormatChunk(file, p, props)) return;
      gScanPos = p + 1;
    } else if (gChunkId == kData) {
      const std::uint8_t* size;
      try {
        size = file.Item(p + 4, 4);
      } catch (const ReadFault&) {
        return;
      }
      if (size[3] >= 128) return;
      std::int64_t gChunkSize = U32LE(size);
      gScanPos = p + gChunkSize + 1;
    } else {
      std::string& field = *InfoField(gChunkId, props);
      const std::uint8_t* size;
      try {
        size = file.Item(p + 4, 4);
      } catch (const ReadFault&) {
        texts.Fail(field);
        return;
      }
      std::int64_t gChunkSize = U32LE(size);
      // The text is the body without its terminating byte; it must lie in the file.
      if (size[3] >= 128 || gChunkSize == 0) {
        texts.Fail(field);
        return;
      }
      if (!texts.Take(field, p + 8, gChunkSize - 1)) return;
      gScanPos = p + 1;
    }
  }
}

}  // namespace

void AnalyzeWaveFile(AnalyzerFile& file, AudioProperties& props) {
  SurvivingTexts::Run(file, [&](SurvivingTexts& texts) { ScanWaveChunks(file, props, texts); });
}

}  // namespace analysis
