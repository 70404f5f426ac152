// placeholder until the analyser lands
#include "analysis/analyzer.h"

namespace analysis {
AnalysisStatus AnalyzeAudioFile(const std::string&, AudioProperties& props, platform::MediaPlayer*) {
  props.Clear();
  return AnalysisStatus::Failed;
}
}  // namespace analysis
