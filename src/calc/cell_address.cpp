#include "calc/cell_address.h"

#include "calc/formula.h"

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

std::string columnLetters(std::int32_t column) {
  char letters[3];
  return std::string(letters, static_cast<std::size_t>(writeColumnLetters(column, letters)));
}

}  // namespace calc
