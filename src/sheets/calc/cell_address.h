#pragma once
// A1-style addresses: "B7", "$AM$36", column letters, row numbers.
#include <cstdint>
#include <optional>
#include <string_view>

namespace calc {

struct Address {
  std::int32_t row = 0;     // 0 when the text names a whole column ("AM")
  std::int32_t column = 0;  // 0 when the text names a whole row ("47")
};

// Column letters ("A" = 1 ... "XFD" = 16384), any case; nullopt past XFD or for other text.
std::optional<std::int32_t> columnNumber(std::string_view letters);

// "B7" or "$B$7" within the sheet's bounds; nullopt otherwise ("XFE1" and "A0" are none).
std::optional<Address> parseCellAddress(std::string_view text);

// "$AM" or "AM": a whole column. "$47" or "47": a whole row.
std::optional<std::int32_t> parseColumnOnly(std::string_view text);
std::optional<std::int32_t> parseRowOnly(std::string_view text);

}  // namespace calc
