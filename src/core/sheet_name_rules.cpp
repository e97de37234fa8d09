#include "core/sheet_name_rules.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>

namespace core {
namespace {

constexpr std::string_view kForbidden = ":\\/?*[]";
constexpr std::size_t kMaxNameLength = 31;
constexpr char32_t kReplacement = 0xFFFD;

// The next code point of UTF-8 text; a byte that starts no valid sequence reads as U+FFFD, as a
// UTF-16 conversion would make it.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) > text.size()) return kReplacement;
  char32_t code = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    code = (code << 6) | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  pos += static_cast<std::size_t>(extra);
  return code;
}

// Lengths count UTF-16 units, as the spreadsheet does.
std::size_t utf16Length(std::string_view text) {
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < text.size();) length += nextCodePoint(text, pos) > 0xFFFF ? 2 : 1;
  return length;
}

// The C library's Unicode case tables, independent of the user's locale.
locale_t unicodeCaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

// Simple case folding: upper then lower, so that final sigma and sigma compare equal.
char32_t folded(char32_t code) {
  if (code < 0x80) return code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code;
  const locale_t locale = unicodeCaseLocale();
  if (!locale) return code;
  return static_cast<char32_t>(towlower_l(towupper_l(static_cast<wint_t>(code), locale), locale));
}

}  // namespace

std::optional<std::string> sheetNameProblem(std::string_view name) {
  const std::size_t length = utf16Length(name);
  if (length == 0) return "A sheet name cannot be empty.";
  if (length > kMaxNameLength) return "A sheet name cannot be longer than 31 characters.";
  if (name.find_first_of(kForbidden) != std::string_view::npos)
    return "A sheet name cannot contain any of these characters: : \\ / ? * [ ]";
  if (name.front() == '\'' || name.back() == '\'')
    return "A sheet name cannot begin or end with an apostrophe.";
  return std::nullopt;
}

bool sameSheetName(std::string_view a, std::string_view b) {
  if (a == b) return true;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (folded(nextCodePoint(a, i)) != folded(nextCodePoint(b, j))) return false;
  return i == a.size() && j == b.size();
}

}  // namespace core
