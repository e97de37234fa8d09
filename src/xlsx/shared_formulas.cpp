#include "shared_formulas.h"

#include <charconv>

namespace xlsx {
namespace {

constexpr std::int32_t kMaxRows = 1048576;
constexpr std::int32_t kMaxColumns = 16384;

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameByte(char c) {
  return isLetter(c) || isDigit(c) || c == '_' || c == '.' || c == '$' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}

std::size_t skipQuoted(std::string_view text, std::size_t at) {
  const char quote = text[at];
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != quote) continue;
    if (i + 1 < text.size() && text[i + 1] == quote) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return text.size();
}

struct CellToken {
  std::string_view column;  // with its '$', if any
  bool absoluteRow = false;
  std::int32_t row = 0;
};

// "A1", "$B$7", "xfd1048576": a valid cell address and nothing else.
std::optional<CellToken> cellToken(std::string_view token) {
  std::size_t i = 0;
  if (i < token.size() && token[i] == '$') ++i;
  const std::size_t lettersStart = i;
  std::int32_t column = 0;
  while (i < token.size() && isLetter(token[i]) && i - lettersStart < 4) {
    column = column * 26 + ((token[i] | 0x20) - 'a' + 1);
    ++i;
  }
  const std::size_t letters = i - lettersStart;
  if (letters == 0 || letters > 3 || column > kMaxColumns) return std::nullopt;
  CellToken cell{token.substr(0, i)};
  if (i < token.size() && token[i] == '$') {
    cell.absoluteRow = true;
    ++i;
  }
  const std::size_t digitsStart = i;
  while (i < token.size() && isDigit(token[i])) ++i;
  if (i != token.size() || i == digitsStart || i - digitsStart > 7 || token[digitsStart] == '0') return std::nullopt;
  std::from_chars(token.data() + digitsStart, token.data() + i, cell.row);
  if (cell.row > kMaxRows) return std::nullopt;
  return cell;
}

bool looksLikeCell(std::string_view token) {
  std::size_t i = token.empty() || token[0] != '$' ? 0 : 1;
  const std::size_t start = i;
  while (i < token.size() && isLetter(token[i])) ++i;
  if (i == start) return false;
  if (i < token.size() && token[i] == '$') ++i;
  const std::size_t digits = i;
  while (i < token.size() && isDigit(token[i])) ++i;
  return i == token.size() && i > digits;
}

}  // namespace

std::optional<std::string> rowShiftKey(std::string_view formula, std::int32_t row) {
  std::string key;
  key.reserve(formula.size() + 8);
  std::size_t i = 0;
  while (i < formula.size()) {
    const char c = formula[i];
    if (c == '"' || c == '\'') {
      const std::size_t end = skipQuoted(formula, i);
      key.append(formula.substr(i, end - i));
      i = end;
      continue;
    }
    if (!isNameByte(c)) {
      key.push_back(c);
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < formula.size() && isNameByte(formula[end])) ++end;
    const std::string_view token = formula.substr(i, end - i);
    const char before = i > 0 ? formula[i - 1] : '\0';
    const char after = end < formula.size() ? formula[end] : '\0';
    i = end;
    const bool allDigits = token.find_first_not_of("0123456789$") == std::string_view::npos;
    if (allDigits && (before == ':' || after == ':')) return std::nullopt;  // a whole-row range
    if (after == '(' || after == '!' || isDigit(token[0]) || token[0] == '.') {
      key.append(token);  // a function, a sheet name or a number
      continue;
    }
    const auto cell = cellToken(token);
    if (!cell) {
      if (looksLikeCell(token)) return std::nullopt;  // past the sheet's edge: readers may move it
      key.append(token);
      continue;
    }
    key.append(cell->column);
    if (cell->absoluteRow) {
      key.push_back('$');
      key.append(token.substr(token.find_last_of('$') + 1));
      continue;
    }
    key.push_back('\x01');  // a relative row, as its distance
    char digits[16];
    key.append(digits, std::to_chars(digits, digits + sizeof digits, cell->row - row).ptr);
  }
  return key;
}

// The model has found the filled-down runs already: consecutive cells of one formula group. A
// run is shared in the file when the readers would move its rows as the model did, which shows
// in its first two cells having the same key: a row the model moved and a reader would not
// (or the other way round) gives two keys.
std::vector<SharedGroup> sharedGroups(const core::WorksheetCells& cells, std::int32_t column,
                                      std::int32_t& nextIndex) {
  std::vector<SharedGroup> groups;
  const auto slots = cells.column(column);
  const auto rows = static_cast<std::int32_t>(slots.size());
  std::string text;
  for (std::int32_t first = 1; first <= rows;) {
    const core::CellSlot& slot = slots[first - 1];
    std::int32_t last = first;
    if (slot.kind == core::CellKind::Formula)
      while (last < rows && slots[last].kind == core::CellKind::Formula && slots[last].index == slot.index) ++last;
    if (last > first) {
      cells.formulaText(slot, first, text);
      const auto firstKey = rowShiftKey(text, first);
      cells.formulaText(slot, first + 1, text);
      if (firstKey && firstKey == rowShiftKey(text, first + 1)) groups.push_back({first, last, nextIndex++});
    }
    first = last + 1;
  }
  return groups;
}

}  // namespace xlsx
