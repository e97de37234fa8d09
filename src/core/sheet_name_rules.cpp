#include "core/sheet_name_rules.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>

#include "core/storable_text.h"
#include "utf8_decode.h"

namespace core {
namespace {

constexpr std::string_view kForbidden = ":\\/?*[]";
constexpr std::size_t kMaxNameLength = 31;
// Lengths count UTF-16 units, as the spreadsheet does.
std::size_t utf16Length(std::string_view text) {
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < text.size();) length += nextCodePoint(text, pos).code > 0xFFFF ? 2 : 1;
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
  if (auto character = unstorableCharacter(name)) return "A sheet name cannot contain " + *character + ".";
  return std::nullopt;
}

bool sameSheetName(std::string_view a, std::string_view b) {
  if (a == b) return true;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (folded(nextCodePoint(a, i).code) != folded(nextCodePoint(b, j).code)) return false;
  return i == a.size() && j == b.size();
}

}  // namespace core
