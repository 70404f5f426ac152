#include "inventory/wildcardpattern.h"

#include "platform/core/codepage.h"

namespace inventory {
namespace {

// One character of UTF-8 text at `pos`: its code point and its length in bytes. A byte that
// starts no valid sequence is a character of its own.
struct Char {
  char32_t code;
  std::size_t length;
};

Char Decode(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return {b0, 1};
  std::size_t n = b0 >= 0xF0 && b0 < 0xF8 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
  if (n == 0 || pos + n > s.size()) return {b0, 1};
  char32_t code = b0 & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[pos + k]);
    if ((b & 0xC0) != 0x80) return {b0, 1};
    code = (code << 6) | (b & 0x3F);
  }
  return {code, n};
}

}  // namespace

std::vector<std::string> SplitSearchPhrases(std::string_view searchText) {
  std::vector<std::string> phrases;
  std::string rest(searchText);
  rest.push_back(',');
  std::size_t start = 0;
  while (start < rest.size()) {
    const std::size_t comma = rest.find(',', start);
    phrases.emplace_back(platform::Trim(std::string_view(rest).substr(start, comma - start)));
    start = comma + 1;
  }
  return phrases;
}

bool WildcardPattern::Token::Accepts(char32_t c) const {
  switch (kind) {
    case Literal: return c == ch;
    case Any: return true;
    case Digit: return c >= '0' && c <= '9';
    case Set: {
      bool in = false;
      for (const auto& [lo, hi] : ranges) {
        if (c >= lo && c <= hi) {
          in = true;
          break;
        }
      }
      return in != negated;
    }
  }
  return false;
}

WildcardPattern::WildcardPattern(std::string_view phrase) {
  const std::string p = platform::LowerCase(phrase);
  Piece piece;
  auto endPiece = [&] {
    if (!piece.tokens.empty()) pieces_.push_back(std::move(piece));
    piece = Piece{};
  };
  auto add = [&](Token t, std::string_view bytes) {
    if (t.kind == Token::Literal) {
      if (piece.tokens.empty()) piece.firstLiteral.assign(bytes);
      piece.literal.append(bytes);
    } else {
      piece.allLiteral = false;
    }
    piece.tokens.push_back(std::move(t));
  };

  std::size_t i = 0;
  while (i < p.size()) {
    const Char c = Decode(p, i);
    const std::string_view bytes(p.data() + i, c.length);
    i += c.length;
    Token t;
    switch (c.code) {
      case '*':
        endPiece();
        continue;
      case '?':
        t.kind = Token::Any;
        break;
      case '#':
        t.kind = Token::Digit;
        break;
      case '[': {
        const std::size_t close = p.find(']', i);
        if (close == std::string::npos) {
          valid_ = false;
          pieces_.clear();
          return;
        }
        t.kind = Token::Set;
        std::size_t j = i;
        if (j < close && p[j] == '!') {
          t.negated = true;
          ++j;
        }
        std::vector<char32_t> items;
        while (j < close) {
          const Char item = Decode(p, j);
          items.push_back(item.code);
          j += item.length;
        }
        // "a-z" is a range; a "-" first or last in the list stands for itself.
        for (std::size_t k = 0; k < items.size(); ++k) {
          if (k + 2 < items.size() && items[k + 1] == '-') {
            if (items[k] > items[k + 2]) {
              valid_ = false;
              pieces_.clear();
              return;
            }
            t.ranges.emplace_back(items[k], items[k + 2]);
            k += 2;
          } else {
            t.ranges.emplace_back(items[k], items[k]);
          }
        }
        i = close + 1;
        break;
      }
      default:
        t.kind = Token::Literal;
        t.ch = c.code;
        break;
    }
    add(std::move(t), bytes);
  }
  endPiece();
}

std::size_t WildcardPattern::FindPiece(const Piece& piece, std::string_view text, std::size_t from) {
  if (piece.allLiteral) {
    const std::size_t at = text.find(piece.literal, from);
    return at == std::string_view::npos ? std::string_view::npos : at + piece.literal.size();
  }
  // Every token takes one character, so the leftmost start is also the earliest end.
  const std::string& firstBytes = piece.firstLiteral;
  std::size_t start = from;
  while (start < text.size()) {
    if (!firstBytes.empty()) {
      start = text.find(firstBytes, start);
      if (start == std::string_view::npos) return std::string_view::npos;
    }
    std::size_t pos = start;
    bool matched = true;
    for (const Token& t : piece.tokens) {
      if (pos >= text.size()) return std::string_view::npos;  // no later start can fit either
      const Char c = Decode(text, pos);
      if (!t.Accepts(c.code)) {
        matched = false;
        break;
      }
      pos += c.length;
    }
    if (matched) return pos;
    start += Decode(text, start).length;
  }
  return std::string_view::npos;
}

bool WildcardPattern::Matches(std::string_view lowerText) const {
  if (!valid_) return false;
  std::size_t pos = 0;
  for (const Piece& piece : pieces_) {
    pos = FindPiece(piece, lowerText, pos);
    if (pos == std::string_view::npos) return false;
  }
  return true;
}

}  // namespace inventory
