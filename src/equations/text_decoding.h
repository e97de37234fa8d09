#pragma once
// The text of an equation file's bytes.
#include <QByteArray>
#include <QString>

namespace equations {

// True when the bytes begin with the byte-order mark of UTF-16, either byte order.
bool hasUtf16ByteOrderMark(QByteArrayView bytes);

// UTF-16 when the bytes begin with its byte-order mark. Otherwise UTF-8 (leading UTF-8
// byte-order marks dropped, however many), decided line by line: a line that is not valid UTF-8 was made on
// Windows and is read as Windows-1252, without changing how the other lines are read.
QString decodeTextFile(const QByteArray& bytes);
QString decodeWindows1252(QByteArrayView bytes);

}  // namespace equations
