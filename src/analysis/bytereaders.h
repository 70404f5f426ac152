#pragma once

#include <cstdint>
#include <cstring>

// The numbers of audio headers as their bytes spell them, shared by the analyser's readers and
// the duration probe, so that both read a header alike.
namespace analysis {

inline std::uint32_t U16BE(const std::uint8_t* b) { return (std::uint32_t{b[0]} << 8) | b[1]; }
inline std::uint32_t U16LE(const std::uint8_t* b) { return (std::uint32_t{b[1]} << 8) | b[0]; }
inline std::uint32_t U32BE(const std::uint8_t* b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}
inline std::uint32_t U32LE(const std::uint8_t* b) {
  return (std::uint32_t{b[3]} << 24) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[1]} << 8) | b[0];
}

// Whether four bytes spell a chunk or file identifier exactly ("RIFF", "fmt ").
inline bool IsFourCC(const std::uint8_t* b, const char* id) { return std::memcmp(b, id, 4) == 0; }

// An 80-bit extended number (AIFF's sample rate): the value is mantissa * 2^(exponent - 16383
// - 63), negated when negative; an exponent of 0x7FFF is infinity or NaN.
struct Extended80Fields {
  bool negative = false;
  int exponent = 0;
  std::uint64_t mantissa = 0;
};
inline Extended80Fields ReadExtended80(const std::uint8_t* b) {
  Extended80Fields x;
  x.negative = (b[0] & 0x80) != 0;
  x.exponent = static_cast<int>(U16BE(b) & 0x7FFF);
  for (int i = 2; i < 10; ++i) x.mantissa = (x.mantissa << 8) | b[i];
  return x;
}

}  // namespace analysis
