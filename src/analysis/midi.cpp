#include "analysis/readers.h"

namespace analysis {
namespace {

const char* MidiFormatText(std::uint32_t format) {
  switch (format) {
    case 0: return "Single track";
    case 1: return "Synch multitrack";
    case 2: return "Async multitrack";
    default: return "Invalid header";
  }
}

}  // namespace

// The header numbers sit at fixed offsets: behind "MThd" and its length in a bare file,
// behind the RIFF header and the "data" chunk header in an RMID file. Bytes past the end
// of a short file count as zero.
void AnalyzeMidiFile(AnalyzerFile& file, AudioProperties& props) {
  std::int64_t gScanPos = 8;
  if (props.gAudioFileType == "RMID") {
    gScanPos = 28;
  } else {
    props.gAudioFileType = "MIDI";
  }
  try {
    props.gAudioFormatVersion = MidiFormatText(U16BE(file.Item(gScanPos, 2)));
  } catch (const ReadFault&) {
    props.gAudioFormatVersion = kError;
    return;
  }
  try {
    props.gAudioChannels = BlankNumberText(U16BE(file.Item(gScanPos + 2, 2)));
  } catch (const ReadFault&) {
    props.gAudioChannels = kError;
    return;
  }
  try {
    props.gAudioDivision = BlankNumberText(U16BE(file.Item(gScanPos + 4, 2)));
  } catch (const ReadFault&) {
    props.gAudioDivision = kError;
  }
}

}  // namespace analysis
