#pragma once
// Modal boxes the program shows: message boxes, input prompts and the file-open dialog.
// Handlers receive this interface so that tests can answer every box from a script.
#include <QString>
#include <QStringList>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning };
enum class Answer { Ok, Yes, No };

// What the file-open dialog is asked to show, set afresh before each use.
struct FileOpenSettings {
  QString fileName;      // proposed in the name box
  QString title;
  QString filter;        // "Description|pattern|Description|pattern|"
  bool multipleFiles = false;
  bool openReadOnly = false;
  int namesRoom = 0;     // room for the chosen names, in characters (0: no limit)
};

enum class FileOpenOutcome {
  Chosen,        // paths holds at least one full path
  Cancelled,
  TooManyNames,  // the chosen names do not fit namesRoom
  Failed,        // the dialog itself failed; failure says why
};

struct FileOpenResult {
  FileOpenOutcome outcome = FileOpenOutcome::Cancelled;
  QStringList paths;
  QString failure;
};

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

// Texts keep their carriage returns as data; Qt's labels and text streams break lines at "\n".
QString toDisplayText(const QString& text);
// The text as a box shows it: toDisplayText, with any line longer than kBoxLineLimit cut in
// its middle (an 8,192-character formula would make the box wider than any screen), and long
// runs without a space given break points so that the box can wrap them.
inline constexpr qsizetype kBoxLineLimit = 1200;
inline constexpr qsizetype kBoxUnbrokenRun = 60;
QString boxDisplayText(const QString& text);

// The process-wide title of boxes that name none of their own.
void setApplicationTitle(const QString& title);
QString applicationTitle();

}  // namespace platform
