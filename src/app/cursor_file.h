#pragma once
// Windows cursor files (.cur): the picture and its hot spot. Qt's ico reader decodes the picture
// but drops the hot spot, which the file keeps where an icon keeps its planes and bit count.
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

namespace app {

struct CursorPicture {
  QImage image;
  QPoint hotSpot;
};

// The first picture of the file. Throws platform::StepFailure naming the file when it cannot be
// read or is not a cursor picture.
CursorPicture readCursorFile(const QString& path);
CursorPicture decodeCursor(const QByteArray& data, const QString& name);

}  // namespace app
