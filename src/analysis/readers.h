#pragma once

#include <cstdint>
#include <string>

#include "analysis/analyzerfile.h"
#include "analysis/audioproperties.h"

// The readers, one per file type. Each is called by AnalyzeAudioFile with the file open and
// every field but the type emptied, writes only its own fields, and ends at its first
// failed item (that item's field reading "ERROR"). A ReadFault that a reader lets through
// is a failure of the analysis as a whole.
namespace analysis {

inline constexpr const char* kError = "ERROR";

void AnalyzeWaveFile(AnalyzerFile& file, AudioProperties& props);
void AnalyzeMidiFile(AnalyzerFile& file, AudioProperties& props);
void AnalyzeAuFile(AnalyzerFile& file, AudioProperties& props);
void AnalyzeAiffFile(AnalyzerFile& file, AudioProperties& props);
void AnalyzeMpegFile(AnalyzerFile& file, AudioProperties& props);
void AnalyzeUnknownFile(AnalyzerFile& file, AudioProperties& props);

// Texts made from numbers, shared by the readers.
std::string ChannelsText(std::int64_t channels);   // "1 - Mono", "2 - Stereo", " 6"
std::string KiloHertzText(std::int64_t hertz);     // "44.1 kHz", ".5 kHz", "0 kHz"
std::string BitsText(std::int64_t bits);           // "16 bits"
std::string BlankNumberText(std::int64_t number);  // " 480"

inline std::uint32_t U16BE(const std::uint8_t* b) { return (std::uint32_t{b[0]} << 8) | b[1]; }
inline std::uint32_t U16LE(const std::uint8_t* b) { return (std::uint32_t{b[1]} << 8) | b[0]; }
inline std::uint32_t U32BE(const std::uint8_t* b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}
inline std::uint32_t U32LE(const std::uint8_t* b) {
  return (std::uint32_t{b[3]} << 24) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[1]} << 8) | b[0];
}

}  // namespace analysis
