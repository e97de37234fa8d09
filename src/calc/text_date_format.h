#pragma once
// Date and time format codes: d dd ddd dddd, m mm mmm mmmm mmmmm, yy yyyy, h hh, m mm
// (minutes after an hour or before seconds), s ss, .0 .00 .000, AM/PM A/P, [h] [m] [s].
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// Whether a format section holds a date or time code outside quotes and escapes.
bool isDateTimeSection(std::string_view section);

// `serial` under one date or time section; nullopt for serials no date has (negative or past
// 9999-12-31).
std::optional<std::string> formatDateTime(double serial, std::string_view section);

}  // namespace calc
