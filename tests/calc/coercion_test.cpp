// Text read as a number wherever a formula expects one: in arithmetic, in functions that take
// numbers, and in VALUE, whose dates without a year take the workbook clock's year.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class TextAsNumber : public ::testing::TestWithParam<Case> {};

TEST_P(TextAsNumber, ReadsAsExcelDoes) {
  Book cells{{"A1", "(5)"}, {"A2", "1,234"}, {"A3", "12:00"}, {"A4", "1/15/2024"}, {"A5", "abc"}};
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
    Case{"ROUND(\"2.567\",\"1\")", 2.6},
    Case{"\"1/15/2024\"=45306", false},               // comparison reads no text as a number
    Case{"SUM(\"1/15/2024\",1)", 45307.0},
    Case{"A4+1", 45307.0},
    Case{"A5+1", ErrorCode::Value},
    Case{"\" +5 \"+0", 5.0},
    Case{"\"5 %\"+0", 0.05},
    Case{"\"1,234.5%\"+0", 12.345},
    Case{"\"1,234,56\"+0", ErrorCode::Value},
    Case{"\"1.5,000\"+0", ErrorCode::Value},         // no separators after the point
    Case{"\"()\"+0", ErrorCode::Value},
    Case{"\"$\"+0", ErrorCode::Value},
    Case{"\"1e400\"+0", ErrorCode::Value}));

// Dates and times in the forms a user types them, in the en-US order month/day/year.
INSTANTIATE_TEST_SUITE_P(DateAndTimeText, TextAsNumber, ::testing::Values(
    Case{"\"1/1/29\"+0", 47119.0},                    // two-digit years 00-29 are 20xx
    Case{"\"1/1/30\"+0", 10959.0},                    // and 30-99 are 19xx
    Case{"\"12/31/9999\"+0", 2958465.0},
    Case{"\"1/1/10000\"+0", ErrorCode::Value},
    Case{"\"1/0/2024\"+0", ErrorCode::Value},
    Case{"\"4/31/2024\"+0", ErrorCode::Value},
    Case{"\"2/29/2024\"+0", 45351.0},
    Case{"\"2024/2/29\"+0", 45351.0},
    Case{"\"Sept 5, 2024\"+0", 45540.0},
    Case{"\"5 SEPTEMBER 2024\"+0", 45540.0},
    Case{"\"5-sep-24\"+0", 45540.0},
    Case{"\"September 2024\"+0", 45536.0},
    Case{"\"Foo 5, 2024\"+0", ErrorCode::Value},
    Case{"\"Jan Feb 2024\"+0", ErrorCode::Value},
    Case{"\"1 2 2024\"+0", ErrorCode::Value},         // spaces alone do not make a date
    Case{"\"1.2.2024\"+0", ErrorCode::Value},
    Case{"\"12:30 AM\"*24", 0.5},
    Case{"\"12:30 PM\"*24", 12.5},
    Case{"\"13:00 PM\"+0", ErrorCode::Value},
    Case{"\"0:00:01.5\"*86400", 1.5},
    Case{"\"1:30.5\"*86400", 90.5},                  // minutes and seconds
    Case{"\"9:05:60\"+0", ErrorCode::Value},
    Case{"\"10:\"+0", ErrorCode::Value},
    Case{"\":30\"+0", ErrorCode::Value},
    Case{"\"3a\"*24", 3.0},
    Case{"\"2024-01-15 6:00 PM\"+0", 45306.75},
    Case{"\"2024-01-15 6:00 XM\"+0", ErrorCode::Value},
    Case{"\" 12:00 \"*24", 12.0},
    Case{"\" 2024-01-15\"+0", ErrorCode::Value}));  // a year-first date is read only bare

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
