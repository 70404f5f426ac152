#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "datafiles/userdb.h"
#include "inventory/searchresult.h"
#include "inventory/searchscoring.h"

namespace inventory {

struct SearchRequest {
  std::string searchText;  // as typed
  SearchOptions options;
  std::string inventoryFile;  // full names, drive-letter form
  std::string resultFile;
  // userdb.dat's records when they could be read; ignored unless options.userDB.
  const std::vector<datafiles::UserDBRecord>* notes = nullptr;
  // Threads that take the files' status and score: 0 one per core (at most 8), 1 the calling
  // thread alone. Most of a search is the kernel's lookup of each file's name, which runs on
  // all cores at once; the result is the same whatever the number.
  unsigned threads = 0;
  // Bytes of inventory.dat per slice a thread takes at a time: 0 chosen from the file's size
  // and the threads (tests set it small to have many slices).
  std::size_t sliceBytes = 0;
};

struct SearchOutcome {
  std::vector<SearchHit> hits;  // in inventory order
  // The scan ran through inventory.dat. When it could not (inventory.dat unreadable), result.dat
  // holds the header and the no-match line, so that it never keeps an older search.
  bool complete = true;
  // Empty when all went well; else a sentence for the status line: why the scan stopped, or
  // that result.dat could not be written (it is then removed, for the same reason).
  std::string failure;
};

// The search: every line of inventory.dat whose file exists with 13 bytes or more is scored
// (one status call per file for its length and its time); files with a positive score are the
// hits. result.dat is written anew: the header line, a line per hit in inventory order, or the
// no-match line when none. A file whose status cannot be had is skipped like a missing one.
// The lines are scanned in slices by a small pool of threads; the hits and result.dat are
// put together in inventory order.
SearchOutcome SearchInventory(const SearchRequest& request);
// The number of threads a request's `threads` stands for.
unsigned SearchThreads(unsigned asked);

}  // namespace inventory
