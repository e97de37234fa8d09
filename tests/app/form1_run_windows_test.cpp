// The window a run opens is in front and active when the run has ended, even though the boxes
// that end the run hand the focus back to the main window as they close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>

#include "graphing/graphing_run.h"
#include "support/form_fixture.h"

namespace {

TEST(RunWindows, TheWindowTheRunOpenedIsActiveAfterTheDoneBox) {
  QPointer<QWidget> shown;
  testing_support::FormFixture f([&](automation::EngineOptions& options) {
    options.viewerCommand.reset();
    options.showWorkbook = [&](std::shared_ptr<const core::WorkbookModel>, const QString&, std::shared_ptr<const void>) {
      shown = new QWidget;
      shown->setAttribute(Qt::WA_DeleteOnClose);
      shown->show();
      shown->activateWindow();
    };
  });
  f.form->Form_Load();
  f.form->show();
  f.form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.form.get()));
  equations::AddEquationRow(f.form->list(), "x", "0", "3", "1");
  // The box over the main window: as it closes, the main window has the focus again.
  f.dialogs.onShow = [&](const testing_support::ShownBox&) {
    EXPECT_TRUE(shown && QTest::qWaitForWindowActive(shown));
    f.form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(f.form.get()));
  };
  f.dialogs.answerMessage();  // Done.
  f.form->PushButton2_Click();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
  EXPECT_EQ(QApplication::activeWindow(), shown.data());
  delete shown;
}

TEST(RunWindows, ARunThatOpensNoWindowLeavesTheMainWindowActive) {
  testing_support::FormFixture f;  // the file only
  f.form->Form_Load();
  f.form->show();
  f.form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.form.get()));
  equations::AddEquationRow(f.form->list(), "x", "0", "3", "1");
  f.dialogs.answerMessage();  // Done.
  f.form->PushButton2_Click();
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), f.form.get());
}

}  // namespace
