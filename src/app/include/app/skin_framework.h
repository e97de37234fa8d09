#pragma once
// Paints the main window from a skin file. Our skin format is a Qt style sheet in UTF-8.
//
// Use: LoadSkin, adjust options() and the properties, then ApplyWindow on the main window.
//
// Options (a set of flags; other bits are kept as given and mean nothing yet):
//   SkinOption::StyleControls: the skin reaches the window's controls too. Without it every rule
//          is narrowed to the window itself (its selectors get the window's object name), so the
//          controls keep the desktop's look.
// Properties (on/off, all off after construction):
//   SkinProperty::Dialogs: message boxes, prompts and file dialogs wear the skin as well. The
//       rules, narrowed to dialogs, become the application's style sheet; the style sheet that was
//       there before comes back when this object goes.
//   SkinProperty::FollowDesktop: when the desktop's colours change, the skin is applied again,
//       so that its palette(...) colours follow the new scheme at once.
#include <QFlags>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;

namespace app {

// The numbers are those of the skinning component the original design used.
enum class SkinOption { StyleControls = 0x1 };
using SkinOptions = QFlags<SkinOption>;
enum class SkinProperty { Dialogs = 5, FollowDesktop = 10 };

class SkinFramework {
 public:
  SkinFramework();
  ~SkinFramework();
  SkinFramework(const SkinFramework&) = delete;
  SkinFramework& operator=(const SkinFramework&) = delete;

  // Reads the skin at path, then the style sheet named by overrides (empty for none), whose
  // rules come after the skin's. Throws platform::StepFailure naming the file that is missing,
  // unreadable, not UTF-8, empty or not a style sheet; the skin loaded before then stays.
  void LoadSkin(const QString& path, const QString& overrides);
  SkinOptions options() const;
  void setOptions(SkinOptions options);
  // Throws platform::StepFailure for a property this component does not have.
  void setProperty(SkinProperty id, bool value);
  bool property(SkinProperty id) const;
  // Puts the loaded skin on window (and on the dialogs, with property 5). Throws
  // platform::StepFailure when no skin is loaded.
  void ApplyWindow(QWidget* window);

  const QString& styleSheet() const { return styleSheet_; }

  // Each operation is logged as it is called, in words ("LoadSkin <path>", "options",
  // "setOptions 1", "setProperty 5 on", "ApplyWindow <object name>", "reapply"), as debug
  // messages of the logging category "tessaline.skin" (off unless QT_LOGGING_RULES turns it on).
  static constexpr const char* kLogCategory = "tessaline.skin";

 private:
  class DesktopWatcher;
  void note(const QString& operation) const;
  void putOnEverything();
  void putOnWindow();
  void putOnDialogs();
  void restoreApplicationSheet();

  QString styleSheet_;
  SkinOptions options_;
  bool dialogs_ = false;
  bool followDesktop_ = false;
  bool applying_ = false;  // our own style sheet changes may change the palette: no loop
  QPointer<QWidget> window_;
  bool ownsApplicationSheet_ = false;
  QString previousApplicationSheet_;
  std::unique_ptr<DesktopWatcher> watcher_;
};

}  // namespace app

Q_DECLARE_OPERATORS_FOR_FLAGS(app::SkinOptions)
