#pragma once
// The real spreadsheet engine, isolated in a temporary folder, with the instances it creates kept
// for inspection after the code under test has released them.
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "automation/engine_factory.h"

namespace testing_support {

class RecordingFactory : public excel::ApplicationFactory {
 public:
  // `adjust` changes the engine's options before it is made.
  explicit RecordingFactory(int sheetsInNewWorkbook = 1,
                            const std::function<void(automation::EngineOptions&)>& adjust = {})
      : engine_(optionsIn(folder_, sheetsInNewWorkbook, adjust)) {}

  std::shared_ptr<excel::Application> create() override {
    if (failCreate) throw excel::AutomationError("The spreadsheet engine could not be started");
    created.push_back(engine_.createEngine());
    return created.back();
  }
  // Answers as though another instance ran only when the test says so: the instances kept
  // here for inspection would otherwise count as running.
  std::shared_ptr<excel::Application> attachRunning() override {
    if (!otherInstanceRunning) throw excel::AutomationError("No instance is running");
    return engine_.attachRunning();
  }

  automation::EngineApplication& last() { return *created.back(); }
  std::shared_ptr<core::WorkbookModel> lastWorkbook() { return created.back()->activeWorkbook(); }
  QString folder() const { return folder_.path(); }

  bool failCreate = false;
  bool otherInstanceRunning = false;
  std::vector<std::shared_ptr<automation::EngineApplication>> created;

 private:
  static automation::EngineOptions optionsIn(const QTemporaryDir& folder, int sheets,
                                             const std::function<void(automation::EngineOptions&)>& adjust) {
    automation::EngineOptions options;
    options.workingFolder = folder.path() + QStringLiteral("/workbooks");
    options.instancesFolder = folder.path() + QStringLiteral("/instances");
    options.viewerCommand = QStringLiteral("none");
    options.sheetsInNewWorkbook = sheets;
    if (adjust) adjust(options);
    return options;
  }

  QTemporaryDir folder_;
  automation::EngineFactory engine_;
};

}  // namespace testing_support
