#include "batch/file_settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "output/output_file.h"
#include "platform/error_report.h"
#include "platform/whole_file.h"

namespace app {
namespace {

constexpr unsigned kPrivateMode = 0600;

// Keys become file names: letters, digits, "-" and "_" stay, everything else (".", "/", ...)
// is percent-encoded, so no key can name another folder or a hidden file.
QString fileNameOf(const QString& key) {
  return QString::fromLatin1(QUrl::toPercentEncoding(key, QByteArray(), QByteArrayLiteral(".~"))) +
         QLatin1String(".value");
}

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

[[noreturn]] void fail(const QString& what, const QString& key, const QString& why) {
  throw platform::StepFailure(QStringLiteral("The setting \"%1\" could not be %2: %3").arg(key, what, why).toStdString());
}

// Writes `bytes` as the whole of a private file through the safe output path. The plain reason
// when it could not be written, empty when it was.
QString writePrivateFile(const QString& path, const QByteArray& bytes) {
  try {
    output::OutputFile file(path, "the setting");
    file.setMode(kPrivateMode);  // as private as the list it keeps, whatever the file had
    file.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    file.commit();
    return {};
  } catch (const output::OutputError& error) {
    return QString::fromStdString(error.reason());
  } catch (const std::bad_alloc&) {
    return QString::fromLatin1(output::kNotEnoughMemory);
  }
}

}  // namespace

FileSettingsStore::FileSettingsStore(QString baseFolder) : baseFolder_(std::move(baseFolder)) {}

QString FileSettingsStore::defaultBaseFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString FileSettingsStore::sectionFolder() const {
  return baseFolder_ + QLatin1Char('/') + QLatin1String(kSettingsApplication) + QLatin1Char('/') +
         QLatin1String(kSettingsSection);
}

QString FileSettingsStore::pathOf(const QString& key) const {
  return sectionFolder() + QLatin1Char('/') + fileNameOf(key);
}

QString FileSettingsStore::sparePathOf(const QString& key, const char* why) const {
  const QString stem = pathOf(key) + QLatin1Char('.') + QLatin1String(why) + QLatin1Char('-') +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString path = stem;
  for (int n = 2; QFile::exists(path); ++n) path = stem + QLatin1Char('-') + QString::number(n);
  return path;
}

QString FileSettingsStore::read(const QString& key, const QString& defaultValue) {
  notice_.clear();
  const platform::WholeFile file = platform::readWholeFile(pathOf(key), kSettingsValueLimit);
  if (file.outcome == platform::WholeFileOutcome::Missing) return defaultValue;
  if (file.outcome != platform::WholeFileOutcome::Read) fail(QStringLiteral("read"), key, file.why);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString value = utf8.decode(file.bytes);
  if (utf8.hasError()) {
    // The next save would write U+FFFD in their place: keep the bytes as they were, and say so.
    const QString copy = keepCopy(key, file.bytes);
    notice_ = QStringLiteral("The saved \"%1\" held bytes that are not UTF-8 text; they are shown as \uFFFD and "
                             "will be saved that way. The value as it was stored is kept unchanged in %2")
                  .arg(key, copy);
  }
  return value;
}

QString FileSettingsStore::keepCopy(const QString& key, const QByteArray& bytes) const {
  const QString path = sparePathOf(key, "not-utf8");
  const QString why = writePrivateFile(path, bytes);
  if (!why.isEmpty())
    fail(QStringLiteral("read"), key,
         QStringLiteral("it holds bytes that are not UTF-8 text, and no copy of them could be kept in %1: %2").arg(path, why));
  return path;
}

QString FileSettingsStore::setAside(const QString& key) {
  const QString path = pathOf(key);
  const QString spare = sparePathOf(key, "unread");
  if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(spare).constData()) == 0) return spare;
  if (errno == ENOENT) return {};
  fail(QStringLiteral("kept aside"), key, systemReason(errno));
}

// The bytes reach the disk before they are renamed over the key's file, so a crash can never
// leave a short value behind the key's name, and a full disk leaves the previous value.
void FileSettingsStore::write(const QString& key, const QString& value) {
  const QByteArray bytes = value.toUtf8();
  if (bytes.size() > kSettingsValueLimit)
    fail(QStringLiteral("saved"), key,
         QStringLiteral("it is larger than %1, the most that can be read back").arg(platform::sizeInWords(kSettingsValueLimit)));
  const QString folder = sectionFolder();
  if (!QDir().mkpath(folder)) fail(QStringLiteral("saved"), key, QLatin1String("cannot create the folder ") + folder);
  const QString why = writePrivateFile(pathOf(key), bytes);
  if (!why.isEmpty()) fail(QStringLiteral("saved"), key, why);
}

}  // namespace app
