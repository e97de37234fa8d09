#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testing_support {
namespace {
const char* kindName(ShownBox::Kind kind) {
  switch (kind) {
    case ShownBox::Kind::Message: return "message box";
    case ShownBox::Kind::Input: return "input prompt";
    case ShownBox::Kind::FileOpen: return "file-open dialog";
  }
  return "box";
}
}  // namespace

ScriptedDialogs::~ScriptedDialogs() {
  if (!script_.empty())
    ADD_FAILURE() << script_.size() << " scripted answer(s) never asked for; next: a "
                  << kindName(script_.front().kind);
}

ScriptedDialogs& ScriptedDialogs::answerMessage(platform::Answer answer) {
  script_.push_back({ShownBox::Kind::Message, answer, {}, {}});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::answerInput(const QString& text) {
  script_.push_back({ShownBox::Kind::Input, platform::Answer::Ok, text, {}});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFile(const platform::FileOpenResult& result) {
  script_.push_back({ShownBox::Kind::FileOpen, platform::Answer::Ok, {}, result});
  return *this;
}

std::vector<QString> ScriptedDialogs::messageTexts() const {
  std::vector<QString> texts;
  for (const ShownBox& box : shown_)
    if (box.kind == ShownBox::Kind::Message) texts.push_back(box.text);
  return texts;
}

bool ScriptedDialogs::takeNext(ShownBox::Kind kind, Scripted& next, const ShownBox& box) {
  shown_.push_back(box);
  if (onShow) onShow(box);
  if (!script_.empty() && script_.front().kind == kind) {
    next = script_.front();
    script_.pop_front();
    return true;
  }
  if (kind == ShownBox::Kind::Message && acceptAllMessages_) return false;
  ADD_FAILURE() << "Unexpected " << kindName(kind) << ": \"" << box.text.toStdString() << "\" (title \""
                << box.title.toStdString() << "\")";
  return false;
}

platform::Answer ScriptedDialogs::messageBox(const QString& text, platform::Buttons buttons,
                                             platform::Icon icon, const QString& title) {
  Scripted next;
  ShownBox box{ShownBox::Kind::Message, text, title, buttons, icon, {}, {}};
  if (!takeNext(ShownBox::Kind::Message, next, box))
    return buttons == platform::Buttons::YesNo ? platform::Answer::No : platform::Answer::Ok;
  return next.answer;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  Scripted next;
  ShownBox box{ShownBox::Kind::Input, prompt, title, platform::Buttons::Ok, platform::Icon::None,
               defaultText, {}};
  if (!takeNext(ShownBox::Kind::Input, next, box)) return {};
  return next.text;
}

platform::FileOpenResult ScriptedDialogs::openFile(const platform::FileOpenSettings& settings) {
  Scripted next;
  ShownBox box{ShownBox::Kind::FileOpen, settings.title, settings.title, platform::Buttons::Ok,
               platform::Icon::None, {}, settings};
  if (!takeNext(ShownBox::Kind::FileOpen, next, box)) return {};
  return next.file;
}

}  // namespace testing_support
