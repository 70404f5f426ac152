#pragma once

#include <cstdint>
#include <string_view>

// MPEG audio frame headers: the one decoder that the header analyser and the duration probe
// share, so that both find the same first frame of a file.
namespace analysis::mpeg {

struct FrameHeader {
  unsigned version = 0;       // the two version bits: 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
  unsigned layer = 0;         // the two layer bits: 1 layer 3, 2 layer 2, 3 layer 1
  bool protectedByCrc = false;
  unsigned bitrateIndex = 0;  // 0 is free format
  unsigned rateIndex = 0;
  unsigned padding = 0;
  unsigned mode = 0;          // 3 is mono
  bool copyright = false;
  unsigned emphasis = 0;
  int bitrate = 0;            // bits per second; 0 for free format
  int sampleRate = 0;         // hertz
  int samplesPerFrame = 0;
  int frameLength = 0;        // bytes, header included; 0 for free format
};

// Byte 255 followed by a byte of 224 or more: the eleven sync bits.
inline bool HasSync(const std::uint8_t* b) { return b[0] == 255 && b[1] >= 224; }

// A sync whose fields hold no reserved value: version, layer, bitrate index 15, rate index 3,
// emphasis 2.
bool Plausible(const std::uint8_t* b);

// The fields of a plausible header.
FrameHeader Decode(const std::uint8_t* b);

// Whether `b` holds a plausible header of the same stream as `first` (version, layer and
// rate unchanged).
bool Continues(const FrameHeader& first, const std::uint8_t* b);

// The length of an ID3v2 tag that the ten bytes at the start of a file begin (header,
// body and footer), or 0 when they begin none.
std::int64_t Id3v2Length(const std::uint8_t* b);

// Whether a file's name ends in ".mp3", in any case: the analyser and the probe take such a
// file for MPEG audio when its first bytes name no other type.
bool NamedAsMp3(std::string_view name);

// Where, after the start of a frame, a Xing/Info header stands, and a VBRI header.
int XingOffset(const FrameHeader& h);
inline constexpr int kVbriOffset = 36;

}  // namespace analysis::mpeg

namespace analysis::mpeg {

// The offset where the frame after one at `offset` starts; -1 for free format.
inline std::int64_t NextFrameOffset(const FrameHeader& h, std::int64_t offset) {
  return h.frameLength > 0 ? offset + h.frameLength : -1;
}

// The first frame of a stream at or after `from`: a plausible sync counts only when the
// next frame, where its bitrate, rate and padding put it, starts with a header of the same
// stream, or when the file (or the audio before an ID3v1 tag) ends there; where no sync up to
// `last` is confirmed, the first plausible one. `findSync(q)` gives the first plausible sync
// at or after q up to `last` (-1 when none); `peek(q, bytes)` fills four bytes at q and
// says whether they lie in the file. -1 when there is no plausible sync at all.
// `confirmed` tells which of the two the answer is.
template <typename FindSync, typename Peek>
std::int64_t FindFirstFrame(std::int64_t from, std::int64_t last, std::int64_t length, FindSync findSync, Peek peek,
                            bool& confirmed) {
  confirmed = false;
  std::int64_t first = -1;
  for (std::int64_t q = findSync(from); q >= 0; q = findSync(q + 1)) {
    if (first < 0) first = q;
    std::uint8_t head[4];
    if (!peek(q, head)) break;
    const FrameHeader h = Decode(head);
    const std::int64_t next = NextFrameOffset(h, q);
    if (next < 0) {
      // free format: nothing tells where the next frame starts
    } else if (next == length) {
      confirmed = true;
    } else {
      std::uint8_t following[4];
      if (next + 4 <= length && peek(next, following)) {
        const bool tagFollows = next == length - 128 && following[0] == 'T' && following[1] == 'A' &&
                                following[2] == 'G';
        confirmed = tagFollows || Continues(h, following);
      }
    }
    if (confirmed) return q;
    if (q >= last) break;
  }
  return first;
}

}  // namespace analysis::mpeg
