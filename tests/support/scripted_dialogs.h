#pragma once
// A Dialogs double that answers every box from a script and records what was shown.
// A box the script did not expect fails the test (and is answered with OK / empty text /
// cancel, so the code under test cannot hang); scripted answers left over fail it too.
#include <deque>
#include <functional>
#include <vector>

#include "platform/dialogs.h"

namespace testing_support {

struct ShownBox {
  enum class Kind { Message, Input, FileOpen } kind;
  QString text;  // message text or prompt text
  QString title;
  platform::Buttons buttons = platform::Buttons::Ok;
  platform::Icon icon = platform::Icon::None;
  QString defaultText;
  platform::FileOpenSettings fileSettings;
};

class ScriptedDialogs : public platform::Dialogs {
 public:
  ~ScriptedDialogs() override;

  ScriptedDialogs& answerMessage(platform::Answer answer = platform::Answer::Ok);
  ScriptedDialogs& answerInput(const QString& text);
  ScriptedDialogs& answerFile(const platform::FileOpenResult& result);
  // The file-open dialog answered with these full paths chosen.
  ScriptedDialogs& answerFiles(const QStringList& paths) {
    return answerFile({platform::FileOpenOutcome::Chosen, paths, {}});
  }
  // Answers every message box with OK without scripting each one (for floods under test).
  void acceptAllMessages(bool on) { acceptAllMessages_ = on; }
  // Runs when a box is shown, before it is answered (e.g. to act in the middle of a handler).
  std::function<void(const ShownBox&)> onShow;

  const std::vector<ShownBox>& shown() const { return shown_; }
  std::vector<QString> messageTexts() const;
  int unansweredCount() const { return static_cast<int>(script_.size()); }

  platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                              const QString& title) override;
  QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  platform::FileOpenResult openFile(const platform::FileOpenSettings& settings) override;

 private:
  struct Scripted {
    ShownBox::Kind kind;
    platform::Answer answer = platform::Answer::Ok;
    QString text;
    platform::FileOpenResult file;
  };
  bool takeNext(ShownBox::Kind kind, Scripted& next, const ShownBox& box);

  std::deque<Scripted> script_;
  std::vector<ShownBox> shown_;
  bool acceptAllMessages_ = false;
};

}  // namespace testing_support
