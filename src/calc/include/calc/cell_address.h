#pragma once
// A1-style addresses: "B7", "$AM$36", column letters, row numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

struct Address {
  std::int32_t row = 0;     // 0 when the text names a whole column ("AM")
  std::int32_t column = 0;  // 0 when the text names a whole row ("47")
  bool rowAbsolute = false; // "$47": the row stays where it is when the formula is filled down
};

// Column letters ("A" = 1 ... "XFD" = 16384), any case; nullopt past XFD or for other text.
std::optional<std::int32_t> columnNumber(std::string_view letters);

// The letters of a column (1 -> "A", 27 -> "AA", 16384 -> "XFD"), the one spelling every part
// of the program uses. Written into `out`, which holds 3 letters, without allocating; returns
// how many were written (none for a column below 1 or past XFD).
inline int writeColumnLetters(std::int32_t column, char* out) {
  if (column < 1 || column > 16384) return 0;
  char reversed[3];
  int n = 0;
  for (; column > 0; column = (column - 1) / 26) reversed[n++] = static_cast<char>('A' + (column - 1) % 26);
  for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
  return n;
}
std::string columnLetters(std::int32_t column);

// "$AM" or "AM": a whole column. "$47" or "47": a whole row.
std::optional<std::int32_t> parseColumnOnly(std::string_view text);
std::optional<std::int32_t> parseRowOnly(std::string_view text);

// The sheet's bounds, the one definition of them.
inline constexpr std::int32_t kMaxRows = 1048576;
inline constexpr std::int32_t kMaxColumns = 16384;

// "B7" or "$B$7" within the sheet's bounds; nullopt otherwise ("XFE1" and "A0" are none).
// Inline and in one pass: the parser calls this for every name it meets, and an optional
// returned from another unit is built in memory and read back at a stall.
inline std::optional<Address> parseCellAddress(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = n > 0 && text[0] == '$' ? 1 : 0;
  std::int32_t column = 0;
  const std::size_t firstLetter = i;
  for (; i < n && (text[i] | 0x20) >= 'a' && (text[i] | 0x20) <= 'z'; ++i) {
    if (i - firstLetter == 3) return std::nullopt;  // past XFD in any case
    column = column * 26 + ((text[i] | 0x20) - 'a' + 1);
  }
  if (i == firstLetter || column > kMaxColumns) return std::nullopt;
  bool rowAbsolute = false;
  if (i < n && text[i] == '$') {
    rowAbsolute = true;
    ++i;
  }
  const std::size_t firstDigit = i;
  if (i == n || n - i > 7 || text[i] == '0') return std::nullopt;
  std::int32_t row = 0;
  for (; i < n; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    row = row * 10 + (text[i] - '0');
  }
  if (row > kMaxRows || i == firstDigit) return std::nullopt;
  return Address{row, column, rowAbsolute};
}

}  // namespace calc
