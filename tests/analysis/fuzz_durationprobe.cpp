// libFuzzer target: any bytes through the header duration probe, as a file of each name kind
// and from memory. The first byte picks a header to put in front, so that the fuzzer starts
// inside every reader. A duration, when there is one, is finite and positive, and the file
// and the memory give the same.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/durationprobe.h"
#include "support/fuzz_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeTempFolder("probe");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kHeads[] = {"", "RIFF\x24\0\0\0WAVE", "FORM\0\0\0\x24" "AIFF", "FORM\0\0\0\x24" "AIFC",
                                       ".snd", "MThd\0\0\0\x06", "ID3\x03\0\0\0\0\0\0", "\xFF"};
  static const std::size_t kHeadSizes[] = {0, 12, 12, 12, 4, 8, 10, 1};
  std::string bytes;
  if (size > 0) {
    const std::size_t pick = data[0] % 8;
    bytes.assign(kHeads[pick], kHeadSizes[pick]);
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  }
  for (const char* name : {"f.wav", "f.mp3"}) {
    const std::optional<double> fromMemory = analysis::ProbeDurationBytes(bytes, name);
    if (fromMemory && !(std::isfinite(*fromMemory) && *fromMemory > 0)) std::abort();
    const std::string path = fuzz_support::TempFolder() + "/" + name;
    fuzz_support::WriteHostFile(path, bytes);
    if (analysis::ProbeDurationHost(path) != fromMemory) std::abort();
  }
  return 0;
}
