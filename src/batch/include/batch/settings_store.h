#pragma once
// Per-user text values that survive between runs, addressed by application, section and key.
// The program always uses application "Quorvane" and section "Tessaline".
#include <QString>

#include "platform/error_report.h"

namespace app {

inline constexpr char kSettingsApplication[] = "Quorvane";
inline constexpr char kSettingsSection[] = "Tessaline";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored value, or defaultValue when the key was never written. Throws on a failed read.
  virtual QString read(const QString& key, const QString& defaultValue) = 0;
  // Creates or replaces the value. Throws platform::StepFailure when it cannot be written; the
  // previous value then stays as it was.
  virtual void write(const QString& key, const QString& value) = 0;
  // What the user must be told about the last read besides its value (for instance that bytes
  // were replaced and where the original is kept), or empty text.
  virtual QString readNotice() const { return {}; }
  // Moves the stored value out of the key's way, keeping it whole, and returns where it is now
  // kept; the key then reads as never written. Throws platform::StepFailure when it cannot.
  virtual QString setAside(const QString& key) {
    throw platform::StepFailure(
        QStringLiteral("The setting \"%1\" cannot be kept aside here").arg(key).toStdString());
  }
};

}  // namespace app
