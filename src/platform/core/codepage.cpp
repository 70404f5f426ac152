#include "platform/core/codepage.h"

#include <iconv.h>

#include <array>
#include <mutex>

namespace platform {
namespace {

// The 256 UTF-8 sequences of Windows-1252, built once through iconv. Bytes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
const std::array<std::string, 256>& Cp1252Table() {
  static std::array<std::string, 256> table;
  static std::once_flag once;
  std::call_once(once, [] {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    for (int b = 0; b < 256; ++b) {
      char in = static_cast<char>(b);
      char out[8];
      bool done = false;
      if (cd != reinterpret_cast<iconv_t>(-1)) {
        char* inp = &in;
        size_t inLeft = 1;
        char* outp = out;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1)) {
          table[b].assign(out, sizeof out - outLeft);
          done = true;
        }
      }
      if (!done) {
        if (b < 0x80) {
          table[b] = std::string(1, in);
        } else {  // Latin-1 fallback: U+0080..U+00FF
          table[b] = {static_cast<char>(0xC0 | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))};
        }
      }
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  });
  return table;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  const auto& table = Cp1252Table();
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.append(table[b]);
    }
  }
  return out;
}

std::string_view CutToWidth(std::string_view text, std::size_t width) {
  if (text.size() <= width) return text;
  std::size_t cut = width;
  while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut]))) --cut;
  return text.substr(0, cut);
}

std::string FitToWidth(std::string_view text, std::size_t width) {
  std::string out(CutToWidth(text, width));
  out.resize(width, ' ');
  return out;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::string_view Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

void LowerCaseInPlace(std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
      text[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < text.size()) {
      auto d = static_cast<unsigned char>(text[i + 1]);
      // U+00C0..U+00DE are capitals, U+00D7 (multiplication sign) is not.
      if (d >= 0x80 && d <= 0x9E && d != 0x97) text[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  LowerCaseInPlace(out);
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace platform
