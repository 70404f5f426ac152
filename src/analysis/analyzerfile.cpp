#include "analysis/analyzerfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "platform/core/codepage.h"

namespace analysis {
namespace {

constexpr std::size_t kFirstBlock = 64 * 1024;
constexpr std::size_t kMaxBlock = 1024 * 1024;

std::atomic<std::int64_t> gFaultFrom{-1};

ssize_t ReadAt(int fd, void* buf, std::size_t n, std::int64_t off) {
  std::int64_t fault = gFaultFrom.load(std::memory_order_relaxed);
  if (fault >= 0) {
    if (off >= fault) {
      errno = EIO;
      return -1;
    }
    n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), fault - off));
  }
  return ::pread(fd, buf, n, off);
}

// One window buffer per thread, handed to the file being analysed; a second file open at
// the same time gets its own.
thread_local std::unique_ptr<std::uint8_t[]> tBuffer;
thread_local bool tBufferBusy = false;

constexpr std::uint8_t AsciiLower(std::uint8_t c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<std::uint8_t>(c + 32) : c;
}

}  // namespace

void InjectReadFaultFrom(std::int64_t offset) { gFaultFrom.store(offset, std::memory_order_relaxed); }

IdentifierSet::IdentifierSet(std::initializer_list<const char*> ids) {
  for (const char* id : ids) {
    if (count_ == kMax) break;
    std::memcpy(ids_[count_], id, 4);
    std::uint8_t a = static_cast<std::uint8_t>(id[0]), b = static_cast<std::uint8_t>(id[1]);
    bool seen = false;
    for (int i = 0; i < pairCount_; ++i) seen = seen || (pairs_[i][0] == a && pairs_[i][1] == b);
    if (!seen) {
      pairs_[pairCount_][0] = a;
      pairs_[pairCount_][1] = b;
      ++pairCount_;
    }
    ++count_;
  }
  auto mark = [](std::uint8_t(&table)[2][16], std::uint8_t c, int bit) {
    std::uint8_t variants[2] = {c, c};
    if (c >= 'a' && c <= 'z') variants[1] = static_cast<std::uint8_t>(c - 32);
    for (std::uint8_t v : variants) {
      table[0][v & 15] |= static_cast<std::uint8_t>(1u << bit);
      table[1][v >> 4] |= static_cast<std::uint8_t>(1u << bit);
    }
  };
  for (int k = 0; k < pairCount_ && k < 8; ++k) {
    mark(first_, pairs_[k][0], k);
    mark(second_, pairs_[k][1], k);
  }
}

int IdentifierSet::Match(const std::uint8_t* bytes) const {
  std::uint8_t lower[4] = {AsciiLower(bytes[0]), AsciiLower(bytes[1]), AsciiLower(bytes[2]), AsciiLower(bytes[3])};
  for (int i = 0; i < count_; ++i) {
    if (std::memcmp(lower, ids_[i], 4) == 0) return i;
  }
  return -1;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
namespace {

// Thirty-two offsets at a time: each byte is classed by its two nibbles against the
// identifiers' first and second characters; an offset whose byte and the next share a
// class may start an identifier and is tested exactly. On true, `i` is the offset found.
__attribute__((target("avx2"))) bool ScanAvx2(const std::uint8_t* w, std::int64_t& i, std::int64_t iEnd,
                                              std::int64_t size, const IdentifierSet& ids,
                                              const std::uint8_t (&first)[2][16], const std::uint8_t (&second)[2][16],
                                              int& which) {
  const __m256i firstLo = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first[0])));
  const __m256i firstHi = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first[1])));
  const __m256i secondLo = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(second[0])));
  const __m256i secondHi = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(second[1])));
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i zero = _mm256_setzero_si256();
  while (i + 31 <= iEnd && i + 33 <= size) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + i));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + i + 1));
    __m256i ca = _mm256_and_si256(_mm256_shuffle_epi8(firstLo, _mm256_and_si256(a, nibble)),
                                  _mm256_shuffle_epi8(firstHi, _mm256_and_si256(_mm256_srli_epi16(a, 4), nibble)));
    __m256i cb = _mm256_and_si256(_mm256_shuffle_epi8(secondLo, _mm256_and_si256(b, nibble)),
                                  _mm256_shuffle_epi8(secondHi, _mm256_and_si256(_mm256_srli_epi16(b, 4), nibble)));
    unsigned mask = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(ca, cb), zero)));
    while (mask != 0) {
      int bit = __builtin_ctz(mask);
      // The compiler leaves the upper halves dirty on this path; the SSE code of the caller
      // would then pay a state transition per identifier found.
      _mm256_zeroupper();
      int id = ids.Match(w + i + bit);
      if (id >= 0) {
        which = id;
        i += bit;
        return true;
      }
      mask &= mask - 1;
    }
    i += 32;
  }
  return false;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace
#define TOLVAN_SCAN_AVX2 1
#endif

AnalyzerFile::~AnalyzerFile() { Close(); }

bool AnalyzerFile::Open(const std::string& hostPath, std::int64_t length) {
  Close();
  // Non-blocking, so that a pipe put in the file's place after the probe cannot stall us.
  fd_ = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) return false;
  length_ = std::max<std::int64_t>(length, 0);
  end_ = length_;
  if (!tBufferBusy) {
    if (!tBuffer) tBuffer.reset(new std::uint8_t[kMaxBlock]);
    buffer_ = tBuffer.get();
    tBufferBusy = true;
    ownBuffer_ = false;
  } else {
    buffer_ = new std::uint8_t[kMaxBlock];
    ownBuffer_ = true;
  }
  winStart_ = 0;
  winSize_ = 0;
  block_ = 0;
  if (length_ > static_cast<std::int64_t>(kFirstBlock)) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

void AnalyzerFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (buffer_) {
    if (ownBuffer_) {
      delete[] buffer_;
    } else {
      tBufferBusy = false;
    }
  }
  buffer_ = nullptr;
  winSize_ = 0;
}

void AnalyzerFile::Fill(std::int64_t pos) {
  bool sequential = block_ != 0 && pos >= winStart_ && pos <= winStart_ + static_cast<std::int64_t>(winSize_);
  block_ = sequential ? std::min(block_ * 2, kMaxBlock) : kFirstBlock;
  winStart_ = pos;
  winSize_ = 0;
  if (pos >= end_) return;
  std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(block_), end_ - pos));
  std::size_t got = 0;
  while (got < want) {
    ssize_t r = ReadAt(fd_, buffer_ + got, want - got, pos + static_cast<std::int64_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      if (got > 0) break;  // the bytes before the fault are good; the next read meets it
      throw ReadFault{};
    }
    if (r == 0) {  // the file shrank since it was measured
      end_ = pos + static_cast<std::int64_t>(got);
      break;
    }
    got += static_cast<std::size_t>(r);
  }
  winSize_ = got;
}

bool AnalyzerFile::Cover(std::int64_t pos, std::size_t n) {
  if (pos < 0 || pos >= end_) return false;
  std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
  if (pos >= winStart_ && pos < winEnd && (pos + static_cast<std::int64_t>(n) <= winEnd || winEnd == end_)) {
    return true;
  }
  Fill(pos);
  if (winSize_ == 0) return false;  // the file ends here after all
  // A read that stops short inside the file met a fault.
  if (winSize_ < n && winStart_ + static_cast<std::int64_t>(winSize_) < end_) throw ReadFault{};
  return true;
}

const std::uint8_t* AnalyzerFile::Item(std::int64_t pos, std::size_t n) {
  n = std::min(n, kMaxItem);
  std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
  if (pos >= winStart_ && pos + static_cast<std::int64_t>(n) <= winEnd) return buffer_ + (pos - winStart_);
  std::size_t done = 0;
  while (done < n) {
    std::int64_t q = pos + static_cast<std::int64_t>(done);
    if (q < 0) {
      scratch_[done++] = 0;
      continue;
    }
    if (!Cover(q, n - done)) break;  // past the end
    std::int64_t avail = winStart_ + static_cast<std::int64_t>(winSize_) - q;
    std::size_t k = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n - done), avail));
    std::memcpy(scratch_ + done, buffer_ + (q - winStart_), k);
    done += k;
  }
  std::memset(scratch_ + done, 0, n - done);
  return scratch_;
}

bool AnalyzerFile::Peek(std::int64_t pos, std::size_t n, std::uint8_t* out) {
  if (pos < 0 || n > kMaxItem || pos + static_cast<std::int64_t>(n) > end_) return false;
  const std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
  if (pos >= winStart_ && pos + static_cast<std::int64_t>(n) <= winEnd) {
    std::memcpy(out, buffer_ + (pos - winStart_), n);
    return true;
  }
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ReadAt(fd_, out + got, n - got, pos + static_cast<std::int64_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      throw ReadFault{};
    }
    if (r == 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

std::int64_t AnalyzerFile::ReadRaw(std::int64_t pos, std::int64_t n, std::string& out) {
  std::int64_t done = 0;
  std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
  if (pos >= winStart_ && pos < winEnd) {
    done = std::min(n, winEnd - pos);
    out.append(reinterpret_cast<const char*>(buffer_ + (pos - winStart_)), static_cast<std::size_t>(done));
  }
  if (done == n) return done;
  // The rest goes straight into the text, not through the window.
  std::size_t base = out.size();
  out.resize(base + static_cast<std::size_t>(n - done));
  std::int64_t got = 0;
  while (done + got < n) {
    ssize_t r = ReadAt(fd_, out.data() + base + got, static_cast<std::size_t>(n - done - got), pos + done + got);
    if (r < 0) {
      if (errno == EINTR) continue;
      throw ReadFault{};
    }
    if (r == 0) {
      end_ = std::min(end_, pos + done + got);
      break;
    }
    got += r;
  }
  out.resize(base + static_cast<std::size_t>(got));
  return done + got;
}

bool AnalyzerFile::Text(std::int64_t pos, std::int64_t n, std::string& utf8) {
  if (n <= 0) {
    utf8.clear();
    return n == 0;
  }
  if (pos < 0 || pos > length_ || n > length_ - pos) return false;
  std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
  if (pos >= winStart_ && pos + n <= winEnd) {
    utf8 = platform::Cp1252ToUtf8(
        std::string_view(reinterpret_cast<const char*>(buffer_ + (pos - winStart_)), static_cast<std::size_t>(n)));
    return true;
  }
  if (n <= static_cast<std::int64_t>(kFirstBlock) && Cover(pos, static_cast<std::size_t>(n)) &&
      pos + n <= winStart_ + static_cast<std::int64_t>(winSize_)) {
    utf8 = platform::Cp1252ToUtf8(
        std::string_view(reinterpret_cast<const char*>(buffer_ + (pos - winStart_)), static_cast<std::size_t>(n)));
    return true;
  }
  try {
    std::string raw;
    raw.reserve(static_cast<std::size_t>(n));
    if (ReadRaw(pos, n, raw) < n) return false;
    utf8 = platform::Cp1252ToUtf8(raw);
  } catch (const std::bad_alloc&) {  // a text too long to hold is a text that cannot be had
    return false;
  }
  return true;
}

void AnalyzerFile::TextZeroFilled(std::int64_t pos, std::int64_t n, std::string& utf8) {
  utf8.clear();
  if (n <= 0) return;
  std::string raw;
  raw.reserve(static_cast<std::size_t>(n));
  std::int64_t inFile = std::clamp<std::int64_t>(end_ - pos, 0, n);
  if (inFile > 0) ReadRaw(pos, inFile, raw);
  raw.resize(static_cast<std::size_t>(n), '\0');
  utf8 = platform::Cp1252ToUtf8(raw);
}

std::int64_t AnalyzerFile::FindIdentifier(std::int64_t from, std::int64_t last, const IdentifierSet& ids, int& which) {
  which = -1;
  while (from <= last) {
    if (!Cover(from, 4)) return -1;
    std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
    if (winEnd - from < 4) return -1;  // the file ends short of its measured length
    // Offsets within the window: i stands for the file offset winStart_ + i.
    const std::uint8_t* w = buffer_;
    std::int64_t i = from - winStart_;
    const std::int64_t iEnd = std::min(last, winEnd - 4) - winStart_;
    const std::int64_t size = static_cast<std::int64_t>(winSize_);
#if defined(TOLVAN_SCAN_AVX2)
    if (ids.pairCount_ <= 8 && HasAvx2()) {
      if (ScanAvx2(w, i, iEnd, size, ids, ids.first_, ids.second_, which)) return winStart_ + i;
    }
#endif
#if defined(__SSE2__)
    // Sixteen offsets at a time: their first two bytes (folded to lower case the cheap way,
    // a superset of the real test) against the identifiers' first two characters.
    const __m128i fold = _mm_set1_epi8(0x20);
    __m128i first[IdentifierSet::kMax], second[IdentifierSet::kMax];
    for (int k = 0; k < ids.pairCount_; ++k) {
      first[k] = _mm_set1_epi8(static_cast<char>(ids.pairs_[k][0] | 0x20));
      second[k] = _mm_set1_epi8(static_cast<char>(ids.pairs_[k][1] | 0x20));
    }
    while (i + 15 <= iEnd && i + 17 <= size) {
      __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w + i)), fold);
      __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w + i + 1)), fold);
      __m128i hit = _mm_setzero_si128();
      for (int k = 0; k < ids.pairCount_; ++k) {
        hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(a, first[k]), _mm_cmpeq_epi8(b, second[k])));
      }
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
      while (mask != 0) {
        int bit = __builtin_ctz(mask);
        int id = ids.Match(w + i + bit);
        if (id >= 0) {
          which = id;
          return winStart_ + i + bit;
        }
        mask &= mask - 1;
      }
      i += 16;
    }
#endif
    for (; i <= iEnd; ++i) {
      int id = ids.Match(w + i);
      if (id >= 0) {
        which = id;
        return winStart_ + i;
      }
    }
    std::int64_t qEnd = iEnd + winStart_;
    from = qEnd + 1;
  }
  return -1;
}

std::int64_t AnalyzerFile::FindFrameSync(std::int64_t from, std::int64_t last,
                                         bool (*accept)(const std::uint8_t* header)) {
  while (from <= last) {
    if (!Cover(from, 4)) return -1;
    std::int64_t winEnd = winStart_ + static_cast<std::int64_t>(winSize_);
    if (winEnd - from < 4) return -1;
    const std::uint8_t* w = buffer_;
    std::int64_t i = from - winStart_;
    const std::int64_t iEnd = std::min(last, winEnd - 4) - winStart_;
    while (i <= iEnd) {
      const void* hit = std::memchr(w + i, 0xFF, static_cast<std::size_t>(iEnd - i + 1));
      if (!hit) break;
      i = static_cast<const std::uint8_t*>(hit) - w;
      if (w[i + 1] >= 224 && accept(w + i)) return winStart_ + i;
      ++i;
    }
    std::int64_t qEnd = iEnd + winStart_;
    from = qEnd + 1;
  }
  return -1;
}

}  // namespace analysis
