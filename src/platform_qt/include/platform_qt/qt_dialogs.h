#pragma once
// The real boxes: QMessageBox, QInputDialog and QFileDialog.
#include <QFileDialog>
#include <QStringList>
#include <memory>

#include "platform/dialogs.h"

class QMessageBox;
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

// The file-open dialog. Names typed in its name box that name no file come back as typed, so
// the caller can say "File not found" itself; several names in quotes may come from different
// folders. It opens large enough to show its columns.
class FileOpenDialog : public QFileDialog {
 public:
  FileOpenDialog(QWidget* parent, const FileOpenSettings& settings);
  // What the Open button does.
  void accept() override;
};

// The message box as shown: its text made to fit the screen, and wide enough for its title.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                            const QString& title);

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" -> "Text Files (*.txt);;All Files (*)".
QString toQtFilter(const QString& filter);
// The dialog's answer for these selected paths. The names must fit room as the classic dialog
// returned them: the folder, then each name, each followed by a NUL (one full path for one file).
FileOpenResult fileOpenResultFor(const QStringList& selected, int room);

}  // namespace platform
