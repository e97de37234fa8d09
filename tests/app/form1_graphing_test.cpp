// Start Graphing from the window: the run borrows the window's rows, mode, pointer and progress bar.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QRadioButton>
#include <QTreeView>

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

}  // namespace
