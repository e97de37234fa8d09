#pragma once
// The one lexer of formula text. The parser reads its characters with the scanners below, and
// everything that rewrites formula text (the file form with its prefixes, the key that finds
// formulas filled down, the quoting of sheet names in chart references) walks the tokens, so
// that all of them agree on where a name, a reference, a text or a sheet name begins and ends.
//
//   calc::FormulaLexer lexer(text);
//   for (calc::FormulaToken t; lexer.next(t);) ... t.kind ... lexer.text(t) ...
//
// Tokens cover the text without gaps, each a span of it; the lexer never fails: a character no
// formula holds is a token of kind Other.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "calc/value.h"

namespace calc {

namespace lex {

enum CharClass : std::uint8_t { kDigit = 1, kLetter = 2, kNameStart = 4, kWord = 8, kSpace = 16 };

// Letters of other scripts arrive as UTF-8 bytes >= 0x80; names may hold them. A word (a name,
// a reference, a sheet name written without quotes) is a run of kWord characters.
inline constexpr std::array<std::uint8_t, 256> kCharClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool nameStart = letter || c == '_' || c >= 0x80;
    const bool word = nameStart || digit || c == '.' || c == '$';
    const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
    classes[c] = static_cast<std::uint8_t>((digit ? kDigit : 0) | (letter ? kLetter : 0) |
                                           (nameStart ? kNameStart : 0) | (word ? kWord : 0) |
                                           (space ? kSpace : 0));
  }
  return classes;
}();

inline bool hasClass(char c, CharClass cls) { return kCharClasses[static_cast<unsigned char>(c)] & cls; }
inline bool isDigit(char c) { return hasClass(c, kDigit); }
inline bool isLetter(char c) { return hasClass(c, kLetter); }
inline bool isNameStart(char c) { return hasClass(c, kNameStart); }
inline bool isWordChar(char c) { return hasClass(c, kWord); }
inline bool isSpace(char c) { return hasClass(c, kSpace); }

// The end of the run of characters of class `cls` from `p`.
inline const char* skipClass(const char* p, const char* end, CharClass cls) {
  while (p < end && hasClass(*p, cls)) ++p;
  return p;
}

// The same in a text that ends in a NUL (no class holds it), as the parser keeps its copy:
// the hottest loop of parsing then needs no bounds check.
inline const char* skipClass(const char* p, CharClass cls) {
  while (hasClass(*p, cls)) ++p;
  return p;
}

// Whether a number starts at `p`: a digit, or a '.' before one.
inline bool startsNumber(const char* p, const char* end) {
  return p < end && (isDigit(*p) || (*p == '.' && p + 1 < end && isDigit(p[1])));
}

// The end of a number's text from `p`: digits, a decimal point, an exponent. `malformed` is set
// on an exponent without digits, and the end is then the 'e'.
inline const char* numberEnd(const char* p, const char* end, bool& malformed) {
  malformed = false;
  p = skipClass(p, end, kDigit);
  if (p < end && *p == '.') p = skipClass(p + 1, end, kDigit);
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q >= end || !isDigit(*q)) {
      malformed = true;
      return p;
    }
    p = skipClass(q, end, kDigit);
  }
  return p;
}

// The end of a quoted stretch whose opening quote is at `p` (the quote doubled inside stays
// inside); nullptr when it is never closed.
inline const char* quotedEnd(const char* p, const char* end) {
  const char quote = *p++;
  for (; p < end; ++p) {
    if (*p != quote) continue;
    if (p + 1 < end && p[1] == quote) {
      ++p;
      continue;
    }
    return p + 1;
  }
  return nullptr;
}

// The error value written at `p` (on its '#'), in any case; its length in `length`, 0 if none.
ErrorCode errorLiteral(const char* p, const char* end, std::size_t& length);

}  // namespace lex

// How a word reads on its own; the characters around it decide what it is (a '(' after it
// makes it a function's name, a ':' beside it a whole row or column).
enum class WordShape : std::uint8_t {
  Cell,            // A1, $B$7, LOG10: a cell within the sheet's bounds
  PastBounds,      // 1-3 letters and digits that are no cell: XFE1, A0, A1048577
  LettersDigits,   // more letters, then digits: ABCD1
  Column,          // 1-3 letters, perhaps after '$': A, $XFD, Tax
  Row,             // digits, perhaps after '$': 3, $47
  R1C1,            // R, C and digits alone, as R1C1 notation writes a reference: R1C1, RC, C2
  Number,          // begins with a digit, or a '.' before one
  Name,            // anything else
};
WordShape wordShape(std::string_view word);

enum class TokenKind : std::uint8_t {
  Number,       // 12, 1.5E-3, .5
  String,       // "text", a doubled quote inside
  Name,         // a function's name (see FormulaToken::called), a name, TRUE
  Reference,    // a cell, or one end of a whole-column or whole-row range (A:C, 1:3)
  SheetPrefix,  // Data! or 'My data'!, the '!' included
  Error,        // #DIV/0!, #SPILL!
  Operator,     // + - * / ^ & % : = <> < > <= >=
  Separator,    // ( ) , ; { } [ ]
  Space,        // spaces, tabs, line breaks
  Other,        // a character no formula holds, or a quote never closed
};

struct FormulaToken {
  TokenKind kind = TokenKind::Other;
  WordShape shape = WordShape::Name;  // words (Name, Reference, Number): how the word reads
  bool called = false;                // Name: a '(' follows, perhaps after spaces
  std::uint32_t offset = 0;           // span in the formula text
  std::uint32_t length = 0;
  // Reference: rows and columns count from 1; 0 is a whole column's row or a whole row's column.
  std::int32_t row = 0;
  std::int32_t column = 0;
  bool rowAbsolute = false;
  bool columnAbsolute = false;
  std::uint8_t rowDigits = 0;  // Reference: the row's digits end the token (0 when no row is read)
  std::uint32_t end() const { return offset + length; }
};

class FormulaLexer {
 public:
  explicit FormulaLexer(std::string_view text) : text_(text) {}
  // The next token into `token`; false at the end of the text.
  bool next(FormulaToken& token);
  std::string_view text(const FormulaToken& token) const { return text_.substr(token.offset, token.length); }

 private:
  void word(FormulaToken& token, const char* start);
  static void readReferenceParts(FormulaToken& token, std::string_view text);
  bool touchesColon(const char* start, const char* end) const;

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::vector<FormulaToken> tokenizeFormula(std::string_view text);

}  // namespace calc
