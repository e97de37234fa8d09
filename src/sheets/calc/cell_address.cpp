#include "sheets/calc/cell_address.h"

#include "sheets/calc/formula.h"

namespace calc {
namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view dropDollar(std::string_view s) {
  if (!s.empty() && s.front() == '$') s.remove_prefix(1);
  return s;
}

}  // namespace

std::optional<std::int32_t> columnNumber(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return std::nullopt;
  std::int32_t n = 0;
  for (char c : letters) {
    if (!isLetter(c)) return std::nullopt;
    n = n * 26 + ((c | 0x20) - 'a' + 1);
  }
  if (n > kMaxColumns) return std::nullopt;
  return n;
}

std::optional<std::int32_t> parseRowOnly(std::string_view text) {
  text = dropDollar(text);
  if (text.empty() || text.size() > 7 || text.front() == '0') return std::nullopt;
  std::int32_t n = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > kMaxRows) return std::nullopt;
  return n;
}

std::optional<std::int32_t> parseColumnOnly(std::string_view text) {
  return columnNumber(dropDollar(text));
}

// One pass without helpers: the parser calls this for every name it meets.
std::optional<Address> parseCellAddress(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = n > 0 && text[0] == '$' ? 1 : 0;
  std::int32_t column = 0;
  const std::size_t firstLetter = i;
  for (; i < n && isLetter(text[i]); ++i) {
    if (i - firstLetter == 3) return std::nullopt;  // past XFD in any case
    column = column * 26 + ((text[i] | 0x20) - 'a' + 1);
  }
  if (i == firstLetter || column > kMaxColumns) return std::nullopt;
  if (i < n && text[i] == '$') ++i;
  const std::size_t firstDigit = i;
  if (i == n || n - i > 7 || text[i] == '0') return std::nullopt;
  std::int32_t row = 0;
  for (; i < n; ++i) {
    if (!isDigit(text[i])) return std::nullopt;
    row = row * 10 + (text[i] - '0');
  }
  if (row > kMaxRows || i == firstDigit) return std::nullopt;
  return Address{row, column};
}

}  // namespace calc
