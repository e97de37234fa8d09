#pragma once
// Reading a whole file of bounded size without ever blocking or reading without end: named
// pipes, sockets, devices (/dev/zero) and folders are refused before anything is read, and a
// file larger than the limit is refused by its size, or, if it grows while read, after at most
// limit + 1 bytes.
#include <QByteArray>
#include <QString>

namespace platform {

enum class WholeFileOutcome { Read, Missing, NotRegular, TooLarge, Failed };

struct WholeFile {
  WholeFileOutcome outcome = WholeFileOutcome::Failed;
  QByteArray bytes;  // the contents, when Read
  QString why;       // a plain reason otherwise: "it is a named pipe", "No such file or directory" ...
};

WholeFile readWholeFile(const QString& path, qint64 limit);

// "64 MB", for messages about a limit.
QString sizeInWords(qint64 bytes);

}  // namespace platform
