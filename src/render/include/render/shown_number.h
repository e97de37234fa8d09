#pragma once
// Numbers as the spreadsheet shows them to a person, written the way the user's locale writes
// them (a decimal comma under de_DE). Files never go through here: they stay locale-free.
#include <QLocale>
#include <QString>

namespace render {

// The General format as a cell or an axis label shows it: at most 11 characters besides the
// sign, plain where that fits without losing the number's leading digits, otherwise scientific
// with a two-digit exponent: "0", "2000000000", "0.333333333", "1.2E+10", "1E-07".
QString generalNumber(double value, const QLocale& locale = QLocale());

// At most 15 significant digits, as the formula line shows a value: "0.333333333333333".
QString fullNumber(double value, const QLocale& locale = QLocale());

// The shortest text with at most `digits` significant digits: plain for moderate exponents,
// scientific ("1.5E+20") otherwise.
QString significantNumber(double value, int digits, const QLocale& locale = QLocale());

}  // namespace render
