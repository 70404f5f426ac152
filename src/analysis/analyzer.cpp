#include "analysis/analyzer.h"

#include <cstring>
#include <exception>

#include "analysis/analyzerfile.h"
#include "analysis/mpegframe.h"
#include "analysis/readers.h"
#include "platform/core/codepage.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "platform/core/mediaplayer.h"

namespace analysis {
namespace {

// The type by the magic (and, for MPEG, the name), then its reader. False
// for an unsupported RIFF or FORM type.
bool DispatchByMagic(AnalyzerFile& file, const std::string& path, AudioProperties& props) {
  char gFileMagic[4];
  std::memcpy(gFileMagic, file.Item(0, 4), 4);
  auto is = [&](const char* magic) { return std::memcmp(gFileMagic, magic, 4) == 0; };

  if (is("RIFF") || is("FORM")) {
    const bool riff = is("RIFF");
    char form[4];
    std::memcpy(form, file.Item(8, 4), 4);
    props.gAudioFileType = platform::Cp1252ToUtf8(std::string_view(form, 4));
    if (riff && props.gAudioFileType == "WAVE") {
      AnalyzeWaveFile(file, props);
    } else if (riff && props.gAudioFileType == "RMID") {
      AnalyzeMidiFile(file, props);
    } else if (!riff && (props.gAudioFileType == "AIFF" || props.gAudioFileType == "AIFC")) {
      if (props.gAudioFileType == "AIFC") props.gAudioFileType = "AIFF-C";
      AnalyzeAiffFile(file, props);
    } else {
      props.gAudioFileType = riff ? "Unsupported RIFF format" : "Unsupported AIFF format";
      return false;
    }
  } else if (is(".snd")) {
    props.gAudioFileType = "Sun/NeXT AU";
    AnalyzeAuFile(file, props);
  } else if (is("MThd")) {
    AnalyzeMidiFile(file, props);
  } else if (mpeg::NamedAsMp3(path)) {
    props.gAudioFileType = "MPEG";
    AnalyzeMpegFile(file, props);
  } else {
    AnalyzeUnknownFile(file, props);
  }
  return true;
}

AnalysisStatus Analyze(const std::string& gCurrentFilePath, AudioProperties& props, platform::MediaPlayer* player) {
  props.Clear();

  const std::string host = platform::HostPathOf(gCurrentFilePath);
  if (host.empty()) return AnalysisStatus::NotFound;
  const platform::FileProbe probe = platform::FileLenHost(host);
  if (!probe.ok()) return AnalysisStatus::NotFound;
  props.gAudioFileLength = probe.length;

  if (probe.length > 12) {
    AnalyzerFile file;
    if (!file.Open(host, probe.length)) return AnalysisStatus::Failed;
    bool supported;
    try {
      supported = DispatchByMagic(file, gCurrentFilePath, props);
    } catch (const ReadFault&) {
      return AnalysisStatus::Failed;
    }
    file.Close();
    if (!supported) return AnalysisStatus::Unsupported;
  }

  if (player) {
    try {
      player->SetFileName(gCurrentFilePath);
      player->Stop();
    } catch (...) {
      return AnalysisStatus::Failed;
    }
  }
  return AnalysisStatus::Done;
}

}  // namespace

AnalysisStatus AnalyzeAudioFile(const std::string& gCurrentFilePath, AudioProperties& props,
                                platform::MediaPlayer* player) {
  try {
    return Analyze(gCurrentFilePath, props, player);
  } catch (...) {  // out of memory, say: the fields stay as they stand
    return AnalysisStatus::Failed;
  }
}

}  // namespace analysis
