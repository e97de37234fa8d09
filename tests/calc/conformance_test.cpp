// The engine against the 68,379 formula results Excel saved, in every category. A case that
// disagrees must be on the list of known disagreements (tests/calc/excel-cases/
// known-disagreements.txt), each with its reason, so that no change loses a case unnoticed.
#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "conformance_suite.h"

namespace calc::testing {
namespace {

constexpr double kMinCoverage = 0.99;
constexpr double kMinAgreement = 0.985;

TEST(Conformance, EveryExcelSavedResultAgreesOrIsAKnownDisagreement) {
  const auto text = readFile(casesPath());
  ASSERT_TRUE(text) << "no cases at " << casesPath();
  const ConformanceReport report = runConformance(*text);
  const std::map<std::string, std::string> known = knownDisagreements();
  ASSERT_FALSE(known.empty()) << "no list of known disagreements";
  std::size_t unexpected = 0;
  for (const Disagreement& d : report.disagreements) {
    if (known.contains(caseName(d))) continue;
    if (++unexpected <= 40)
      ADD_FAILURE() << caseName(d) << " =" << d.formula << ": Excel " << d.expected << ", engine " << d.actual;
  }
  EXPECT_EQ(unexpected, 0u) << "disagreements not on the list";
  for (const auto& [category, counts] : report.byCategory)
    std::cout << category << ": " << counts.total << " cases, " << counts.covered << " covered, " << counts.agreeing
              << " agreeing\n";
  EXPECT_GE(report.total, 68000u);
  EXPECT_GE(report.coverage(), kMinCoverage);
  EXPECT_GE(report.agreement(), kMinAgreement);
}

}  // namespace
}  // namespace calc::testing
