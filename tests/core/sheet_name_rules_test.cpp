// Sheet names without Qt: lengths in UTF-16 units and case-insensitive comparison beyond ASCII.
#include <gtest/gtest.h>

#include "core/sheet_name_rules.h"

namespace {

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(SheetNameRules, LengthCountsUtf16Units) {
  EXPECT_FALSE(core::sheetNameProblem(repeat("\xC3\xA4", 31)));       // ä: one unit each
  EXPECT_TRUE(core::sheetNameProblem(repeat("\xC3\xA4", 32)));
  EXPECT_FALSE(core::sheetNameProblem(repeat("\xF0\x9F\x93\x88", 15) + "x"));  // 📈: two units each
  EXPECT_TRUE(core::sheetNameProblem(repeat("\xF0\x9F\x93\x88", 16)));
  // Stray bytes count one each, and are refused for what they are: no file could hold them.
  EXPECT_NE(core::sheetNameProblem(std::string(31, '\xFF'))->find("not UTF-8"), std::string::npos);
  EXPECT_NE(core::sheetNameProblem(std::string(32, '\xFF'))->find("longer than 31"), std::string::npos);
}

TEST(SheetNameRules, ComparisonIgnoresCaseBeyondAscii) {
  EXPECT_TRUE(core::sameSheetName("Data", "dATA"));
  EXPECT_TRUE(core::sameSheetName("\xC3\x84pfel", "\xC3\xA4PFEL"));            // Äpfel, äPFEL
  EXPECT_TRUE(core::sameSheetName("\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5",
                                  "\xD0\xB4\xD0\x90\xD0\x9D\xD0\x9D\xD0\xAB\xD0\x95"));  // Данные, дАННЫЕ
  EXPECT_TRUE(core::sameSheetName("\xCF\x83", "\xCF\x82"));                    // σ and final ς
  EXPECT_FALSE(core::sameSheetName("Data", "Data1"));
  EXPECT_FALSE(core::sameSheetName("\xC3\xA4", "a"));
  EXPECT_FALSE(core::sameSheetName("", "a"));
}

}  // namespace
