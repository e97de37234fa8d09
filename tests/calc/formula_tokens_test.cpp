// The formula lexer: what each token is and where it stands, on the texts where lexers
// usually go wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/formula_tokens.h"

namespace {

using calc::FormulaToken;
using calc::TokenKind;
using calc::WordShape;

const char* kindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::Number: return "num";
    case TokenKind::String: return "str";
    case TokenKind::Name: return "name";
    case TokenKind::Reference: return "ref";
    case TokenKind::SheetPrefix: return "sheet";
    case TokenKind::Error: return "err";
    case TokenKind::Operator: return "op";
    case TokenKind::Separator: return "sep";
    case TokenKind::Space: return "sp";
    case TokenKind::Other: return "other";
  }
  return "?";
}

// "kind:text" for every token, a called name as "call:".
std::vector<std::string> lexed(std::string_view text) {
  std::vector<std::string> out;
  for (const FormulaToken& t : calc::tokenizeFormula(text))
    out.push_back(std::string(t.called ? "call" : kindName(t.kind)) + ":" + std::string(text.substr(t.offset, t.length)));
  return out;
}

using Tokens = std::vector<std::string>;

FormulaToken only(std::string_view text) {
  const auto tokens = calc::tokenizeFormula(text);
  EXPECT_EQ(tokens.size(), 1u) << text;
  return tokens.empty() ? FormulaToken{} : tokens.front();
}

TEST(FormulaTokens, QuotedTextAndSheetNamesKeepTheirDoubledQuotes) {
  EXPECT_EQ(lexed("'it''s'!A1&\"say \"\"hi\"\"\""),
            (Tokens{"sheet:'it''s'!", "ref:A1", "op:&", "str:\"say \"\"hi\"\"\""}));
  EXPECT_EQ(lexed("'COT(x'!B2+\"A1(\""), (Tokens{"sheet:'COT(x'!", "ref:B2", "op:+", "str:\"A1(\""}));
  EXPECT_EQ(lexed("Data_2!$C$3"), (Tokens{"sheet:Data_2!", "ref:$C$3"}));
  EXPECT_EQ(lexed("\"\"&''"), (Tokens{"str:\"\"", "op:&", "sheet:''"}));
  EXPECT_EQ(lexed("1&\"open"), (Tokens{"num:1", "op:&", "other:\"open"})) << "a quote never closed runs to the end";
  EXPECT_EQ(lexed("'open!A1"), (Tokens{"other:'open!A1"}));
}

TEST(FormulaTokens, FunctionsAreNamesBeforeAParenthesisEvenWhenTheyReadAsCells) {
  EXPECT_EQ(lexed("LOG10(A1)+LOG10"), (Tokens{"call:LOG10", "sep:(", "ref:A1", "sep:)", "op:+", "ref:LOG10"}));
  EXPECT_EQ(lexed("COT \n(1)"), (Tokens{"call:COT", "sp: \n", "sep:(", "num:1", "sep:)"}));
  EXPECT_EQ(lexed("_xlfn._xlws.SORT(A1:A3)"), (Tokens{"call:_xlfn._xlws.SORT", "sep:(", "ref:A1", "op::", "ref:A3", "sep:)"}));
  const FormulaToken log = calc::tokenizeFormula("LOG10").front();
  EXPECT_EQ(log.shape, WordShape::Cell);
  EXPECT_EQ(log.column, 8509);  // L, O, G
  EXPECT_EQ(log.row, 10);
  EXPECT_EQ(log.rowDigits, 2);
}

TEST(FormulaTokens, R1C1LookAlikesAndCellsPastTheEdgeAreNames) {
  for (const auto& [text, shape] : std::vector<std::pair<const char*, WordShape>>{
           {"R1C1", WordShape::R1C1}, {"r1c", WordShape::R1C1}, {"RRCC", WordShape::R1C1}, {"XFE1", WordShape::PastBounds},
           {"A0", WordShape::PastBounds}, {"A1048577", WordShape::PastBounds}, {"ABCD1", WordShape::LettersDigits},
           {"Tax", WordShape::Column}, {"x_1", WordShape::Name}, {"TRUE", WordShape::Name}}) {
    const FormulaToken t = only(text);
    EXPECT_EQ(t.kind, TokenKind::Name) << text;
    EXPECT_EQ(t.shape, shape) << text;
  }
  const FormulaToken corner = only("$XFD$1048576");
  EXPECT_EQ(corner.kind, TokenKind::Reference);
  EXPECT_EQ(std::vector<int>({corner.column, corner.row, corner.columnAbsolute, corner.rowAbsolute, corner.rowDigits}),
            std::vector<int>({16384, 1048576, 1, 1, 7}));
  const FormulaToken mixed = only("b$7");
  EXPECT_EQ(std::vector<int>({mixed.column, mixed.row, mixed.columnAbsolute, mixed.rowAbsolute}),
            std::vector<int>({2, 7, 0, 1}));
}

TEST(FormulaTokens, WholeRowsAndColumnsAreReferencesOnlyBesideAColon) {
  EXPECT_EQ(lexed("SUM(1:3,$B:$C)"),
            (Tokens{"call:SUM", "sep:(", "ref:1", "op::", "ref:3", "sep:,", "ref:$B", "op::", "ref:$C", "sep:)"}));
  const auto rows = calc::tokenizeFormula("$2:5");
  EXPECT_EQ(std::vector<int>({rows[0].row, rows[0].rowAbsolute, rows[0].column, rows[2].row, rows[2].rowAbsolute}),
            std::vector<int>({2, 1, 0, 5, 0}));
  const auto columns = calc::tokenizeFormula("A:xfd");
  EXPECT_EQ(std::vector<int>({columns[0].column, columns[0].row, columns[2].column, columns[2].rowDigits}),
            std::vector<int>({1, 0, 16384, 0}));
  EXPECT_EQ(lexed("A+3"), (Tokens{"name:A", "op:+", "num:3"})) << "no colon: a name and a number";
}

TEST(FormulaTokens, NumbersEndWhereTheParserEndsThem) {
  EXPECT_EQ(lexed("1.5E+3-.5"), (Tokens{"num:1.5E+3", "op:-", "num:.5"}));
  EXPECT_EQ(lexed("2e-"), (Tokens{"num:2", "name:e", "op:-"})) << "an exponent without digits";
  EXPECT_EQ(lexed("12%"), (Tokens{"num:12", "op:%"}));
}

TEST(FormulaTokens, ErrorValuesIncludingTheNewerOnes) {
  EXPECT_EQ(lexed("#SPILL!+#calc!&#N/A"), (Tokens{"err:#SPILL!", "op:+", "err:#calc!", "op:&", "err:#N/A"}));
  EXPECT_EQ(lexed("IFERROR(#DIV/0!,#NULL!)"),
            (Tokens{"call:IFERROR", "sep:(", "err:#DIV/0!", "sep:,", "err:#NULL!", "sep:)"}));
  EXPECT_EQ(lexed("#FOO"), (Tokens{"other:#", "name:FOO"}));
  EXPECT_EQ(lexed("#REF"), (Tokens{"other:#", "name:REF"})) << "without its '!' no error";
}

TEST(FormulaTokens, ArrayConstantsOperatorsAndStructuredLookingNames) {
  EXPECT_EQ(lexed("{1,-2;\"a\",TRUE}"),
            (Tokens{"sep:{", "num:1", "sep:,", "op:-", "num:2", "sep:;", "str:\"a\"", "sep:,", "name:TRUE", "sep:}"}));
  EXPECT_EQ(lexed("A1<=B1<>C1>=D1"),
            (Tokens{"ref:A1", "op:<=", "ref:B1", "op:<>", "ref:C1", "op:>=", "ref:D1"}));
  EXPECT_EQ(lexed("Table1[@Col]"), (Tokens{"name:Table1", "sep:[", "other:@", "name:Col", "sep:]"}));
  EXPECT_EQ(lexed("LAMBDA(x,[y],x)"),
            (Tokens{"call:LAMBDA", "sep:(", "name:x", "sep:,", "sep:[", "name:y", "sep:]", "sep:,", "name:x", "sep:)"}));
}

TEST(FormulaTokens, NamesInOtherScriptsAreWords) {
  EXPECT_EQ(lexed("\xC3\x9C" "ber!A1+\xC3\xA4x1(2)"),
            (Tokens{"sheet:\xC3\x9C" "ber!", "ref:A1", "op:+", "call:\xC3\xA4x1", "sep:(", "num:2", "sep:)"}));
  EXPECT_EQ(only("\xCF\x80").shape, WordShape::Name);
}

TEST(FormulaTokens, TokensCoverTheTextWithoutGaps) {
  for (const char* text : {"", " ", "=SUM( A1 :B2 )", "'a''b'!x", "#N/A\t\r\n", "\x01\x7f", "$", "\"", "1E", "a.b.c("}) {
    std::size_t at = 0;
    for (const FormulaToken& t : calc::tokenizeFormula(text)) {
      EXPECT_EQ(t.offset, at) << text;
      EXPECT_GT(t.length, 0u) << text;
      at = t.end();
    }
    EXPECT_EQ(at, std::string_view(text).size()) << text;
  }
}

}  // namespace
