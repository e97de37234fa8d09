#include <gtest/gtest.h>

#include "core/cell_address.h"

using core::CellBlock;

namespace {

struct A1Case {
  const char* name;
  const char* text;
  std::optional<CellBlock> expected;
};

class A1Blocks : public ::testing::TestWithParam<A1Case> {};

TEST_P(A1Blocks, ParseAsTheSpreadsheetDoes) {
  EXPECT_EQ(core::parseA1Block(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, A1Blocks,
    ::testing::Values(A1Case{"single", "A1", CellBlock{1, 1, 1, 1}},
                      A1Case{"block", "A1:B12", CellBlock{1, 1, 12, 2}},
                      A1Case{"graphingBlock", "A1:F21", CellBlock{1, 1, 21, 6}},
                      A1Case{"lowerCaseAndDollars", "$c$3:d$4", CellBlock{3, 3, 4, 4}},
                      A1Case{"cornersReordered", "B12:A1", CellBlock{1, 1, 12, 2}},
                      A1Case{"lastCell", "XFD1048576", CellBlock{1048576, 16384, 1048576, 16384}},
                      A1Case{"columnPastLast", "XFE1", std::nullopt},
                      A1Case{"rowPastLast", "A1048577", std::nullopt},
                      A1Case{"rowZero", "A0", std::nullopt},
                      A1Case{"noRow", "A", std::nullopt},
                      A1Case{"noColumn", "12", std::nullopt},
                      A1Case{"empty", "", std::nullopt},
                      A1Case{"trailingColon", "A1:", std::nullopt},
                      A1Case{"trailingText", "A1:B2x", std::nullopt},
                      A1Case{"space", "A1 :B2", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct R1C1Case {
  const char* name;
  const char* text;
  bool valid;
  std::string sheet;
  CellBlock block;
};

class R1C1References : public ::testing::TestWithParam<R1C1Case> {};

TEST_P(R1C1References, ParseSheetAndBlock) {
  const auto& c = GetParam();
  auto parsed = core::parseR1C1Reference(c.text);
  ASSERT_EQ(parsed.has_value(), c.valid) << c.text;
  if (!parsed) return;
  EXPECT_EQ(parsed->sheet, c.sheet);
  EXPECT_EQ(parsed->block, c.block);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, R1C1References,
    ::testing::Values(R1C1Case{"column", "=Data!R1C3:R21C3", true, "Data", {1, 3, 21, 3}},
                      R1C1Case{"withoutEquals", "Data!R1C1:R2001C1", true, "Data", {1, 1, 2001, 1}},
                      R1C1Case{"singleCell", "=Data!R5C2", true, "Data", {5, 2, 5, 2}},
                      R1C1Case{"quotedSheet", "='My ''x'' data'!R1C1:R2C1", true, "My 'x' data", {1, 1, 2, 1}},
                      R1C1Case{"lowerCase", "=Data!r1c3:r2c3", true, "Data", {1, 3, 2, 3}},
                      R1C1Case{"rowZero", "=Data!R0C3:R21C3", false, {}, {}},
                      R1C1Case{"columnZero", "=Data!R1C0", false, {}, {}},
                      R1C1Case{"rowPastLast", "=Data!R1048577C1", false, {}, {}},
                      R1C1Case{"relative", "=Data!R[1]C1", false, {}, {}},
                      R1C1Case{"noSheet", "=R1C1:R2C1", false, {}, {}},
                      R1C1Case{"emptySheet", "=!R1C1", false, {}, {}},
                      R1C1Case{"a1Notation", "=Data!A1:A5", false, {}, {}},
                      R1C1Case{"unbalancedQuote", "='Data!R1C1", false, {}, {}},
                      R1C1Case{"garbage", "=Data!R1C1junk", false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellAddress, FormatsR1C1ReferencesThatParseBack) {
  EXPECT_EQ(core::formatR1C1Reference("Data", {1, 3, 21, 3}), "=Data!R1C3:R21C3");
  EXPECT_EQ(core::formatR1C1Reference("Data", {4, 2, 4, 2}), "=Data!R4C2");
  const std::string quoted = core::formatR1C1Reference("My 'x' data", {1, 1, 9, 1});
  EXPECT_EQ(quoted, "='My ''x'' data'!R1C1:R9C1");
  auto back = core::parseR1C1Reference(quoted);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->sheet, "My 'x' data");
}

TEST(CellAddress, NamesColumnsAndCells) {
  EXPECT_EQ(core::columnLetters(1), "A");
  EXPECT_EQ(core::columnLetters(26), "Z");
  EXPECT_EQ(core::columnLetters(27), "AA");
  EXPECT_EQ(core::columnLetters(702), "ZZ");
  EXPECT_EQ(core::columnLetters(703), "AAA");
  EXPECT_EQ(core::columnLetters(16384), "XFD");
  EXPECT_EQ(core::cellName(12, 2), "B12");
}

}  // namespace
