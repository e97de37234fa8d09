#pragma once
// Equation texts as they appear in chart titles, series names and messages: a workbook file
// cannot hold control characters (but tab, line feed and carriage return) or U+FFFE/U+FFFF,
// so each becomes U+FFFD there.
#include <QString>

namespace graphing {

QString storableTitle(const QString& text);

}  // namespace graphing
