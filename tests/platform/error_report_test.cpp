#include <gtest/gtest.h>

#include "platform/error_report.h"
#include "platform_qt/qt_dialogs.h"
#include "support/scripted_dialogs.h"

using platform::ErrorTrap;
using testing_support::ScriptedDialogs;

namespace {

const QString kClearList = ErrorTrap::locationOf("PushButton3_Click");

TEST(ErrorReport, TextIsExactByteForByte) {
  const QString text = platform::errorReportText(kClearList, 100, QStringLiteral("Subscript out of range"));
  EXPECT_EQ(text.toStdString(),
            "Subscript out of range\r\nin Lumenark2021/08/31.Form1.PushButton3_Click at line 100\r\r"
            "Please email screenshot of this message to support@quorvane.com");
}

TEST(ErrorReport, BoxHasTitleIconAndOkOnly) {
  ScriptedDialogs dialogs;
  dialogs.answerMessage();
  platform::ReportError(dialogs, kClearList, 7, QStringLiteral("x"));
  ASSERT_EQ(dialogs.shown().size(), 1u);
  const auto& box = dialogs.shown()[0];
  EXPECT_EQ(box.title, QStringLiteral("Application Error"));
  EXPECT_EQ(box.icon, platform::Icon::Warning);
  EXPECT_EQ(box.buttons, platform::Buttons::Ok);
  // Plain digits right after "at line ": no sign, no padding.
  EXPECT_TRUE(box.text.contains(QStringLiteral("at line 7\r\r")));
}

TEST(ErrorTrap, TwoFailingStepsGiveTwoReportsInOrderAndTheRestRuns) {
  ScriptedDialogs dialogs;
  dialogs.answerMessage().answerMessage();
  ErrorTrap trap(dialogs, kClearList);
  std::vector<int> ran;
  trap.step(100, [&] { throw platform::StepFailure("first"); });
  trap.step(102, [&] { ran.push_back(102); });
  trap.step(104, [&] { throw std::runtime_error("second"); });
  trap.step(106, [&] { ran.push_back(106); });
  ASSERT_EQ(dialogs.messageTexts().size(), 2u);
  EXPECT_TRUE(dialogs.messageTexts()[0].startsWith(QStringLiteral("first\r\n")));
  EXPECT_TRUE(dialogs.messageTexts()[0].contains(QStringLiteral("at line 100")));
  EXPECT_TRUE(dialogs.messageTexts()[1].startsWith(QStringLiteral("second\r\n")));
  EXPECT_TRUE(dialogs.messageTexts()[1].contains(QStringLiteral("at line 104")));
  EXPECT_EQ(ran, (std::vector<int>{102, 106}));
}

TEST(ErrorTrap, FailedConditionCountsAsHeldAndFailedAdvanceLeavesTheLoop) {
  ScriptedDialogs dialogs;
  dialogs.answerMessage().answerMessage();
  ErrorTrap trap(dialogs, kClearList);
  EXPECT_TRUE(trap.test(106, []() -> bool { throw platform::StepFailure("no test"); }));
  EXPECT_FALSE(trap.test(106, [] { return false; }));
  int rounds = 0;
  for (int i = 1; i <= 10;) {
    ++rounds;
    if (!trap.advance(158, [&]() -> bool {
          if (i == 3) throw platform::StepFailure("advance");
          return ++i <= 10;
        }))
      break;
  }
  EXPECT_EQ(rounds, 3);
  ASSERT_EQ(dialogs.messageTexts().size(), 2u);
  EXPECT_TRUE(dialogs.messageTexts()[1].contains(QStringLiteral("at line 158")));
}

TEST(ErrorTrap, ForeignExceptionsStillGiveADescription) {
  ScriptedDialogs dialogs;
  dialogs.answerMessage();
  ErrorTrap trap(dialogs, kClearList);
  EXPECT_FALSE(trap.step(100, [] { throw 42; }));
  EXPECT_TRUE(dialogs.messageTexts()[0].startsWith(QStringLiteral("Unexpected failure\r\n")));
}

TEST(QtDialogsHelpers, FilterAndDisplayTexts) {
  EXPECT_EQ(platform::toQtFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|")),
            QStringLiteral("Text Files (*.txt);;All Files (*)"));
  EXPECT_EQ(platform::toDisplayText(QStringLiteral("a\rb\r\nc")), QStringLiteral("a\nb\nc"));
}

TEST(QtDialogsHelpers, SelectedPathsAreChosenWhenTheirNamesFitTheRoom) {
  using platform::FileOpenOutcome;
  EXPECT_EQ(platform::fileOpenResultFor({}, 100).outcome, FileOpenOutcome::Cancelled);
  const QStringList one{QStringLiteral("/data/a.txt")};  // 11 characters and a NUL
  EXPECT_EQ(platform::fileOpenResultFor(one, 12).paths, one);
  EXPECT_EQ(platform::fileOpenResultFor(one, 11).outcome, FileOpenOutcome::TooManyNames);
  // Several: "/data" NUL "a.txt" NUL "b.txt" NUL is 18 characters.
  const QStringList two{QStringLiteral("/data/a.txt"), QStringLiteral("/data/b.txt")};
  const platform::FileOpenResult fits = platform::fileOpenResultFor(two, 18);
  EXPECT_EQ(fits.outcome, FileOpenOutcome::Chosen);
  EXPECT_EQ(fits.paths, two);
  EXPECT_EQ(platform::fileOpenResultFor(two, 17).outcome, FileOpenOutcome::TooManyNames);
  EXPECT_EQ(platform::fileOpenResultFor(two, 0).outcome, FileOpenOutcome::Chosen);  // no limit
}

}  // namespace
