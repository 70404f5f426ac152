// libFuzzer target: any bytes, under a name of each kind, through the analyser. The first
// byte picks a header to put in front, so that the fuzzer starts inside every reader.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/analyzer.h"
#include "platform/core/drives.h"
#include "support/fuzz_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeTempFolder("analyzer");
  platform::SetDriveMap(platform::DriveMap({{'C', fuzz_support::TempFolder()}}));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kHeads[] = {"", "RIFF\x24\0\0\0WAVE", "RIFF\x24\0\0\0RMID", "FORM\0\0\0\x24" "AIFF",
                                       "FORM\0\0\0\x24" "AIFC", ".snd", "MThd\0\0\0\x06", "\xFF"};
  static const std::size_t kHeadSizes[] = {0, 12, 12, 12, 12, 4, 8, 1};
  std::string bytes;
  if (size > 0) {
    std::size_t pick = data[0] % 8;
    bytes.assign(kHeads[pick], kHeadSizes[pick]);
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  }
  analysis::AudioProperties props;
  for (const char* name : {"f.wav", "f.mp3"}) {
    fuzz_support::WriteHostFile(fuzz_support::TempFolder() + "/" + name, bytes);
    analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(std::string("C:\\") + name, props, nullptr);
    if (status == analysis::AnalysisStatus::Failed || status == analysis::AnalysisStatus::NotFound) std::abort();
    if (props.gAudioFileLength != static_cast<std::int64_t>(bytes.size())) std::abort();
  }
  return 0;
}
