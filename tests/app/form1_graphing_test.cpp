// Start Graphing from the window: the run borrows the window's rows, mode, pointer and progress bar.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QRadioButton>
#include <QTreeView>

#include "batch/plot_tool.h"
#include "support/form_fixture.h"

using testing_support::FormFixture;

namespace {

class WindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    f.form->Form_Load();
    for (const char* e : {"x", "x*x", "x+1"})
      equations::AddEquationRow(f.form->list(), QLatin1String(e), QStringLiteral("0"), QStringLiteral("5"),
                                QStringLiteral("1"));
  }
  FormFixture f;
};

TEST_F(WindowRun, ClicksAndRemovalsDuringTheRunAreRefusedAndTheWindowComesBackIdle) {
  f.form->ListView1->selectionModel()->select(f.form->list().index(0, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  int seen = 0;
  f.pump.hook = [&](int) {
    if (seen++ != 5) return;
    EXPECT_EQ(f.form->mousePointer(), app::MousePointer::Busy);
    EXPECT_TRUE(f.form->graphingBusy());
    f.form->PushButton2_Click();                        // ignored
    f.form->ListView1_KeyDown(Qt::Key_Delete, {});      // refused
    f.form->ListView1_DblClick();                       // refused
    f.form->PushButton3_Click();                        // Clear List refused
    f.form->PushButton_MouseMove();                     // the hourglass stays
    EXPECT_EQ(f.form->mousePointer(), app::MousePointer::Busy);
  };
  f.dialogs.answerMessage();  // Done.
  f.form->PushButton2_Click();
  EXPECT_GT(seen, 5);
  EXPECT_EQ(f.engine.created.size(), 2u);  // the start-up check's instance, then the one run
  EXPECT_EQ(f.form->list().count(), 3);
  EXPECT_EQ(f.form->mousePointer(), app::MousePointer::Default);
  EXPECT_FALSE(f.form->graphingBusy());
  EXPECT_EQ(f.form->ProgressBar1->value(), 0);
  EXPECT_EQ(f.form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
  EXPECT_EQ(f.dialogs.messageTexts(), std::vector<QString>{QStringLiteral("Done.")});
  EXPECT_EQ(f.engine.lastWorkbook()->sheets().size(), 4u);  // Chart1..Chart3, Data
}

TEST_F(WindowRun, TheSecondOptionPutsEveryEquationOnOneChart) {
  f.form->Option2->setChecked(true);
  f.dialogs.answerMessage();
  f.form->PushButton2_Click();
  const auto& sheets = f.engine.lastWorkbook()->sheets();
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0]->name, "Chart");
  EXPECT_EQ(sheets[1]->name, "Data");
}

TEST_F(WindowRun, RowsAddedDuringTheRunStayAndTheRunEnds) {
  f.pump.hook = [&](int yield) {
    if (yield == 3) f.form->PushButton6_Click();  // samples may be added at any time
  };
  f.dialogs.answerMessage();
  f.form->PushButton2_Click();
  EXPECT_EQ(f.form->list().count(), 5);
  EXPECT_FALSE(f.form->graphingBusy());
}

TEST_F(WindowRun, EquationsPastTheLastColumnAreCountedOnceAfterTheRun) {
  for (int i = 0; i < 297; ++i)
    equations::AddEquationRow(f.form->list(), QStringLiteral("x+%1").arg(i), QStringLiteral("0"), QStringLiteral("1"),
                              QStringLiteral("1"));
  for (int i = 0; i < 3; ++i) f.dialogs.answerMessage();
  f.form->PushButton2_Click();
  const std::vector<QString> texts = f.dialogs.messageTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], QStringLiteral("Number is higher than number of columns."));
  EXPECT_EQ(texts[1], QStringLiteral("Done."));
  EXPECT_EQ(texts[2], app::leftOutText(172, 300));
  EXPECT_TRUE(texts[2].startsWith(QStringLiteral("172 of the 300 equations were left out")));
}

TEST(ListView, ShowsABoundedPrefixOfAHugeFieldAndKeepsTheWholeText) {
  FormFixture f;
  f.form->Form_Load();
  const QString huge = QString(50'000'000, QLatin1Char('x'));
  equations::AddEquationRow(f.form->list(), huge, QStringLiteral("0"), huge, QStringLiteral("1"));
  const QModelIndex equation = f.form->list().index(0, 0);
  const QString shown = f.form->list().data(equation, Qt::DisplayRole).toString();
  EXPECT_EQ(shown.size(), equations::kShownCharacters + 1);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
  EXPECT_EQ(f.form->list().item(1, 0).size(), huge.size());
  EXPECT_EQ(f.form->list().data(f.form->list().index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("0"));
  // A pair of surrogates at the cut is never split.
  const QString emoji = QString(equations::kShownCharacters - 1, QLatin1Char('a')) + QString::fromUtf16(u"\U0001F600");
  EXPECT_EQ(equations::shownText(emoji), QString(equations::kShownCharacters - 1, QLatin1Char('a')) + QChar(0x2026));
}

}  // namespace
