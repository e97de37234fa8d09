// What a run tells its caller besides its boxes: each equation's fate, every failure with the
// report the user saw, and the file handed over.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "graphing/run_outcome.h"
#include "run_fixture.h"

using graphing::EquationStatus;
using graphing::RunEnd;
using testing_support::RunFixture;

namespace {

std::vector<EquationStatus> statuses(const graphing::RunOutcome& outcome) {
  std::vector<EquationStatus> out;
  for (const auto& equation : outcome.equations) out.push_back(equation.status);
  return out;
}

TEST(RunOutcome, ACleanRunNamesTheFileItWroteAndCountsEveryRow) {
  RunFixture f;
  f.add("x*x", "0", "3", "1");
  f.add("x + 1", "10", "0", "-5");
  f.runExpecting();
  const graphing::RunOutcome& outcome = f.run.outcome();
  EXPECT_EQ(outcome.end, RunEnd::Finished);
  EXPECT_EQ(statuses(outcome), (std::vector{EquationStatus::Plotted, EquationStatus::Plotted}));
  EXPECT_EQ(outcome.equations[0].rowsWritten, 4);
  EXPECT_EQ(outcome.equations[1].rowsWritten, 3);
  EXPECT_EQ(outcome.equations[1].equation, QStringLiteral("x + 1"));
  EXPECT_TRUE(outcome.failures.empty());
  ASSERT_TRUE(outcome.handOver.handedOver);
  ASSERT_EQ(f.engine.last().writtenFiles().size(), 1u);
  EXPECT_EQ(outcome.handOver.file, f.engine.last().writtenFiles()[0]);
  EXPECT_TRUE(QFileInfo(outcome.handOver.file).isFile());
  EXPECT_TRUE(outcome.clean());
}

TEST(RunOutcome, FailedRowsAreFailedWithTheReportsTheUserSaw) {
  RunFixture f;
  f.add("x", "abc", "5", "1");     // no number: no value written
  f.add("x*x", "0", "2", "1");
  f.add("2x", "0", "4", "1");      // a refused formula: its x values still written
  f.runExpecting(2);
  const graphing::RunOutcome& outcome = f.run.outcome();
  EXPECT_EQ(statuses(outcome), (std::vector{EquationStatus::Failed, EquationStatus::Plotted, EquationStatus::Failed}));
  EXPECT_EQ(outcome.equations[0].rowsWritten, 0);
  EXPECT_EQ(outcome.equations[2].rowsWritten, 5);
  EXPECT_EQ(outcome.equations[0].failures, 1);
  EXPECT_EQ(outcome.equations[1].failures, 0);
  ASSERT_EQ(outcome.failures.size(), 2u);
  EXPECT_EQ(outcome.failures[0].line, 148);
  EXPECT_EQ(outcome.failures[0].equation, 1);
  EXPECT_TRUE(outcome.failures[0].description.startsWith(QStringLiteral("The start value \"abc\"")));
  EXPECT_EQ(outcome.failures[1].line, 154);
  EXPECT_EQ(outcome.failures[1].equation, 3);
  // Each report is the very text of its box, line number included.
  const std::vector<QString> shown = f.dialogs.messageTexts();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(outcome.failures[0].report, shown[0]);
  EXPECT_EQ(outcome.failures[1].report, shown[1]);
  EXPECT_TRUE(shown[1].contains(QStringLiteral("at line 154\r\r")));
  EXPECT_TRUE(outcome.handOver.handedOver) << "a failed row does not keep the workbook from the user";
  EXPECT_FALSE(outcome.clean());
}

TEST(RunOutcome, EquationsBeyondTheLastColumnAreLeftOutNotFailed) {
  RunFixture f;
  f.window.separate = false;
  for (int i = 0; i < 129; ++i) f.add("x", "0", "1", "1");
  f.add("x*130", "0", "1", "1");
  f.dialogs.answerMessage();  // Number is higher than number of columns.
  f.runExpecting();
  const graphing::RunOutcome& outcome = f.run.outcome();
  ASSERT_EQ(outcome.equations.size(), 130u);
  EXPECT_EQ(outcome.count(EquationStatus::Plotted), 128);
  EXPECT_EQ(outcome.count(EquationStatus::LeftOut), 2);
  EXPECT_EQ(outcome.equations[127].status, EquationStatus::Plotted);
  EXPECT_EQ(outcome.equations[128].status, EquationStatus::LeftOut);
  EXPECT_EQ(outcome.equations[129].rowsWritten, 0);
  EXPECT_EQ(outcome.equations[129].equation, QStringLiteral("x*130"));
  EXPECT_TRUE(outcome.failures.empty());
  EXPECT_TRUE(outcome.handOver.handedOver);
  EXPECT_FALSE(outcome.clean()) << "left-out equations are no clean run";
}

TEST(RunOutcome, RowsRemovedMidRunAreNotReached) {
  RunFixture f;
  for (int i = 0; i < 4; ++i) f.add("x", "0", "3", "1");
  f.pump.hook = [&](int yield) {
    if (yield == 8) f.window.list.clear();  // while equation 2 is about to start
  };
  f.runExpecting();
  EXPECT_EQ(statuses(f.run.outcome()), (std::vector{EquationStatus::Plotted, EquationStatus::NotReached,
                                                    EquationStatus::NotReached, EquationStatus::NotReached}));
  EXPECT_TRUE(f.run.outcome().clean()) << "nothing failed: the rows were gone";
}

TEST(RunOutcome, AFailedHandOverSaysWhyAndNamesNoFile) {
  RunFixture f(1, [](automation::EngineOptions& options) {
    options.saveTo = options.workingFolder + QStringLiteral("/no/such/folder/book.xlsx");
  });
  f.add("x", "0", "3", "1");
  f.runExpecting(1);
  const graphing::RunOutcome& outcome = f.run.outcome();
  EXPECT_EQ(outcome.end, RunEnd::Finished);
  EXPECT_EQ(outcome.equations[0].status, EquationStatus::Plotted);
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].line, 290);
  EXPECT_EQ(outcome.failures[0].equation, 0);
  EXPECT_FALSE(outcome.handOver.handedOver);
  EXPECT_TRUE(outcome.handOver.file.isEmpty());
  EXPECT_EQ(outcome.handOver.whyNot, outcome.failures[0].description);
  EXPECT_FALSE(outcome.handOver.whyNot.isEmpty());
  EXPECT_FALSE(outcome.clean());
}

TEST(RunOutcome, RunsThatNeverHadAWorkbookSaySo) {
  {
    RunFixture f;
    f.engine.failCreate = true;
    f.add("x", "0", "1", "1");
    f.dialogs.answerMessage();
    f.start();
    const graphing::RunOutcome& outcome = f.run.outcome();
    EXPECT_EQ(outcome.end, RunEnd::NoWorkbook);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].line, 110);
    EXPECT_EQ(outcome.handOver.whyNot, outcome.failures[0].description);
    EXPECT_TRUE(outcome.equations.empty());
  }
  {
    RunFixture f;
    f.dialogs.answerMessage();  // No Equations added.
    f.start();
    EXPECT_EQ(f.run.outcome().end, RunEnd::NoEquations);
    EXPECT_TRUE(f.run.outcome().failures.empty());
    EXPECT_FALSE(f.run.outcome().clean());
  }
  {
    RunFixture f;
    f.engine.otherInstanceRunning = true;
    const auto other = f.engine.create();
    f.add("x", "0", "1", "1");
    f.dialogs.answerMessage(platform::Answer::No);
    f.start();
    EXPECT_EQ(f.run.outcome().end, RunEnd::Declined);
    EXPECT_FALSE(f.run.outcome().handOver.handedOver);
  }
}

TEST(RunOutcome, ACallerThatSaysDoneItselfGetsNoDoneBoxAndTheSameOutcome) {
  RunFixture f;
  f.add("x", "0", "2", "1");
  graphing::GraphingRun quiet(f.engine, f.dialogs, f.pump, f.window, graphing::DoneSaidBy::Caller);
  quiet.StartGraphing(QStringLiteral("in a batch "));
  EXPECT_TRUE(f.dialogs.shown().empty());
  EXPECT_TRUE(quiet.outcome().clean());
  EXPECT_EQ(quiet.outcome().equations[0].rowsWritten, 3);
  // A failure is still reported as it happens.
  f.add("x", "0", "one", "1");
  f.dialogs.answerMessage();
  quiet.StartGraphing(QStringLiteral("in a batch "));
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  EXPECT_EQ(f.dialogs.shown()[0].title, QStringLiteral("Application Error"));
  EXPECT_EQ(quiet.outcome().failures.size(), 1u);
  EXPECT_EQ(quiet.outcome().equations[1].status, EquationStatus::Failed);
}

}  // namespace
