// The whole graphing run over arbitrary equations: the bytes are split into lines, each line an
// equation plotted from -2 to 2, in the mode the first byte picks. The run writes its workbook
// as the program does, and every XML part of it must be well-formed. A crash, a sanitizer
// report, an uncaught exception or an ill-formed part is a finding.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "automation/engine_factory.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/event_pump.h"
#include "workbook_parts.h"

namespace {

constexpr int kMaxEquations = 6;

class Rows : public graphing::EquationRows {
 public:
  int count() const override { return static_cast<int>(rows.size()); }
  graphing::EquationRow row(int position) const override { return rows.at(static_cast<std::size_t>(position - 1)); }
  std::vector<graphing::EquationRow> rows;
};

class Window : public graphing::GraphingWindow {
 public:
  const graphing::EquationRows& rows() const override { return list; }
  bool separateChartsSelected() const override { return separate; }
  bool oneChartSelected() const override { return !separate; }
  void setBusyPointer(bool) override {}
  void setProgressValue(int) override {}
  void setProgressText(const QString&) override {}
  Rows list;
  bool separate = true;
};

class Dialogs : public platform::Dialogs {
 public:
  platform::Answer messageBox(const QString&, platform::Buttons buttons, platform::Icon, const QString&) override {
    return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }
};

class NoPump : public platform::EventPump {
 public:
  void yield() override {}
};

// Keeps the instances it makes, so their written files can be read after the run.
class KeepingFactory : public excel::ApplicationFactory {
 public:
  explicit KeepingFactory(automation::EngineOptions options) : engine_(std::move(options)) {}
  std::shared_ptr<excel::Application> create() override {
    created.push_back(engine_.createEngine());
    return created.back();
  }
  std::shared_ptr<excel::Application> attachRunning() override {
    throw excel::AutomationError("No instance is running");
  }
  std::vector<std::shared_ptr<automation::EngineApplication>> created;

 private:
  automation::EngineFactory engine_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static QTemporaryDir folder;
  Window window;
  window.separate = (data[0] & 1) == 0;
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (window.list.count() == kMaxEquations) break;
    window.list.rows.push_back({line, QStringLiteral("-2"), QStringLiteral("2"), QStringLiteral("0.5")});
  }
  automation::EngineOptions options;
  options.workingFolder = folder.filePath(QStringLiteral("workbooks"));
  options.instancesFolder = folder.filePath(QStringLiteral("instances"));
  options.viewerCommand = QStringLiteral("none");
  KeepingFactory factory(options);
  Dialogs dialogs;
  NoPump pump;
  graphing::GraphingRun run(factory, dialogs, pump, window);
  run.StartGraphing(platform::ErrorTrap::locationOf("PushButton2_Click"));
  for (const auto& application : factory.created)
    for (const QString& book : application->writtenFiles()) {
      const std::string problem = fuzz_support::workbookProblem(book.toStdString());
      if (!problem.empty()) {
        std::fprintf(stderr, "ill-formed workbook: %s\n", problem.c_str());
        std::abort();
      }
      QFile::remove(book);
    }
  return 0;
}
