#pragma once
// The one test of "is this text a number" used for start, end and step values: by the Add
// Equation prompts and by the graphing run when it reads them back.
#include <QLocale>
#include <QString>
#include <optional>

namespace platform {

// The finite number the text spells, or nothing. Surrounding spaces and tabs are ignored; a sign,
// decimals (".5", "5.") and an exponent ("1e3", "1E-3") are read in the C locale first, then in
// the user's locale (its decimal and grouping characters, e.g. "0,5" or "1.000,5" under German).
// Empty text, "inf", "nan", hexadecimal and anything whose value is not finite are refused.
std::optional<double> readNumber(const QString& text, const QLocale& userLocale);
// Reads with the default locale (the user's own unless a test has set another one).
std::optional<double> readNumber(const QString& text);

inline bool isNumeric(const QString& text) { return readNumber(text).has_value(); }

}  // namespace platform
