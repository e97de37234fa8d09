#pragma once
// The real boxes: QMessageBox, QInputDialog and QFileDialog.
#include <QStringList>

#include "platform/dialogs.h"

class QWidget;

namespace platform {

class QtDialogs : public Dialogs {
 public:
  void setParentWindow(QWidget* parent) { parent_ = parent; }
  Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
  QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  FileOpenResult openFile(const FileOpenSettings& settings) override;

 private:
  QWidget* parent_ = nullptr;
};

// Texts keep their carriage returns as data; Qt's labels break lines only at "\n".
QString toDisplayText(const QString& text);
// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" -> "Text Files (*.txt);;All Files (*)".
QString toQtFilter(const QString& filter);
// The dialog's answer as one text: the full path of one file, or the folder and then each
// name, separated by NUL characters.
QString joinSelectedFiles(const QStringList& paths);

}  // namespace platform
