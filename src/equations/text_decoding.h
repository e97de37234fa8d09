#pragma once
// Turning the bytes of a text file into text: UTF-8, or Windows-1252 for files made on Windows
// that are not valid UTF-8. A UTF-8 byte-order mark is not part of the text.
#include <QByteArray>
#include <QString>

namespace equations {

QString decodeTextFile(const QByteArray& bytes);
QString decodeWindows1252(QByteArrayView bytes);

}  // namespace equations
