// One cell written over and over, as a macro or a long session does: a 1,000-character text,
// then a number, 200,000 times. Against the same cell given a text and then a text again the
// same number of times, which never needs a second text. Each phase runs in a child process of
// its own, so each peak memory is its own; the phases alternate and the medians are compared.
//
//   bench_text_overwrite_bench        all phases, with the figures
//   bench_text_overwrite_bench PHASE  one phase: text-number | text-text
#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/workbook_model.h"

namespace {

constexpr int kWrites = 200000;
constexpr int kRounds = 5;

int runPhase(const char* phase) {
  const bool thenNumber = std::strcmp(phase, "text-number") == 0;
  const std::string text(1000, 'w');
  const std::string other(1000, 'v');
  const auto start = bench::Clock::now();
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  for (int i = 0; i < kWrites; ++i) {
    model.setText(sheet, 1, 1, text);
    if (thenNumber) model.setNumber(sheet, 1, 1, i);
    else model.setText(sheet, 1, 1, other);
  }
  std::printf("%.4f %.1f\n", bench::secondsSince(start), bench::peakResidentKb() / 1024.0);
  return 0;
}

struct Figures {
  double seconds = 0, peakMb = 0;
  bool ok = false;
};

Figures child(const QString& program, const char* phase) {
  QProcess process;
  process.start(program, {phase});
  process.waitForFinished(-1);
  Figures f;
  f.ok = process.exitCode() == 0 &&
         std::sscanf(process.readAllStandardOutput().constData(), "%lf %lf", &f.seconds, &f.peakMb) == 2;
  return f;
}

Figures median(std::vector<Figures> runs) {
  std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) { return a.seconds < b.seconds; });
  Figures m = runs[runs.size() / 2];
  m.ok = std::all_of(runs.begin(), runs.end(), [](const Figures& f) { return f.ok; });
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  if (argc == 2) return runPhase(argv[1]);
  const QString self = QCoreApplication::applicationFilePath();
  std::vector<Figures> baseline, overwrite;
  for (int round = 0; round < kRounds; ++round) {
    baseline.push_back(child(self, "text-text"));
    overwrite.push_back(child(self, "text-number"));
  }
  const Figures b = median(baseline), o = median(overwrite);
  std::printf("one cell written %d times, medians of %d alternating runs:\n", kWrites, kRounds);
  std::printf("  %-36s %7.4f s  peak %6.1f MB\n", "a 1,000-character text, then a text", b.seconds, b.peakMb);
  std::printf("  %-36s %7.4f s  peak %6.1f MB  time ratio %.2f  peak ratio %.2f (<= 1.50)%s\n",
              "a 1,000-character text, then a number", o.seconds, o.peakMb, o.seconds / b.seconds, o.peakMb / b.peakMb,
              b.ok && o.ok ? "" : "  FAILED");
  return b.ok && o.ok ? 0 : 1;
}
