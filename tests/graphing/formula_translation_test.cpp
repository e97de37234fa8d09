#include <gtest/gtest.h>

#include "graphing/column_letters.h"
#include "graphing/equation_to_formula.h"
#include "support/scripted_dialogs.h"

using graphing::ColumnLetters;
using graphing::EquationToFormula;
using graphing::FormulaTemplate;

namespace {

struct TranslationCase {
  const char* equation;
  const char* expected;
};

// Every row of the translation table, for the reference A1.
const TranslationCase kTable[] = {
    {"sin(x) + x", "SIN(A1)+A1"},
    {"x*x", "A1*A1"},
    {"x + 100", "A1+100"},
    {"x^2", "A1^2"},
    {"exp(x)", "EXP(A1)"},
    {"max(x,1)", "MAX(A1,1)"},
    {"-x", "-A1"},
    {"2x", "2A1"},
    {"x2", "error"},
    {"sin(x3)", "error"},
    {"if(x>0,x,-x)", "IF(X>0,A1,-A1)"},
    {"xx", "XX"},
    {"  x / 2  ", "A1/2"},
    {"x\\2", "A1\\2"},
    {"5", "5"},
    {"", ""},
};

TEST(EquationToFormula, TranslationTable) {
  for (const TranslationCase& c : kTable)
    EXPECT_EQ(EquationToFormula(QString::fromUtf8(c.equation), QStringLiteral("A1")), QString::fromUtf8(c.expected))
        << "equation \"" << c.equation << "\"";
}

TEST(EquationToFormula, OnlyPlainSpacesGoAndTheReferenceIsNotRescanned) {
  // A tab is no separator: the X before it stays a letter.
  EXPECT_EQ(EquationToFormula(QStringLiteral("x\t+ 1"), QStringLiteral("C17")), QStringLiteral("X\t+1"));
  EXPECT_EQ(EquationToFormula(QStringLiteral("1 +\tx"), QStringLiteral("C17")), QStringLiteral("1+\tC17"));
  EXPECT_EQ(EquationToFormula(QStringLiteral("x"), QStringLiteral("IU5")), QStringLiteral("IU5"));
  // An empty column part (beyond the classic sheet) leaves the bare row number.
  EXPECT_EQ(EquationToFormula(QStringLiteral("x*x"), QStringLiteral("7")), QStringLiteral("7*7"));
  // An X right before the end of a name is examined, the letter after a skipped one is not.
  EXPECT_EQ(EquationToFormula(QStringLiteral("xxx"), QStringLiteral("A1")), QStringLiteral("XXA1"));
}

TEST(FormulaTemplate, AgreesWithTheTranslationForEveryRowReference) {
  const char* equations[] = {"sin(x) + x", "x*x", "exp(x)+x^2", "if(x>0,x,-x)", "xxx", "x2", "", "2x", "x\\2"};
  const char* references[] = {"A1", "C17", "IU1048576", "7"};
  for (const char* equation : equations) {
    const FormulaTemplate formula(QString::fromUtf8(equation));
    for (const char* reference : references) {
      const QString expected = EquationToFormula(QString::fromUtf8(equation), QString::fromUtf8(reference));
      EXPECT_EQ(formula.formulaFor(QString::fromUtf8(reference)), QStringLiteral("=") + expected) << equation;
      EXPECT_EQ(formula.isError(), expected == QLatin1String("error"));
    }
  }
}

TEST(FormulaTemplate, AnEquationHoldingUnusualCharactersTranslatesAsEveryRowWould) {
  QString allNoncharacters;
  for (char16_t code = 0xFDD0; code <= 0xFDEF; ++code) allNoncharacters += QChar(code);
  const QString equations[] = {QString(QChar(0xFDD0)) + QStringLiteral("+x*2x"), allNoncharacters + QStringLiteral("+x"),
                               allNoncharacters + QStringLiteral("x2")};
  for (const QString& equation : equations) {
    const FormulaTemplate formula(equation);
    const QString expected = EquationToFormula(equation, QStringLiteral("C17"));
    EXPECT_EQ(formula.formulaFor(QStringLiteral("C17")), QStringLiteral("=") + expected);
    EXPECT_EQ(formula.isError(), expected == QLatin1String("error"));
  }
  EXPECT_TRUE(FormulaTemplate(QString(QChar(0xFDD0)) + QStringLiteral("+x*2x")).referenceFuses());
  EXPECT_EQ(FormulaTemplate(QString(QChar(0xFDD0)) + QStringLiteral("+x*2x")).fusedPrefix(), QStringLiteral("2"));
}

// The column's formula, made once, gives each row the text the row's own translation gives,
// converted to UTF-8 as a whole: half a surrogate pair beside a reference included.
TEST(FormulaTemplate, FilledDownGivesEveryRowItsTranslatedText) {
  const QString equations[] = {QStringLiteral("sin(x) + x"), QStringLiteral("x2"), QStringLiteral("5"), QString(),
                               QStringLiteral("\u00e9t\u00e9*x+\"x,\""), QString(QChar(0xD83D)) + QStringLiteral("x") + QChar(0xDE00),
                               QStringLiteral("x") + QChar(0xDE00) + QStringLiteral("+x"),
                               QString::fromUtf8("\xF0\x9F\x98\x80+x*x")};
  for (const QString& equation : equations) {
    const FormulaTemplate formula(equation);
    const auto filled = formula.filledDown(QStringLiteral("IU"));
    ASSERT_TRUE(filled) << equation.toStdString();
    for (int row : {1, 9, 10, 99999, 1048576}) {
      const std::string expected = formula.formulaFor(QStringLiteral("IU") + QString::number(row)).toStdString();
      EXPECT_EQ(filled->text(row), expected) << equation.toStdString() << " row " << row;
      EXPECT_EQ(filled->textLength(row), expected.size()) << equation.toStdString() << " row " << row;
    }
  }
  QString allNoncharacters;
  for (char16_t code = 0xFDD0; code <= 0xFDEF; ++code) allNoncharacters += QChar(code);
  EXPECT_FALSE(FormulaTemplate(allNoncharacters + QStringLiteral("+x")).filledDown(QStringLiteral("A")));
  // Two columns' formulas are told apart by their identity, a copy keeps it.
  const FormulaTemplate formula(QStringLiteral("x*x"));
  const auto a = formula.filledDown(QStringLiteral("A")), c = formula.filledDown(QStringLiteral("C"));
  EXPECT_NE(a->id(), c->id());
  EXPECT_EQ(excel::FilledFormula(*a).id(), a->id());
}

TEST(ColumnLetters, ClassicColumns) {
  testing_support::ScriptedDialogs dialogs;
  const std::pair<int, const char*> cases[] = {{1, "A"},   {2, "B"},   {26, "Z"},   {27, "AA"}, {52, "AZ"},
                                               {53, "BA"}, {78, "BZ"}, {255, "IU"}, {256, "IV"}};
  for (const auto& [column, letters] : cases) EXPECT_EQ(ColumnLetters(column, dialogs), QLatin1String(letters));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ColumnLetters, BeyondTheClassicSheetShowsTheMessageEveryTime) {
  testing_support::ScriptedDialogs dialogs;
  dialogs.answerMessage().answerMessage();
  EXPECT_EQ(ColumnLetters(257, dialogs), QString());
  EXPECT_EQ(ColumnLetters(300, dialogs), QString());
  ASSERT_EQ(dialogs.shown().size(), 2u);
  for (const auto& box : dialogs.shown()) {
    EXPECT_EQ(box.text, QStringLiteral("Number is higher than number of columns."));
    EXPECT_EQ(box.icon, platform::Icon::None);
    EXPECT_TRUE(box.title.isEmpty());  // the application title
  }
}

}  // namespace
