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

QString toDisplayText(const QString& text) {
  QString out = text;
  out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

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

QString joinSelectedFiles(const QStringList& paths) {
  if (paths.isEmpty()) return {};
  if (paths.size() == 1) return paths.first();
  QString joined = QFileInfo(paths.first()).absolutePath();
  for (const QString& path : paths) joined += QChar(0) + QFileInfo(path).fileName();
  return joined;
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
  dialog.setFileMode((settings.flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                                                             : QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QString joined = joinSelectedFiles(dialog.selectedFiles());
  if (settings.maxFileSize > 0 && joined.size() >= settings.maxFileSize) return {{}, kBufferTooSmall};
  return {joined, 0};
}

}  // namespace platform
