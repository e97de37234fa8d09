// The whole Start Graphing run, headless, through the same run the window uses: 128 equations
// x 2,001 values in each mode, the hand-over writing the file only; against a bare libxlsxwriter
// writer of the same cells and charts in the same bench run. Then one equation of 1,000,000
// values. Each phase runs in a child process of its own, so each peak memory is its own.
//
//   bench_run_bench            all phases, with the table of figures
//   bench_run_bench PHASE      one phase: bare | separate | one | million
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "bench_support.h"
#include "app/list_rows.h"
#include "equations/equation_list.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "automation/engine_factory.h"

namespace {

constexpr int kEquations = 128;
constexpr int kPoints = 2001;  // x = 0, 1, ..., 2000

class QuietDialogs : public platform::Dialogs {
 public:
  platform::Answer messageBox(const QString& text, platform::Buttons, platform::Icon, const QString&) override {
    if (text != QLatin1String(graphing::kDone)) ++failures;
    return platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }
  int failures = 0;
};

// Measures the longest stretch the run goes without yielding to the event loop.
class StopwatchPump : public platform::EventPump {
 public:
  void yield() override {
    const auto now = bench::Clock::now();
    longest = std::max(longest, std::chrono::duration<double>(now - last).count());
    last = now;
  }
  bench::Clock::time_point last = bench::Clock::now();
  double longest = 0;
};

class BenchWindow : public graphing::GraphingWindow {
 public:
  const graphing::EquationRows& rows() const override { return listRows; }
  bool separateChartsSelected() const override { return separate; }
  bool oneChartSelected() const override { return !separate; }
  void setBusyPointer(bool) override {}
  void setProgressValue(int) override {}
  void setProgressText(const QString&) override {}
  equations::EquationListModel list;
  app::ListRows listRows{list};
  bool separate = true;
};

int runPhase(const char* phase, const QString& folder) {
  const auto start = bench::Clock::now();
  if (std::strcmp(phase, "bare") == 0) {
    bench::bareLibxlsxwriter((folder + "/bare.xlsx").toStdString(), kEquations, kPoints,
                             [](int row) { return row - 1.0; }, [](int e) { return "Chart" + std::to_string(e + 1); });
    std::printf("%.3f %.1f 0\n", bench::secondsSince(start), bench::peakResidentKb() / 1024.0);
    return 0;
  }
  BenchWindow window;
  window.separate = std::strcmp(phase, "one") != 0;
  const bool million = std::strcmp(phase, "million") == 0;
  for (int e = 0; e < (million ? 1 : kEquations); ++e)
    equations::AddEquationRow(window.list, QStringLiteral("sin(x)+x"), QStringLiteral("0"),
                              million ? QStringLiteral("999999") : QString::number(kPoints - 1), QStringLiteral("1"));
  automation::EngineOptions options;
  options.saveTo = folder + "/" + phase + ".xlsx";
  options.workingFolder = folder;
  options.instancesFolder = folder + "/instances";
  options.viewerCommand = QStringLiteral("none");
  QuietDialogs dialogs;
  StopwatchPump pump;
  options.whileWaiting = [&pump] { pump.yield(); };  // as the program wires it
  automation::EngineFactory factory(options);
  graphing::GraphingRun run(factory, dialogs, pump, window);
  pump.last = bench::Clock::now();
  run.StartGraphing(QStringLiteral("in run_bench "));
  pump.yield();  // the stretch after the last yield counts too
  std::printf("%.3f %.1f %.1f\n", bench::secondsSince(start), bench::peakResidentKb() / 1024.0, pump.longest * 1000);
  return dialogs.failures == 0 && run.lastRunSucceeded() ? 0 : 1;
}

struct Figures {
  double seconds = 0, peakMb = 0, longestMs = 0;
  bool ok = false;
};

Figures child(const QString& program, const char* phase, const QString& folder) {
  QProcess process;
  process.start(program, {phase, folder});
  process.waitForFinished(-1);
  Figures f;
  f.ok = process.exitCode() == 0 &&
         std::sscanf(process.readAllStandardOutput().constData(), "%lf %lf %lf", &f.seconds, &f.peakMb, &f.longestMs) == 3;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  if (argc == 3) return runPhase(argv[1], QString::fromLocal8Bit(argv[2]));

  QTemporaryDir folder;
  const QString self = QCoreApplication::applicationFilePath();
  std::printf("whole graphing run, headless: %d equations x %d values, hand-over writes the file only\n",
              kEquations, kPoints);
  Figures bare{1e9}, separate{1e9}, one{1e9};
  for (int round = 0; round < 3; ++round) {  // best of three, interleaved so load hits all alike
    auto keepBest = [](Figures& best, const Figures& f) { if (f.ok && f.seconds < best.seconds) best = f; };
    keepBest(bare, child(self, "bare", folder.path()));
    keepBest(separate, child(self, "separate", folder.path()));
    keepBest(one, child(self, "one", folder.path()));
  }
  std::printf("  bare libxlsxwriter, same cells and charts: %6.3f s  peak %6.1f MB\n", bare.seconds, bare.peakMb);
  for (const auto& [name, f] : {std::pair<const char*, Figures>{"separate charts", separate}, {"all on one chart", one}})
    std::printf("  run, %-16s                  %6.3f s  peak %6.1f MB  ratio %.2f (<= 1.5)  longest without "
                "yielding %.1f ms (< 50)%s\n",
                name, f.seconds, f.peakMb, f.seconds / bare.seconds, f.longestMs, f.ok ? "" : "  FAILED");
  const Figures million = child(self, "million", folder.path());
  std::printf("  one equation of 1,000,000 values:         %6.3f s  peak %6.1f MB  longest without yielding %.1f ms  %s\n",
              million.seconds, million.peakMb, million.longestMs, million.ok ? "completed" : "FAILED");
  return separate.ok && one.ok && million.ok ? 0 : 1;
}
