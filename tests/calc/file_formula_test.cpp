// Formula text for files: newer functions get their prefix, everything else stays as written,
// and the parser reads the prefixed text back as the same formula.
#include <gtest/gtest.h>

#include "calc/file_formula.h"
#include "calc/formula.h"

namespace {

using calc::fileFormula;

TEST(FileFormula, NewerFunctionsGetTheirPrefixInAnyCase) {
  EXPECT_EQ(fileFormula("COT(A1)+IFS(A1>3,1,TRUE,2)+FLOOR.MATH(A1/3)"),
            "_xlfn.COT(A1)+_xlfn.IFS(A1>3,1,TRUE,2)+_xlfn.FLOOR.MATH(A1/3)");
  EXPECT_EQ(fileFormula("cot(x1)*Sech(2)"), "_xlfn.cot(x1)*_xlfn.Sech(2)");
  EXPECT_EQ(fileFormula("IFNA(XOR(A1,B1),SWITCH(1,1,COMBINA(3,2)))"),
            "_xlfn.IFNA(_xlfn.XOR(A1,B1),_xlfn.SWITCH(1,1,_xlfn.COMBINA(3,2)))");
  EXPECT_EQ(fileFormula("SORT(A1:A3)"), "_xlfn._xlws.SORT(A1:A3)");
  EXPECT_EQ(fileFormula("COT (A1)"), "_xlfn.COT (A1)");
  EXPECT_EQ(fileFormula("COT\r\n\t(A1)"), "_xlfn.COT\r\n\t(A1)") << "any space the parser skips";
  EXPECT_EQ(fileFormula("'My Sheet'!A1+Data!B2*COT(1)"), "'My Sheet'!A1+Data!B2*_xlfn.COT(1)");
}

TEST(FileFormula, ShownFormulasLoseTheFilePrefixesOfNamesOnly) {
  EXPECT_EQ(calc::displayFormula("_xlfn._xlws.SORT(A1:A3)+_XLFN.cot(1)"), "SORT(A1:A3)+cot(1)");
  EXPECT_EQ(calc::displayFormula("_xlfn.LAMBDA(_xlpm.a,_xlop.b,_xlpm.a)(1)"), "LAMBDA(a,[b],a)(1)");
  EXPECT_EQ(calc::displayFormula("_xlfn.MAP(A1:A2,_xleta.ABS)"), "MAP(A1:A2,ABS)");
  for (const char* same : {"\"_xlfn.COT(1)\"&A1", "'_xlfn.x'!A1", "_xlfn.!A1+1", "SIN(A1)", "a_xlfn.b", "_xlfn."})
    EXPECT_EQ(calc::displayFormula(same), same);
}

TEST(FileFormula, OlderFunctionsNamesAndQuotedTextStayAsTheyAre) {
  for (const char* same : {"SIN(A1)+A1", "ISO.CEILING(A1)+CEILING(A1,1)", "A1*COT", "\"COT(1)\"&A1",
                           "'COT(x'!A1+1", "'it''s'!A1&\"say \"\"IFS(\"\"\"", "Sheet1!A1", "COTX(1)", "ACOT2(1)"})
    EXPECT_EQ(fileFormula(same), same);
}

TEST(FileFormula, PrefixedNamesKeepOnePrefix) {
  EXPECT_EQ(fileFormula("_xlfn.COT(A1)+COT(A1)"), "_xlfn.COT(A1)+_xlfn.COT(A1)");
  EXPECT_EQ(fileFormula("_xlfn._xlws.SORT(A1:A3)"), "_xlfn._xlws.SORT(A1:A3)");
}

TEST(FileFormula, TheParserReadsPrefixedTextAsThePlainFormula) {
  for (const char* text : {"_xlfn.COT(1)+_xlfn.FLOOR.MATH(2.5)", "_XLFN.ifs(TRUE,3)", "_xlfn._xlws.SORT(1)"}) {
    auto parsed = calc::parseFormula(text);
    ASSERT_TRUE(std::holds_alternative<calc::Formula>(parsed)) << text;
  }
  EXPECT_TRUE(calc::isFunctionName("_xlfn.COT"));
  const auto cot = calc::parseFormula("_xlfn.COT(1)");
  EXPECT_TRUE(calc::unknownFunctions(std::get<calc::Formula>(cot)).empty());
}

TEST(FileFormula, TheListKnowsEachNewerFunctionOfTheTable) {
  for (const char* name : {"ACOT", "ACOTH", "CEILING.MATH", "CEILING.PRECISE", "COMBINA", "COT", "COTH", "CSC", "CSCH",
                           "FLOOR.MATH", "FLOOR.PRECISE", "IFNA", "IFS", "SEC", "SECH", "SWITCH", "XOR", "MODE.SNGL",
                           "STDEV.P", "STDEV.S", "VAR.P", "VAR.S"}) {
    EXPECT_TRUE(calc::isFunctionName(name)) << name;
    EXPECT_EQ(calc::fileFunctionPrefix(name), "_xlfn.") << name;
  }
  for (const char* name : {"SIN", "IF", "IFERROR", "ISO.CEILING", "ERROR.TYPE", "MODE", "STDEV", "VARA", "TEXT", "AND"})
    EXPECT_EQ(calc::fileFunctionPrefix(name), "") << name;
}

}  // namespace
