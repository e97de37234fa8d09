#pragma once
// Reading UTF-8 one code point at a time, with stray bytes told apart from real characters.
#include <cstddef>
#include <string_view>

namespace core {

struct CodePoint {
  char32_t code = 0;   // U+FFFD for a stray byte
  bool valid = true;   // false: a byte that starts no valid sequence (it is consumed alone)
};

inline CodePoint nextCodePoint(std::string_view text, std::size_t& pos) {
  constexpr CodePoint kStray{0xFFFD, false};
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return {lead};
  const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 && lead < 0xF0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) > text.size()) return kStray;
  char32_t code = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return kStray;
    code = (code << 6) | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kStray;
  pos += static_cast<std::size_t>(extra);
  return {code};
}

}  // namespace core
