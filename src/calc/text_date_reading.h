#pragma once
// Dates and times written as text, read the way the spreadsheet reads them in the en-US
// locale: "1/15/2024", "1/15/24", "1/15" (this year), "2024-01-15", "15-Jan-2024",
// "January 15, 2024", "Jan 2024", "12:00", "1:30:15 PM", "3 PM", "1/15/2024 13:30".
#include <optional>
#include <string_view>

namespace calc {

struct DateTimeText {
  std::optional<double> date;  // a whole serial
  std::optional<double> time;  // hours past midnight as a fraction of a day; may pass 1 ("25:00")
  double serial() const { return date.value_or(0) + time.value_or(0); }
};

// The date and time in `text`, or nothing when it is neither. `currentYear` completes a date
// written without its year.
std::optional<DateTimeText> readDateTime(std::string_view text, int currentYear);

}  // namespace calc
