#include "cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include "platform/error_report.h"

namespace app {
namespace {

constexpr qint64 kLargestCursorFile = 1 << 20;
constexpr int kDirectorySize = 6;   // reserved, type, count
constexpr int kEntrySize = 16;      // width, height, colours, reserved, hot x, hot y, size, offset
constexpr quint16 kTypeIcon = 1;
constexpr quint16 kTypeCursor = 2;

quint16 word(const QByteArray& data, int at) { return qFromLittleEndian<quint16>(data.constData() + at); }
quint32 dword(const QByteArray& data, int at) { return qFromLittleEndian<quint32>(data.constData() + at); }

[[noreturn]] void notAPicture(const QString& name, const char* why) {
  throw platform::StepFailure(
      QStringLiteral("Invalid picture: %1 is not a cursor file (%2)").arg(name, QLatin1String(why)).toStdString());
}

// Decodes the first picture; read as an icon, which Qt's reader knows, since only the type differs.
QImage firstPicture(QByteArray data) {
  qToLittleEndian<quint16>(kTypeIcon, data.data() + 2);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  return reader.read();
}

}  // namespace

CursorPicture decodeCursor(const QByteArray& data, const QString& name) {
  if (data.size() < kDirectorySize + kEntrySize) notAPicture(name, "too short");
  if (word(data, 0) != 0 || word(data, 2) != kTypeCursor) notAPicture(name, "no cursor header");
  if (word(data, 4) == 0) notAPicture(name, "no picture in it");
  const int entry = kDirectorySize;
  const QPoint hotSpot(word(data, entry + 4), word(data, entry + 6));
  const quint64 size = dword(data, entry + 8);
  const quint64 offset = dword(data, entry + 12);
  if (size == 0 || offset + size > static_cast<quint64>(data.size())) notAPicture(name, "cut short");
  QImage image = firstPicture(data);
  if (image.isNull()) notAPicture(name, "the picture cannot be decoded");
  if (!image.rect().contains(hotSpot)) notAPicture(name, "hot spot outside the picture");
  return {std::move(image), hotSpot};
}

CursorPicture readCursorFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw platform::StepFailure(QStringLiteral("The cursor file %1 could not be read").arg(path).toStdString());
  if (file.size() > kLargestCursorFile) notAPicture(path, "too large");
  return decodeCursor(file.readAll(), path);
}

}  // namespace app
