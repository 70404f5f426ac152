#include "inventory/abbreviatepath.h"

#include <cstddef>
#include <string_view>

namespace {

// UTF-16 units of the character that starts with byte `lead`: two for the four-byte forms.
int Units(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xC0) == 0x80) return 0;  // a continuation byte belongs to the character before
  return lead >= 0xF0 ? 2 : 1;
}

long Length(std::string_view text) {
  long n = 0;
  for (char c : text) n += Units(static_cast<unsigned char>(c));
  return n;
}

// The bytes of the first `count` units, ending on a character boundary.
std::string_view FirstUnits(std::string_view text, long count) {
  long n = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    int u = Units(static_cast<unsigned char>(text[i]));
    if (u > 0 && n + u > count) break;
    n += u;
    ++i;
  }
  return text.substr(0, i);
}

}  // namespace

std::string AbbreviatePath(const std::string& path, int maximum) {
  std::string_view text = path;
  std::size_t first = std::string_view::npos;
  int backslashes = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    if (backslashes++ == 0) first = i;
  }
  if (backslashes < 2) return path;
  if (Length(text) <= maximum) return path;

  std::string_view name = text.substr(text.rfind('\\') + 1);
  std::string result(text.substr(0, first + 1));
  result.append("...\\").append(name);
  if (Length(result) > maximum) return result;

  result.assign(FirstUnits(text, maximum - Length(name) - 4));
  result.append("...\\").append(name);
  return result;
}
