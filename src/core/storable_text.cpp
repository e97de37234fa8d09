#include "core/storable_text.h"

#include <cstdio>

#include "utf8_decode.h"

namespace core {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool xmlCanHold(char32_t code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  return code != 0xFFFE && code != 0xFFFF;
}

std::string hex(const char* format, unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// Calls keep(begin, length) for each run of storable text and bad(code point, stray byte) for
// each character in between.
template <class Keep, class Bad>
void scan(std::string_view text, Keep keep, Bad bad) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const CodePoint point = nextCodePoint(text, pos);
    if (point.valid && xmlCanHold(point.code)) {
      keep(start, pos - start);
    } else {
      bad(point, static_cast<unsigned char>(text[start]));
    }
  }
}

}  // namespace

std::optional<std::string> unstorableCharacter(std::string_view utf8) {
  std::optional<std::string> found;
  std::size_t pos = 0;
  while (pos < utf8.size() && !found) {
    const std::size_t start = pos;
    const CodePoint point = nextCodePoint(utf8, pos);
    if (!point.valid)
      found = "the byte " + hex("0x%02X", static_cast<unsigned char>(utf8[start])) + ", which is not UTF-8";
    else if (!xmlCanHold(point.code))
      found = std::string(point.code < 0x20 ? "the control character " : "the non-character ") +
              hex("U+%04X", static_cast<unsigned>(point.code));
  }
  return found;
}

std::string storableText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  scan(utf8, [&](std::size_t begin, std::size_t length) { out.append(utf8.substr(begin, length)); },
       [&](CodePoint, unsigned char) { out.append(kReplacementCharacter); });
  return out;
}

bool storableUnicode(std::string_view utf8) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      ++pos;  // ASCII, the common case, needs no decoding
      continue;
    }
    const CodePoint point = nextCodePoint(utf8, pos);
    if (!point.valid || point.code == 0xFFFE || point.code == 0xFFFF) return false;
  }
  return true;
}

std::string withStorableUnicode(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const CodePoint point = nextCodePoint(utf8, pos);
    if (!point.valid || point.code == 0xFFFE || point.code == 0xFFFF) out.append(kReplacementCharacter);
    else out.append(utf8.substr(start, pos - start));
  }
  return out;
}

std::string visibleText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  scan(utf8, [&](std::size_t begin, std::size_t length) { out.append(utf8.substr(begin, length)); },
       [&](CodePoint point, unsigned char byte) {
         out.append(point.valid ? hex("<U+%04X>", static_cast<unsigned>(point.code)) : hex("<0x%02X>", byte));
       });
  return out;
}

}  // namespace core
