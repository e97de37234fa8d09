// The progress bar while the finished workbook is written: it says so and fills as the file
// grows, and the window is served meanwhile.
#include <gtest/gtest.h>

#include <QProgressBar>

#include "graphing/graphing_run.h"
#include "support/form_fixture.h"

namespace {

struct Seen {
  double fraction;
  QString text;
  int value;
};

TEST(WritingProgress, TheBarFillsWithTheFileAndSaysItIsWritingIt) {
  std::vector<Seen> seen;
  int waits = 0;
  testing_support::FormFixture* fixture = nullptr;
  // As the program wires it: the engine's progress goes to the main window's bar, and the
  // window is served while the file is written on a thread of its own.
  testing_support::FormFixture f([&](automation::EngineOptions& options) {
    options.whileWaiting = [&] { ++waits; };
    options.writingProgress = [&](double fraction) {
      fixture->form->showWritingProgress(fraction);
      seen.push_back({fraction, fixture->form->ProgressBar1->text(), fixture->form->ProgressBar1->value()});
    };
  });
  fixture = &f;
  f.form->Form_Load();
  for (int i = 0; i < 40; ++i)
    equations::AddEquationRow(f.form->list(), QStringLiteral("sin(x)*%1").arg(i), QStringLiteral("0"),
                              QStringLiteral("2000"), QStringLiteral("0.5"));
  f.dialogs.answerMessage();  // Done.
  f.form->PushButton2_Click();

  ASSERT_FALSE(seen.empty());
  EXPECT_GT(waits, 0);
  EXPECT_LE(seen.size(), 201u);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].text, QString::fromLatin1(graphing::kWritingWorkbook)) << "at " << i;
    EXPECT_EQ(seen[i].value, std::lround(seen[i].fraction * 100)) << "at " << i;
    if (i > 0) {
      EXPECT_GT(seen[i].fraction, seen[i - 1].fraction) << "at " << i;
    }
  }
  EXPECT_EQ(seen.back().fraction, 1.0);
  EXPECT_EQ(seen.back().value, 100);
  // Then the run ends as always: an empty bar with its caption.
  EXPECT_EQ(f.form->ProgressBar1->value(), 0);
  EXPECT_EQ(f.form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
}

TEST(WritingProgress, FractionsOutsideTheRangeKeepTheBarWithinIt) {
  testing_support::FormFixture f;
  f.form->showWritingProgress(-0.5);
  EXPECT_EQ(f.form->ProgressBar1->value(), 0);
  f.form->showWritingProgress(0.424);
  EXPECT_EQ(f.form->ProgressBar1->value(), 42);
  f.form->showWritingProgress(7);
  EXPECT_EQ(f.form->ProgressBar1->value(), 100);
}

}  // namespace
