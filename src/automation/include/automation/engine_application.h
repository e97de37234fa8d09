#pragma once
// The engine's Application: its settings, its workbooks and the hand-over when it becomes
// visible. Registered in the table of running instances while it lives.
#include <QString>

#include <memory>
#include <vector>

#include "excel/excel.h"
#include "automation/engine_options.h"
#include "automation/instance_registry.h"
#include "core/workbook_model.h"

namespace automation {

class EngineApplication : public excel::Application, public std::enable_shared_from_this<EngineApplication> {
 public:
  EngineApplication(EngineOptions options, QString workingFolder,
                    std::unique_ptr<automation::InstanceRegistration> registration);

  std::string name() override;
  // Accepted and without effect: nothing of the engine is drawn, asks or runs macros until the
  // hand-over, so there is no screen to freeze, alert to hold back or event to stop. The cancel
  // key and cursor refuse values Excel refuses.
  void setScreenUpdating(bool) override {}
  void setDisplayAlerts(bool) override {}
  void setEnableEvents(bool) override {}
  void setEnableCancelKey(int mode) override;
  void setCursor(int cursor) override;
  void setVisible(bool visible) override;
  std::string handedOverFile() override;
  std::shared_ptr<excel::Workbooks> workbooks() override;
  std::shared_ptr<excel::Sheets> sheets() override;
  std::shared_ptr<excel::Charts> charts() override;

  bool visible() const { return visible_; }
  int sheetsInNewWorkbook() const { return sheetsInNewWorkbook_; }
  void setSheetsInNewWorkbook(int count);
  const QString& workingFolder() const { return workingFolder_; }

  void addWorkbook();
  int workbookCount() const { return static_cast<int>(workbooks_.size()); }
  // The workbook Sheets and Charts address; throws when there is none.
  std::shared_ptr<core::WorkbookModel> activeWorkbook() const;
  // Writes the active workbook as .xlsx (replacing the file).
  void saveActiveWorkbook(const QString& path) const;
  // Every file written by hand-overs so far, in order.
  const std::vector<QString>& writtenFiles() const { return writtenFiles_; }

 private:
  void handOver();
  void exportWorkbook(const core::WorkbookModel& workbook, const QString& path) const;

  EngineOptions options_;
  QString workingFolder_;
  std::unique_ptr<automation::InstanceRegistration> registration_;
  std::vector<std::shared_ptr<core::WorkbookModel>> workbooks_;
  std::vector<QString> writtenFiles_;
  bool visible_ = false;
  int sheetsInNewWorkbook_ = 1;
};

}  // namespace automation
