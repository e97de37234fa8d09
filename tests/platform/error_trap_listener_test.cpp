// A handler hears each failure of its trap, before the report is shown, and the trap goes on.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/error_report.h"
#include "support/scripted_dialogs.h"

namespace {

TEST(ErrorTrapListener, HearsEveryFailureBeforeItsBoxAndNothingElse) {
  testing_support::ScriptedDialogs dialogs;
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("PushButton2_Click"));
  std::vector<std::pair<int, QString>> heard;
  size_t boxesWhenHeard = 99;
  trap.setFailureListener([&](int line, const QString& description) {
    heard.emplace_back(line, description);
    boxesWhenHeard = dialogs.shown().size();
  });
  dialogs.answerMessage().answerMessage();
  trap.step(110, [] {});
  trap.step(120, [] { throw std::runtime_error("no instance"); });
  EXPECT_TRUE(trap.test(130, []() -> bool { throw platform::StepFailure("bad test"); }));
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], (std::pair{120, QStringLiteral("no instance")}));
  EXPECT_EQ(heard[1], (std::pair{130, QStringLiteral("bad test")}));
  EXPECT_EQ(boxesWhenHeard, 1u) << "the second failure was heard before its own box";
  EXPECT_EQ(trap.reported(), 2);
  EXPECT_TRUE(dialogs.messageTexts()[1].contains(QStringLiteral("at line 130\r\r")));
}

}  // namespace
