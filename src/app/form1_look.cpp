// The window's look: the optional skin, the hover cursor file and captions that fit.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>

#include <algorithm>

#include "cursor_file.h"
#include "app/form1.h"
#include "platform/error_report.h"
#include "platform/file_check.h"

namespace app {
namespace {

constexpr char kSkinFile[] = "/x/o.cjs";
constexpr char kCursorFile[] = "/HAND-M.CUR";

// Where an installed program keeps its data, relative to its executable's folder; the build
// sets it from the install layout (bin/ and share/tessaline/ under the prefix by default).
#ifndef TESSALINE_DATA_FROM_PROGRAM
#define TESSALINE_DATA_FROM_PROGRAM "../share/tessaline"
#endif

// Hidden as the desktop's file managers see it: a name that starts with "." or one listed in
// the ".hidden" file of its folder (the freedesktop convention GLib, Nautilus and Dolphin share).
bool isHiddenEntry(const QFileInfo& entry) {
  if (entry.fileName().startsWith(QLatin1Char('.'))) return true;
  QFile list(entry.absolutePath() + QLatin1String("/.hidden"));
  if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  while (!list.atEnd())
    if (QString::fromUtf8(list.readLine()).trimmed() == entry.fileName()) return true;
  return false;
}

// A plain file that is neither hidden itself nor in a hidden folder below the program folder.
bool isVisiblePlainFile(const QString& programFolder, const QString& path) {
  const QFileInfo file(path);
  if (!file.isFile() || isHiddenEntry(file)) return false;
  const qsizetype top = QFileInfo(programFolder).absoluteFilePath().size();
  for (QFileInfo folder(file.absolutePath()); folder.absoluteFilePath().size() > top;
       folder = QFileInfo(folder.absolutePath())) {
    if (isHiddenEntry(folder)) return false;
  }
  return true;
}

// The controls that take the button face with the window: option buttons, check boxes, labels
// and plain frames (not the list view, which is a frame too, nor push buttons or the progress bar).
bool takesButtonFace(const QWidget* control) {
  return qobject_cast<const QRadioButton*>(control) || qobject_cast<const QCheckBox*>(control) ||
         qobject_cast<const QLabel*>(control) || qobject_cast<const QGroupBox*>(control) ||
         control->metaObject() == &QFrame::staticMetaObject;
}

// The role, not a copy of the colour, so the face follows the desktop's scheme.
void paintButtonFace(QWidget* widget) {
  widget->setBackgroundRole(QPalette::Button);
  widget->setAutoFillBackground(true);
}

// Grows a control to its caption's size about its middle, never past its parent's edges.
void growToCaption(QWidget* control) {
  const QWidget* parent = control->parentWidget();
  if (!parent) return;
  const QRect room = parent->contentsRect();
  const QSize needed = control->sizeHint();
  QRect placed = control->geometry();
  if (needed.width() > placed.width()) placed.setRight(std::min(room.right(), placed.left() + needed.width() - 1));
  if (needed.height() > placed.height()) {
    const int grow = needed.height() - placed.height();
    placed.adjust(0, -grow / 2, 0, grow - grow / 2);
    if (placed.top() < room.top()) placed.moveTop(room.top());
    if (placed.bottom() > room.bottom()) placed.moveBottom(room.bottom());
  }
  control->setGeometry(placed);
}

}  // namespace

// The design's lengths were made for Arial; a wider stand-in (DejaVu Sans Bold where no
// Arial-metric font is installed) would cut the captions short, so controls grow to them.
void Form1::fitCaptions() {
  for (QWidget* control : findChildren<QWidget*>()) {
    const auto* button = qobject_cast<QAbstractButton*>(control);
    const auto* label = qobject_cast<QLabel*>(control);
    if ((button && !button->text().isEmpty()) || (label && !label->text().isEmpty())) growToCaption(control);
  }
}

QString installedDataFolder(const QString& programFolder) {
  return QDir::cleanPath(programFolder + QLatin1Char('/') + QLatin1String(TESSALINE_DATA_FROM_PROGRAM));
}

// The look files are looked for beside the executable first (a build folder, or a hand-made
// copy), then in the data folder of an installed program.
QStringList Form1::lookFolders() const {
  return {services_.programFolder, installedDataFolder(services_.programFolder)};
}

void Form1::ApplySkin() {
  QString skinPath;
  for (const QString& folder : lookFolders()) {
    if (isVisiblePlainFile(folder, folder + QLatin1String(kSkinFile))) {
      skinPath = folder + QLatin1String(kSkinFile);
      break;
    }
  }
  if (skinPath.isEmpty()) return;
  paintButtonFace(this);
  for (QWidget* control : findChildren<QWidget*>())
    if (takesButtonFace(control)) paintButtonFace(control);
  SkinFramework1.LoadSkin(skinPath, QString());
  SkinFramework1.setOptions(SkinFramework1.options() | SkinOption::StyleControls);
  SkinFramework1.setProperty(SkinProperty::Dialogs, true);
  SkinFramework1.setProperty(SkinProperty::FollowDesktop, true);
  SkinFramework1.ApplyWindow(this);
}

void Form1::loadCursorFile(platform::ErrorTrap& trap) {
  QString path;
  const bool present = trap.test(106, [&] {
    for (const QString& folder : lookFolders()) {
      path = folder + QLatin1String(kCursorFile);
      if (platform::lastModifiedReadable(path)) return true;
    }
    return false;
  });
  if (!present) return;
  trap.step(108, [&] {
    const CursorPicture cursor = readCursorFile(path);
    setMouseIcon(QCursor(QPixmap::fromImage(cursor.image), cursor.hotSpot.x(), cursor.hotSpot.y()));
  });
}

}  // namespace app
