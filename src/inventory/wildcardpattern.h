#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace inventory {

// The phrases of a search text: the text with one "," appended, cut at every ",", each piece
// without its leading and trailing blanks. Empty pieces are phrases too: "a,,b" gives three,
// "live," ends in an empty one and "" gives one empty phrase.
std::vector<std::string> SplitSearchPhrases(std::string_view searchText);

// "*" & phrase & "*" as a pattern over lower-cased text: '?' any one character, '*' any run,
// '#' one digit, "[list]" one character of the list (ranges such as a-z), "[!list]" one
// character not in it; every other character stands for itself. The phrase is lower-cased
// here; the text matched must be lower-cased by the caller (platform::LowerCase).
//
// A phrase with a "[" that is not closed, or with a range that runs backwards ("[z-a]"), is
// no pattern: it matches nothing. Matching is linear in the text for a given phrase: the
// pieces between the stars are found one after the other, leftmost first, and no position
// of the text is tried twice for the same piece.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view phrase);

  bool valid() const { return valid_; }
  bool Matches(std::string_view lowerText) const;

 private:
  struct Token {
    enum Kind : std::uint8_t { Literal, Any, Digit, Set };
    Kind kind = Literal;
    bool negated = false;
    char32_t ch = 0;                                     // Literal
    std::vector<std::pair<char32_t, char32_t>> ranges;  // Set: inclusive ranges
    bool Accepts(char32_t c) const;
  };
  struct Piece {
    std::vector<Token> tokens;
    std::string literal;       // the bytes of its literal tokens (all of it when allLiteral)
    std::string firstLiteral;  // the first token's bytes when it is a literal
    bool allLiteral = true;
  };
  // The end of the first match of `piece` at or after `from`; npos when none.
  static std::size_t FindPiece(const Piece& piece, std::string_view text, std::size_t from);

  std::vector<Piece> pieces_;
  bool valid_ = true;
};

}  // namespace inventory
