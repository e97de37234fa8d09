#include "automation/engine_application.h"

#include <atomic>
#include <chrono>
#include <future>
#include <system_error>

#include <QFile>

#include "automation/engine_charts.h"
#include "automation/engine_sheets.h"
#include "workbook_errors.h"
#include "automation/hand_over.h"
#include "output/reserved_file.h"
#include "workbook_file/xlsx_export.h"

namespace automation {
namespace {

constexpr int xlNorthwestArrow = 1;
constexpr int xlIBeam = 3;

class EngineWorkbooks : public excel::Workbooks {
 public:
  explicit EngineWorkbooks(std::shared_ptr<EngineApplication> application) : application_(std::move(application)) {}
  void add() override { application_->addWorkbook(); }

 private:
  std::shared_ptr<EngineApplication> application_;  // a collection keeps its application alive
};

}  // namespace

EngineApplication::EngineApplication(EngineOptions options, QString workingFolder,
                                     std::unique_ptr<automation::InstanceRegistration> registration)
    : options_(std::move(options)), workingFolder_(std::move(workingFolder)), registration_(std::move(registration)) {
  setSheetsInNewWorkbook(options_.sheetsInNewWorkbook);
}

std::string EngineApplication::name() { return "Microsoft Excel"; }

void EngineApplication::setEnableCancelKey(int mode) {
  if (mode != excel::xlDisabled && mode != excel::xlInterrupt && mode != excel::xlWait)
    throw excel::AutomationError("Unable to set the EnableCancelKey property: " + std::to_string(mode) + " is not a mode.");
}

void EngineApplication::setCursor(int cursor) {
  if (cursor != excel::xlDefault && cursor != excel::xlWait && cursor != xlNorthwestArrow && cursor != xlIBeam)
    throw excel::AutomationError("Unable to set the Cursor property: " + std::to_string(cursor) + " is not a cursor.");
}

void EngineApplication::setSheetsInNewWorkbook(int count) {
  if (count < 1 || count > 255)
    throw excel::AutomationError("Unable to set the SheetsInNewWorkbook property: it must be 1 to 255.");
  sheetsInNewWorkbook_ = count;
}

// Visible = True is the hand-over; it happens once, on the change from hidden to visible.
void EngineApplication::setVisible(bool visible) {
  const bool becomesVisible = visible && !visible_;
  visible_ = visible;
  if (becomesVisible) asAutomation([&] { handOver(); });
}

std::string EngineApplication::handedOverFile() {
  return writtenFiles_.empty() ? std::string() : writtenFiles_.back().toStdString();
}

void EngineApplication::exportWorkbook(const core::WorkbookModel& workbook, const QString& path) const {
  if (!options_.whileWaiting) return workbook_file::exportXlsx(workbook, path.toStdString(), options_.writingProgress);
  // The writer's thread only leaves its fraction here; the caller's thread passes it on.
  std::atomic<double> written{0};
  double told = -1;
  auto tell = [&] {
    const double fraction = written.load();
    if (fraction == told || !options_.writingProgress) return;
    told = fraction;
    options_.writingProgress(fraction);
  };
  // Nothing else touches the workbook meanwhile: the run that owns it waits here for the file.
  std::future<void> writing;
  try {
    writing = std::async(std::launch::async, [&] {
      workbook_file::exportXlsx(workbook, path.toStdString(), [&](double fraction) { written.store(fraction); });
    });
  } catch (const std::system_error&) {
    // No thread to spare (a process or memory limit): the file is written here, the window
    // waiting meanwhile.
    return workbook_file::exportXlsx(workbook, path.toStdString(), options_.writingProgress);
  }
  while (writing.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    tell();
    options_.whileWaiting();
  }
  tell();
  writing.get();  // rethrows a failure of the export
}

void EngineApplication::handOver() {
  if (options_.takeWorkbook) return options_.takeWorkbook(activeWorkbook());
  if (!options_.saveTo.isEmpty()) {
    exportWorkbook(*activeWorkbook(), options_.saveTo);
    writtenFiles_.push_back(options_.saveTo);
    return;
  }
  for (const auto& workbook : workbooks_) {
    // A failed export leaves the empty file that reserved the name to the reservation to remove.
    const auto reserved = automation::reserveBookFile(workingFolder_);
    const QString file = QFile::decodeName(reserved->path().c_str());
    exportWorkbook(*workbook, file);
    writtenFiles_.push_back(file);
    // Our own window stands in for the spreadsheet application unless a command is named.
    if (options_.showWorkbook && !options_.viewerCommand) options_.showWorkbook(workbook, file, shared_from_this());
    else automation::startViewer(options_.viewerCommand, options_.startDetached, file);
  }
}

std::shared_ptr<excel::Workbooks> EngineApplication::workbooks() {
  return std::make_shared<EngineWorkbooks>(shared_from_this());
}

std::shared_ptr<excel::Sheets> EngineApplication::sheets() { return std::make_shared<EngineSheets>(activeWorkbook()); }

std::shared_ptr<excel::Charts> EngineApplication::charts() { return std::make_shared<EngineCharts>(activeWorkbook()); }

void EngineApplication::addWorkbook() {
  workbooks_.push_back(
      asAutomation([&] { return std::make_shared<core::WorkbookModel>(sheetsInNewWorkbook_, options_.random); }));
}

std::shared_ptr<core::WorkbookModel> EngineApplication::activeWorkbook() const {
  if (workbooks_.empty()) throw excel::AutomationError("Object required: there is no open workbook.");
  return workbooks_.back();
}

void EngineApplication::saveActiveWorkbook(const QString& path) const {
  asAutomation([&] { workbook_file::exportXlsx(*activeWorkbook(), path.toStdString()); });
}

}  // namespace automation
