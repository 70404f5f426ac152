#pragma once

// Builders of audio file bytes for tests: headers and chunks put together byte by byte.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace audio_builders {

inline std::string Le16(std::uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
inline std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
inline std::string Be16(std::uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
inline std::string Be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}
// Bytes written as hexadecimal pairs, blanks ignored: Hex("FF FB 90 C4").
inline std::string Hex(std::string_view text) {
  std::string out;
  int high = -1;
  for (char c : text) {
    int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<char>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}
inline std::string Zeros(std::size_t n) { return std::string(n, '\0'); }
inline std::string Join(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& p : parts) out += p;
  return out;
}

// ---- RIFF WAVE / RMID (little-endian)
inline std::string RiffChunk(std::string_view id, std::string_view body) {
  return std::string(id) + Le32(static_cast<std::uint32_t>(body.size())) + std::string(body);
}
inline std::string RiffFile(std::string_view form, std::string_view chunks) {
  return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + std::string(form) + std::string(chunks);
}
inline std::string WaveFmt(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                           std::string_view id = "fmt ") {
  std::uint32_t align = channels * bits / 8;
  return RiffChunk(id, Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits));
}
// An INFO text chunk: the text and its terminating zero byte.
inline std::string InfoText(std::string_view id, std::string_view text) {
  return RiffChunk(id, std::string(text) + '\0');
}
// A playable PCM file of silence.
inline std::string PcmWave(double seconds, std::uint32_t rate = 8000, std::uint32_t channels = 1,
                           std::uint32_t bits = 16) {
  std::size_t frames = static_cast<std::size_t>(seconds * rate);
  return RiffFile("WAVE", WaveFmt(1, channels, rate, bits) + RiffChunk("data", Zeros(frames * channels * bits / 8)));
}

// ---- AIFF / AIFF-C (big-endian)
inline std::string AiffChunk(std::string_view id, std::string_view body) {
  return std::string(id) + Be32(static_cast<std::uint32_t>(body.size())) + std::string(body);
}
inline std::string AiffFile(std::string_view form, std::string_view chunks) {
  return "FORM" + Be32(static_cast<std::uint32_t>(4 + chunks.size())) + std::string(form) + std::string(chunks);
}
// A whole number of hertz as an 80-bit extended number.
inline std::string Extended80(std::uint32_t hertz) {
  if (hertz == 0) return Zeros(10);
  int top = 31;
  while (!(hertz >> top)) --top;
  std::uint64_t mantissa = static_cast<std::uint64_t>(hertz) << (63 - top);
  std::string out = Be16(static_cast<std::uint32_t>(16383 + top));
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>(mantissa >> shift));
  return out;
}
inline std::string AiffComm(std::uint32_t channels, std::uint32_t frames, std::uint32_t bits,
                            std::string_view rate80, std::string_view compression = {}) {
  std::string body = Be16(channels) + Be32(frames) + Be16(bits) + std::string(rate80);
  if (!compression.empty()) body += std::string(compression) + '\0';  // type, empty name
  return AiffChunk("COMM", body);
}
inline std::string PcmAiff(double seconds, std::uint32_t rate = 8000, std::uint32_t channels = 1,
                           std::uint32_t bits = 16) {
  std::uint32_t frames = static_cast<std::uint32_t>(seconds * rate);
  return AiffFile("AIFF", AiffComm(channels, frames, bits, Extended80(rate)) +
                              AiffChunk("SSND", Zeros(8) + Zeros(std::size_t{frames} * channels * bits / 8)));
}

// ---- AU (big-endian)
inline std::string AuFile(std::uint32_t dataOffset, std::uint32_t encoding, std::uint32_t rate,
                          std::uint32_t channels, std::string_view annotationAndData = {}) {
  return ".snd" + Be32(dataOffset) + Be32(0xFFFFFFFF) + Be32(encoding) + Be32(rate) + Be32(channels) +
         std::string(annotationAndData);
}
inline std::string PcmAu(double seconds, std::uint32_t rate = 8000, std::uint32_t channels = 1) {
  std::size_t frames = static_cast<std::size_t>(seconds * rate);
  return ".snd" + Be32(24) + Be32(static_cast<std::uint32_t>(frames * channels * 2)) + Be32(3) + Be32(rate) +
         Be32(channels) + Zeros(frames * channels * 2);
}

// ---- Standard MIDI files
inline std::string MidiFile(std::uint32_t format, std::uint32_t tracks, std::uint32_t division,
                            std::string_view trackBodies = {}) {
  return "MThd" + Be32(6) + Be16(format) + Be16(tracks) + Be16(division) + std::string(trackBodies);
}
inline std::string MidiTrack(std::string_view events) {
  return "MTrk" + Be32(static_cast<std::uint32_t>(events.size())) + std::string(events);
}
inline std::string RmidFile(std::string_view midi) { return RiffFile("RMID", RiffChunk("data", midi)); }

// ---- MPEG audio with ID3v1
// A frame of silence: the header and zero bytes up to the frame's length.
inline std::string MpegFrame(std::string_view header4, std::size_t length) {
  return std::string(header4) + Zeros(length - header4.size());
}
// A playable MPEG 1 layer 3 stream of silence, 128 kbit/s at 44.1 kHz (1152 samples a
// frame), whose first frame carries the frame count as players expect it.
inline std::string SilentMp3(std::uint32_t frames) {
  const std::string frame = MpegFrame("\xFF\xFB\x90\x64", 417);
  std::string first = frame;
  first.replace(36, 12, "Info" + Be32(1) + Be32(frames));
  std::string out = first;
  for (std::uint32_t i = 1; i < frames; ++i) out += frame;
  return out;
}
inline std::string Id3v1(std::string_view title, std::string_view artist, std::string_view album,
                         std::string_view year, std::string_view comment, std::uint8_t genre,
                         std::string_view id = "TAG") {
  auto field = [](std::string_view text, std::size_t width) {
    std::string f(text.substr(0, width));
    f.resize(width, '\0');
    return f;
  };
  return std::string(id) + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
         field(comment, 30) + std::string(1, static_cast<char>(genre));
}

}  // namespace audio_builders
