// Prints how many of the Excel-saved formula results the engine covers and matches, and every
// disagreement. Usage: bench_conformance [cases.json]
#include <cstdio>

#include "../tests/calc/conformance_suite.h"

int main(int argc, char** argv) {
  using namespace calc::testing;
  const std::string path = argc > 1 ? argv[1] : casesPath();
  const auto text = readFile(path);
  if (!text) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 2;
  }
  const ConformanceReport report = runConformance(*text);
  for (const Disagreement& d : report.disagreements)
    std::printf("%s/%s!%s =%s\n    Excel %s, engine %s\n", d.workbook.c_str(), d.sheet.c_str(),
                d.address.c_str(), d.formula.c_str(), d.expected.c_str(), d.actual.c_str());
  std::printf("shared formulas mended %zu\n", report.mendedFormulas);
  std::printf("cases %zu, covered %zu (%.2f%%), agreeing %zu (%.2f%% of covered)\n", report.total,
              report.covered, 100 * report.coverage(), report.agreeing, 100 * report.agreement());
  return 0;
}
