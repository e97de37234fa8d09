#pragma once
// References as text: reading the text INDIRECT is given, writing what ADDRESS and CELL show.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/formula.h"

namespace calc {

// A reference read from text: its sheet as written (empty: the formula's own) and its cells.
struct ReferenceText {
  std::string sheet;
  std::int32_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;
};

// "B7", "$A$1:C3", "D:D", "5:5", "'My sheet'!A1" (a1), or "R2C3", "R[-1]C", "R1:R3" (R1C1,
// relative to `origin`, the formula's cell). Nothing for anything else, a name, a reference
// into another workbook ("[book.xlsx]Sheet1!A1") or one beyond the sheet's bounds.
std::optional<ReferenceText> parseReferenceText(std::string_view text, bool a1, const CellRef& origin);

// The sheet name followed by '!', quoted when the name would not read back as written
// ("Sheet2!", "'My sheet'!", "'It''s'!").
std::string sheetPrefix(std::string_view sheet);

// One cell's address: "$C$2", "C$2", "$C2", "C2" in A1 style; "R2C3", "R2C[3]", "R[2]C3",
// "R[2]C[3]" in R1C1 style, where a relative part shows the number as given.
std::string addressText(std::int32_t row, std::int32_t column, bool rowAbsolute, bool columnAbsolute, bool a1);

}  // namespace calc
