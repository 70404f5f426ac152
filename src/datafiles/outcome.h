#pragma once

// What a reader or writer of the data folder came to. The core tells; the windows put it into
// words (windows/messages.h), so nothing below them needs a message box.

#include <string>

namespace datafiles {

// The data files whose outcomes the windows name.
enum class DataFile { Preferences, TapdeckPresets, InventorySummary, InventoryData };

enum class ReadStatus {
  Loaded,      // read whole
  Missing,     // not there: nothing read, the defaults stand
  Unreadable,  // there, but its bytes could not be had: the defaults stand, nothing kept
  NotAFile,    // a folder or the like in its place: nothing read, and nothing can be written there
  Damaged,     // read as far as it went, the rest at its defaults; the bytes kept beside it if possible
};

struct ReadOutcome {
  DataFile which = DataFile::Preferences;
  std::string file;  // full path
  ReadStatus status = ReadStatus::Loaded;
  std::string copy;         // Damaged: the name the bytes were kept under; empty when no copy could be made
  std::string copyFailure;  // Damaged without a copy: why
};

// A whole-file write through a temporary twin.
struct [[nodiscard]] SaveOutcome {
  std::string file;  // full path
  bool saved = true;
  std::string failure;  // not saved: the error's description; the file is as it was
  explicit operator bool() const { return saved; }
};

}  // namespace datafiles
