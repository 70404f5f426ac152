#include "analysis/durationprobe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "analysis/bytereaders.h"
#include "analysis/mpegframe.h"

namespace analysis {
namespace {

// A file's bytes, in memory or read through a window; At() answers only for bytes that
// lie in the file.
class Source {
 public:
  static constexpr std::size_t kWindow = 16 * 1024;

  explicit Source(std::string_view bytes) : memory_(bytes), length_(static_cast<std::int64_t>(bytes.size())) {}
  Source(int fd, std::int64_t length) : fd_(fd), length_(length) {}

  std::int64_t length() const { return length_; }

  const std::uint8_t* At(std::int64_t pos, std::size_t n) {
    if (pos < 0 || n > kWindow || pos + static_cast<std::int64_t>(n) > length_) return nullptr;
    if (fd_ < 0) return reinterpret_cast<const std::uint8_t*>(memory_.data()) + pos;
    if (pos >= start_ && pos + static_cast<std::int64_t>(n) <= start_ + static_cast<std::int64_t>(size_)) {
      return window_.data() + (pos - start_);
    }
    window_.resize(kWindow);
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(kWindow), length_ - pos));
    std::size_t got = 0;
    while (got < want) {
      ssize_t r = ::pread(fd_, window_.data() + got, want - got, pos + static_cast<std::int64_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      got += static_cast<std::size_t>(r);
    }
    start_ = pos;
    size_ = got;
    if (got < n) {
      length_ = pos + static_cast<std::int64_t>(got);  // the file is shorter than it was
      return nullptr;
    }
    return window_.data();
  }

  // Four bytes at `pos` without moving the window, so that a look ahead from a scan does not
  // make it read its window again.
  bool Peek4(std::int64_t pos, std::uint8_t* out) {
    if (pos < 0 || pos + 4 > length_) return false;
    if (fd_ < 0 || (pos >= start_ && pos + 4 <= start_ + static_cast<std::int64_t>(size_))) {
      std::memcpy(out, fd_ < 0 ? reinterpret_cast<const std::uint8_t*>(memory_.data()) + pos : window_.data() + (pos - start_),
                  4);
      return true;
    }
    ssize_t r;
    do {
      r = ::pread(fd_, out, 4, pos);
    } while (r < 0 && errno == EINTR);
    return r == 4;
  }

  // The whole file, when it is at most `limit` bytes long.
  std::string_view Whole(std::int64_t limit) {
    if (length_ > limit) return {};
    if (fd_ < 0) return memory_;
    whole_.resize(static_cast<std::size_t>(length_));
    std::size_t got = 0;
    while (got < whole_.size()) {
      ssize_t r = ::pread(fd_, whole_.data() + got, whole_.size() - got, static_cast<off_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      got += static_cast<std::size_t>(r);
    }
    return std::string_view(whole_.data(), got);
  }

 private:
  std::string_view memory_;
  int fd_ = -1;
  std::int64_t length_ = 0;
  std::vector<std::uint8_t> window_;
  std::int64_t start_ = 0;
  std::size_t size_ = 0;
  std::string whole_;
};

std::optional<double> Seconds(double frames, double rate) {
  if (!(rate > 0) || !(frames > 0) || !std::isfinite(frames / rate)) return std::nullopt;
  return frames / rate;
}

// ---- WAVE: sample frames = data bytes / block align, for the encodings the backend plays.
std::optional<double> WaveDuration(Source& s) {
  const std::int64_t L = s.length();
  std::int64_t pos = 12;
  const std::uint8_t* fmt = nullptr;
  std::uint32_t fmtSize = 0;
  std::uint8_t fmtCopy[40] = {};
  while (pos + 8 <= L) {
    const std::uint8_t* c = s.At(pos, 8);
    if (!c) return std::nullopt;
    const std::uint32_t size = U32LE(c + 4);
    const bool isFmt = IsFourCC(c, "fmt ");
    const bool isData = IsFourCC(c, "data");
    if (isFmt) {
      fmtSize = std::min<std::uint32_t>(size, 40);
      if (fmtSize < 16) return std::nullopt;
      const std::uint8_t* body = s.At(pos + 8, fmtSize);
      if (!body) return std::nullopt;
      std::memcpy(fmtCopy, body, fmtSize);
      fmt = fmtCopy;
    } else if (isData) {
      if (!fmt) return std::nullopt;
      std::uint32_t tag = U16LE(fmt);
      if (tag == 0xFFFE && fmtSize >= 26) tag = U16LE(fmt + 24);  // the extensible form's sub-format
      const std::uint32_t rate = U32LE(fmt + 4);
      const std::uint32_t align = U16LE(fmt + 12);
      const std::uint32_t bits = U16LE(fmt + 14);
      const bool playable = ((tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                             (tag == 3 && (bits == 32 || bits == 64)) || ((tag == 6 || tag == 7) && bits == 8));
      if (!playable || align == 0 || U16LE(fmt + 2) == 0) return std::nullopt;
      const std::int64_t bytes = std::min<std::int64_t>(size, L - (pos + 8));
      return Seconds(static_cast<double>(bytes / align), rate);
    }
    pos += 8 + static_cast<std::int64_t>(size) + (size & 1);
  }
  return std::nullopt;
}

// ---- AIFF and AIFF-C: the COMM chunk's sample frames over its rate, as far as SSND holds them.
double Extended80(const std::uint8_t* b) {
  const Extended80Fields x = ReadExtended80(b);
  if (x.exponent == 0x7FFF || x.negative) return 0;
  // A rate beyond a double's range is no rate: over infinity every frame count would time 0.
  const double rate = std::ldexp(static_cast<double>(x.mantissa), x.exponent - 16383 - 63);
  return std::isfinite(rate) ? rate : 0;
}

std::optional<double> AiffDuration(Source& s, bool aifc) {
  const std::int64_t L = s.length();
  std::int64_t pos = 12;
  bool haveComm = false;
  std::uint32_t channels = 0, frames = 0, bits = 0;
  double rate = 0;
  std::int64_t soundBytes = -1;
  while (pos + 8 <= L) {
    const std::uint8_t* c = s.At(pos, 8);
    if (!c) return std::nullopt;
    const std::uint32_t size = U32BE(c + 4);
    if (IsFourCC(c, "COMM")) {
      const std::uint8_t* body = s.At(pos + 8, aifc ? 22 : 18);
      if (!body) return std::nullopt;
      channels = U16BE(body);
      frames = U32BE(body + 2);
      bits = U16BE(body + 6);
      rate = Extended80(body + 8);
      if (aifc) {
        const std::uint8_t* kind = body + 18;
        const bool plain = IsFourCC(kind, "NONE") || IsFourCC(kind, "sowt") || IsFourCC(kind, "twos");
        const bool floats =
            IsFourCC(kind, "fl32") || IsFourCC(kind, "FL32") || IsFourCC(kind, "fl64") || IsFourCC(kind, "FL64");
        if (!plain && !floats) return std::nullopt;
      }
      haveComm = true;
    } else if (IsFourCC(c, "SSND")) {
      const std::uint8_t* head = s.At(pos + 8, 4);
      if (!head) return std::nullopt;
      const std::int64_t start = pos + 16 + U32BE(head);
      soundBytes = std::max<std::int64_t>(0, std::min<std::int64_t>(pos + 8 + static_cast<std::int64_t>(size), L) - start);
    }
    pos += 8 + static_cast<std::int64_t>(size) + (size & 1);
  }
  if (!haveComm || soundBytes < 0 || channels == 0 || bits == 0 || bits > 64) return std::nullopt;
  const std::int64_t frameBytes = static_cast<std::int64_t>(channels) * ((bits + 7) / 8);
  const std::int64_t present = std::min<std::int64_t>(frames, soundBytes / frameBytes);
  return Seconds(static_cast<double>(present), rate);
}

// ---- AU: the data bytes over the bytes of one sample frame.
std::optional<double> AuDuration(Source& s) {
  const std::uint8_t* h = s.At(0, 24);
  if (!h) return std::nullopt;
  const std::int64_t offset = U32BE(h + 4);
  const std::uint32_t size = U32BE(h + 8);
  const std::uint32_t encoding = U32BE(h + 12);
  const std::uint32_t rate = U32BE(h + 16);
  const std::uint32_t channels = U32BE(h + 20);
  int bytes = 0;
  switch (encoding) {
    case 1: case 2: case 27: bytes = 1; break;
    case 3: bytes = 2; break;
    case 4: bytes = 3; break;
    case 5: case 6: bytes = 4; break;
    case 7: bytes = 8; break;
    default: return std::nullopt;
  }
  if (channels == 0 || channels > 64 || offset < 24 || offset > s.length()) return std::nullopt;
  std::int64_t data = s.length() - offset;
  if (size != 0xFFFFFFFFu) data = std::min<std::int64_t>(data, size);
  return Seconds(static_cast<double>(data / (static_cast<std::int64_t>(bytes) * channels)), rate);
}

// ---- MIDI: every track's last tick, in seconds through the tempo changes of all tracks.
bool ReadVlq(std::string_view d, std::size_t& i, std::size_t end, std::uint32_t& value) {
  value = 0;
  for (int k = 0; k < 4; ++k) {
    if (i >= end) return false;
    const auto b = static_cast<std::uint8_t>(d[i++]);
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;
}

std::optional<double> MidiDuration(Source& s) {
  const std::string_view d = s.Whole(64 * 1024 * 1024);
  if (d.size() < 14) return std::nullopt;
  auto u8 = [&](std::size_t i) { return static_cast<std::uint8_t>(d[i]); };
  const auto* b = reinterpret_cast<const std::uint8_t*>(d.data());
  const std::uint32_t headerSize = U32BE(b + 4);
  const std::uint32_t format = U16BE(b + 8);
  const std::uint32_t tracks = U16BE(b + 10);
  const std::uint32_t division = U16BE(b + 12);
  if (headerSize < 6 || format > 1 || division == 0) return std::nullopt;  // format 2 is left to the backend

  struct Tempo {
    std::uint64_t tick;
    std::uint32_t microsPerQuarter;
  };
  std::vector<Tempo> tempos;
  std::uint64_t lastTick = 0;
  std::size_t pos = 8 + static_cast<std::size_t>(headerSize);
  std::uint32_t seen = 0;
  while (seen < tracks && pos + 8 <= d.size()) {
    const std::uint32_t size = U32BE(b + pos + 4);
    const bool isTrack = IsFourCC(b + pos, "MTrk");
    const std::size_t start = pos + 8;
    const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(start + std::uint64_t{size}, d.size()));
    pos = end;
    if (!isTrack) continue;
    ++seen;
    std::size_t i = start;
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (i < end) {
      std::uint32_t delta;
      if (!ReadVlq(d, i, end, delta) || i >= end) break;
      tick += delta;
      std::uint8_t status = u8(i);
      if (status & 0x80) {
        ++i;
      } else if (running) {
        status = running;
      } else {
        return std::nullopt;
      }
      if (status == 0xFF) {
        if (i >= end) break;
        const std::uint8_t type = u8(i++);
        std::uint32_t len;
        if (!ReadVlq(d, i, end, len) || len > end - i) break;
        if (type == 0x51 && len == 3) tempos.push_back({tick, (std::uint32_t{u8(i)} << 16) | (u8(i + 1) << 8) | u8(i + 2)});
        i += len;
        running = 0;
        lastTick = std::max(lastTick, tick);
        if (type == 0x2F) break;
        continue;
      }
      if (status == 0xF0 || status == 0xF7) {
        std::uint32_t len;
        if (!ReadVlq(d, i, end, len) || len > end - i) break;
        i += len;
        running = 0;
      } else if (status >= 0xF0) {
        return std::nullopt;  // no other system message belongs in a file
      } else {
        running = status;
        const std::size_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;
        if (dataBytes > end - i) break;
        i += dataBytes;
      }
      lastTick = std::max(lastTick, tick);
    }
  }
  if (seen == 0) return std::nullopt;

  if (division & 0x8000) {  // frames per second and ticks per frame
    const int fps = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    const double rate = (fps == 29 ? 29.97 : fps) * (division & 0xFF);
    return Seconds(static_cast<double>(lastTick), rate);
  }
  std::stable_sort(tempos.begin(), tempos.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
  double seconds = 0;
  std::uint64_t at = 0;
  std::uint32_t tempo = 500000;
  for (const Tempo& t : tempos) {
    if (t.tick >= lastTick) break;
    seconds += static_cast<double>(t.tick - at) * tempo / (1e6 * division);
    at = t.tick;
    tempo = t.microsPerQuarter;
  }
  seconds += static_cast<double>(lastTick - at) * tempo / (1e6 * division);
  return Seconds(seconds, 1.0);
}

// ---- MPEG audio.
constexpr std::int64_t kSyncSearch = 64 * 1024;  // how far behind the tag the first frame may lie
constexpr std::int64_t kWalkWhole = 256 * 1024;  // shorter streams are walked frame by frame

std::int64_t FindSync(Source& s, std::int64_t from, std::int64_t last) {
  for (std::int64_t q = std::max<std::int64_t>(from, 0); q <= last; ++q) {
    const std::uint8_t* p = s.At(q, 4);
    if (!p) return -1;
    if (p[0] == 255 && mpeg::Plausible(p)) return q;
  }
  return -1;
}

std::int64_t ConfirmedFrame(Source& s, std::int64_t from, std::int64_t last, std::int64_t end) {
  auto find = [&](std::int64_t q) { return FindSync(s, q, last); };
  auto peek = [&](std::int64_t q, std::uint8_t* out) { return s.Peek4(q, out); };
  bool confirmed = false;
  std::int64_t q = mpeg::FindFirstFrame(from, last, end, find, peek, confirmed);
  return confirmed ? q : -1;
}

// Frames counted by a Xing/Info or VBRI header in the first frame; 0 when it has none.
std::uint32_t VbrFrames(Source& s, std::int64_t first, const mpeg::FrameHeader& h) {
  const std::uint8_t* x = s.At(first + mpeg::XingOffset(h), 12);
  if (x && (IsFourCC(x, "Xing") || IsFourCC(x, "Info"))) return (U32BE(x + 4) & 1) ? U32BE(x + 8) : 0;
  if (const std::uint8_t* v = s.At(first + mpeg::kVbriOffset, 18); v && IsFourCC(v, "VBRI")) return U32BE(v + 14);
  return 0;
}

std::optional<double> WalkFrames(Source& s, std::int64_t first, std::int64_t end, const mpeg::FrameHeader& h) {
  std::int64_t frames = 0;
  std::int64_t pos = first;
  while (pos + 4 <= end) {
    const std::uint8_t* p = s.At(pos, 4);
    if (!p || !mpeg::Continues(h, p)) break;
    const int length = mpeg::Decode(p).frameLength;
    if (length <= 0) break;
    ++frames;
    pos += length;
  }
  return Seconds(static_cast<double>(frames) * h.samplesPerFrame, h.sampleRate);
}

std::optional<double> MpegDuration(Source& s) {
  const std::int64_t L = s.length();
  std::int64_t from = 0;
  if (const std::uint8_t* t = s.At(0, 10)) {
    const std::int64_t tag = mpeg::Id3v2Length(t);
    if (tag >= L) return std::nullopt;
    from = tag;
  }
  std::int64_t end = L;
  if (const std::uint8_t* t = s.At(L - 128, 3); t && t[0] == 'T' && t[1] == 'A' && t[2] == 'G') end = L - 128;
  const std::int64_t first = ConfirmedFrame(s, from, std::min(from + kSyncSearch, L - 4), L);
  if (first < 0) return std::nullopt;
  const mpeg::FrameHeader h = mpeg::Decode(s.At(first, 4));
  if (h.frameLength <= 0 || h.sampleRate <= 0) return std::nullopt;  // free format: left to the backend

  if (std::uint32_t frames = VbrFrames(s, first, h); frames > 0) {
    return Seconds(static_cast<double>(frames) * h.samplesPerFrame, h.sampleRate);
  }
  const std::int64_t audio = end - first;
  if (audio > kWalkWhole) {
    // A constant bitrate when the first frames and frames spread over the stream all have
    // the first one's.
    bool constant = true;
    std::int64_t pos = first;
    for (int k = 0; k < 8 && constant; ++k) {
      const std::uint8_t* p = s.At(pos, 4);
      constant = p && mpeg::Continues(h, p) && mpeg::Decode(p).bitrateIndex == h.bitrateIndex;
      pos += h.frameLength + (p ? static_cast<int>(mpeg::Decode(p).padding) : 0) - static_cast<int>(h.padding);
    }
    for (int quarter = 1; quarter <= 3 && constant; ++quarter) {
      const std::int64_t at = first + audio * quarter / 4;
      const std::int64_t q = ConfirmedFrame(s, at, std::min(at + 8 * 1024, end - 4), end);
      const std::uint8_t* p = q >= 0 ? s.At(q, 4) : nullptr;
      constant = p && mpeg::Continues(h, p) && mpeg::Decode(p).bitrateIndex == h.bitrateIndex;
    }
    if (constant) return Seconds(static_cast<double>(audio) * 8, h.bitrate);
  }
  return WalkFrames(s, first, end, h);
}

std::optional<double> Probe(Source& s, std::string_view name) {
  const std::uint8_t* m = s.At(0, 12);
  if (m && IsFourCC(m, "RIFF") && IsFourCC(m + 8, "WAVE")) return WaveDuration(s);
  if (m && IsFourCC(m, "FORM") && IsFourCC(m + 8, "AIFF")) return AiffDuration(s, false);
  if (m && IsFourCC(m, "FORM") && IsFourCC(m + 8, "AIFC")) return AiffDuration(s, true);
  if (m && (IsFourCC(m, "RIFF") || IsFourCC(m, "FORM"))) return std::nullopt;
  if (m && IsFourCC(m, ".snd")) return AuDuration(s);
  if (m && IsFourCC(m, "MThd")) return MidiDuration(s);
  const std::uint8_t* start = s.At(0, 4);
  if (mpeg::NamedAsMp3(name) || (start && (std::memcmp(start, "ID3", 3) == 0 || mpeg::HasSync(start)))) {
    return MpegDuration(s);
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> ProbeDurationHost(const std::string& hostPath) {
  // Non-blocking, so that a pipe in the file's place cannot stall the probe.
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<double> seconds;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    Source s(fd, st.st_size);
    const std::size_t slash = hostPath.rfind('/');
    seconds = Probe(s, slash == std::string::npos ? std::string_view(hostPath)
                                                  : std::string_view(hostPath).substr(slash + 1));
  }
  ::close(fd);
  return seconds;
}

std::optional<double> ProbeDurationBytes(std::string_view bytes, std::string_view name) {
  Source s(bytes);
  return Probe(s, name);
}

}  // namespace analysis
