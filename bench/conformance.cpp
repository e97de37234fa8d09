// Prints how many of the Excel-saved formula results the engine covers and matches, per
// category, and every disagreement.
// Usage: bench_conformance [FILE.json] [--category NAME] [--uncovered]
//   FILE.json    the cases (default: all-cases.json beside the calc tests)
//   --category   only disagreements (and uncovered cases) of that category, e.g. STATISTICAL
//   --uncovered  also list the cases not covered, with the function names the engine lacks
#include <cstdio>
#include <cstring>

#include "../tests/calc/conformance_suite.h"

int main(int argc, char** argv) {
  using namespace calc::testing;
  std::string path = casesPath("all-cases.json"), category;
  bool listUncovered = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--category") && i + 1 < argc) category = argv[++i];
    else if (!std::strcmp(argv[i], "--uncovered")) listUncovered = true;
    else path = argv[i];
  }
  const auto text = readFile(path);
  if (!text) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 2;
  }
  const ConformanceReport report = runConformance(*text);
  const auto wanted = [&](const Disagreement& d) { return category.empty() || categoryOf(d.workbook) == category; };
  for (const Disagreement& d : report.disagreements)
    if (wanted(d))
      std::printf("%s/%s!%s =%s\n    Excel %s, engine %s\n", d.workbook.c_str(), d.sheet.c_str(),
                  d.address.c_str(), d.formula.c_str(), d.expected.c_str(), d.actual.c_str());
  if (listUncovered)
    for (const Disagreement& d : report.uncovered)
      if (wanted(d))
        std::printf("UNCOVERED %s/%s!%s =%s\n    Excel %s; %s\n", d.workbook.c_str(), d.sheet.c_str(),
                    d.address.c_str(), d.formula.c_str(), d.expected.c_str(), d.actual.c_str());
  // "judged": the covered cases less those whose disagreement the list calls a spill or an
  // extraction fault; "judged agree%" is the share of those the engine agrees on.
  const auto judged = judgeableCounts(report, knownDisagreements());
  std::printf("%-22s %8s %8s %8s %9s %9s %8s %9s\n", "category", "cases", "covered", "agree", "covered%", "agree%",
              "judged", "judged%");
  for (const auto& [name, c] : report.byCategory) {
    const std::size_t j = judged.at(name).covered;
    std::printf("%-22s %8zu %8zu %8zu %8.2f%% %8.2f%% %8zu %8.2f%%\n", name.c_str(), c.total, c.covered, c.agreeing,
                c.total ? 100.0 * double(c.covered) / double(c.total) : 0.0,
                c.covered ? 100.0 * double(c.agreeing) / double(c.covered) : 0.0, j,
                j ? 100.0 * double(c.agreeing) / double(j) : 0.0);
  }
  std::printf("functions in the table: %zu\n", calc::functionNames().size());
  std::printf("cases %zu, covered %zu (%.2f%%), agreeing %zu (%.2f%% of covered)\n", report.total,
              report.covered, 100 * report.coverage(), report.agreeing, 100 * report.agreement());
  return 0;
}
