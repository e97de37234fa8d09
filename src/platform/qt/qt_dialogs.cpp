#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

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

Answer QtDialogs::messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
  QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  titleOrDefault(title), toDisplayText(text),
                  buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  parent_);
  box.setWindowModality(Qt::ApplicationModal);
  const int pressed = box.exec();
  if (buttons == Buttons::Ok) return Answer::Ok;
  return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, titleOrDefault(title), toDisplayText(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
  return ok ? answer : QString();
}

FileOpenResult QtDialogs::openFile(const FileOpenSettings& settings) {
  QFileDialog dialog(parent_, titleOrDefault(settings.title), QString(), toQtFilter(settings.filter));
  dialog.setFileMode(settings.multipleFiles ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  return fileOpenResultFor(dialog.selectedFiles(), settings.namesRoom);
}

}  // namespace platform
