// Texts a formula builds are limited to what a cell holds: 32,767 characters, #VALUE! past it.
#include "calc_test_support.h"

namespace calc::testing {
namespace {

std::string repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(TextLimit, ConcatenationUpToTheLimitWorksOnePastItIsValueError) {
  FixedCells cells{{"A1", Value(std::string(32765, 'a'))}, {"A2", Value(std::string(32766, 'a'))}};
  const Value fits = eval("A1&\"bc\"", cells);
  ASSERT_TRUE(fits.isText());
  EXPECT_EQ(fits.text().size(), 32767u);
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("A2&\"bc\"", cells)));
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("\"bc\"&A2", cells)));   // the left side is the short one
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("A1&A1&A1", cells)));
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("(A1&A1)+1", cells))) << "the error flows on";
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("A1&1234", cells)));      // numbers as text count too
  EXPECT_TRUE(sameValue(ErrorCode::Div0, eval("1/0&A2&A2", cells))) << "an error on the left comes first";
}

TEST(TextLimit, CharactersAreCountedAsTheSpreadsheetCountsThemNotAsBytes) {
  // ä is two bytes but one character; an emoji beyond the BMP is two characters.
  FixedCells cells{{"A1", Value(repeat("\xC3\xA4", 20000))}, {"A2", Value(repeat("\xF0\x9F\x93\x88", 16383))}};
  const Value umlauts = eval("A1&A1&\"\"", cells);
  EXPECT_TRUE(sameValue(ErrorCode::Value, umlauts));  // 40,000 characters
  const Value half = eval("A1&\"x\"", cells);
  ASSERT_TRUE(half.isText());
  EXPECT_EQ(half.text().size(), 40001u);  // 20,001 characters: fits
  EXPECT_TRUE(eval("A2&\"x\"", cells).isText());                       // 32,766 units and one more
  EXPECT_TRUE(sameValue(ErrorCode::Value, eval("A2&\"xy\"", cells)));  // and two more are too many
}

}  // namespace
}  // namespace calc::testing
