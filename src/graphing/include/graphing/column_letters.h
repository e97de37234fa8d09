#pragma once
// Column numbers as the letters of A1-style references, for the classic 256-column sheet.
#include <QString>

namespace platform {
class Dialogs;
}

namespace graphing {

inline constexpr int kClassicColumns = 256;
inline constexpr char kTooManyColumns[] = "Number is higher than number of columns.";

// "A" .. "IV" for 1 .. 256. Beyond 256 it shows kTooManyColumns and gives empty text.
QString ColumnLetters(int column, platform::Dialogs& dialogs);

}  // namespace graphing
