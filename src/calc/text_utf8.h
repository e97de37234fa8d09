#pragma once
// UTF-8 text taken apart by character, as the text functions count and cut it, and the letter
// case of the characters they know (ASCII and Latin-1). Lengths and positions count UTF-16
// units, as the spreadsheet does: a character beyond the BMP (an emoji) counts two.
#include <cstddef>
#include <string>
#include <string_view>

namespace calc {

inline bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// How many units a character starting with this lead byte counts.
inline std::size_t unitsOf(char lead) { return static_cast<unsigned char>(lead) >= 0xF0 ? 2 : 1; }

inline std::size_t characterCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s)
    if (!isContinuationByte(c)) n += unitsOf(c);
  return n;
}

// Byte offset of unit `index` (0-based); the text's size past its end. An index inside a
// surrogate pair moves past the pair: UTF-8 cannot hold half of it.
inline std::size_t byteOffsetOf(std::string_view s, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (isContinuationByte(s[i])) continue;
    if (seen >= index) return i;
    seen += unitsOf(s[i]);
  }
  return s.size();
}

// The character starting at byte `at`, and how many bytes it takes. A malformed byte reads as
// itself, one byte long.
inline char32_t decodeAt(std::string_view s, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  const std::size_t need = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (need == 1 || at + need > s.size()) return length = 1, lead;
  char32_t c = lead & (0x7F >> need);
  for (std::size_t i = 1; i < need; ++i) {
    if (!isContinuationByte(s[at + i])) return length = 1, lead;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  length = need;
  return c;
}

inline void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Latin-1 letters change case by 0x20 like ASCII ones (× and ÷ are no letters); both forms
// take the same number of bytes, so offsets in a folded text hold in the original.
inline bool isUpperLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }
inline bool isLowerLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 0xDF && c <= 0xFE && c != 0xF7); }
inline bool isLetter(char32_t c) { return isUpperLetter(c) || isLowerLetter(c) || c > 0xFF; }
inline char32_t toLowerLetter(char32_t c) { return isUpperLetter(c) ? c + 0x20 : c; }
inline char32_t toUpperLetter(char32_t c) { return isLowerLetter(c) && c != 0xDF ? c - 0x20 : c; }

// The text with every character passed through `map`.
template <class Map>
std::string mapCharacters(std::string_view s, Map&& map) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0, length = 0; i < s.size(); i += length) {
    const char32_t c = decodeAt(s, i, length);
    if (length == 1 && c >= 0x80) out += s[i];  // a malformed byte stays as it was
    else appendUtf8(out, map(c));
  }
  return out;
}

inline std::string foldCase(std::string_view s) { return mapCharacters(s, toLowerLetter); }

}  // namespace calc
