// Numbers in the shortest text that reads back as the same double, under any locale; texts
// escaped for XML and for the spreadsheet's own _xHHHH_ escape; cell names.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <random>

#include "xlsx/xml_buffer.h"

namespace {

std::string numberText(double value) {
  xlsx::XmlBuffer x;
  x.number(value);
  return x.bytes();
}

std::uint64_t bitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

int significantDigits(const std::string& text) {
  int digits = 0;
  bool leading = true;
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++digits;
  }
  return digits;
}

TEST(XmlNumbers, ReadBackAsTheSameDoubleInAtMost17Digits) {
  std::vector<double> values = {0.1, 0.3, -2.9800000000000004, 1.0 / 3, 2.0 / 3, 1e-300, 5e-324, DBL_MAX, -DBL_MAX,
                                DBL_MIN, 1e21, 1e15 + 0.5, 123456789012345680.0, 0.0, -0.0, 1, -1, 100, 0.01 * 7};
  std::mt19937_64 random(11);
  for (int i = 0; i < 2000; ++i) {
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  for (double value : values) {
    const std::string text = numberText(value);
    EXPECT_EQ(bitsOf(std::strtod(text.c_str(), nullptr)), bitsOf(value)) << text;
    EXPECT_LE(significantDigits(text), 17) << text;
  }
  EXPECT_EQ(numberText(0.1), "0.1");
  EXPECT_EQ(numberText(-2.9800000000000004), "-2.9800000000000004");
  EXPECT_EQ(numberText(100), "100");
}

// Whole numbers take a shorter way to their text: it must be the text to_chars gives them,
// plain or scientific (1e+05), at every length, sign and run of trailing zeros.
TEST(XmlNumbers, WholeNumbersAreWrittenAsToCharsWritesThem) {
  std::vector<double> values;
  for (int i = -2000; i <= 200000; ++i) values.push_back(i);
  double power = 1;
  for (int exponent = 0; exponent <= 17; ++exponent, power *= 10)
    for (double lead : {1.0, 2.0, 12.0, 120.0, 1234.0, 99999.0, 123456789.0})
      for (double sign : {1.0, -1.0})
        for (double nudge : {-1.0, 0.0, 1.0}) values.push_back(sign * (lead * power + nudge));
  values.push_back(-0.0);
  values.push_back(999999999999999.0);
  values.push_back(1e15);
  for (double value : values) {
    char expected[64];
    char* end = std::to_chars(expected, expected + sizeof expected, value).ptr;
    ASSERT_EQ(numberText(value), std::string(expected, end)) << value;
  }
}

TEST(XmlNumbers, AGermanLocaleChangesNothing) {
  locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (!german) GTEST_SKIP() << "no de_DE.UTF-8 locale (install 'locales')";
  const locale_t previous = uselocale(german);
  char printed[16];
  std::snprintf(printed, sizeof printed, "%.1f", 0.5);
  const std::string text = numberText(-1234.5678);
  uselocale(previous);
  freelocale(german);
  EXPECT_STREQ(printed, "0,5") << "the locale must be in force for the check to mean something";
  EXPECT_EQ(text, "-1234.5678");
}

TEST(XmlText, EscapesMarkupAndCharactersXmlCannotHold) {
  xlsx::XmlBuffer plain;
  plain.text("a&b<c>\"d\x01_x0041_");
  EXPECT_EQ(plain.bytes(), "a&amp;b&lt;c&gt;&quot;d\xEF\xBF\xBD_x0041_");
  xlsx::XmlBuffer cell;
  cell.cellText("tab\there\x01 _x0041_ _x12");
  EXPECT_EQ(cell.bytes(), "tab\there_x0001_ _x005F_x0041_ _x12") << "an escape-like text keeps its underscore";
}

TEST(XmlText, CellNamesFromAToXfd) {
  xlsx::XmlBuffer x;
  x.cellName(1, 1).raw(" ").cellName(9, 26).raw(" ").cellName(10, 27).raw(" ").cellName(2001, 256).raw(" ");
  x.cellName(1, 702).raw(" ").cellName(1, 703).raw(" ").cellName(1048576, 16384).raw(" ").absoluteCellName(21, 3);
  EXPECT_EQ(x.bytes(), "A1 Z9 AA10 IV2001 ZZ1 AAA1 XFD1048576 $C$21");
}

}  // namespace
