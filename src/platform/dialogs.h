#pragma once
// Modal boxes the program shows: message boxes, input prompts and the file-open dialog.
// Handlers receive this interface so that tests can answer every box from a script.
#include <QString>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning };
enum class Answer { Ok, Yes, No };

// What the file-open dialog is asked to show, set afresh before each use.
struct FileOpenSettings {
  QString fileName;
  int flags = 0;
  QString title;
  QString filter;        // "Description|pattern|Description|pattern|"
  int maxFileSize = 0;   // room for the returned names, in characters (0: the dialog's own)
};

// One full path, or the folder followed by the chosen names, separated by NUL characters.
// Empty when cancelled. error is non-zero when the dialog itself failed (such as
// kBufferTooSmall when the names do not fit maxFileSize).
struct FileOpenResult {
  QString fileName;
  int error = 0;
};

inline constexpr int kBufferTooSmall = 20476;
inline constexpr int OFN_READONLY = 0x1;
inline constexpr int OFN_ALLOWMULTISELECT = 0x200;
inline constexpr int OFN_EXPLORER = 0x80000;
inline constexpr int OFN_LONGNAMES = 0x200000;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // An empty title means the application title.
  virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                            const QString& title = {}) = 0;
  // The edited text on OK; empty text on Cancel or when the prompt is closed.
  virtual QString inputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) = 0;
  virtual FileOpenResult openFile(const FileOpenSettings& settings) = 0;
};

// The process-wide title of boxes that name none of their own.
void setApplicationTitle(const QString& title);
QString applicationTitle();

}  // namespace platform
