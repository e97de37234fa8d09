#pragma once
// The per-user settings store of the program: one file per key under
// <base>/Quorvane/Tessaline/, holding the value's UTF-8 bytes and nothing else, so every value
// (line ends, separators, quotes, any length) reads back exactly as written. Writes replace the
// file atomically: a crash or a full disk while saving leaves the previous value readable.
#include <QString>
#include <functional>
#include <sys/types.h>

#include "batch/settings_store.h"

namespace app {

// The most a stored value may hold, in UTF-8 bytes. Reading is bounded so that a pipe, a device
// or an endless file put in a value's place cannot hang or exhaust the program; writing refuses
// what could not be read back. Four times the largest equation file the program reads.
inline constexpr qint64 kSettingsValueLimit = 256 * 1024 * 1024;

class FileSettingsStore : public SettingsStore {
 public:
  // The system call that writes the bytes of a value; tests put a failing one in its place.
  using WriteCall = std::function<ssize_t(int fd, const void* data, size_t size)>;

  // base: the folder above the application's folder, e.g. defaultBaseFolder(); tests pass a
  // temporary folder.
  explicit FileSettingsStore(QString baseFolder, WriteCall writeCall = {});
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
  void writeBytes(int fd, const QByteArray& bytes, const QString& key);

  QString baseFolder_;
  WriteCall writeCall_;
  QString notice_;
};

}  // namespace app
