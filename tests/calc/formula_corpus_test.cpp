// Every formula of the conformance corpus (as Excel saved them, in file form): the display
// form, the file form and the fill-down move read the text as the parser does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/file_formula.h"
#include "calc/formula.h"
#include "calc/formula_tokens.h"
#include "conformance_suite.h"

namespace {

using calc::FormulaToken;
using calc::TokenKind;

const std::vector<std::string>& corpusFormulas() {
  static const std::vector<std::string> formulas = [] {
    std::vector<std::string> all;
    const auto text = calc::testing::readFile(calc::testing::casesPath());
    if (!text) return all;
    const calc::testing::Json document = calc::testing::JsonReader(*text).document();
    for (const auto& sheet : document.array())
      for (const auto& cell : sheet.find("cells")->array())
        if (!cell.array()[1].isNull()) all.push_back(cell.array()[1].string());
    return all;
  }();
  return formulas;
}

bool parses(std::string_view text) { return std::holds_alternative<calc::Formula>(calc::parseFormula(text)); }

TEST(FormulaCorpus, FileFormShownAndWrittenAgainIsTheSame) {
  const auto& formulas = corpusFormulas();
  ASSERT_GT(formulas.size(), 60000u);
  int differ = 0;
  for (const std::string& file : formulas) {
    const std::string shown = calc::displayFormula(file);
    ASSERT_TRUE(parses(file)) << file;
    ASSERT_TRUE(parses(shown)) << shown;
    if (calc::fileFormula(shown) != file && ++differ <= 5) ADD_FAILURE() << file << "\n" << calc::fileFormula(shown);
  }
  EXPECT_EQ(differ, 0);
}

// The move the tokens describe: every relative row of a cell reference one further down.
// False when a row would leave the sheet or the formula holds a whole-row range.
bool movedByTokens(std::string_view text, std::string& out) {
  out.clear();
  calc::FormulaLexer lexer(text);
  for (FormulaToken t; lexer.next(t);) {
    const std::string_view token = lexer.text(t);
    if (t.kind == TokenKind::Reference && t.shape == calc::WordShape::Row) return false;
    if (t.kind != TokenKind::Reference || t.shape != calc::WordShape::Cell || t.rowAbsolute) {
      out.append(token);
      continue;
    }
    if (t.row + 1 > calc::kMaxRows) return false;
    out.append(token.substr(0, token.size() - t.rowDigits)).append(std::to_string(t.row + 1));
  }
  return true;
}

TEST(FormulaCorpus, FillingDownMovesTheRowsTheTokensShow) {
  int compared = 0;
  for (const std::string& file : corpusFormulas()) {
    if (file.find("_xlpm.") != std::string::npos) continue;  // names bound by LET or LAMBDA never move
    const std::string text = calc::displayFormula(file);
    const calc::Formula formula = std::get<calc::Formula>(calc::parseFormula(text));
    std::string byParser, byTokens;
    const bool parserMoves = calc::movedFormulaText(formula, text, 1, byParser);
    const bool tokensMove = movedByTokens(text, byTokens);
    // "A1:3" is a cell and a number to the parser, a whole row to a reader: only the parser moves it.
    if (!tokensMove && parserMoves) continue;
    EXPECT_EQ(parserMoves, tokensMove) << text;
    if (parserMoves && tokensMove) {
      EXPECT_EQ(byParser, byTokens) << text;
    }
    ++compared;
  }
  EXPECT_GT(compared, 60000);
}

}  // namespace
