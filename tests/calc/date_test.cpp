// Dates and times. Source: Microsoft's documentation of DATE, TIME, YEAR, MONTH, DAY, HOUR,
// MINUTE, SECOND, WEEKDAY, WEEKNUM, ISOWEEKNUM, EDATE, EOMONTH, DAYS, DATEDIF, NETWORKDAYS,
// NETWORKDAYS.INTL, WORKDAY and WORKDAY.INTL (values from their examples where they give
// one), and the 1900 date system with its 29 February 1900 (serial 60). Serials below are
// days since 1899-12-30 for dates after February 1900.
#include <string>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

// Holidays of the documented examples, a week of January 2024, and values a list of dates
// must refuse.
Book dates() {
  return Book{{"A1", 41235.0}, {"A2", 41247.0}, {"A3", 41295.0},  // 2012-11-22, 2012-12-04, 2013-01-21; A4 empty
              {"B1", 39778.0}, {"B2", 39786.0}, {"B3", 39834.0},  // 2008-11-26, 2008-12-04, 2009-01-21
              {"C1", "x"}, {"C2", ErrorCode::NA}, {"C3", true}, {"C4", -5.0},
              {"C5", 45297.0}, {"C6", 45300.0}, {"C7", 45300.0},  // Saturday 2024-01-06, Tuesday 2024-01-09 twice
              {"D1", "0000011"}, {"D2", 7.0}, {"E1", 45294.75}};    // Wednesday 2024-01-03 18:00
}

class Dates : public ::testing::TestWithParam<Case> {};

TEST_P(Dates, GiveExcelsResult) {
  Book book = dates();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(LeapDayOf1900, Dates, ::testing::Values(
    Case{"DATE(1900,2,28)", 59.0},
    Case{"DATE(1900,2,29)", 60.0},
    Case{"DATE(1900,3,0)", 60.0},  // the day before 1 March is the fictitious leap day
    Case{"DATE(1900,3,1)", 61.0},
    Case{"DATE(1900,1,60)", 60.0},
    Case{"DAY(60)", 29.0},
    Case{"MONTH(60)", 2.0},
    Case{"DAY(61)", 1.0},
    Case{"MONTH(61)", 3.0},
    Case{"DAY(59)", 28.0},
    Case{"EOMONTH(40,0)", 60.0},
    Case{"EDATE(DATE(1900,1,31),1)", 60.0},
    Case{"DAYS(61,59)", 2.0},
    Case{"DATEDIF(59,61,\"D\")", 2.0},
    Case{"WEEKDAY(1)", 1.0},   // 1 January 1900 is a Sunday to the 1900 system
    Case{"WEEKDAY(61)", 5.0},  // and 1 March 1900 a Thursday, as it was
    Case{"WEEKDAY(0)", 7.0}));

INSTANTIATE_TEST_SUITE_P(DateLimits, Dates, ::testing::Values(
    Case{"DATE(1900,1,0)", 0.0},
    Case{"YEAR(0)", 1900.0},
    Case{"MONTH(0)", 1.0},
    Case{"DAY(0)", 0.0},
    Case{"DATE(1900,1,-1)", ErrorCode::Num},
    Case{"DATE(1900,0,1)", ErrorCode::Num},  // the months leave 1900
    Case{"DATE(9999,12,31)", 2958465.0},
    Case{"DATE(9999,13,-1)", ErrorCode::Num},
    Case{"DATE(10000,1,1)", ErrorCode::Num},
    Case{"DATE(-1,1,1)", ErrorCode::Num},
    Case{"DATE(99,1,1)", 36161.0},     // years below 1900 count from 1900
    Case{"DATE(2008,-3,2)", 39327.0},  // 2 September 2007
    Case{"YEAR(2958465.9)", 9999.0},
    Case{"YEAR(2958466)", ErrorCode::Num},
    Case{"DAY(-0.5)", ErrorCode::Num},
    Case{"YEAR(E1)", 2024.0},  // the time of day is dropped
    Case{"YEAR(TRUE)", 1900.0},
    Case{"MONTH(A4)", 1.0},    // an empty cell is serial 0
    Case{"DAY(C1)", ErrorCode::Value},
    Case{"DAY(C2)", ErrorCode::NA}));

INSTANTIATE_TEST_SUITE_P(TimesOfDay, Dates, ::testing::Values(
    Case{"TIME(24,2,3)", 0.0014236111111110006},  // the whole day taken off after division
    Case{"TIME(32767,32767,32767)", 0.4257754629629744},
    Case{"TIME(32768,0,0)", ErrorCode::Num},
    Case{"TIME(12,-2,10)", 0.49872685185185184},
    Case{"TIME(0,0,-1)", ErrorCode::Num},
    Case{"TIME(23,59,60)", 0.0},
    Case{"HOUR(E1)", 18.0},
    Case{"MINUTE(E1)", 0.0},
    Case{"HOUR(0.999994)", 23.0},   // 23:59:59.48 rounds down
    Case{"SECOND(0.999994)", 59.0},
    Case{"HOUR(0.999995)", 0.0},    // 23:59:59.57 rounds to the next midnight
    Case{"SECOND(TIME(1,2,3)+0.4/86400)", 3.0},
    Case{"SECOND(TIME(1,2,3)+0.6/86400)", 4.0},
    Case{"MINUTE(2958465.5)", 0.0},
    Case{"HOUR(-0.25)", ErrorCode::Num},
    Case{"HOUR(2958466)", ErrorCode::Num},
    Case{"MINUTE(\"x\")", ErrorCode::Value}));

// 3 January 2024 is a Wednesday.
INSTANTIATE_TEST_SUITE_P(Weekdays, Dates, ::testing::Values(
    Case{"WEEKDAY(45294)", 4.0},
    Case{"WEEKDAY(45294,2)", 3.0},
    Case{"WEEKDAY(45294,3)", 2.0},
    Case{"WEEKDAY(45294,11)", 3.0},
    Case{"WEEKDAY(45294,12)", 2.0},
    Case{"WEEKDAY(45294,13)", 1.0},
    Case{"WEEKDAY(45294,14)", 7.0},
    Case{"WEEKDAY(45294,15)", 6.0},
    Case{"WEEKDAY(45294,16)", 5.0},
    Case{"WEEKDAY(45294,17)", 4.0},
    Case{"WEEKDAY(45294,2.9)", 3.0},  // the type is truncated
    Case{"WEEKDAY(45294,0)", ErrorCode::Num},
    Case{"WEEKDAY(45294,4)", ErrorCode::Num},
    Case{"WEEKDAY(45294,10)", ErrorCode::Num},
    Case{"WEEKDAY(45294,18)", ErrorCode::Num},
    Case{"WEEKDAY(-1)", ErrorCode::Num},
    Case{"WEEKDAY(E1)", 4.0}));

// 1 January 2024 is a Monday; 7 January a Sunday.
INSTANTIATE_TEST_SUITE_P(WeekNumbers, Dates, ::testing::Values(
    Case{"WEEKNUM(45298)", 2.0},
    Case{"WEEKNUM(45298,2)", 1.0},
    Case{"WEEKNUM(45298,11)", 1.0},
    Case{"WEEKNUM(45298,12)", 2.0},
    Case{"WEEKNUM(45298,17)", 2.0},
    Case{"WEEKNUM(45292,1)", 1.0},
    Case{"WEEKNUM(45293,12)", 2.0},  // Tuesday 2 January opens week 2 of a Tuesday week
    Case{"WEEKNUM(45292,12)", 1.0},
    Case{"WEEKNUM(DATE(2024,12,31))", 53.0},
    Case{"WEEKNUM(DATE(2022,12,31),2)", 53.0},
    Case{"WEEKNUM(DATE(2022,12,31),1)", 53.0},
    Case{"WEEKNUM(0)", 0.0},  // 1900-01-00 comes before week 1
    Case{"WEEKNUM(45298,21)", 1.0},
    Case{"WEEKNUM(45298,3)", ErrorCode::Num},
    Case{"WEEKNUM(45298,20)", ErrorCode::Num},
    Case{"WEEKNUM(TRUE)", ErrorCode::Value},  // an Analysis ToolPak function refuses booleans
    Case{"ISOWEEKNUM(DATE(2012,3,9))", 10.0},
    Case{"ISOWEEKNUM(DATE(2021,1,1))", 53.0},  // a Friday: the last week of 2020
    Case{"ISOWEEKNUM(DATE(2026,12,31))", 53.0},
    Case{"ISOWEEKNUM(DATE(2024,12,30))", 1.0},  // a Monday: the first week of 2025
    Case{"ISOWEEKNUM(DATE(2024,12,29))", 52.0},
    Case{"ISOWEEKNUM(1)", 52.0},  // its Thursday falls in 1899
    Case{"ISOWEEKNUM(-1)", ErrorCode::Num}));

INSTANTIATE_TEST_SUITE_P(MonthsAhead, Dates, ::testing::Values(
    Case{"EDATE(DATE(2011,1,15),1)", 40589.0},
    Case{"EDATE(DATE(2024,1,31),1)", 45351.0},  // 29 February in a leap year
    Case{"EDATE(DATE(2023,1,31),1)", 44985.0},
    Case{"EDATE(DATE(2024,1,31),1.9)", 45351.0},
    Case{"EDATE(DATE(2024,3,31),-1.9)", 45351.0},
    Case{"EDATE(0,0)", 0.0},
    Case{"EDATE(DATE(9999,12,1),1)", ErrorCode::Num},
    Case{"EDATE(DATE(1900,1,1),-1)", ErrorCode::Num},
    Case{"EDATE(45000,1E300)", ErrorCode::Num},
    Case{"EDATE(-1,0)", ErrorCode::Num},
    Case{"EDATE(TRUE,1)", ErrorCode::Value},
    Case{"EDATE(45000,)", ErrorCode::NA},
    Case{"EDATE(45000,A4)", 45000.0},  // an empty cell is 0 months
    Case{"EOMONTH(DATE(2011,1,1),1)", 40602.0},
    Case{"EOMONTH(DATE(2011,1,1),-3)", 40482.0},
    Case{"EOMONTH(DATE(2024,1,15),-1)", 45291.0},
    Case{"EOMONTH(DATE(9999,12,1),0)", 2958465.0},
    Case{"EOMONTH(DATE(9999,12,1),1)", ErrorCode::Num},
    Case{"EOMONTH(E1,0)", 45322.0}));

INSTANTIATE_TEST_SUITE_P(DayCounts, Dates, ::testing::Values(
    Case{"DAYS(DATE(2021,3,15),DATE(2021,2,1))", 42.0},
    Case{"DAYS(DATE(2024,3,1),DATE(2024,2,1))", 29.0},
    Case{"DAYS(10.9,1.1)", 9.0},  // whole days of each
    Case{"DAYS(1,10)", -9.0},
    Case{"DAYS(-1,1)", ErrorCode::Num},
    Case{"DAYS(2958466,1)", ErrorCode::Num},
    Case{"DAYS(\"x\",1)", ErrorCode::Value},
    Case{"DAYS(TRUE,FALSE)", 1.0},
    Case{"DAYS(C2,1)", ErrorCode::NA}));

INSTANTIATE_TEST_SUITE_P(DateDifferences, Dates, ::testing::Values(
    Case{"DATEDIF(DATE(2001,1,1),DATE(2003,1,1),\"Y\")", 2.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"D\")", 440.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"YD\")", 75.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"MD\")", 14.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"M\")", 14.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"YM\")", 2.0},
    Case{"DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"ym\")", 2.0},  // units in any case
    Case{"DATEDIF(DATE(2024,1,31),DATE(2024,2,29),\"M\")", 0.0},  // the 31st is never reached
    Case{"DATEDIF(DATE(2012,2,29),DATE(2013,2,28),\"Y\")", 0.0},
    Case{"DATEDIF(DATE(2012,2,29),DATE(2013,3,1),\"Y\")", 1.0},
    Case{"DATEDIF(DATE(2015,1,31),DATE(2015,3,1),\"MD\")", -2.0},  // February borrowed, as Excel does
    Case{"DATEDIF(DATE(2023,12,31),DATE(2024,1,30),\"MD\")", 30.0},
    Case{"DATEDIF(DATE(1988,6,22),DATE(2012,5,11),\"YD\")", 323.0},  // counted in the start's years
    Case{"DATEDIF(DATE(2023,3,1),DATE(2024,2,29),\"YD\")", 365.0},
    Case{"DATEDIF(DATE(2024,5,5),DATE(2024,5,5),\"YD\")", 0.0},
    Case{"DATEDIF(1.9,2.1,\"D\")", 1.0},
    Case{"DATEDIF(DATE(2024,1,10),DATE(2024,1,9),\"D\")", ErrorCode::Num},
    Case{"DATEDIF(1,2,\"W\")", ErrorCode::Num},
    Case{"DATEDIF(1,2,\"\")", ErrorCode::Num},
    Case{"DATEDIF(-1,2,\"D\")", ErrorCode::Num},
    Case{"DATEDIF(\"x\",2,\"D\")", ErrorCode::Value},
    Case{"DATEDIF(-1,C2,\"D\")", ErrorCode::NA},  // an error argument before a bad date
    Case{"DATEDIF(1,2,C2)", ErrorCode::NA}));

// Working days of the documented examples (October 2012 to March 2013; 151 days from
// 1 October 2008; January 2006) and their boundaries.
INSTANTIATE_TEST_SUITE_P(WorkingDays, Dates, ::testing::Values(
    Case{"NETWORKDAYS(DATE(2012,10,1),DATE(2013,3,1))", 110.0},
    Case{"NETWORKDAYS(DATE(2012,10,1),DATE(2013,3,1),A1)", 109.0},
    Case{"NETWORKDAYS(DATE(2012,10,1),DATE(2013,3,1),A1:A4)", 107.0},  // the empty cell is skipped
    Case{"NETWORKDAYS(DATE(2013,3,1),DATE(2012,10,1),A1:A3)", -107.0},
    Case{"NETWORKDAYS(DATE(2012,10,1),DATE(2013,3,1),{41235,41235,41247})", 108.0},  // each once
    Case{"NETWORKDAYS(45292,45298,C5)", 5.0},       // a Saturday holiday costs nothing
    Case{"NETWORKDAYS(45292,45306,C5:C7)", 10.0},   // nor does a repeated one
    Case{"NETWORKDAYS(45297,45297)", 0.0},
    Case{"NETWORKDAYS(45296.9,45299.1)", 2.0},
    Case{"NETWORKDAYS(45292,45298,C1)", ErrorCode::Value},
    Case{"NETWORKDAYS(45292,45298,C2:C3)", ErrorCode::NA},
    Case{"NETWORKDAYS(45292,45298,C3)", ErrorCode::Value},
    Case{"NETWORKDAYS(45292,45298,C4)", ErrorCode::Num},
    Case{"NETWORKDAYS(TRUE,45298)", ErrorCode::Value},
    Case{"NETWORKDAYS(-1,45298)", ErrorCode::Num},
    Case{"NETWORKDAYS(1,2958465)", 2113190.0},
    Case{"WORKDAY(DATE(2008,10,1),151)", 39933.0},
    Case{"WORKDAY(DATE(2008,10,1),151,B1:B3)", 39938.0},
    Case{"WORKDAY(45296,1)", 45299.0},   // Friday to Monday
    Case{"WORKDAY(45297,1)", 45299.0},   // Saturday to Monday
    Case{"WORKDAY(45297,-1)", 45296.0},  // Saturday back to Friday
    Case{"WORKDAY(45297,0)", 45297.0},   // no step: the start as it is
    Case{"WORKDAY(45296,1.9)", 45299.0},
    Case{"WORKDAY(45292,1,{45293,45294,45295})", 45296.0},  // holidays in a row
    Case{"WORKDAY(45303,-4,C5:C7)", 45296.0},
    Case{"WORKDAY(45299,-1,45296)", 45295.0},
    Case{"WORKDAY(2958465,1)", ErrorCode::Num},
    Case{"WORKDAY(10,-20)", ErrorCode::Num},
    Case{"WORKDAY(45292,1E10)", ErrorCode::Num},
    Case{"WORKDAY(45292,1,C1)", ErrorCode::Value},
    Case{"WORKDAY(45292,)", ErrorCode::NA},
    Case{"WORKDAY(TRUE,1)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(ChosenWeekends, Dates, ::testing::Values(
    Case{"NETWORKDAYS.INTL(DATE(2006,1,1),DATE(2006,1,31))", 22.0},
    Case{"NETWORKDAYS.INTL(DATE(2006,2,28),DATE(2006,1,31))", -21.0},
    Case{"NETWORKDAYS.INTL(DATE(2006,1,1),DATE(2006,2,1),7,{38719,38733})", 22.0},
    Case{"NETWORKDAYS.INTL(DATE(2006,1,1),DATE(2006,2,1),\"0010001\",{38719,38733})", 20.0},
    Case{"NETWORKDAYS.INTL(45292,45292,1)", 1.0},  // a Monday
    Case{"NETWORKDAYS.INTL(45292,45292,2)", 0.0},  // Sunday and Monday off
    Case{"NETWORKDAYS.INTL(45292,45292,3)", 0.0},  // Monday and Tuesday off
    Case{"NETWORKDAYS.INTL(45292,45292,4)", 1.0},
    Case{"NETWORKDAYS.INTL(45292,45292,12)", 0.0},  // Monday only
    Case{"NETWORKDAYS.INTL(45292,45292,11)", 1.0},
    Case{"NETWORKDAYS.INTL(45292,45292,\"1000000\")", 0.0},
    Case{"NETWORKDAYS.INTL(45292,45298,17)", 6.0},
    Case{"NETWORKDAYS.INTL(45292,45298,D1)", 5.0},
    Case{"NETWORKDAYS.INTL(45292,45298,D2)", 5.0},
    Case{"NETWORKDAYS.INTL(45292,45298,)", 5.0},
    Case{"NETWORKDAYS.INTL(45292,45298,A4)", 5.0},  // an empty cell: the usual weekend
    Case{"NETWORKDAYS.INTL(45292,45298,\"0000000\")", 7.0},
    Case{"NETWORKDAYS.INTL(45292,45298,\"1111111\")", 0.0},
    Case{"NETWORKDAYS.INTL(45292,45298,0)", ErrorCode::Num},
    Case{"NETWORKDAYS.INTL(45292,45298,8)", ErrorCode::Num},
    Case{"NETWORKDAYS.INTL(45292,45298,18)", ErrorCode::Num},
    Case{"NETWORKDAYS.INTL(45292,45298,\"000001\")", ErrorCode::Value},
    Case{"NETWORKDAYS.INTL(45292,45298,\"0000021\")", ErrorCode::Value},
    Case{"NETWORKDAYS.INTL(45292,45298,TRUE)", ErrorCode::Value},
    Case{"NETWORKDAYS.INTL(45292,45298,C2)", ErrorCode::NA},
    Case{"WORKDAY.INTL(DATE(2012,1,1),30,0)", ErrorCode::Num},
    Case{"WORKDAY.INTL(DATE(2012,1,1),90,11)", 41013.0},
    Case{"WORKDAY.INTL(DATE(2012,1,1),30,17)", 40944.0},
    Case{"WORKDAY.INTL(45296,1,\"0000110\")", 45298.0},  // Friday and Saturday off
    Case{"WORKDAY.INTL(45296,1,\"1111111\")", ErrorCode::Value},
    Case{"WORKDAY.INTL(45296,1,,C6)", 45299.0}));

// Independent of the week arithmetic: counted one day at a time.
int workdaysCountedDayByDay(int first, int last, int weekend) {
  int count = 0;
  for (int day = first; day <= last; ++day) {
    const int weekday = (day + 6) % 7;  // 0 Sunday
    bool off = false;
    if (weekend <= 7) off = weekday == (weekend + 5) % 7 || weekday == (weekend + 6) % 7;
    else off = weekday == weekend - 11;
    count += off ? 0 : 1;
  }
  return count;
}

// Every weekend code over stretches that start on each weekday and end past whole weeks.
TEST(WorkingDays, CountedForEveryWeekendAsDayByDay) {
  Book book;
  for (int weekend : {1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17})
    for (int first = 45292; first < 45299; ++first)
      for (int length : {0, 1, 5, 6, 7, 8, 13, 20, 365}) {
        const std::string formula = "NETWORKDAYS.INTL(" + std::to_string(first) + "," +
                                    std::to_string(first + length) + "," + std::to_string(weekend) + ")";
        EXPECT_TRUE(sameValue(double(workdaysCountedDayByDay(first, first + length, weekend)), book.eval(formula)))
            << formula;
      }
}

// Stepping n working days and counting them again agree, holidays included, both ways.
TEST(WorkingDays, SteppedAndCountedAgree) {
  Book book{{"A1", 45293.0}, {"A2", 45294.0}, {"A3", 45310.0}, {"A4", 45400.0}, {"A5", 45270.0}};
  for (const char* weekend : {"1", "5", "13", "\"0101010\"", "\"0000000\""})
    for (int n : {1, 2, 4, 5, 6, 10, 57, 200}) {
      const std::string args = std::string(",") + weekend + ",A1:A5";
      const std::string ahead = "WORKDAY.INTL(45295," + std::to_string(n) + args + ")";
      EXPECT_TRUE(sameValue(double(n), book.eval("NETWORKDAYS.INTL(45296," + ahead + args + ")"))) << ahead;
      const std::string back = "WORKDAY.INTL(45295,-" + std::to_string(n) + args + ")";
      EXPECT_TRUE(sameValue(double(-n), book.eval("NETWORKDAYS.INTL(45294," + back + args + ")"))) << back;
    }
}

// A workbook whose clock the test sets, for TODAY and NOW.
class ClockedBook {
 public:
  ClockedBook() : model_(1, core::seededRandomSource(1)), sheet_(model_.at(1)) {}
  void setClock(double now) {
    model_.setClock([now] { return now; });
  }
  void setFormula(std::string_view formula) {
    std::string text(1, '=');
    text += formula;
    model_.setText(*sheet_, 1, 1, text);
  }
  Value value() const { return model_.value(*sheet_, 1, 1); }

 private:
  core::WorkbookModel model_;
  std::shared_ptr<core::SheetNode> sheet_;
};

TEST(Clock, TodayAndNowReadTheWorkbooksClock) {
  ClockedBook book;
  book.setClock(45294.75);
  for (const auto& [formula, expected] : {std::pair{"NOW()", 45294.75}, {"TODAY()", 45294.0},
                                          {"HOUR(NOW())", 18.0}, {"NOW()-TODAY()", 0.75}}) {
    book.setFormula(formula);
    EXPECT_TRUE(sameValue(expected, book.value())) << formula;
  }
}

TEST(Clock, AnotherTimeComputesAgain) {
  ClockedBook book;
  book.setClock(45294.75);
  book.setFormula("NOW()");
  EXPECT_TRUE(sameValue(45294.75, book.value()));
  book.setClock(45300.5);
  EXPECT_TRUE(sameValue(45300.5, book.value()));
}

TEST(Clock, AClockOutsideTheCalendarIsNoDate) {
  ClockedBook book;
  book.setClock(-1);
  book.setFormula("TODAY()");
  EXPECT_EQ(Value(ErrorCode::Num), book.value());
  book.setFormula("NOW()");
  EXPECT_EQ(Value(ErrorCode::Num), book.value());
}

}  // namespace
}  // namespace calc::testing
