// ASC, JIS and DBCS: the same text in half-width (single-byte) or full-width (double-byte)
// forms, as East Asian character sets pair them: ASCII with the full-width forms block, the
// space with the ideographic space, half-width katakana with katakana (a voiced kana with a
// half-width sound mark). Other characters pass through.
#include <array>
#include <string>

#include "coercion.h"
#include "remaining_functions.h"
#include "text_utf8.h"

namespace calc {
namespace {

constexpr char32_t kHalfVoiced = 0xFF9E, kHalfSemiVoiced = 0xFF9F;

// Katakana for each half-width form U+FF61..U+FF9F, in order.
constexpr std::array<char16_t, 63> kFullForms = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

// Kana written with a voiced mark: KA..TO, HA..HO and U.
bool takesVoicedMark(char32_t kana) {
  return (kana >= 0x30AB && kana <= 0x30C8 && kana != 0x30C3) || (kana >= 0x30CF && kana <= 0x30DB) ||
         kana == 0x30A6;
}
bool takesSemiVoicedMark(char32_t kana) { return kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0; }

std::string textOrError(const Value& v, Value& error) {
  if (v.isError()) error = v;
  return v.isError() ? std::string() : toText(v);
}

// The half-width form of one full-width character, with its mark; false if it has none.
bool halfFormOf(char32_t c, std::string& out) {
  if (c >= 0xFF01 && c <= 0xFF5E) return appendUtf8(out, c - 0xFEE0), true;
  if (c == 0x3000) return out.push_back(' '), true;
  for (std::size_t k = 0; k < kFullForms.size(); ++k) {
    const char32_t full = kFullForms[k];
    char32_t mark = 0;
    if (full == c) mark = 0;
    else if (c == 0x30F4 && full == 0x30A6) mark = kHalfVoiced;
    else if (takesVoicedMark(full) && full != 0x30A6 && c == full + 1) mark = kHalfVoiced;
    else if (takesSemiVoicedMark(full) && c == full + 2) mark = kHalfSemiVoiced;
    else continue;
    appendUtf8(out, 0xFF61 + static_cast<char32_t>(k));
    if (mark) appendUtf8(out, mark);
    return true;
  }
  return false;
}

// The full-width form of the half-width character at `c`, joining a sound mark that follows.
char32_t fullFormOf(char32_t c, char32_t following, bool& joined) {
  joined = false;
  if (c == ' ') return 0x3000;
  if (c >= 0x21 && c <= 0x7E) return c + 0xFEE0;
  if (c < 0xFF61 || c > 0xFF9F) return c;
  const char32_t kana = kFullForms[c - 0xFF61];
  if (following == kHalfVoiced && takesVoicedMark(kana)) {
    joined = true;
    return kana == 0x30A6 ? 0x30F4 : kana + 1;
  }
  if (following == kHalfSemiVoiced && takesSemiVoicedMark(kana)) {
    joined = true;
    return kana + 2;
  }
  return kana;
}

}  // namespace

Value halfWidth(const Value* a, std::size_t) {
  Value error;
  const std::string text = textOrError(a[0], error);
  if (error.isError()) return error;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 0;
    const char32_t c = decodeAt(text, i, length);
    if (!halfFormOf(c, out)) out.append(text, i, length);
    i += length;
  }
  return textResult(std::move(out));
}

Value fullWidth(const Value* a, std::size_t) {
  Value error;
  const std::string text = textOrError(a[0], error);
  if (error.isError()) return error;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 0, nextLength = 0;
    const char32_t c = decodeAt(text, i, length);
    const char32_t following = i + length < text.size() ? decodeAt(text, i + length, nextLength) : 0;
    bool joined = false;
    const char32_t full = fullFormOf(c, following, joined);
    if (full == c) out.append(text, i, length);  // kept byte for byte, malformed ones too
    else appendUtf8(out, full);
    i += length + (joined ? nextLength : 0);
  }
  return textResult(std::move(out));
}

}  // namespace calc
