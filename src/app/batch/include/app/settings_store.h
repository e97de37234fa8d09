#pragma once
// Per-user text values that survive between runs, addressed by application, section and key.
// The program always uses application "Quorvane" and section "Tessaline".
#include <QString>

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
};

}  // namespace app
