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

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" -> "Text Files (*.txt);;All Files (*)".
QString toQtFilter(const QString& filter);
// The dialog's answer for these selected paths. The names must fit room as the classic dialog
// returned them: the folder, then each name, each followed by a NUL (one full path for one file).
FileOpenResult fileOpenResultFor(const QStringList& selected, int room);

}  // namespace platform
