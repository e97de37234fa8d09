#include "core/cell_address.h"

#include <algorithm>
#include <cctype>

namespace core {
namespace {

// Reads a run of decimal digits at pos as a positive number no larger than limit.
std::optional<std::int32_t> readNumber(std::string_view text, std::size_t& pos, std::int32_t limit) {
  std::int64_t value = 0;
  const std::size_t start = pos;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    value = value * 10 + (text[pos] - '0');
    if (value > limit) return std::nullopt;
    ++pos;
  }
  if (pos == start || value == 0) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> readColumnLetters(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos]))) ++pos;
  return calc::columnNumber(text.substr(start, pos - start));
}

void skipDollar(std::string_view text, std::size_t& pos) {
  if (pos < text.size() && text[pos] == '$') ++pos;
}

struct Corner {
  std::int32_t row;
  std::int32_t column;
};

std::optional<Corner> readA1Corner(std::string_view text, std::size_t& pos) {
  skipDollar(text, pos);
  auto column = readColumnLetters(text, pos);
  if (!column) return std::nullopt;
  skipDollar(text, pos);
  auto row = readNumber(text, pos, kMaxRows);
  if (!row) return std::nullopt;
  return Corner{*row, *column};
}

std::optional<Corner> readR1C1Corner(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || std::toupper(static_cast<unsigned char>(text[pos])) != 'R') return std::nullopt;
  ++pos;
  auto row = readNumber(text, pos, kMaxRows);
  if (!row) return std::nullopt;
  if (pos >= text.size() || std::toupper(static_cast<unsigned char>(text[pos])) != 'C') return std::nullopt;
  ++pos;
  auto column = readNumber(text, pos, kMaxColumns);
  if (!column) return std::nullopt;
  return Corner{*row, *column};
}

CellBlock orderedBlock(Corner a, Corner b) {
  return CellBlock{std::min(a.row, b.row), std::min(a.column, b.column), std::max(a.row, b.row),
                   std::max(a.column, b.column)};
}

// Both notations share the "corner[:corner]" shape.
template <typename ReadCorner>
std::optional<CellBlock> parseBlock(std::string_view text, ReadCorner readCorner) {
  std::size_t pos = 0;
  auto first = readCorner(text, pos);
  if (!first) return std::nullopt;
  Corner last = *first;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    auto second = readCorner(text, pos);
    if (!second) return std::nullopt;
    last = *second;
  }
  if (pos != text.size()) return std::nullopt;
  return orderedBlock(*first, last);
}

// The sheet part before '!': plain, or quoted with '' standing for one apostrophe.
std::optional<std::string> parseSheetPart(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() != '\'') {
    if (text.find('\'') != std::string_view::npos) return std::nullopt;
    return std::string(text);
  }
  if (text.size() < 3 || text.back() != '\'') return std::nullopt;
  std::string name;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\'') {
      if (i + 2 >= text.size() || text[i + 1] != '\'') return std::nullopt;
      ++i;
    }
    name += text[i];
  }
  return name;
}

bool needsQuotes(const std::string& sheet) {
  return std::any_of(sheet.begin(), sheet.end(), [](char c) {
    return !(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' ||
             static_cast<unsigned char>(c) >= 0x80);
  });
}

}  // namespace

bool isValidCell(std::int64_t row, std::int64_t column) {
  return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

std::string cellName(std::int32_t row, std::int32_t column) {
  return columnLetters(column) + std::to_string(row);
}

std::optional<CellBlock> parseA1Block(std::string_view text) {
  return parseBlock(text, readA1Corner);
}

std::optional<SheetBlock> parseR1C1Reference(std::string_view text) {
  if (!text.empty() && text.front() == '=') text.remove_prefix(1);
  const auto bang = text.rfind('!');
  if (bang == std::string_view::npos) return std::nullopt;
  auto sheet = parseSheetPart(text.substr(0, bang));
  if (!sheet) return std::nullopt;
  auto block = parseBlock(text.substr(bang + 1), readR1C1Corner);
  if (!block) return std::nullopt;
  return SheetBlock{std::move(*sheet), *block};
}

std::string formatR1C1Reference(const std::string& sheet, const CellBlock& block) {
  std::string quoted = sheet;
  if (needsQuotes(sheet)) {
    quoted = "'";
    for (char c : sheet) quoted += (c == '\'') ? std::string("''") : std::string(1, c);
    quoted += "'";
  }
  auto corner = [](std::int32_t r, std::int32_t c) {
    return "R" + std::to_string(r) + "C" + std::to_string(c);
  };
  std::string text = "=" + quoted + "!" + corner(block.firstRow, block.firstColumn);
  if (block.rows() > 1 || block.columns() > 1) text += ":" + corner(block.lastRow, block.lastColumn);
  return text;
}

}  // namespace core
