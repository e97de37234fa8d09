#pragma once
// Fraction format codes: "0/0", "# ?/?", "# ??/??", "# ?/8", "0 ?/100": a whole part if the
// code has one, then the nearest fraction with at most as many denominator digits as places,
// or over the fixed denominator written.
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// Whether a number section is a fraction code (a '/' after a digit place, outside quotes).
bool isFractionSection(std::string_view section);

// |value| under a fraction section, without a sign; `zero` tells whether it shows as nothing
// but zeros, so that the caller leaves the minus off.
std::optional<std::string> formatFraction(double magnitude, std::string_view section, bool& zero);

}  // namespace calc
