#pragma once
// The settings store kept in memory, with switches that make reading or writing fail.
#include <QString>
#include <map>

#include "batch/settings_store.h"
#include "platform/error_report.h"

namespace testing_support {

class MemorySettingsStore : public app::SettingsStore {
 public:
  QString read(const QString& key, const QString& defaultValue) override {
    if (failRead) throw platform::StepFailure("The settings could not be read");
    const auto found = values.find(key);
    return found == values.end() ? defaultValue : found->second;
  }
  void write(const QString& key, const QString& value) override {
    if (failWrite) throw platform::StepFailure("The settings could not be written");
    values[key] = value;
  }
  QString readNotice() const override { return notice; }
  QString setAside(const QString& key) override {
    if (failSetAside) throw platform::StepFailure("The setting could not be kept aside");
    const auto found = values.find(key);
    if (found == values.end()) return {};
    const QString spare = key + QStringLiteral(".unread");
    values[spare] = found->second;
    values.erase(key);
    return spare;
  }
  std::map<QString, QString> values;
  QString notice;
  bool failSetAside = false;
  bool failRead = false;
  bool failWrite = false;
};

}  // namespace testing_support
