#pragma once
// Shared by the engine's tests: an engine whose folders live in a fresh temporary folder and
// whose viewer starts are recorded, a graphing-like workbook, and the independent read-back.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "automation/engine_charts.h"
#include "automation/engine_factory.h"
#include "automation/engine_sheets.h"

namespace engine_test {

struct StartedProgram {
  QString program;
  QStringList arguments;
};

struct TestEngine {
  QTemporaryDir dir;
  std::vector<StartedProgram> started;
  bool viewerStarts = true;

  automation::EngineOptions options() {
    automation::EngineOptions options;
    options.workingFolder = dir.filePath("workbooks");
    options.instancesFolder = dir.filePath("instances");
    options.viewerCommand = QString("none");
    options.startDetached = [this](const QString& program, const QStringList& arguments) {
      started.push_back({program, arguments});
      return viewerStarts;
    };
    return options;
  }

  std::shared_ptr<automation::EngineApplication> application(int sheetsInNewWorkbook = 1) {
    automation::EngineFactory factory(options());
    auto app = factory.createEngine();
    app->setSheetsInNewWorkbook(sheetsInNewWorkbook);
    app->workbooks()->add();
    return app;
  }
};

// What the graphing run builds: `equations` x/f(x) column pairs of `points` rows on a Data
// sheet (last, hidden), one XY chart sheet per equation before it, in order.
inline void buildGraphingWorkbook(excel::Application& app, int equations, int points) {
  auto data = app.sheets()->item(1);
  data->setName("Data");
  for (int e = 0; e < equations; ++e) {
    const int x = 2 * e + 1;
    for (int row = 1; row <= points; ++row) {
      data->setCellNumber(row, x, -1.0 + 2.0 * (row - 1) / std::max(1, points - 1));
      data->setCellText(row, x + 1, "=SIN(" + core::cellName(row, x) + ")+" + core::cellName(row, x));
    }
  }
  auto charts = app.charts();
  std::shared_ptr<excel::Chart> previous;
  for (int e = 0; e < equations; ++e) {
    auto chart = previous ? charts->addAfter(*previous, 1) : charts->add();
    chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
    const int x = 2 * e + 1;
    const std::string block = core::cellName(1, x) + ":" + core::cellName(points, x + 1);
    chart->setSourceData(*data->range(block), excel::xlColumns);
    chart->seriesCollection()->item(1)->setName("y=sin(x)+x #" + std::to_string(e + 1));
    chart->setHasTitle(true);
    chart->setTitleText("Equation " + std::to_string(e + 1));
    chart->setName("Graph " + std::to_string(e + 1));
    previous = chart;
  }
  data->setVisible(false);
  charts->item(1)->select();
}

inline QString readbackScript() { return QStringLiteral(TESSALINE_READBACK_SCRIPT); }

// The read-back's JSON; cellRequests are sheet/range pairs ("Data", "A1:B3").
inline QJsonObject readBack(const QString& path, const QStringList& cellRequests = {}) {
  QProcess python;
  python.start("/usr/bin/python3", QStringList{readbackScript(), path} + cellRequests);
  if (!python.waitForFinished(120000) || python.exitCode() != 0) {
    ADD_FAILURE() << "read-back failed: " << python.readAllStandardError().toStdString();
    return {};
  }
  return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

}  // namespace engine_test
