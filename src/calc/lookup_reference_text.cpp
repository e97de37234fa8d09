#include "lookup_reference_text.h"

#include "calc/cell_address.h"

namespace calc {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return asciiUpper(c); }

// Digits as a number (leading zeros allowed, as INDIRECT allows them); nothing when there are
// none or the number is past `limit`.
std::optional<std::int64_t> digitsValue(std::string_view& s, std::int64_t limit) {
  std::size_t i = 0;
  std::int64_t n = 0;
  while (i < s.size() && isDigit(s[i])) {
    n = n * 10 + (s[i] - '0');
    if (n > limit) return std::nullopt;
    ++i;
  }
  if (i == 0) return std::nullopt;
  s.remove_prefix(i);
  return n;
}

// One end of an A1 reference: a cell, a whole column (row 0) or a whole row (column 0).
std::optional<Address> a1Part(std::string_view s) {
  Address a;
  if (!s.empty() && s.front() == '$') s.remove_prefix(1);
  std::size_t letters = 0;
  while (letters < s.size() && isLetter(s[letters])) ++letters;
  if (letters > 0) {
    const auto column = columnNumber(s.substr(0, letters));
    if (!column) return std::nullopt;
    a.column = *column;
    s.remove_prefix(letters);
    if (s.empty()) return a;
    if (s.front() == '$') s.remove_prefix(1);
  }
  const auto row = digitsValue(s, kMaxRows);
  if (!row || *row == 0 || !s.empty()) return std::nullopt;
  a.row = static_cast<std::int32_t>(*row);
  return a;
}

// One coordinate of an R1C1 reference after its letter: "5" (absolute), "[-2]" (relative) or
// nothing (the origin's own).
std::optional<std::int64_t> r1c1Coordinate(std::string_view& s, std::int64_t origin, std::int64_t limit) {
  if (!s.empty() && isDigit(s.front())) return digitsValue(s, limit);
  if (s.empty() || s.front() != '[') return origin;
  s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const auto offset = digitsValue(s, limit);
  if (!offset || s.empty() || s.front() != ']') return std::nullopt;
  s.remove_prefix(1);
  return origin + (negative ? -*offset : *offset);
}

std::optional<Address> r1c1Part(std::string_view s, const CellRef& origin) {
  Address a;
  bool any = false;
  if (!s.empty() && upper(s.front()) == 'R') {
    s.remove_prefix(1);
    const auto row = r1c1Coordinate(s, origin.row, kMaxRows);
    if (!row) return std::nullopt;
    a.row = static_cast<std::int32_t>(*row);
    any = true;
  }
  if (!s.empty() && upper(s.front()) == 'C') {
    s.remove_prefix(1);
    const auto column = r1c1Coordinate(s, origin.column, kMaxColumns);
    if (!column) return std::nullopt;
    a.column = static_cast<std::int32_t>(*column);
    any = true;
  }
  if (!any || !s.empty()) return std::nullopt;
  if ((a.row == 0 && a.column == 0) || a.row < 0 || a.column < 0) return std::nullopt;
  return a;
}

// Characters a sheet name may hold without quotes.
bool plainCharacters(std::string_view name) {
  for (char c : name)
    if (!(isLetter(c) || isDigit(c) || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80)) return false;
  return true;
}

// Splits "sheet!cells"; false for a malformed or other workbook's sheet, or a name that needs
// quotes and has none.
bool splitSheet(std::string_view& text, std::string& sheet) {
  if (!text.empty() && text.front() == '\'') {
    std::size_t i = 1;
    for (; i < text.size(); ++i) {
      if (text[i] != '\'') {
        sheet += text[i];
      } else if (i + 1 < text.size() && text[i + 1] == '\'') {
        sheet += '\'';
        ++i;
      } else {
        break;
      }
    }
    if (i + 1 >= text.size() || text[i + 1] != '!' || sheet.empty()) return false;
    text.remove_prefix(i + 2);
  } else if (const auto bang = text.find('!'); bang != std::string_view::npos) {
    sheet = std::string(text.substr(0, bang));
    if (sheet.empty() || !plainCharacters(sheet)) return false;
    text.remove_prefix(bang + 1);
  }
  return sheet.find_first_of("[]:") == std::string::npos;
}

bool inBounds(std::int32_t row, std::int32_t column) {
  return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

}  // namespace

std::optional<ReferenceText> parseReferenceText(std::string_view text, bool a1, const CellRef& origin) {
  ReferenceText out;
  if (!splitSheet(text, out.sheet) || text.empty()) return std::nullopt;
  const auto colon = text.find(':');
  const std::string_view first = text.substr(0, colon);
  const std::string_view second = colon == std::string_view::npos ? first : text.substr(colon + 1);
  const auto a = a1 ? a1Part(first) : r1c1Part(first, origin);
  const auto b = a1 ? a1Part(second) : r1c1Part(second, origin);
  if (!a || !b) return std::nullopt;
  // Both ends the same kind: cells, whole columns or whole rows; in A1 style a lone end must
  // be a cell (R1C1's "R2" and "C3" are whole rows and columns).
  if ((a->row == 0) != (b->row == 0) || (a->column == 0) != (b->column == 0)) return std::nullopt;
  if (a1 && colon == std::string_view::npos && (a->row == 0 || a->column == 0)) return std::nullopt;
  out.row1 = a->row == 0 ? 1 : std::min(a->row, b->row);
  out.row2 = a->row == 0 ? kMaxRows : std::max(a->row, b->row);
  out.column1 = a->column == 0 ? 1 : std::min(a->column, b->column);
  out.column2 = a->column == 0 ? kMaxColumns : std::max(a->column, b->column);
  if (!inBounds(out.row1, out.column1) || !inBounds(out.row2, out.column2)) return std::nullopt;
  return out;
}

namespace {

// A name that reads as a cell in either style would be taken for one.
bool looksLikeReference(std::string_view name) {
  if (a1Part(name) && a1Part(name)->row != 0 && a1Part(name)->column != 0) return true;
  return r1c1Part(name, CellRef{{}, 1, 1}).has_value();
}

}  // namespace

std::string sheetPrefix(std::string_view sheet) {
  const bool plain = !sheet.empty() && !isDigit(sheet.front()) && !looksLikeReference(sheet) && plainCharacters(sheet);
  if (plain || sheet.empty()) return std::string(sheet) + "!";
  std::string quoted = "'";
  for (char c : sheet) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'!";
}

std::string addressText(std::int32_t row, std::int32_t column, bool rowAbsolute, bool columnAbsolute, bool a1) {
  std::string text;
  if (a1) {
    if (columnAbsolute) text += '$';
    text += columnLetters(column);
    if (rowAbsolute) text += '$';
    text += std::to_string(row);
    return text;
  }
  const auto part = [&text](char letter, std::int32_t n, bool absolute) {
    text += letter;
    if (!absolute) text += '[';
    text += std::to_string(n);
    if (!absolute) text += ']';
  };
  part('R', row, rowAbsolute);
  part('C', column, columnAbsolute);
  return text;
}

}  // namespace calc
