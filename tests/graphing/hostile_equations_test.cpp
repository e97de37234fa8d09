// Equations a hostile user might type: characters a workbook file cannot hold, the translation's
// own placeholder, formulas the engine refuses and references that run into a number.
#include <gtest/gtest.h>

#include "graphing/equation_to_formula.h"
#include "run_fixture.h"

using testing_support::RunFixture;

namespace {

std::string refText(const std::optional<core::SeriesReference>& ref) {
  if (!ref) return "(none)";
  auto sheet = ref->sheet.lock();
  return (sheet ? sheet->name : std::string("?")) + "!R" + std::to_string(ref->block.firstRow) + "C" +
         std::to_string(ref->block.firstColumn) + ":R" + std::to_string(ref->block.lastRow) + "C" +
         std::to_string(ref->block.lastColumn);
}

std::vector<std::shared_ptr<core::SeriesData>> liveSeries(const core::ChartData& chart) {
  std::vector<std::shared_ptr<core::SeriesData>> out;
  for (const auto& s : chart.series)
    if (!s->deleted) out.push_back(s);
  return out;
}

// ---- Characters the file cannot hold -------------------------------------------------------

TEST(UnstorableCharacters, AFormulaWithOneIsRefusedOnceAndTheTitleShowsAReplacement) {
  const char* equations[] = {"x&\"\x1b\"", "x+\xEF\xBF\xBF", "x+\xEF\xBF\xBE"};  // ESC, U+FFFF, U+FFFE
  for (const char* equation : equations) {
    RunFixture f;
    f.add(equation, "0", "3", "1");
    f.runExpecting(1);
    const auto reports = f.reports();
    ASSERT_EQ(reports.size(), 1u) << equation;
    EXPECT_TRUE(reports[0].contains(QStringLiteral("which a workbook cannot store"))) << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QStringLiteral("at line 154\r\r")));
    EXPECT_FALSE(reports[0].contains(QChar(0x1b)));  // the message shows <U+001B>, not the raw character
    EXPECT_EQ(f.data().rowCount(1), 4) << "the x values are still written";
    EXPECT_EQ(f.data().rowCount(2), 0) << "no formula is written";
    const core::ChartData& chart = *f.sheet("Chart1").chart;
    EXPECT_EQ(chart.title.find('\x1b'), std::string::npos);
    EXPECT_EQ(chart.title.find("\xEF\xBF\xBF"), std::string::npos);
    EXPECT_NE(chart.title.find("\xEF\xBF\xBD"), std::string::npos) << chart.title;
    EXPECT_EQ(refText(liveSeries(chart)[0]->xValues), "Data!R1C1:R5C1");
  }
}

TEST(UnstorableCharacters, OneChartSeriesNamesAreStorableToo) {
  RunFixture f;
  f.window.separate = false;
  f.add("x", "0", "2", "1");
  f.add("x&\"\x07\"", "0", "2", "1");
  f.runExpecting(1);
  const auto series = liveSeries(*f.sheet("Chart").chart);
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[1]->name, "F(x) = x&\"\xEF\xBF\xBD\"");
}

// ---- The translation's placeholder ---------------------------------------------------------

TEST(Placeholder, AControlCharacterInTheEquationIsNeverReadAsTheXCell) {
  const graphing::FormulaTemplate formula(QStringLiteral("x+") + QChar(0x1));
  EXPECT_EQ(formula.formulaFor(QStringLiteral("A1")), QStringLiteral("=A1+") + QChar(0x1));
  RunFixture f;
  f.add("x+\x01", "0", "1", "1");
  f.runExpecting(1);  // refused: the file could not hold U+0001
  EXPECT_NE(f.formula(1, 2), "=A1+A1");
  EXPECT_EQ(f.formula(1, 2), "");
}

// ---- Refused formulas keep their own chart -------------------------------------------------

TEST(RefusedFormula, OneChartSeriesPointsAtTheEquationsOwnColumns) {
  RunFixture f;
  f.window.separate = false;
  f.add("x*x", "0", "10", "1");
  f.add("x+100", "0", "10", "1");
  f.add("sin(x", "0", "10", "1");
  f.runExpecting(1);
  ASSERT_EQ(f.reports().size(), 1u);
  EXPECT_TRUE(f.reports()[0].contains(QStringLiteral("at line 226\r\r")));
  EXPECT_EQ(f.data().rowCount(5), 11) << "its x values are written";
  const auto series = liveSeries(*f.sheet("Chart").chart);
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(refText(series[2]->xValues), "Data!R1C5:R11C5");
  EXPECT_EQ(refText(series[2]->values), "Data!R1C6:R11C6");
  EXPECT_EQ(series[2]->name, "F(x) = sin(x");
}

TEST(RefusedFormula, AnEquationWithoutValuesPointsAtItsOwnEmptyColumns) {
  RunFixture f;
  f.window.separate = false;
  f.add("x", "0", "10", "1");
  f.add("x*x", "5", "1", "1");  // no values
  f.add("x+1", "0", "3", "1");
  f.runExpecting();
  const auto series = liveSeries(*f.sheet("Chart").chart);
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(refText(series[1]->xValues), "Data!R1C3:R1C3");
  EXPECT_EQ(refText(series[1]->values), "Data!R1C4:R1C4");
  EXPECT_EQ(refText(series[2]->values), "Data!R1C6:R4C6");
}

TEST(RefusedFormula, SeparateChartOfARefusedFormulaCoversItsOwnColumns) {
  RunFixture f;
  f.add("x", "0", "2", "1");
  f.add("sin(x", "0", "4", "1");
  f.runExpecting(1);
  const auto series = liveSeries(*f.sheet("Chart2").chart);
  ASSERT_EQ(series.size(), 1u);
  EXPECT_EQ(refText(series[0]->xValues), "Data!R1C3:R6C3");
  EXPECT_EQ(f.data().rowCount(3), 5);
}

// ---- References that would read another number or cell -------------------------------------

TEST(FusedReference, ANumberOrLetterBeforeXIsReportedOnceAndNothingIsPlottedAsIfItWereX) {
  // In column E, 2x would read as 2E1 = 20, 2E2 = 200, ...; ax would read the cell AA1 in column A.
  const std::pair<const char*, const char*> cases[] = {{"2x", "\"2\""}, {"a x", "\"a\""}, {"1.5x+1", "\"1.5\""}};
  for (const auto& [equation, prefix] : cases) {
    RunFixture f;
    f.add("x", "0", "1", "1");
    f.add("x", "0", "1", "1");
    f.add(equation, "0", "3", "1");
    f.runExpecting(1);
    const auto reports = f.reports();
    ASSERT_EQ(reports.size(), 1u) << equation;
    EXPECT_TRUE(reports[0].contains(QString::fromUtf8(prefix) + QStringLiteral(" stands right before x")))
        << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QStringLiteral("at line 154\r\r")));
    EXPECT_EQ(f.data().rowCount(5), 4);
    EXPECT_EQ(f.data().rowCount(6), 0) << equation;
  }
}

TEST(FusedReference, ReferencesAfterOperatorsAndInsideNamesStillWork) {
  RunFixture f;
  f.add("exp(x)+max(x,1)-(x)*2^x", "0", "1", "1");
  f.runExpecting();
  EXPECT_EQ(f.formula(2, 2), "=EXP(A2)+MAX(A2,1)-(A2)*2^A2");
}

TEST(TranslationError, AnXFollowedByADigitIsReportedOnceAndItsCellsKeepTheTranslation) {
  RunFixture f;
  f.add("x2", "0", "3", "1");
  f.add("x", "0", "1", "1");
  f.runExpecting(1);
  ASSERT_EQ(f.reports().size(), 1u);
  EXPECT_TRUE(f.reports()[0].contains(QStringLiteral("\"x2\" has an x followed by a digit")));
  EXPECT_EQ(f.formula(4, 2), "=error");
  EXPECT_FALSE(f.run.lastRunSucceeded());
}

}  // namespace
