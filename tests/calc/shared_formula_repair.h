#pragma once
// Mends the formula texts of shared formulas that the case extraction wrote out wrongly.
//
// Excel stores a formula filled down or across once, as a shared formula, and each cell of the
// block gets the text of the first with its relative references moved by the cell's offset.
// The extraction moved only the second corner of each range: I4 got LCM(G3:H4) where Excel
// computes LCM(G4:H4). Such a cell is recognised by its text being exactly that faulty shift of
// a neighbour's first formula while the proper shift differs; it then gets the proper shift.
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cell_address.h"

namespace calc::testing {

inline std::string columnLetters(std::int32_t column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  return letters;
}

// One A1 reference ("B7", "$B7", "B$7", "$B$7") moved by (rows, columns) in its relative
// parts; nullopt when `word` is no such reference or it would leave the sheet.
inline std::optional<std::string> shiftedReference(std::string_view word, int rows, int columns) {
  std::size_t i = 0;
  const bool columnFixed = i < word.size() && word[i] == '$';
  if (columnFixed) ++i;
  const std::size_t lettersStart = i;
  while (i < word.size() && std::isalpha(static_cast<unsigned char>(word[i]))) ++i;
  const std::string_view letters = word.substr(lettersStart, i - lettersStart);
  const bool rowFixed = i < word.size() && word[i] == '$';
  if (rowFixed) ++i;
  const std::size_t digitsStart = i;
  while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i]))) ++i;
  if (i != word.size() || i == digitsStart || letters.empty() || letters.size() > 3) return std::nullopt;
  const auto column = columnNumber(letters);
  if (!column) return std::nullopt;
  const long row = std::stol(std::string(word.substr(digitsStart)));
  const long newRow = rowFixed ? row : row + rows;
  const long newColumn = columnFixed ? *column : *column + columns;
  if (newRow < 1 || newRow > kMaxRows || newColumn < 1 || newColumn > kMaxColumns) return std::nullopt;
  return (columnFixed ? "$" : "") + columnLetters(static_cast<std::int32_t>(newColumn)) + (rowFixed ? "$" : "") +
         std::to_string(newRow);
}

// The formula with its references moved by (rows, columns); with `keepRangeStarts` the first
// corner of every range stays where it was (the extraction's mistake). Texts in quotes, sheet
// names and function names are left alone.
inline std::string shiftReferences(std::string_view formula, int rows, int columns, bool keepRangeStarts) {
  auto isWordChar = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$';
  };
  std::string out;
  for (std::size_t i = 0; i < formula.size();) {
    const char c = formula[i];
    if (c == '"' || c == '\'') {  // a text or a quoted sheet name, doubled quotes inside
      std::size_t j = i + 1;
      for (; j < formula.size(); ++j) {
        if (formula[j] != c) continue;
        if (j + 1 < formula.size() && formula[j + 1] == c) ++j;
        else break;
      }
      const std::size_t end = std::min(j + 1, formula.size());
      out.append(formula.substr(i, end - i));
      i = end;
    } else if (isWordChar(c)) {
      std::size_t j = i;
      while (j < formula.size() && isWordChar(formula[j])) ++j;
      const std::string_view word = formula.substr(i, j - i);
      const char next = j < formula.size() ? formula[j] : '\0';
      const bool rangeStart = next == ':';
      std::optional<std::string> moved;
      if (next != '(' && next != '!' && !(keepRangeStarts && rangeStart)) moved = shiftedReference(word, rows, columns);
      out.append(moved ? *moved : std::string(word));
      i = j;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

// A sheet's formula texts by (row, column); mends them in place and returns how many it mended.
// A block's first cell is looked for among the cells above in the same column and to the left
// in the same row, nearest first, gaps allowed, skipping cells that belong to a block already.
inline std::size_t repairSharedFormulaShifts(std::map<std::pair<std::int32_t, std::int32_t>, std::string*>& formulas) {
  struct Start {
    std::int32_t at;  // row (in a column's list) or column (in a row's list)
    std::string text;
  };
  std::map<std::int32_t, std::vector<Start>> startsByColumn, startsByRow;
  std::size_t mended = 0;
  auto mend = [&](std::string& text, const std::vector<Start>& starts, std::int32_t at, bool vertical) {
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
      const int offset = at - it->at;
      const int rows = vertical ? offset : 0, columns = vertical ? 0 : offset;
      if (shiftReferences(it->text, rows, columns, true) != text) continue;
      std::string proper = shiftReferences(it->text, rows, columns, false);
      if (proper == text) continue;
      text = std::move(proper);
      return true;
    }
    return false;
  };
  for (auto& [at, text] : formulas) {  // row by row, so that cells above and to the left come first
    const auto [row, column] = at;
    const std::string original = *text;
    if (mend(*text, startsByColumn[column], row, true) || mend(*text, startsByRow[row], column, false)) {
      ++mended;
      continue;
    }
    startsByColumn[column].push_back({row, original});
    startsByRow[row].push_back({column, original});
  }
  return mended;
}

}  // namespace calc::testing
