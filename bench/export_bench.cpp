// The writer alone: a graphing run's workbook (128 equations x 2,001 values, 128 chart sheets)
// against a bare libxlsxwriter program writing the same cells and charts in constant_memory
// mode, alternating in the same process, medians compared; then one series of 1,000,000
// points. Prints times, their ratio and peak memory. (bench_run_bench measures the whole run.)
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/cell_address.h"
#include "automation/engine_factory.h"

namespace {

constexpr int kEquations = 128;
constexpr int kPoints = 2001;
constexpr int kRounds = 5;
constexpr int kLongSeries = 1000000;

using bench::Clock;
using bench::peakResidentKb;
using bench::residentKb;
using bench::secondsSince;

double xValue(int row, int points) { return -10.0 + 20.0 * (row - 1) / (points - 1); }

std::string formulaText(int row, int xColumn) { return bench::sinPlusXFormula(row, xColumn); }

// The graphing run's object-model calls: columns of x and f(x), then one chart per equation.
void buildWorkbook(excel::Application& app, int equations, int points) {
  auto data = app.sheets()->item(1);
  data->setName("Data");
  double numbers = 0, formulas = 0;
  std::vector<std::string> texts(points);
  for (int e = 0; e < equations; ++e) {
    const int x = 2 * e + 1;
    for (int row = 1; row <= points; ++row) texts[row - 1] = formulaText(row, x);
    auto start = Clock::now();
    for (int row = 1; row <= points; ++row) data->setCellNumber(row, x, xValue(row, points));
    numbers += secondsSince(start);
    start = Clock::now();
    for (int row = 1; row <= points; ++row) data->setCellText(row, x + 1, texts[row - 1]);
    formulas += secondsSince(start);
  }
  const double perColumn = double(equations) * points;
  std::printf("  writing cells: %.0f ns per number, %.0f ns per formula (a filled-down column: the first parsed, the rest recognised)\n", numbers / perColumn * 1e9,
              formulas / perColumn * 1e9);
  auto charts = app.charts();
  std::shared_ptr<excel::Chart> previous;
  for (int e = 0; e < equations; ++e) {
    auto chart = previous ? charts->addAfter(*previous, 1) : charts->add();
    chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
    const int x = 2 * e + 1;
    chart->setSourceData(*data->range(core::cellName(1, x) + ":" + core::cellName(points, x + 1)), excel::xlColumns);
    chart->seriesCollection()->item(1)->setName("y=sin(x)+x");
    chart->setHasTitle(true);
    chart->setTitleText("Equation " + std::to_string(e + 1));
    chart->setName("Equation " + std::to_string(e + 1));
    previous = chart;
  }
  data->setVisible(false);
  charts->item(1)->select();
}

// The same workbook written straight with libxlsxwriter: the floor for our export.
void bareLibxlsxwriter(const std::string& path) {
  bench::bareLibxlsxwriter(
      path, kEquations, kPoints, [](int row) { return xValue(row, kPoints); },
      [](int e) { return "Equation " + std::to_string(e + 1); });
}

// Reads the long series' chart back from the zip with Python's zipfile (independent of us).
bool longSeriesIntact(const QString& path) {
  const char* script =
      "import sys, zipfile, re\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "xml = z.read('xl/charts/chart1.xml').decode()\n"
      "refs = re.findall(r'<c:f>([^<]*)</c:f>', xml)\n"
      "assert refs == ['Data!$A$1:$A$1000000', 'Data!$B$1:$B$1000000'], refs\n"
      "counts = re.findall(r'<c:ptCount val=\"(\\d+)\"/>', xml)\n"
      "assert counts == ['1000000', '1000000'], counts\n"
      "sheet = [n for n in z.namelist() if n.startswith('xl/worksheets/')][0]\n"
      "tail = z.read(sheet)[-400:].decode()\n"
      "assert 'r=\"B1000000\"' in tail, tail\n";
  return QProcess::execute("/usr/bin/python3", {"-c", script, path}) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  QTemporaryDir dir;
  automation::EngineOptions options;
  options.workingFolder = dir.filePath("workbooks");
  options.instancesFolder = dir.filePath("instances");
  options.viewerCommand = QString("none");
  automation::EngineFactory factory(options);

  std::printf("export bench: %d equations x %d values, %d chart sheets, constant_memory\n", kEquations, kPoints,
              kEquations);
  auto app = factory.createEngine();
  app->workbooks()->add();
  const long before = residentKb();
  auto start = Clock::now();
  buildWorkbook(*app, kEquations, kPoints);
  const double build = secondsSince(start);
  std::printf("  building through the object model: %.3f s; the workbook holds %.1f MB\n", build,
              (residentKb() - before) / 1024.0);

  std::vector<double> bareTimes, engineTimes;
  for (int round = 0; round < kRounds; ++round) {
    start = Clock::now();
    bareLibxlsxwriter(dir.filePath("bare.xlsx").toStdString());
    bareTimes.push_back(secondsSince(start));
    app->sheets()->item("Data")->setCellNumber(1, 1, xValue(1, kPoints));  // values are recomputed each round
    start = Clock::now();
    app->saveActiveWorkbook(dir.filePath("engine.xlsx"));
    engineTimes.push_back(secondsSince(start));
  }
  const auto median = [](std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  };
  const double bare = median(bareTimes), engine = median(engineTimes);
  std::printf("  bare libxlsxwriter:                 %.3f s (median of %d)\n", bare, kRounds);
  std::printf("  engine export (values computed too): %.3f s (median of %d)\n", engine, kRounds);
  std::printf("  ratio engine / bare:                %.2f\n", engine / bare);
  std::printf("  file size ratio engine / bare:      %.2f (target <= 1.10)\n",
              double(QFileInfo(dir.filePath("engine.xlsx")).size()) / QFileInfo(dir.filePath("bare.xlsx")).size());
  std::printf("  peak resident memory (VmHWM):       %.1f MB\n", peakResidentKb() / 1024.0);
  app.reset();

  auto longApp = factory.createEngine();
  longApp->workbooks()->add();
  auto data = longApp->sheets()->item(1);
  data->setName("Data");
  start = Clock::now();
  for (int row = 1; row <= kLongSeries; ++row) data->setCellNumber(row, 1, row / 1000.0);
  for (int row = 1; row <= kLongSeries; ++row) data->setCellText(row, 2, formulaText(row, 1));
  const double longBuild = secondsSince(start);
  auto chart = longApp->charts()->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:B1000000"), excel::xlColumns);
  data->setVisible(false);
  start = Clock::now();
  longApp->saveActiveWorkbook(dir.filePath("long.xlsx"));
  const double longExport = secondsSince(start);
  const bool intact = longSeriesIntact(dir.filePath("long.xlsx"));
  std::printf("one series of %d points: build %.2f s, export %.2f s, intact: %s, VmHWM now %.1f MB\n", kLongSeries,
              longBuild, longExport, intact ? "yes" : "NO", peakResidentKb() / 1024.0);
  return intact ? 0 : 1;
}
