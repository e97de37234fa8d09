#include <gtest/gtest.h>

#include <cmath>

#include "run_fixture.h"

using testing_support::RunFixture;

namespace {

std::string refText(const core::SeriesReference& ref) {
  auto sheet = ref.sheet.lock();
  return (sheet ? sheet->name : std::string("?")) + "!R" + std::to_string(ref.block.firstRow) + "C" +
         std::to_string(ref.block.firstColumn) + ":R" + std::to_string(ref.block.lastRow) + "C" +
         std::to_string(ref.block.lastColumn);
}

std::vector<std::shared_ptr<core::SeriesData>> liveSeries(const core::ChartData& chart) {
  std::vector<std::shared_ptr<core::SeriesData>> out;
  for (const auto& s : chart.series)
    if (!s->deleted) out.push_back(s);
  return out;
}

// ---- Guards ----------------------------------------------------------------------------------

TEST(RunGuards, EmptyListSaysSoAndStartsNothing) {
  RunFixture f;
  f.dialogs.answerMessage();
  f.start();
  ASSERT_EQ(f.dialogs.messageTexts(), std::vector<QString>{QStringLiteral("No Equations added.")});
  EXPECT_EQ(f.dialogs.shown()[0].icon, platform::Icon::None);
  EXPECT_TRUE(f.engine.created.empty());
  EXPECT_FALSE(f.run.GraphingBusy());
  EXPECT_TRUE(f.window.busy.empty());
}

TEST(RunGuards, FailuresAreReportedUnderTheCallersLocation) {
  RunFixture f;
  f.add("x*x", "0", "one", "1");
  f.dialogs.answerMessage().answerMessage();  // the failure, then "Done."
  f.run.StartGraphing(QStringLiteral("in a batch "));
  const std::vector<QString> texts = f.dialogs.messageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(texts[0].contains(QStringLiteral("\r\nin a batch at line "))) << texts[0].toStdString();
  EXPECT_FALSE(texts[0].contains(QStringLiteral("PushButton2_Click")));
}

TEST(RunGuards, RunningInstanceIsWarnedAboutBeforeAnythingElse) {
  RunFixture f;
  f.engine.otherInstanceRunning = true;
  const auto other = f.engine.create();  // an instance that runs already
  f.dialogs.answerMessage(platform::Answer::No);
  f.start();  // empty list, but the warning comes first and No ends the run
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  EXPECT_EQ(f.dialogs.shown()[0].buttons, platform::Buttons::YesNo);
  EXPECT_EQ(f.dialogs.shown()[0].text,
            QStringLiteral("Excel may be open. It is recommended that you close Excel first.\rUse Ctrl+Alt+Del > "
                           "Task Manager > EXCEL.EXE if necessary.\r\n\r\nWould you like to proceed anyway?"));
  EXPECT_FALSE(f.run.GraphingBusy());

  f.add("x", "0", "1", "1");
  f.dialogs.answerMessage(platform::Answer::Yes);
  f.runExpecting();
  EXPECT_EQ(f.engine.created.size(), 2u);
}

TEST(RunGuards, ASecondPressDuringARunIsIgnored) {
  RunFixture f;
  f.add("x", "0", "10", "1");
  int nestedPresses = 0;
  f.pump.hook = [&](int) {
    if (nestedPresses++ < 3) f.start();
  };
  f.runExpecting();
  EXPECT_EQ(f.engine.created.size(), 1u);
  EXPECT_EQ(nestedPresses, f.pump.yields);
  EXPECT_FALSE(f.run.GraphingBusy());
}

// ---- The Data sheet ------------------------------------------------------------------------

TEST(DataSheet, RowCountsFollowStartEndAndStep) {
  RunFixture f;
  f.add("x", "0", "20", "1");
  f.add("x", "10", "0", "-2");
  f.add("x", "5", "1", "1");  // no value, but its two columns stay reserved
  f.add("x", "0", "20", "0.01");
  f.add("x", "0", "100", "0.1");
  f.runExpecting();
  EXPECT_EQ(f.data().rowCount(1), 21);
  EXPECT_EQ(f.number(21, 1), 20);
  EXPECT_EQ(f.data().rowCount(3), 6);
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(f.number(r, 3), 12 - 2 * r);
  EXPECT_EQ(f.data().rowCount(5), 0);
  EXPECT_EQ(f.data().rowCount(6), 0);
  EXPECT_EQ(f.data().rowCount(7), 2000);
  EXPECT_NEAR(f.number(2000, 7), 19.99, 1e-9);
  EXPECT_EQ(f.formula(2000, 8), "=G2000");
  EXPECT_EQ(f.data().rowCount(9), 1001);
  EXPECT_NEAR(f.number(1001, 9), 99.9999999999986, 1e-9);
}

TEST(DataSheet, FormulasPointAtTheirOwnXCell) {
  RunFixture f;
  f.add("x + 100", "0", "2", "1");
  f.add("x*x", "0", "2", "1");
  f.add("sin(x) + x", "0", "3", "1");
  f.runExpecting();
  EXPECT_EQ(f.number(1, 1), 0);
  EXPECT_EQ(f.formula(1, 2), "=A1+100");
  EXPECT_EQ(f.number(1, 3), 0);
  EXPECT_EQ(f.formula(1, 4), "=C1*C1");
  EXPECT_EQ(f.formula(3, 6), "=SIN(E3)+E3");
  EXPECT_DOUBLE_EQ(f.book().value(f.sheet("Data"), 3, 4).number(), 4.0);
  EXPECT_DOUBLE_EQ(f.book().value(f.sheet("Data"), 3, 6).number(), std::sin(2.0) + 2.0);
}

TEST(DataSheet, NewWorkbooksOfOneTwoOrThreeSheetsEndWithDataLast) {
  for (int sheets : {1, 2, 3}) {
    RunFixture f(sheets);
    f.add("x", "0", "1", "1");
    f.runExpecting();
    const auto names = f.sheetNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "Data") << sheets << " sheets";
    // Two sheets keep both; one and three keep one worksheet.
    EXPECT_EQ(names.size(), sheets == 2 ? 3u : 2u) << sheets << " sheets";
  }
}

// ---- Separate charts -----------------------------------------------------------------------

TEST(SeparateCharts, OneChartSheetPerEquationBeforeData) {
  RunFixture f;
  f.add("x*x", "0", "10", "1");
  f.add("sin(x) + x", "0", "4", "1");
  f.add("x + 1", "1", "3", "1");
  f.runExpecting();
  EXPECT_EQ(f.sheetNames(), (std::vector<std::string>{"Chart1", "Chart2", "Chart3", "Data"}));
  EXPECT_FALSE(f.sheet("Data").visible);
  EXPECT_EQ(f.book().activeSheet()->name, "Chart1");
  const core::ChartData& second = *f.sheet("Chart2").chart;
  EXPECT_EQ(second.type, core::ChartType::XYScatterSmoothNoMarkers);
  EXPECT_TRUE(second.hasTitle);
  EXPECT_EQ(second.title, "F(x) = sin(x) + x");
  // The source runs to one row below the last value: C1:D6 for five values.
  const auto series = liveSeries(second);
  ASSERT_EQ(series.size(), 1u);
  EXPECT_EQ(refText(*series[0]->xValues), "Data!R1C3:R6C3");
  EXPECT_EQ(refText(*series[0]->values), "Data!R1C4:R6C4");
  const core::ChartData& first = *f.sheet("Chart1").chart;
  EXPECT_EQ(first.title, "F(x) = x*x");
  EXPECT_EQ(refText(*liveSeries(first)[0]->values), "Data!R1C2:R12C2");
  for (const char* name : {"Chart1", "Chart2", "Chart3"}) {
    const core::ChartData& chart = *f.sheet(name).chart;
    EXPECT_FALSE(chart.categoryAxis.major);
    EXPECT_FALSE(chart.categoryAxis.minor);
    EXPECT_TRUE(chart.valueAxis.major);
    EXPECT_FALSE(chart.valueAxis.minor);
  }
}

TEST(SeparateCharts, EndStateHandsTheWorkbookOverAndResetsTheWindow) {
  RunFixture f;
  f.add("x", "0", "3", "1");
  f.add("x*2", "0", "3", "1");
  f.runExpecting();
  automation::EngineApplication& app = f.engine.last();
  EXPECT_TRUE(app.visible());
  // Switched off for the run, put back at its end.
  const testing_support::SettingsRecorder& told = *f.engine.settings.back();
  EXPECT_EQ(told.screenUpdating, (std::vector<bool>{false, true}));
  EXPECT_EQ(told.displayAlerts, (std::vector<bool>{false, true}));
  EXPECT_EQ(told.enableEvents, (std::vector<bool>{false, true}));
  EXPECT_EQ(told.enableCancelKey, (std::vector<int>{excel::xlDisabled, excel::xlInterrupt}));
  EXPECT_EQ(told.cursors, (std::vector<int>{excel::xlWait, excel::xlDefault}));
  EXPECT_EQ(app.writtenFiles().size(), 1u);
  EXPECT_EQ(f.window.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(f.window.progress, (std::vector<int>{50, 100, 0, 0}));  // 0 while the workbook is written
  EXPECT_EQ(f.window.text, QStringLiteral("Progress Bar"));
  EXPECT_EQ(f.dialogs.messageTexts().back(), QStringLiteral("Done."));
  EXPECT_FALSE(f.run.GraphingBusy());
}

// ---- All on one chart ----------------------------------------------------------------------

TEST(OneChart, SeriesPointAtTheirOwnColumnsAndExtrasAreDeleted) {
  RunFixture f;
  f.window.separate = false;
  f.add("x", "0", "10", "1");      // 11 values
  f.add("x*x", "0", "20", "1");    // 21 values
  f.add("x + 1", "0", "4", "1");   // 5 values
  f.runExpecting();
  EXPECT_EQ(f.sheetNames(), (std::vector<std::string>{"Chart", "Data"}));
  const core::ChartData& chart = *f.sheet("Chart").chart;
  EXPECT_FALSE(chart.hasTitle);
  const auto series = liveSeries(chart);
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(refText(*series[0]->xValues), "Data!R1C1:R21C1");  // the block A1:F21
  EXPECT_EQ(refText(*series[0]->values), "Data!R1C2:R21C2");
  EXPECT_EQ(refText(*series[1]->xValues), "Data!R1C3:R21C3");
  EXPECT_EQ(refText(*series[1]->values), "Data!R1C4:R21C4");
  EXPECT_EQ(refText(*series[2]->xValues), "Data!R1C5:R5C5");
  EXPECT_EQ(refText(*series[2]->values), "Data!R1C6:R5C6");
  EXPECT_EQ(series[0]->name, "F(x) = x");
  EXPECT_EQ(series[1]->name, "F(x) = x*x");
  EXPECT_EQ(series[2]->name, "F(x) = x + 1");
  EXPECT_FALSE(chart.categoryAxis.major);
  EXPECT_TRUE(chart.valueAxis.major);
  // Progress runs up twice: once for the data, once for the series.
  EXPECT_EQ(f.window.progress, (std::vector<int>{33, 67, 100, 33, 67, 100, 0, 0}));
}

TEST(OneChart, ASingleEquationKeepsItsOneSeries) {
  RunFixture f;
  f.window.separate = false;
  f.add("x*x", "0", "10", "1");
  f.runExpecting();
  const auto series = liveSeries(*f.sheet("Chart").chart);
  ASSERT_EQ(series.size(), 1u);
  EXPECT_EQ(refText(*series[0]->values), "Data!R1C2:R11C2");
  EXPECT_EQ(series[0]->name, "F(x) = x*x");
}

// ---- Bad rows and failures -----------------------------------------------------------------

TEST(RunFailures, BadNumbersAndZeroStepsEndOnlyTheirEquationWithOneReport) {
  RunFixture f;
  f.add("x", "abc", "5", "1");
  f.add("x", "0", "5", "0");
  f.add("x", "0", "5", "inf");
  f.add("x*x", "0", "2", "1");
  f.runExpecting(3);
  const auto reports = f.reports();
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_TRUE(reports[0].startsWith(QStringLiteral("The start value \"abc\"")));
  for (const QString& report : reports) EXPECT_TRUE(report.contains(QStringLiteral("at line 148\r\r")));
  EXPECT_EQ(f.data().rowCount(1), 0);
  EXPECT_EQ(f.formula(3, 8), "=G3*G3");  // the fourth equation is written in its own columns
}

TEST(RunFailures, ZeroStepInOneChartModeIsReportedAtItsOwnLine) {
  RunFixture f;
  f.window.separate = false;
  f.add("x", "0", "5", "0");
  f.add("x", "0", "5", "1");
  f.runExpecting(1);
  ASSERT_EQ(f.reports().size(), 1u);
  EXPECT_TRUE(f.reports()[0].contains(QStringLiteral("at line 220\r\r")));
}

TEST(RunFailures, ARefusedFormulaIsReportedOnceAndTheRunGoesOn) {
  RunFixture f;
  f.add("2x", "0", "100", "1");  // =2A1 is no formula
  f.add("x+1", "0", "1", "1");
  f.runExpecting(1);
  const auto reports = f.reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].contains(QStringLiteral("at line 154\r\r")));
  EXPECT_EQ(f.formula(2, 4), "=C2+1");
  EXPECT_EQ(f.sheetNames(), (std::vector<std::string>{"Chart1", "Chart2", "Data"}));
}

TEST(RunFailures, WritesPastTheLastRowAreReportedOnce) {
  RunFixture f;
  f.add("x", "1", "1048580", "1");
  f.runExpecting(1);
  ASSERT_EQ(f.reports().size(), 1u);
  EXPECT_TRUE(f.reports()[0].contains(QStringLiteral("at line 152\r\r")));
  EXPECT_EQ(f.data().rowCount(1), 1048576);
}

TEST(RunFailures, EngineThatCannotStartIsReportedOnceAndNothingClaimsSuccess) {
  RunFixture f;
  f.engine.failCreate = true;
  f.add("x", "0", "1", "1");
  f.dialogs.answerMessage();
  f.start();
  ASSERT_EQ(f.dialogs.messageTexts().size(), 1u);
  EXPECT_TRUE(f.dialogs.messageTexts()[0].contains(QStringLiteral("at line 110\r\r")));
  EXPECT_EQ(f.window.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(f.window.text, QStringLiteral("Progress Bar"));
  EXPECT_FALSE(f.run.lastRunSucceeded());
}

TEST(RunFailures, BeyondColumnIVTheMessageComesOnceAndThoseEquationsAreLeftOut) {
  RunFixture f;
  f.window.separate = false;
  for (int i = 0; i < 130; ++i) f.add("x", "0", "1", "1");
  f.dialogs.answerMessage();  // Number is higher than number of columns.
  f.runExpecting();
  const auto texts = f.dialogs.messageTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), QStringLiteral("Number is higher than number of columns.")), 1);
  EXPECT_EQ(f.data().rowCount(255), 2);
  EXPECT_EQ(f.data().rowCount(257), 0);
  EXPECT_EQ(liveSeries(*f.sheet("Chart").chart).size(), 128u);
}

// ---- Rows changing while the run yields ----------------------------------------------------

TEST(RunAndTheList, RowsRemovedOrAddedMidRunNeverBreakTheRun) {
  for (bool separate : {true, false}) {
    RunFixture f;
    f.window.separate = separate;
    for (int i = 0; i < 5; ++i) f.add("x*x", "0", "3", "1");
    f.pump.hook = [&](int yield) {
      if (yield == 8) {
        f.window.list.clear();
        f.add("x+1", "0", "1", "1");
      }
    };
    f.runExpecting();
    EXPECT_FALSE(f.run.GraphingBusy());
    EXPECT_EQ(f.dialogs.messageTexts().back(), QStringLiteral("Done.")) << separate;
  }
}

}  // namespace
