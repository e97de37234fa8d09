// The whole Start Graphing run, headless, through the same run the window uses: 128 equations
// x 2,001 values in each mode, the hand-over writing the file only; against a bare libxlsxwriter
// writer of the same cells and charts (constant_memory) in the same bench run. Then one
// equation of 1,000,000 values against libxlsxwriter writing that, and a full sheet: 8
// equations of 1,048,575 values each, with the time and peak memory per point. Each phase runs
// in a child process of its own, so each peak memory is its own; the phases alternate and the
// medians are compared, so that load from elsewhere hits both sides alike.
// Beside the time, each phase's processor time (all its threads, user and system): on a machine
// loaded from elsewhere the wall-clock ratio drifts with the load, the processor-time ratio much less.
//
//   bench_run_bench            all phases, with the table of figures
//   bench_run_bench full-sheet only the full sheet
//   bench_run_bench PHASE DIR  one phase: bare | separate | one | million | bare-million | full | bare-full
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "batch/list_rows.h"
#include "equations/equation_list.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "automation/engine_factory.h"

namespace {

constexpr int kEquations = 128;
constexpr int kPoints = 2001;  // x = 0, 1, ..., 2000
constexpr int kMillion = 1000000;
constexpr int kRounds = 5;
constexpr int kMillionRounds = 3;
constexpr int kFullEquations = 8;
constexpr int kFullPoints = 1048575;  // every row but the last: x = 0, 1, ..., 1048574
constexpr int kFullRounds = 1;        // a run takes tens of seconds

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

double fileMb(const QString& path) { return QFileInfo(path).size() / 1e6; }

// User and system time of every thread of this process so far.
double processorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int runPhase(const char* phase, const QString& folder) {
  const auto start = bench::Clock::now();
  const double processorAtStart = processorSeconds();
  const bool bareMillion = std::strcmp(phase, "bare-million") == 0;
  const bool bareFull = std::strcmp(phase, "bare-full") == 0;
  if (std::strcmp(phase, "bare") == 0 || bareMillion || bareFull) {
    const QString path = folder + "/" + phase + ".xlsx";
    const int equations = bareFull ? kFullEquations : bareMillion ? 1 : kEquations;
    const int points = bareFull ? kFullPoints : bareMillion ? kMillion : kPoints;
    bench::bareLibxlsxwriter(path.toStdString(), equations, points, [](int row) { return row - 1.0; },
                             [](int e) { return "Chart" + std::to_string(e + 1); });
    std::printf("%.3f %.1f 0 %.3f %.3f\n", bench::secondsSince(start), bench::peakResidentKb() / 1024.0, fileMb(path),
                processorSeconds() - processorAtStart);
    return 0;
  }
  BenchWindow window;
  window.separate = std::strcmp(phase, "one") != 0;
  const bool million = std::strcmp(phase, "million") == 0;
  const bool full = std::strcmp(phase, "full") == 0;
  const int equations = full ? kFullEquations : million ? 1 : kEquations;
  const int points = full ? kFullPoints : million ? kMillion : kPoints;
  for (int e = 0; e < equations; ++e)
    equations::AddEquationRow(window.list, QStringLiteral("sin(x)+x"), QStringLiteral("0"), QString::number(points - 1),
                              QStringLiteral("1"));
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
  std::printf("%.3f %.1f %.1f %.3f %.3f\n", bench::secondsSince(start), bench::peakResidentKb() / 1024.0,
              pump.longest * 1000, fileMb(options.saveTo), processorSeconds() - processorAtStart);
  return dialogs.failures == 0 && run.lastRunSucceeded() ? 0 : 1;
}

struct Figures {
  double seconds = 0, peakMb = 0, longestMs = 0, fileMb = 0, processor = 0;
  bool ok = false;
};

Figures child(const QString& program, const char* phase, const QString& folder) {
  QProcess process;
  process.start(program, {phase, folder});
  process.waitForFinished(-1);
  Figures f;
  f.ok = process.exitCode() == 0 && std::sscanf(process.readAllStandardOutput().constData(), "%lf %lf %lf %lf %lf",
                                                &f.seconds, &f.peakMb, &f.longestMs, &f.fileMb, &f.processor) == 5;
  return f;
}

// The median run by time (its own memory and file with it); failed runs count as failures.
struct Series {
  std::vector<Figures> runs;
  bool ok = true;
  void add(const Figures& f) {
    ok = ok && f.ok;
    runs.push_back(f);
  }
  Figures median() const {
    auto sorted = runs;
    std::sort(sorted.begin(), sorted.end(), [](const Figures& a, const Figures& b) { return a.seconds < b.seconds; });
    Figures m = sorted[sorted.size() / 2];
    std::sort(sorted.begin(), sorted.end(), [](const Figures& a, const Figures& b) { return a.processor < b.processor; });
    m.processor = sorted[sorted.size() / 2].processor;  // the median of its own
    m.ok = ok;
    return m;
  }
};

void printBare(const Figures& b) {
  std::printf("  %-34s %6.3f s  cpu %6.3f s  peak %6.1f MB  file %.2f MB\n", "bare libxlsxwriter", b.seconds, b.processor,
              b.peakMb, b.fileMb);
}

// The size ratio counts the chart caches, which the bare writer leaves out.
void printAgainst(const char* name, const Figures& f, const Figures& bare, const char* extra = "") {
  std::printf("  %-34s %6.3f s  cpu %6.3f s  peak %6.1f MB  file %.2f MB  time ratio %.2f (<= 0.35, aim 0.15)  cpu ratio %.2f"
              "  size ratio %.2f  longest without yielding %.1f ms%s%s\n",
              name, f.seconds, f.processor, f.peakMb, f.fileMb, f.seconds / bare.seconds, f.processor / bare.processor,
              f.fileMb / bare.fileMb, f.longestMs, extra, f.ok ? "" : "  FAILED");
}

// 8 x 1,048,575 values: time and peak memory per point, the model's share of the memory being
// the run's peak less the bare writer's.
bool fullSheet(const QString& self, const QString& folder) {
  constexpr double kPointCount = double(kFullEquations) * kFullPoints;
  std::printf("full sheet: %d equations x %d values, medians of %d alternating runs:\n", kFullEquations, kFullPoints,
              kFullRounds);
  Series bare, run;
  for (int round = 0; round < kFullRounds; ++round) {
    bare.add(child(self, "bare-full", folder));
    run.add(child(self, "full", folder));
  }
  const Figures b = bare.median(), r = run.median();
  const auto perPoint = [&](const char* name, const Figures& f) {
    std::printf("  %-34s %6.3f s  peak %6.1f MB  %.3f us and %.1f bytes per point", name, f.seconds, f.peakMb,
                f.seconds * 1e6 / kPointCount, f.peakMb * 1024 * 1024 / kPointCount);
  };
  perPoint("bare libxlsxwriter", b);
  std::printf("\n");
  perPoint("run, separate charts", r);
  std::printf("  time ratio %.2f  peak ratio %.2f  (targets: <= 1 us, <= 20 bytes per point)%s\n",
              r.seconds / b.seconds, r.peakMb / b.peakMb, r.ok ? "" : "  FAILED");
  return bare.ok && run.ok;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  if (argc == 3) return runPhase(argv[1], QString::fromLocal8Bit(argv[2]));

  QTemporaryDir folder;
  const QString self = QCoreApplication::applicationFilePath();
  if (argc == 2 && std::strcmp(argv[1], "full-sheet") == 0) return fullSheet(self, folder.path()) ? 0 : 1;
  std::printf("whole graphing run, headless: %d equations x %d values, hand-over writes the file only;\n"
              "medians of %d alternating runs against libxlsxwriter (constant_memory) writing the same cells and charts\n",
              kEquations, kPoints, kRounds);
  Series bare, separate, one;
  for (int round = 0; round < kRounds; ++round) {
    bare.add(child(self, "bare", folder.path()));
    separate.add(child(self, "separate", folder.path()));
    one.add(child(self, "one", folder.path()));
  }
  const Figures b = bare.median();
  printBare(b);
  printAgainst("run, separate charts", separate.median(), b);
  printAgainst("run, all on one chart", one.median(), b);

  std::printf("one equation of %d values, medians of %d alternating runs:\n", kMillion, kMillionRounds);
  Series bareMillion, million;
  for (int round = 0; round < kMillionRounds; ++round) {
    bareMillion.add(child(self, "bare-million", folder.path()));
    million.add(child(self, "million", folder.path()));
  }
  const Figures bm = bareMillion.median();
  printBare(bm);
  const Figures m = million.median();
  printAgainst("run, one equation", m, bm, m.peakMb <= 120 ? "  peak <= 120 MB" : "  peak OVER 120 MB");
  const bool fullOk = fullSheet(self, folder.path());
  return separate.ok && one.ok && million.ok && bare.ok && bareMillion.ok && fullOk ? 0 : 1;
}
