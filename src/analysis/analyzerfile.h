#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace analysis {

// A read the file refused (an I/O error, not the end of the file). The readers catch it
// per item; it never leaves AnalyzeAudioFile.
struct ReadFault {};

// Four-character chunk identifiers (lower case) that a scan looks for at every offset.
class IdentifierSet {
 public:
  static constexpr int kMax = 12;
  explicit IdentifierSet(std::initializer_list<const char*> ids);

  int count() const { return count_; }
  // Index of the identifier that the four bytes spell in lower case, or -1.
  int Match(const std::uint8_t* bytes) const;

 private:
  friend class AnalyzerFile;
  char ids_[kMax][4] = {};
  int count_ = 0;
  // Distinct first two characters, for a quick test of many offsets at once.
  std::uint8_t pairs_[kMax][2] = {};
  int pairCount_ = 0;
  // The same test by nibbles: a byte b may be the first character of pair k when bit k is
  // set in both first[0][b & 15] and first[1][b >> 4]; likewise the second.
  std::uint8_t first_[2][16] = {};
  std::uint8_t second_[2][16] = {};
};

// The analysed file, open for reading under one descriptor. Reads go through one window
// of the file: a first block of 64 KiB (the whole of a small file), then blocks that grow
// while the readers move forward. The length is the probed one and fixed while the file
// is open; a file that shrinks meanwhile ends where its bytes end.
class AnalyzerFile {
 public:
  // Items read through Item() are at most this long.
  static constexpr std::size_t kMaxItem = 128;

  AnalyzerFile() = default;
  ~AnalyzerFile();
  AnalyzerFile(const AnalyzerFile&) = delete;
  AnalyzerFile& operator=(const AnalyzerFile&) = delete;

  // False when the file cannot be opened.
  bool Open(const std::string& hostPath, std::int64_t length);
  void Close();

  std::int64_t length() const { return length_; }

  // `n` (<= kMaxItem) bytes at `pos`; bytes past the end of the file read as zero.
  const std::uint8_t* Item(std::int64_t pos, std::size_t n);

  // Copies `n` (<= kMaxItem) bytes at `pos` into `out` without moving the window; false
  // when they do not all lie in the file.
  bool Peek(std::int64_t pos, std::size_t n, std::uint8_t* out);

  // The `n` bytes at `pos` as Windows-1252 text turned into UTF-8. False when they do not
  // all lie in the file.
  bool Text(std::int64_t pos, std::int64_t n, std::string& utf8);
  // The same, but bytes past the end of the file count as zero bytes.
  void TextZeroFilled(std::int64_t pos, std::int64_t n, std::string& utf8);

  // The first offset q in [from, last] whose four bytes, in lower case, spell one of the
  // set's identifiers; -1 when there is none. `which` gets the identifier's index.
  std::int64_t FindIdentifier(std::int64_t from, std::int64_t last, const IdentifierSet& ids, int& which);
  // The first offset q in [from, last] with byte 255 at q, a byte of 224 or more at q+1 and
  // whose four bytes `accept` takes; -1 when there is none.
  std::int64_t FindFrameSync(std::int64_t from, std::int64_t last, bool (*accept)(const std::uint8_t* header));

 private:
  // Makes the window start at `pos` and hold what the file has there, up to a block.
  void Fill(std::int64_t pos);
  // Makes the window cover [pos, pos+n) as far as the file reaches; false when `pos` lies
  // at or past the end.
  bool Cover(std::int64_t pos, std::size_t n);
  std::int64_t end() const { return end_; }
  // Appends the file's bytes [pos, pos+n) to `out`; returns how many the file had.
  std::int64_t ReadRaw(std::int64_t pos, std::int64_t n, std::string& out);

  int fd_ = -1;
  std::int64_t length_ = 0;
  std::int64_t end_ = 0;  // where the file's bytes end: the length, or less if it shrank
  std::uint8_t* buffer_ = nullptr;
  bool ownBuffer_ = false;
  std::int64_t winStart_ = 0;
  std::size_t winSize_ = 0;
  std::size_t block_ = 0;
  std::uint8_t scratch_[kMaxItem] = {};
};

// Fault injection for tests: reads of the file's bytes from `offset` on fail as a bad
// sector would (a read that reaches it stops short, a read that starts there fails).
// A negative offset switches the fault off.
void InjectReadFaultFrom(std::int64_t offset);

}  // namespace analysis
