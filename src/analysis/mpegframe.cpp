#include "analysis/mpegframe.h"

namespace analysis::mpeg {
namespace {

// Kilobits per second by [MPEG 1 ? 0 : 1][layer 1, 2, 3][index].
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};

// Hertz by version bits and rate index.
constexpr int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

}  // namespace

bool Plausible(const std::uint8_t* b) {
  return HasSync(b) && ((b[1] >> 3) & 3) != 1 && ((b[1] >> 1) & 3) != 0 && (b[2] >> 4) != 15 &&
         ((b[2] >> 2) & 3) != 3 && (b[3] & 3) != 2;
}

FrameHeader Decode(const std::uint8_t* b) {
  FrameHeader h;
  h.version = (b[1] >> 3) & 3;
  h.layer = (b[1] >> 1) & 3;
  h.protectedByCrc = (b[1] & 1) == 0;
  h.bitrateIndex = b[2] >> 4;
  h.rateIndex = (b[2] >> 2) & 3;
  h.padding = (b[2] >> 1) & 1;
  h.mode = b[3] >> 6;
  h.copyright = ((b[3] >> 3) & 1) != 0;
  h.emphasis = b[3] & 3;
  if (h.layer == 0 || h.version == 1 || h.rateIndex == 3 || h.bitrateIndex == 15) return h;
  const bool mpeg1 = h.version == 3;
  const int layerNumber = 4 - static_cast<int>(h.layer);  // 1, 2 or 3
  h.bitrate = kBitrates[mpeg1 ? 0 : 1][layerNumber - 1][h.bitrateIndex] * 1000;
  h.sampleRate = kRates[h.version][h.rateIndex];
  h.samplesPerFrame = layerNumber == 1 ? 384 : (layerNumber == 3 && !mpeg1) ? 576 : 1152;
  if (h.bitrate > 0) {
    if (layerNumber == 1) {
      h.frameLength = (12 * h.bitrate / h.sampleRate + static_cast<int>(h.padding)) * 4;
    } else {
      h.frameLength = h.samplesPerFrame / 8 * h.bitrate / h.sampleRate + static_cast<int>(h.padding);
    }
  }
  return h;
}

bool Continues(const FrameHeader& first, const std::uint8_t* b) {
  return Plausible(b) && ((b[1] >> 3) & 3) == first.version && ((b[1] >> 1) & 3) == first.layer &&
         ((b[2] >> 2) & 3) == first.rateIndex;
}

std::int64_t Id3v2Length(const std::uint8_t* b) {
  if (b[0] != 'I' || b[1] != 'D' || b[2] != '3' || b[3] == 0xFF || b[4] == 0xFF) return 0;
  for (int i = 6; i < 10; ++i) {
    if (b[i] & 0x80) return 0;
  }
  const std::int64_t body = (std::int64_t{b[6]} << 21) | (std::int64_t{b[7]} << 14) | (std::int64_t{b[8]} << 7) | b[9];
  const bool footer = b[3] >= 4 && (b[5] & 0x10) != 0;
  return 10 + body + (footer ? 10 : 0);
}

bool NamedAsMp3(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view tail = name.substr(name.size() - 4);
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(tail[0]) == '.' && lower(tail[1]) == 'm' && lower(tail[2]) == 'p' && lower(tail[3]) == '3';
}

int XingOffset(const FrameHeader& h) {
  const bool mono = h.mode == 3;
  if (h.version == 3) return 4 + (mono ? 17 : 32);
  return 4 + (mono ? 9 : 17);
}

}  // namespace analysis::mpeg
