#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "analysis/analyzerfile.h"
#include "analysis/readers.h"

namespace analysis {

// The text chunks of one scan (WAVE INFO texts, AIFF COMT and "(c) "). A text found again
// replaces the one before, and the scan also runs through every text, so reading each as
// it is found would make a file of many overlapping texts cost their summed lengths. Here
// a text is only checked where it is found (it lies in the file and can be read, each byte
// of the file read at most once for this over the whole scan) and the texts that survive
// are read when the scan ends: the same fields, in time linear in the file's size.
class SurvivingTexts {
 public:
  explicit SurvivingTexts(AnalyzerFile& file) : file_(file) {}
  SurvivingTexts(const SurvivingTexts&) = delete;
  SurvivingTexts& operator=(const SurvivingTexts&) = delete;

  // `field`'s text is now the `n` bytes at `pos`. False, with the field set to "ERROR",
  // when they do not all lie in the file or a read of them fails.
  bool Take(std::string& field, std::int64_t pos, std::int64_t n) {
    Forget(field);
    if (n < 0 || pos < 0 || pos > file_.length() || n > file_.length() - pos) return Fail(field);
    try {
      Check(pos, pos + n);
    } catch (const ReadFault&) {
      return Fail(field);
    }
    pending_[count_++] = {&field, pos, n};
    return true;
  }

  // `field` failed: it reads "ERROR", and no earlier text of it comes back.
  bool Fail(std::string& field) {
    Forget(field);
    field = kError;
    return false;
  }

  // Runs `scan(texts)` and reads the surviving texts into their fields however it ends: a read
  // failure still reaches the dispatcher, with the texts found so far.
  template <typename Scan>
  static void Run(AnalyzerFile& file, Scan scan) {
    SurvivingTexts texts(file);
    try {
      scan(texts);
    } catch (const ReadFault&) {
      texts.Settle();
      throw;
    }
    texts.Settle();
  }

  // Reads the surviving texts into their fields; call it however the scan ended.
  void Settle() {
    for (int i = 0; i < count_; ++i) {
      Pending& p = pending_[i];
      try {
        if (!file_.Text(p.pos, p.n, *p.field)) *p.field = kError;
      } catch (const ReadFault&) {
        *p.field = kError;
      }
    }
    count_ = 0;
  }

 private:
  static constexpr int kMaxFields = 8;
  struct Pending {
    std::string* field;
    std::int64_t pos, n;
  };

  void Forget(std::string& field) {
    for (int i = 0; i < count_; ++i) {
      if (pending_[i].field == &field) {
        pending_[i] = pending_[--count_];
        return;
      }
    }
  }

  // Makes sure the bytes [from, to) can be read. Texts begin in ascending order as the scan
  // moves on, so one checked stretch, grown or moved forward, is enough.
  void Check(std::int64_t from, std::int64_t to) {
    if (from < checkedFrom_ || from > checkedTo_) checkedFrom_ = checkedTo_ = from;
    for (std::int64_t q = checkedTo_; q < to;) {
      std::int64_t n = std::min<std::int64_t>(to - q, AnalyzerFile::kMaxItem);
      file_.Item(q, static_cast<std::size_t>(n));
      q += n;
      checkedTo_ = q;
    }
  }

  AnalyzerFile& file_;
  Pending pending_[kMaxFields] = {};
  int count_ = 0;
  std::int64_t checkedFrom_ = 0, checkedTo_ = 0;
};

}  // namespace analysis
