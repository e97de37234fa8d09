// The database functions. Source: Microsoft's documentation of DSUM, DAVERAGE, DCOUNT,
// DCOUNTA, DGET, DMAX, DMIN, DPRODUCT, DSTDEV, DSTDEVP, DVAR and DVARP, with its orchard
// example: conditions in one criteria row must all hold, any row may; a plain text selects
// the texts that begin with it; DGET wants exactly one record.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A4:E10 the orchard; criteria blocks above it and to the right.
Book orchard() {
  return Book{{"A1", "Tree"},   {"B1", "Height"}, {"C1", "Age"},  {"D1", "Yield"}, {"E1", "Profit"}, {"F1", "Height"},
              {"A2", "=Apple"}, {"B2", ">10"},    {"F2", "<16"},
              {"A3", "=Pear"},
              {"A4", "Tree"},   {"B4", "Height"}, {"C4", "Age"},  {"D4", "Yield"}, {"E4", "Profit"},
              {"A5", "Apple"},  {"B5", 18.0},     {"C5", 20.0},   {"D5", 14.0},    {"E5", 105.0},
              {"A6", "Pear"},   {"B6", 12.0},     {"C6", 12.0},   {"D6", 10.0},    {"E6", 96.0},
              {"A7", "Cherry"}, {"B7", 13.0},     {"C7", 14.0},   {"D7", 9.0},     {"E7", 105.0},
              {"A8", "Apple"},  {"B8", 14.0},     {"C8", "n/a"},  {"D8", 10.0},    {"E8", 75.0},
              {"A9", "Pear"},   {"B9", 9.0},      {"C9", 8.0},    {"D9", 8.0},     {"E9", 76.8},
              {"A10", "Apple"}, {"B10", 8.0},     {"C10", 9.0},   {"D10", 6.0},    {"E10", 45.0},
              {"H1", "Tree"},   {"H2", "Ap"},     {"I1", "Tree"}, {"I2", "=Ap"},
              {"J1", "Colour"}, {"J2", "red"},    {"K1", "Tree"}, {"L1", "Height"}, {"L3", ">15"}};
}

class Database : public ::testing::TestWithParam<Case> {};

TEST_P(Database, GivesExcelsResult) {
  Book cells = orchard();
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Orchard, Database, ::testing::Values(
    Case{"DCOUNT(A4:E10,\"Height\",A1:F2)", 1.0},      // apple, taller than 10, shorter than 16
    Case{"DCOUNT(A4:E10,\"Age\",A1:F2)", 0.0},         // its age is text
    Case{"DCOUNTA(A4:E10,\"Profit\",A1:F2)", 1.0},
    Case{"DMAX(A4:E10,\"Profit\",A1:A3)", 105.0},       // apple or pear
    Case{"DMIN(A4:E10,\"Profit\",A1:B2)", 75.0},
    Case{"DSUM(A4:E10,\"Profit\",A1:A2)", 225.0},
    Case{"DSUM(A4:E10,\"Profit\",A1:F2)", 75.0},
    Case{"DPRODUCT(A4:E10,\"Yield\",A1:F2)", 10.0},
    Case{"DAVERAGE(A4:E10,\"Yield\",A1:B2)", 12.0},
    Case{"DAVERAGE(A4:E10,3,A4:E10)", 12.6},           // the database as its own criteria
    Case{"DSTDEV(A4:E10,\"Yield\",A1:A3)", 2.96647939483827},
    Case{"DSTDEVP(A4:E10,\"Yield\",A1:A3)", 2.6532998322843198},
    Case{"DVAR(A4:E10,\"Yield\",A1:A3)", 8.8},
    Case{"DVARP(A4:E10,\"Yield\",A1:A3)", 7.04},
    Case{"DGET(A4:E10,\"Yield\",A1:A3)", ErrorCode::Num},   // several records
    Case{"DGET(A4:E10,\"Yield\",A1:F2)", 10.0},
    Case{"DGET(A4:E10,\"Yield\",K1:K2)", ErrorCode::Num},   // an empty condition selects every record
    Case{"DGET(A4:E10,\"Yield\",L1:L2)", ErrorCode::Num},
    Case{"DGET(A4:E10,\"Yield\",L2:L3)", ErrorCode::Value},  // heading ">15" names no field
    Case{"DGET(A4:E10,\"Age\",L1:L3)", ErrorCode::Num}))  ;

INSTANTIATE_TEST_SUITE_P(Arguments, Database, ::testing::Values(
    Case{"DCOUNT(A4:E10,\"Tree\",H1:H2)", 0.0},        // "Ap" selects the apples; their names are no numbers
    Case{"DCOUNTA(A4:E10,\"Tree\",H1:H2)", 3.0},
    Case{"DCOUNTA(A4:E10,\"Tree\",I1:I2)", 0.0},       // "=Ap" wants "Ap" itself
    Case{"DCOUNT(A4:E10,\"Age\",H1:H2)", 2.0},         // the apple whose age is text is not counted
    Case{"DCOUNTA(A4:E10,\"Age\",H1:H2)", 3.0},
    Case{"DCOUNT(A4:E10,,H1:H2)", 3.0},                // no field: the records themselves
    Case{"DCOUNT(A4:E10,\"tree\",H1:H2)", 0.0},        // headings without regard to case
    Case{"DSUM(A4:E10,5.9,H1:H2)", 225.0},             // a column number, truncated
    Case{"DSUM(A4:E10,0,H1:H2)", ErrorCode::Value},
    Case{"DSUM(A4:E10,6,H1:H2)", ErrorCode::Value},
    Case{"DSUM(A4:E10,\"Width\",H1:H2)", ErrorCode::Value},
    Case{"DSUM(A4:E10,B4:C4,H1:H2)", ErrorCode::Value},
    Case{"DSUM(A4:E10,NA(),H1:H2)", ErrorCode::NA},
    Case{"DSUM(A4:E10,\"Profit\",J1:J2)", 0.0},        // a field the database lacks selects nothing
    Case{"DSUM(A4:E4,\"Profit\",H1:H2)", ErrorCode::Value},  // no records
    Case{"DSUM(A4:E10,\"Profit\",H1)", ErrorCode::Value},    // no condition row
    Case{"DAVERAGE(A4:E10,\"Profit\",J1:J2)", ErrorCode::Div0},
    Case{"DSTDEV(A4:E10,\"Profit\",I1:I2)", ErrorCode::Div0},
    Case{"DMAX(A4:E10,\"Profit\",I1:I2)", 0.0},
    Case{"DSUM(A4:E10,\"Profit\",K1:K3)", 502.8}));    // criteria rows past the data match all

}  // namespace
}  // namespace calc::testing
