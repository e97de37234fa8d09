#include "platform/numeric_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using platform::isNumeric;
using platform::readNumber;

struct NumberCase {
  const char* name;
  const char* text;
  std::optional<double> expected;
};

void checkTable(const std::vector<NumberCase>& table, const QLocale& locale) {
  for (const NumberCase& row : table) {
    SCOPED_TRACE(std::string(row.name) + ": \"" + row.text + "\" under " + locale.name().toStdString());
    const std::optional<double> read = readNumber(QString::fromUtf8(row.text), locale);
    ASSERT_EQ(read.has_value(), row.expected.has_value());
    if (row.expected) {
      EXPECT_DOUBLE_EQ(*read, *row.expected);
    }
  }
}

// Read the same in every locale: the C notation always counts.
const std::vector<NumberCase> kEveryLocale = {
    {"integer", "20", 20},
    {"zero", "0", 0},
    {"leading dot", ".01", 0.01},
    {"trailing dot", "5.", 5},
    {"plus sign", "+3", 3},
    {"minus sign", "-2.5", -2.5},
    {"minus leading dot", "-.5", -0.5},
    {"exponent", "1e3", 1000},
    {"upper exponent with sign", "1E-3", 0.001},
    {"exponent with plus", "2.5e+2", 250},
    {"surrounding spaces", "  7  ", 7},
    {"surrounding tabs", "\t7\t", 7},
    {"empty", "", std::nullopt},
    {"only spaces", "   ", std::nullopt},
    {"letters", "abc", std::nullopt},
    {"number then letters", "12abc", std::nullopt},
    {"inf", "inf", std::nullopt},
    {"Infinity", "Infinity", std::nullopt},
    {"minus inf", "-inf", std::nullopt},
    {"nan", "nan", std::nullopt},
    {"NaN", "NaN", std::nullopt},
    {"hex", "0x10", std::nullopt},
    {"hex like VB", "&H10", std::nullopt},
    {"lone dot", ".", std::nullopt},
    {"lone sign", "-", std::nullopt},
    {"exponent without digits", "1e", std::nullopt},
    {"exponent alone", "e5", std::nullopt},
    {"two signs", "+-1", std::nullopt},
    {"inner space", "1 000", std::nullopt},
    {"overflow", "1e999", std::nullopt},
    {"equation", "sin(x)", std::nullopt},
};

TEST(ReadNumber, ReadsCNotationInEveryLocale) {
  checkTable(kEveryLocale, QLocale::c());
  checkTable(kEveryLocale, QLocale(QLocale::German, QLocale::Germany));
  checkTable(kEveryLocale, QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST(ReadNumber, ReadsTheGermanDecimalComma) {
  checkTable({{"decimal comma", "0,5", 0.5},
              {"negative decimal comma", "-1,25", -1.25},
              {"grouping and comma", "1.000,5", 1000.5},
              {"comma with exponent", "2,5e2", 250},
              {"comma and spaces", " 0,5 ", 0.5},
              {"C notation wins over grouping", "1.500", 1.5},
              {"two commas", "1,2,3", std::nullopt}},
             QLocale(QLocale::German, QLocale::Germany));
}

TEST(ReadNumber, ReadsGroupingWhereTheLocaleDoes) {
  checkTable({{"decimal comma", "0,5", std::nullopt}, {"grouping", "1,000", 1000}},
             QLocale(QLocale::English, QLocale::UnitedStates));
  checkTable({{"decimal comma", "0,5", std::nullopt}}, QLocale::c());
}

TEST(ReadNumber, UsesTheDefaultLocaleWhenNoneIsGiven) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_TRUE(isNumeric(QStringLiteral("0,5")));
  EXPECT_EQ(readNumber(QStringLiteral("0,5")), 0.5);
  QLocale::setDefault(QLocale::c());
  EXPECT_FALSE(isNumeric(QStringLiteral("0,5")));
  EXPECT_TRUE(isNumeric(QStringLiteral(".01")));
  QLocale::setDefault(saved);
}

}  // namespace
