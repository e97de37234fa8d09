#pragma once
// The per-user settings store of the program: one file per key under
// <base>/Quorvane/Tessaline/, holding the value's UTF-8 bytes and nothing else, so every value
// (line ends, separators, quotes, any length) reads back exactly as written. Writes go through
// the program's safe output path and replace the file atomically: a crash, a signal or a full
// disk while saving leaves the previous value readable and no temporary behind. Every value, and
// every copy kept of one, is private to the user (0600).
#include <QString>

#include "batch/settings_store.h"

namespace app {

// The most a stored value may hold, in UTF-8 bytes. Reading is bounded so that a pipe, a device
// or an endless file put in a value's place cannot hang or exhaust the program; writing refuses
// what could not be read back. Four times the largest equation file the program reads.
inline constexpr qint64 kSettingsValueLimit = 256 * 1024 * 1024;

class FileSettingsStore : public SettingsStore {
 public:
  // base: the folder above the application's folder, e.g. defaultBaseFolder(); tests pass a
  // temporary folder. Writes reach the disk through output::systemCalls(), where tests put
  // failing ones.
  explicit FileSettingsStore(QString baseFolder);
  // The user's configuration folder (QStandardPaths::GenericConfigLocation).
  static QString defaultBaseFolder();

  // A value whose bytes are not valid UTF-8 reads with U+FFFD in their place; its file is first
  // copied beside it, and readNotice() says where.
  QString read(const QString& key, const QString& defaultValue) override;
  void write(const QString& key, const QString& value) override;
  QString readNotice() const override { return notice_; }
  QString setAside(const QString& key) override;

  // The folder of this application's section, and the file that holds a key's value.
  QString sectionFolder() const;
  QString pathOf(const QString& key) const;

 private:
  QString keepCopy(const QString& key, const QByteArray& bytes) const;
  QString sparePathOf(const QString& key, const char* why) const;

  QString baseFolder_;
  QString notice_;
};

}  // namespace app
