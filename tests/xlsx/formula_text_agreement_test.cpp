// The writer's readings of formula text agree with the parser's over the whole conformance
// corpus: the fill-down key of a formula and of the same formula moved one row down are equal,
// and a sheet name as chart references write it reads back as that sheet.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../calc/conformance_suite.h"
#include "calc/file_formula.h"
#include "calc/formula.h"
#include "calc/formula_tokens.h"
#include "chart_part.h"
#include "shared_formulas.h"

namespace {

std::vector<std::string> shownCorpusFormulas() {
  std::vector<std::string> all;
  const auto text = calc::testing::readFile(calc::testing::casesPath());
  if (!text) return all;
  const calc::testing::Json document = calc::testing::JsonReader(*text).document();
  for (const auto& sheet : document.array())
    for (const auto& cell : sheet.find("cells")->array())
      if (!cell.array()[1].isNull()) all.push_back(calc::displayFormula(cell.array()[1].string()));
  return all;
}

TEST(FormulaTextAgreement, AFormulaAndItsMoveOneRowDownShareAKey) {
  const auto formulas = shownCorpusFormulas();
  ASSERT_GT(formulas.size(), 60000u);
  int shared = 0, refused = 0;
  for (const std::string& text : formulas) {
    const calc::Formula formula = std::get<calc::Formula>(calc::parseFormula(text));
    std::string moved;
    if (!calc::movedFormulaText(formula, text, 1, moved)) {
      EXPECT_FALSE(xlsx::rowShiftKey(text, 4) && text.find(':') == std::string::npos) << text;
      continue;
    }
    const auto key = xlsx::rowShiftKey(text, 4);
    if (!key) {
      ++refused;
      continue;
    }
    // Bound names that read as cells (LET(x1,...)) stay put in the model and not in the key:
    // such formulas get two keys and are written cell by cell.
    if (key == xlsx::rowShiftKey(moved, 5)) ++shared;
    else EXPECT_TRUE(text.find("LET(") != std::string::npos || text.find("LAMBDA(") != std::string::npos) << text;
  }
  EXPECT_GT(shared, 60000);
  EXPECT_LT(refused, 50);
}

// What the parser reads as the sheet of "<prefix>!A1".
class SheetOfCell : public calc::EvalContext {
 public:
  mutable std::string sheet;
  calc::Value cell(const calc::CellRef& ref) const override {
    sheet = ref.sheet;
    return 0.0;
  }
};

TEST(FormulaTextAgreement, ChartSheetPrefixesReadBackAsTheirSheet) {
  std::set<std::string> names = {"Data", "My Data", "A1", "R1C1", "rc", "1x", ".5", "it's", "Tax", "TRUE", "x(1)",
                                 "\xC3\x9C" "ber", "a-b", "Sheet1", "LOG10", "_xlfn.x", "#REF!", "''"};
  for (const std::string& text : shownCorpusFormulas()) {
    calc::FormulaLexer lexer(text);
    for (calc::FormulaToken t; lexer.next(t);)
      if (t.kind == calc::TokenKind::Name || t.kind == calc::TokenKind::Reference) names.insert(std::string(lexer.text(t)));
  }
  ASSERT_GT(names.size(), 1000u);
  for (const std::string& name : names) {
    const std::string formula = xlsx::sheetPrefix(name) + "!A1";
    auto parsed = calc::parseFormula(formula);
    ASSERT_TRUE(std::holds_alternative<calc::Formula>(parsed)) << formula;
    SheetOfCell context;
    calc::evaluate(std::get<calc::Formula>(parsed), context);
    EXPECT_EQ(context.sheet, name) << formula;
  }
}

}  // namespace
