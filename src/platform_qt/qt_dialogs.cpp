#include "platform_qt/qt_dialogs.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>

namespace platform {
namespace {
QString titleOrDefault(const QString& title) {
  return title.isEmpty() ? applicationTitle() : title;
}
}  // namespace

QString toQtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1String("*.*"), QLatin1String("*"));
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the last parentheses of each entry.
    const int open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0) description = description.left(open).trimmed();
    entries << QStringLiteral("%1 (%2)").arg(description, pattern);
  }
  return entries.join(QLatin1String(";;"));
}

FileOpenResult fileOpenResultFor(const QStringList& selected, int room) {
  if (selected.isEmpty()) return {};
  qsizetype length = selected.first().size() + 1;
  if (selected.size() > 1) {
    length = QFileInfo(selected.first()).absolutePath().size() + 1;
    for (const QString& path : selected) length += QFileInfo(path).fileName().size() + 1;
  }
  if (room > 0 && length > room) return {FileOpenOutcome::TooManyNames, {}, {}};
  return {FileOpenOutcome::Chosen, selected, {}};
}

namespace {

QRect availableScreen(const QWidget* parent) {
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// The window manager cuts a title that does not fit; a short text would make the box that narrow.
void makeRoomForTitle(QMessageBox& box, const QString& title) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  constexpr int kTitleBarButtons = 120;  // close button, icon and margins of a common title bar
  const int width = std::min(box.fontMetrics().horizontalAdvance(title) * 3 / 2 + kTitleBarButtons,
                             availableScreen(box.parentWidget()).width() / 2);
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                grid->columnCount());
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                            const QString& title) {
  auto box = std::make_unique<QMessageBox>(
      icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, titleOrDefault(title),
      boxDisplayText(text), buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
  box->setWindowModality(Qt::ApplicationModal);
  box->setTextFormat(Qt::PlainText);
  makeRoomForTitle(*box, titleOrDefault(title));
  return box;
}

Answer QtDialogs::messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
  const auto box = makeMessageBox(parent_, text, buttons, icon, title);
  const int pressed = box->exec();
  if (buttons == Buttons::Ok) return Answer::Ok;
  return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, titleOrDefault(title), toDisplayText(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
  return ok ? answer : QString();
}

FileOpenDialog::FileOpenDialog(QWidget* parent, const FileOpenSettings& settings)
    : QFileDialog(parent, titleOrDefault(settings.title), QString(), toQtFilter(settings.filter)) {
  // Qt's own dialog, whatever the desktop: a native one would refuse typed names of no file.
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(settings.multipleFiles ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  if (!settings.fileName.isEmpty()) selectFile(settings.fileName);
  // Qt greys Open for a name of no file; ours says "File not found" itself, so any name goes.
  // Connected after Qt's own check, so it has the last word.
  auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (name && buttons) {
    connect(name, &QLineEdit::textChanged, this, [name, buttons] {
      if (QPushButton* open = buttons->button(QDialogButtonBox::Open))
        open->setEnabled(!name->text().trimmed().isEmpty());
    });
  }
  const QRect screen = availableScreen(parent);
  resize(std::min(900, screen.width() * 9 / 10), std::min(560, screen.height() * 9 / 10));
}

void FileOpenDialog::accept() {
  const QStringList files = selectedFiles();
  // A folder typed or chosen alone is opened in the dialog, as always.
  if (files.size() == 1 && QFileInfo(files.first()).isDir()) {
    QFileDialog::accept();
    return;
  }
  if (files.isEmpty()) return;
  // Names of no file are handed back as typed: the caller says "File not found" for each.
  QDialog::accept();
}

FileOpenResult QtDialogs::openFile(const FileOpenSettings& settings) {
  FileOpenDialog dialog(parent_, settings);
  if (dialog.exec() != QDialog::Accepted) return {};
  return fileOpenResultFor(dialog.selectedFiles(), settings.namesRoom);
}

}  // namespace platform
