#pragma once
// Numbers written out under a number format code, as TEXT and FIXED do: "0.00", "#,##0",
// "0%", "0.0E+0", "$#,##0.00;($#,##0.00)", "[<0]-0.0;0.00", "# ?/8", date and time codes,
// quoted and escaped literals. Decimal rounding
// works on the 15 significant digits the sheet shows, so 2.675 with "0.00" is "2.68".
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// The text for `value` under `format`; nullopt for a code that cannot show it (a date code
// given a serial no date has, a malformed code).
std::optional<std::string> formatWithCode(double value, std::string_view format);

// A text under `format`: its text section (the fourth, or a lone section holding @) with @
// standing for the text; the text unchanged when the code has no such section.
std::string formatTextWithCode(const std::string& text, std::string_view format);

// |value| rounded half away from zero to `decimals` places (negative: tens, hundreds ...) as
// plain digits: the whole part (at least "0") and exactly max(decimals, 0) fraction digits.
struct RoundedDigits {
  std::string whole;
  std::string fraction;
};
RoundedDigits roundedDigits(double value, int decimals);

// Groups a run of digits by thousands: "1234567" -> "1,234,567".
std::string groupThousands(std::string_view digits);

}  // namespace calc
