// The rows tell their one hook of every change, before and after it, with the rows it touches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "equations/equation_list.h"
#include "platform/error_report.h"

namespace {

using equations::EquationListHook;
using Change = EquationListHook::Change;

// Records each call as "before Append 1..2 (rows 1)" / "after Append (rows 3)": the row count
// seen at each call shows the change happens between the two.
class RecordingHook : public EquationListHook {
 public:
  explicit RecordingHook(const equations::EquationListModel& list) : list_(list) {}
  void beforeChange(Change change, int first, int last) override {
    calls.push_back("before " + name(change) + " " + std::to_string(first) + ".." + std::to_string(last) + " (rows " +
                    std::to_string(list_.count()) + ")");
  }
  void afterChange(Change change) override {
    calls.push_back("after " + name(change) + " (rows " + std::to_string(list_.count()) + ")");
  }
  std::vector<std::string> calls;

 private:
  static std::string name(Change change) {
    return change == Change::Append ? "Append" : change == Change::Remove ? "Remove" : "Clear";
  }
  const equations::EquationListModel& list_;
};

TEST(EquationListHook, EveryChangeIsToldAroundItWithItsRows) {
  equations::EquationListModel list;
  RecordingHook hook(list);
  list.setHook(&hook);
  equations::AddEquationRow(list, "x", "0", "1", "1");
  list.appendRows({{"a", "0", "1", "1"}, {"b", "0", "1", "1"}});
  list.removeRow(2);
  list.clear();
  EXPECT_EQ(hook.calls, (std::vector<std::string>{
                            "before Append 0..0 (rows 0)", "after Append (rows 1)",  //
                            "before Append 1..2 (rows 1)", "after Append (rows 3)",  //
                            "before Remove 1..1 (rows 3)", "after Remove (rows 2)",  //
                            "before Clear 0..1 (rows 2)", "after Clear (rows 0)"}));
  EXPECT_EQ(list.count(), 0);
}

TEST(EquationListHook, ChangesThatChangeNothingAreNotTold) {
  equations::EquationListModel list;
  RecordingHook hook(list);
  list.setHook(&hook);
  list.clear();
  list.appendRows({});
  EXPECT_THROW(list.removeRow(1), platform::StepFailure);
  equations::AddEquationRow(list, "x", "0", "1", "1");
  EXPECT_THROW(list.removeRow(0), platform::StepFailure);
  EXPECT_THROW(list.removeRow(2), platform::StepFailure);
  EXPECT_EQ(hook.calls.size(), 2u);  // only the one append
  // Without a hook the rows change all the same.
  list.setHook(nullptr);
  list.removeRow(1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(hook.calls.size(), 2u);
}

}  // namespace
