#pragma once
// Cell addresses as the object model passes them: A1 ranges ("A1:F21") and R1C1 series
// references ("=Data!R1C3:R21C3"), with the sheet's size limits.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/cell_address.h"

namespace core {

using calc::columnLetters;  // "A", "Z", "AA", ... "XFD"
using calc::kMaxColumns;
using calc::kMaxRows;

struct CellBlock {
  std::int32_t firstRow = 1;
  std::int32_t firstColumn = 1;
  std::int32_t lastRow = 1;
  std::int32_t lastColumn = 1;

  std::int32_t rows() const { return lastRow - firstRow + 1; }
  std::int32_t columns() const { return lastColumn - firstColumn + 1; }
  bool operator==(const CellBlock&) const = default;
};

// A reference to a block on a named sheet.
struct SheetBlock {
  std::string sheet;
  CellBlock block;
};

bool isValidCell(std::int64_t row, std::int64_t column);

// "B12"
std::string cellName(std::int32_t row, std::int32_t column);

// "A1", "A1:B12", "$A$1:$B$12"; letters in either case. The corners are put in order.
std::optional<CellBlock> parseA1Block(std::string_view text);

// "=Data!R1C3:R21C3", "Data!R1C3", "='My Data'!R1C1:R2C1". Absolute R1C1 only.
std::optional<SheetBlock> parseR1C1Reference(std::string_view text);
// The inverse, quoting the sheet name when needed.
std::string formatR1C1Reference(const std::string& sheet, const CellBlock& block);

}  // namespace core
