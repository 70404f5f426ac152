#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/datafilenames.h"

namespace inventory {

// What the start did to bring invsum.dat back in step with inventory.dat.
struct SummaryInStep {
  bool rebuilt = false;               // invsum.dat was written anew from inventory.dat's lines
  std::int32_t error = 0;             // what stopped the rebuild's write; invsum.dat is then as it was
  std::vector<std::string> removed;   // the leftover temporary twins taken away
};

// Every writer writes inventory.dat before invsum.dat, so a summary older than inventory.dat
// was not written after its last change (a kill between the two, or a failed summary write).
// Such a summary is counted again from inventory.dat's lines: the system totals, and for each
// stored drive row (its letter and icon kept) the lines of that drive. Its header stays when the
// counts were right; otherwise it tells the time inventory.dat was written. A summary that is
// not older costs two status calls; a missing or unreadable file is left to
// its readers.
// The twins inventory.dat.new and invsum.dat.new that a kill left are removed first.
SummaryInStep BringSummaryInStep(const datafiles::DataFileNames& files);

}  // namespace inventory
