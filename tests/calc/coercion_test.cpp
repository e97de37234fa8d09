// Text read as a number wherever a formula expects one: in arithmetic, in functions that take
// numbers, and in VALUE, whose dates without a year take the workbook clock's year.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class TextAsNumber : public ::testing::TestWithParam<Case> {};

TEST_P(TextAsNumber, ReadsAsExcelDoes) {
  Book cells{{"A1", "(5)"}, {"A2", "1,234"}, {"A3", "12:00"}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Arithmetic, TextAsNumber, ::testing::Values(
    Case{"A1*2", -10.0},
    Case{"\"-$5.00\"+0", -5.0},
    Case{"\"$ 5\"+0", 5.0},
    Case{"\"5$\"+0", 5.0},
    Case{"A2+1", 1235.0},
    Case{"\"1,2\"+0", ErrorCode::Value},
    Case{"\",123\"+0", ErrorCode::Value},
    Case{"\"50%\"*2", 1.0},
    Case{"\"(50%)\"+0", -0.5},
    Case{"\"--5\"+0", ErrorCode::Value},
    Case{"\"-$-5\"+0", ErrorCode::Value},
    Case{"A3*24", 12.0},
    Case{"\"2024-01-15\"+0", 45306.0},
    Case{"\"2024-01-15 12:00\"+0", 45306.5},
    Case{"\"1/15/2024\"-\"1/1/2024\"", 14.0},
    Case{"-\"6 PM\"", -0.75},
    Case{"\"1e-5\"*1", 1e-5},
    Case{"\"e5\"+0", ErrorCode::Value},
    Case{"\"1.2.3\"+0", ErrorCode::Value},
    Case{"\"\"+0", ErrorCode::Value},
    Case{"SUM(\"(5)\",A1)", -5.0},                  // typed arguments read, cells in ranges skipped
    Case{"ROUND(\"2.567\",\"1\")", 2.6}));

// VALUE reads a date without its year in the year of the workbook's clock.
TEST(TextAsNumber, DateWithoutYearTakesTheClocksYear) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  model.setClock([] { return 47655.5; });  // 2030-06-21, noon
  const auto sheet = model.at(1);
  model.setText(*sheet, 1, 1, "=VALUE(\"1/2\")");
  model.setText(*sheet, 2, 1, "=DATEVALUE(\"2-Jan\")");
  model.setText(*sheet, 3, 1, "=VALUE(\"Jan 2\")");
  model.setText(*sheet, 4, 1, "=VALUE(\"Jan 45\")");   // no such day: the year 1945
  const double january2 = 47485;  // 2030-01-02
  EXPECT_TRUE(sameValue(january2, model.value(*sheet, 1, 1)));
  EXPECT_TRUE(sameValue(january2, model.value(*sheet, 2, 1)));
  EXPECT_TRUE(sameValue(january2, model.value(*sheet, 3, 1)));
  EXPECT_TRUE(sameValue(16438.0, model.value(*sheet, 4, 1)));
}

}  // namespace
}  // namespace calc::testing
