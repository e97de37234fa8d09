// The conformance suite's mending of shared formulas the case extraction shifted wrongly: a
// fault there would silently change what the suite measures.
#include <gtest/gtest.h>

#include "shared_formula_repair.h"

namespace calc::testing {
namespace {

TEST(ShiftReferences, MovesRelativePartsOnly) {
  EXPECT_EQ("SUM(B2:C3)+$A$1+$A2+B$1", shiftReferences("SUM(A1:B2)+$A$1+$A1+A$1", 1, 1, false));
  EXPECT_EQ("SUM(A1:B3)", shiftReferences("SUM(A1:B2)", 1, 0, true));
  EXPECT_EQ("LOG10(A2)&\"A1\"&'A1'!A2&Sheet2!B3", shiftReferences("LOG10(A1)&\"A1\"&'A1'!A1&Sheet2!B2", 1, 0, false));
  EXPECT_EQ("ATAN2(A2,1.5E+10)", shiftReferences("ATAN2(A1,1.5E+10)", 1, 0, false));
  EXPECT_EQ("A1", shiftReferences("A1", -1, 0, false));  // would leave the sheet: kept
}

TEST(RepairSharedFormulas, MendsOnlyTheFaultyShift) {
  std::string first = "LCM(G3:H3)", faulty = "LCM(G3:H4)", gapped = "LCM(G3:H6)", typed = "SUM(A4:A5)",
              across = "COUNT(D2:E3,E4)", acrossFirst = "COUNT(D2:D3,D4)";
  std::map<std::pair<std::int32_t, std::int32_t>, std::string*> formulas{
      {{3, 9}, &first}, {{4, 9}, &faulty}, {{6, 9}, &gapped}, {{7, 9}, &typed},
      {{23, 4}, &acrossFirst}, {{23, 5}, &across}};
  EXPECT_EQ(4u, repairSharedFormulaShifts(formulas) + 1);  // typed by hand: no shift of anything
  EXPECT_EQ("LCM(G3:H3)", first);
  EXPECT_EQ("LCM(G4:H4)", faulty);
  EXPECT_EQ("LCM(G6:H6)", gapped);
  EXPECT_EQ("SUM(A4:A5)", typed);
  EXPECT_EQ("COUNT(E2:E3,E4)", across);
}

}  // namespace
}  // namespace calc::testing
