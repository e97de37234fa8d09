#pragma once
// The real spreadsheet engine, isolated in a temporary folder, with the instances it creates kept
// for inspection after the code under test has released them.
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "automation/engine_factory.h"

namespace testing_support {

// The engine's Application as the run sees it, noting every setting the run gives it in order,
// so that a test sees the run switch them off and put them back.
class SettingsRecorder : public excel::Application {
 public:
  explicit SettingsRecorder(std::shared_ptr<excel::Application> engine) : engine_(std::move(engine)) {}

  std::string name() override { return engine_->name(); }
  void setScreenUpdating(bool on) override { note(screenUpdating, on, &excel::Application::setScreenUpdating); }
  void setDisplayAlerts(bool on) override { note(displayAlerts, on, &excel::Application::setDisplayAlerts); }
  void setEnableEvents(bool on) override { note(enableEvents, on, &excel::Application::setEnableEvents); }
  void setEnableCancelKey(int mode) override { note(enableCancelKey, mode, &excel::Application::setEnableCancelKey); }
  void setCursor(int cursor) override { note(cursors, cursor, &excel::Application::setCursor); }
  void setVisible(bool visible) override { engine_->setVisible(visible); }
  std::string handedOverFile() override { return engine_->handedOverFile(); }
  std::shared_ptr<excel::Workbooks> workbooks() override { return engine_->workbooks(); }
  std::shared_ptr<excel::Sheets> sheets() override { return engine_->sheets(); }
  std::shared_ptr<excel::Charts> charts() override { return engine_->charts(); }

  std::vector<bool> screenUpdating, displayAlerts, enableEvents;
  std::vector<int> enableCancelKey, cursors;

 private:
  template <class T>
  void note(std::vector<T>& log, T value, void (excel::Application::*set)(T)) {
    log.push_back(value);
    ((*engine_).*set)(value);
  }

  std::shared_ptr<excel::Application> engine_;
};

class RecordingFactory : public excel::ApplicationFactory {
 public:
  // `adjust` changes the engine's options before it is made.
  explicit RecordingFactory(int sheetsInNewWorkbook = 1,
                            const std::function<void(automation::EngineOptions&)>& adjust = {})
      : engine_(optionsIn(folder_, sheetsInNewWorkbook, adjust)) {}

  std::shared_ptr<excel::Application> create() override {
    if (failCreate) throw excel::AutomationError("The spreadsheet engine could not be started");
    created.push_back(engine_.createEngine());
    settings.push_back(std::make_shared<SettingsRecorder>(created.back()));
    return settings.back();
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
  std::vector<std::shared_ptr<SettingsRecorder>> settings;  // what each created one was told

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
