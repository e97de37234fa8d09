#pragma once
// The per-user settings store of the program: one file per key under
// <base>/Quorvane/Tessaline/, holding the value's UTF-8 bytes and nothing else, so every value
// (line ends, separators, quotes, any length) reads back exactly as written. Writes replace the
// file atomically: a crash or a full disk while saving leaves the previous value readable.
#include <QString>

#include "app/settings_store.h"

namespace app {

class FileSettingsStore : public SettingsStore {
 public:
  // base: the folder above the application's folder, e.g. defaultBaseFolder(); tests pass a
  // temporary folder.
  explicit FileSettingsStore(QString baseFolder);
  // The user's configuration folder (QStandardPaths::GenericConfigLocation).
  static QString defaultBaseFolder();

  QString read(const QString& key, const QString& defaultValue) override;
  void write(const QString& key, const QString& value) override;

  // The folder of this application's section, and the file that holds a key's value.
  QString sectionFolder() const;
  QString pathOf(const QString& key) const;

 private:
  QString baseFolder_;
};

}  // namespace app
