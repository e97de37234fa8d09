// Figures for filling and keeping the equation list with a million rows: loading an equation
// file, restoring the saved list, saving it, and appending rows one by one, each with the list
// model alone and with the model shown in a tree view as the main window shows it. Every time is
// also given as a ratio to a plain std::vector<QString> fill of the same texts in this run.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "batch/saved_list.h"
#include "batch/saved_list_keeper.h"
#include "batch/settings_store.h"
#include "equations/equation_file.h"
#include "app/equation_table_model.h"
#include "equations/equation_list.h"
#include "platform/error_report.h"

namespace {

constexpr int kRows = 1'000'000;

// Boxes would stop a bench run: any box shown counts as a failure of the figure.
class CountingDialogs : public platform::Dialogs {
 public:
  platform::Answer messageBox(const QString&, platform::Buttons, platform::Icon, const QString&) override {
    ++shown;
    return platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }
  int shown = 0;
};

class OneValueStore : public app::SettingsStore {
 public:
  QString read(const QString&, const QString& defaultValue) override { return value.isNull() ? defaultValue : value; }
  void write(const QString&, const QString& text) override { value = text; }
  QString value;
};

long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}
long peakResidentKb() { return statusKb("VmHWM:"); }
long residentKb() { return statusKb("VmRSS:"); }

// Hands freed memory back first, so that the peak counts what the measured work itself holds.
void resetPeakResident() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

// Best of several runs: the machine is shared, and the best run is the one least disturbed.
int gRepeats = 3;

QString equationOf(int i) { return QStringLiteral("sin(x) + %1 * x").arg(i); }

// A view set up as the main window sets up its list, shown (off screen unless a display is set).
std::unique_ptr<QTreeView> shownViewOf(app::EquationTableModel& list) {
  auto view = std::make_unique<QTreeView>();
  view->setModel(&list);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setAllColumnsShowFocus(true);
  view->header()->setStretchLastSection(false);
  view->resize(520, 143);
  view->show();
  QApplication::processEvents();
  return view;
}

struct Figure {
  double ms = 0;
  long peakGrowthMb = 0;  // the peak resident size while working, over the size before it
};

using ListWork = std::function<void(equations::EquationListModel&)>;

// Times work() on a list made by setUp (shown in a view when asked), including the events it
// leaves pending, and its peak memory.
Figure measureOnce(bool withView, const ListWork& work, const ListWork& setUp) {
  app::EquationTableModel list;
  std::unique_ptr<QTreeView> view = withView ? shownViewOf(list) : nullptr;
  if (setUp) setUp(list);
  QApplication::processEvents();
  resetPeakResident();
  const long startKb = residentKb();
  QElapsedTimer timer;
  timer.start();
  work(list);
  QApplication::processEvents();
  Figure figure{static_cast<double>(timer.nsecsElapsed()) / 1e6, (peakResidentKb() - startKb) / 1024};
  if (list.count() != kRows) std::printf("  !! %d rows instead of %d\n", list.count(), kRows);
  return figure;
}

Figure measure(bool withView, const ListWork& work, const ListWork& setUp = {}) {
  Figure best = measureOnce(withView, work, setUp);
  for (int run = 1; run < gRepeats; ++run) {
    const Figure next = measureOnce(withView, work, setUp);
    best.ms = std::min(best.ms, next.ms);
    best.peakGrowthMb = std::max(best.peakGrowthMb, next.peakGrowthMb);
  }
  return best;
}

std::vector<QString> fillPlainVector() {
  std::vector<QString> plain;
  plain.reserve(4 * kRows);
  for (int i = 0; i < kRows; ++i) {
    plain.push_back(equationOf(i));
    plain.push_back(QStringLiteral("0"));
    plain.push_back(QStringLiteral("20"));
    plain.push_back(QStringLiteral(".01"));
  }
  return plain;
}

void print(const char* what, const Figure& figure, double baselineMs, double targetMs) {
  std::printf("%-54s %8.1f ms %5.1fx baseline  peak +%4ld MB  %s\n", what, figure.ms, figure.ms / baselineMs,
              figure.peakGrowthMb, figure.ms <= targetMs ? "within target" : "OVER TARGET");
}

void appendMillionRows(equations::EquationListModel& list) {
  for (int i = 0; i < kRows; ++i)
    equations::AddEquationRow(list, equationOf(i), QStringLiteral("0"), QStringLiteral("20"), QStringLiteral(".01"));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  CountingDialogs dialogs;

  if (argc > 1) gRepeats = std::max(1, std::atoi(argv[1]));

  // Baseline: the same four million texts in a plain vector.
  Figure baseline;
  for (int run = 0; run < gRepeats; ++run) {
    resetPeakResident();
    const long startKb = residentKb();
    QElapsedTimer timer;
    timer.start();
    const std::vector<QString> plain = fillPlainVector();  // freed after the timing, as the lists are
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    baseline.ms = run == 0 ? ms : std::min(baseline.ms, ms);
    baseline.peakGrowthMb = std::max(baseline.peakGrowthMb, (peakResidentKb() - startKb) / 1024);
  }
  std::printf("%d rows, best of %d runs; baseline std::vector<QString> fill of the same texts: %.1f ms, "
              "peak +%ld MB\n\n", kRows, gRepeats, baseline.ms, baseline.peakGrowthMb);

  // Inputs, made before any timing: an equation file and a saved list of a million rows.
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("million.txt"));
  QString savedText;
  {
    equations::EquationListModel source;
    QByteArray fileBytes;
    for (int i = 0; i < kRows; ++i) {
      equations::AddEquationRow(source, equationOf(i), QStringLiteral("0"), QStringLiteral("20"), QStringLiteral(".01"));
      fileBytes += equationOf(i).toUtf8() + ", 0, 20, .01\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fileBytes) != fileBytes.size()) return 1;
    savedText = app::savedListText(source);
  }

  for (const bool withView : {false, true}) {
    const char* where = withView ? "model in a shown tree view" : "model alone";
    std::printf("-- %s\n", where);
    print("load a 1,000,000-line equation file (<= 1500 ms)",
          measure(withView, [&](auto& list) { equations::LoadEquationFile(list, path, dialogs); }), baseline.ms, 1500);
    print("restore a saved list of 1,000,000 rows (<= 1500 ms)", measure(withView, [&](auto& list) {
            platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
            app::restoreSavedRows(list, savedText, trap);
          }), baseline.ms, 1500);
    print("AddEquationRow 1,000,000 times (<= 1000 ms, 300 MB)", measure(withView, appendMillionRows), baseline.ms,
          1000);
    print("  of which appendEntry alone (no sub-items)", measure(withView, [](auto& list) {
            for (int i = 0; i < kRows; ++i) list.appendEntry({equationOf(i), {}, {}, {}});
          }), baseline.ms, 1000);
    OneValueStore store;
    print("save a list of 1,000,000 rows", measure(withView, [&](auto& list) {
            platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
            app::saveEquationList(list, store, trap);
          }, appendMillionRows), baseline.ms, 1500);
  }
  if (dialogs.shown) std::printf("!! %d boxes were shown\n", dialogs.shown);
  return dialogs.shown ? 1 : 0;
}
