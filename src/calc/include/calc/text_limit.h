#pragma once
// The longest text a cell holds and a formula may build: 32,767 characters, counted as the
// spreadsheet counts them (UTF-16 units).
#include <cstddef>
#include <string_view>

namespace calc {

inline constexpr std::size_t kMaxTextLength = 32767;

// Whether UTF-8 text fits the limit.
bool fitsTextLimit(std::string_view utf8);

}  // namespace calc
