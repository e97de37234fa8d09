// The engine against 14,800 formula results saved by Excel.
#include <gtest/gtest.h>

#include <iostream>

#include "conformance_suite.h"

namespace calc::testing {
namespace {

constexpr double kMinCoverage = 0.90;
constexpr double kMinAgreement = 0.997;

TEST(Conformance, ExcelSavedResults) {
  const auto text = readFile(casesPath());
  if (!text) GTEST_SKIP() << "no cases at " << casesPath();
  const ConformanceReport report = runConformance(*text);
  std::cout << "shared formulas mended " << report.mendedFormulas << "\n";
  std::cout << "cases " << report.total << ", covered " << report.covered << " ("
            << 100 * report.coverage() << "%), agreeing " << report.agreeing << " ("
            << 100 * report.agreement() << "% of covered)\n";
  // The known disagreements (Excel's own trigonometric and gamma rounding, formulas that
  // return references or spill arrays, cells the extraction left out) are listed by
  // bench_conformance; here only the first few.
  for (std::size_t i = 0; i < report.disagreements.size() && i < 10; ++i) {
    const Disagreement& d = report.disagreements[i];
    std::cout << "  " << d.workbook << "/" << d.sheet << "!" << d.address << " =" << d.formula
              << ": Excel " << d.expected << ", engine " << d.actual << "\n";
  }
  EXPECT_GE(report.total, 14000u);
  EXPECT_GE(report.coverage(), kMinCoverage);
  EXPECT_GE(report.agreement(), kMinAgreement);
}

}  // namespace
}  // namespace calc::testing
