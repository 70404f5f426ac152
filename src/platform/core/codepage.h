#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 is this platform's ANSI code page: names from the host are kept as they are.
// Texts carried in audio headers are single-byte Windows-1252 and are converted.
std::string Cp1252ToUtf8(std::string_view bytes);

// The character 187 that stands for a comma in stored names (U+00BB in UTF-8).
inline constexpr std::string_view kChr187 = "\xC2\xBB";

// Fits a text to a field of `width` bytes: cut when longer (never inside a character),
// padded with blanks when shorter.
std::string FitToWidth(std::string_view text, std::size_t width);
// The longest prefix of at most `width` bytes that ends on a character boundary.
std::string_view CutToWidth(std::string_view text, std::size_t width);

std::string_view TrimRight(std::string_view text);  // trailing blanks
std::string_view TrimLeft(std::string_view text);   // leading blanks
std::string_view Trim(std::string_view text);

// Lower case for ASCII and the Latin-1 letters, the range the ANSI code page covers.
std::string LowerCase(std::string_view text);
void LowerCaseInPlace(std::string& text);

// Replaces every `from` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace platform
