#include "shared_formulas.h"

#include <charconv>

#include "calc/formula_tokens.h"

namespace xlsx {
namespace {

using calc::FormulaToken;
using calc::TokenKind;
using calc::WordShape;

bool isDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789$") == std::string_view::npos;
}

// Whether a reader might move this token otherwise than the model does: a whole row, a name
// that reads as a cell past the sheet's edge, or a function whose name reads as a cell with a
// space before its '(' (readers may take the space for the intersection of a cell).
bool readersMightMove(const FormulaToken& token, std::string_view formula) {
  const std::string_view text = formula.substr(token.offset, token.length);
  if ((token.kind == TokenKind::Reference || token.kind == TokenKind::Number) && isDigits(text) &&
      ((token.offset > 0 && formula[token.offset - 1] == ':') ||
       (token.end() < formula.size() && formula[token.end()] == ':')))
    return true;
  if (token.kind != TokenKind::Name) return false;
  if (token.end() < formula.size() && formula[token.end()] == '(') return false;  // a function
  if (token.shape == WordShape::PastBounds || token.shape == WordShape::LettersDigits) return true;
  return token.called && token.shape == WordShape::Cell;
}

}  // namespace

std::optional<std::string> rowShiftKey(std::string_view formula, std::int32_t row) {
  std::string key;
  key.reserve(formula.size() + 8);
  calc::FormulaLexer lexer(formula);
  for (FormulaToken token; lexer.next(token);) {
    const std::string_view text = lexer.text(token);
    if (readersMightMove(token, formula)) return std::nullopt;
    const bool cell = token.kind == TokenKind::Reference && token.shape == WordShape::Cell;
    if (!cell || token.rowAbsolute) {
      key.append(text);
      continue;
    }
    key.append(text.substr(0, text.size() - token.rowDigits));
    key.push_back('\x01');  // a relative row, as its distance
    char digits[16];
    key.append(digits, std::to_chars(digits, digits + sizeof digits, token.row - row).ptr);
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
