#pragma once

#include <cstdint>
#include <string>

#include "analysis/analyzerfile.h"
#include "analysis/audioproperties.h"
#include "analysis/bytereaders.h"

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

}  // namespace analysis
