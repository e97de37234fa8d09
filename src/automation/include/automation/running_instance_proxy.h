#pragma once
// Stand-in for an engine instance in another process: it answers name() while that instance
// lives; everything else is an automation error, as nothing more is needed of it.
#include "excel/excel.h"
#include "automation/instance_registry.h"

namespace automation {

class RunningInstanceProxy : public excel::Application {
 public:
  explicit RunningInstanceProxy(automation::InstanceEntry entry) : entry_(std::move(entry)) {}

  std::string name() override;
  void setScreenUpdating(bool) override { unavailable(); }
  void setDisplayAlerts(bool) override { unavailable(); }
  void setEnableEvents(bool) override { unavailable(); }
  void setEnableCancelKey(int) override { unavailable(); }
  void setCursor(int) override { unavailable(); }
  void setVisible(bool) override { unavailable(); }
  std::shared_ptr<excel::Workbooks> workbooks() override { unavailable(); }
  std::shared_ptr<excel::Sheets> sheets() override { unavailable(); }
  std::shared_ptr<excel::Charts> charts() override { unavailable(); }

  const automation::InstanceEntry& entry() const { return entry_; }

 private:
  [[noreturn]] void unavailable() const;
  automation::InstanceEntry entry_;
};

}  // namespace automation
