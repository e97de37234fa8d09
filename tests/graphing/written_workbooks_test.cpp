// The whole run, from hostile equations to the file on disk: every workbook it writes, in both
// modes, is well-formed XML part by part (checked by a strict parser outside the program).
#include <gtest/gtest.h>

#include "run_fixture.h"
#include "support/well_formed.h"

using testing_support::RunFixture;

namespace {

// Answers every box and keeps its text: how many reports the corpus gives is not the point here.
class AnsweringDialogs : public platform::Dialogs {
 public:
  platform::Answer messageBox(const QString& text, platform::Buttons, platform::Icon, const QString&) override {
    texts.push_back(text);
    return platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }
  std::vector<QString> texts;
};

QString fromBytes(const char* bytes, std::size_t length) { return QString::fromUtf8(bytes, static_cast<qsizetype>(length)); }

// Equations as a hostile user would type, paste or load them.
std::vector<QString> hostileEquations() {
  std::vector<QString> equations = {
      QStringLiteral("x&\"\x1b\""), QStringLiteral("x+\x01"), fromBytes("x&\"\0\"", 5),
      QStringLiteral("x+") + QChar(0xFFFF), QStringLiteral("x+") + QChar(0xFFFE), QStringLiteral("x&\"") + QChar(0xD800) + "\"",
      QStringLiteral("x&\"<b>&amp;]]>\"&x"), QStringLiteral("x&\"\"\"\""), QStringLiteral("\"<\"&x&\">\""),
      QStringLiteral("x&\"\t\r\n\""), QStringLiteral("x\r\n+1"), QStringLiteral("x&\"\xF0\x9F\x93\x88 \u05D0\u05D1\""),
      QStringLiteral("=x"), QStringLiteral("'x"), QStringLiteral("Data!A1+x"), QStringLiteral("x&CHAR(27)"),
      QStringLiteral("sin(x"), QStringLiteral("2x"), QStringLiteral("x2"), QStringLiteral("x&x&x&x&x&x&x&x"),
      QStringLiteral("if(x>1,\"a\"&x,#N/A)"), QStringLiteral("1/(x-1)"), QStringLiteral("x^1000"), QStringLiteral(""),
      QString(4000, QChar('(')) + "x" + QString(4000, QChar(')')), QStringLiteral("x&\"") + QString(9000, QChar('y')) + "\"",
  };
  return equations;
}

TEST(WrittenWorkbooks, EveryPartOfEveryBookIsWellFormedInBothModes) {
  for (bool separate : {true, false}) {
    AnsweringDialogs dialogs;
    testing_support::HookPump pump;
    testing_support::RecordingFactory engine;
    testing_support::TestWindow window;
    window.separate = separate;
    for (const QString& equation : hostileEquations())
      window.list.rows.push_back({equation, QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("1")});
    graphing::GraphingRun run{engine, dialogs, pump, window};
    run.StartGraphing(platform::ErrorTrap::locationOf("PushButton2_Click"));
    ASSERT_EQ(engine.last().writtenFiles().size(), 1u);
    // Checked here: the engine's folder goes with it.
    EXPECT_EQ(testing_support::wellFormedProblems({engine.last().writtenFiles().front()}).toStdString(), "")
        << (separate ? "separate charts" : "one chart");
    // Each failing equation is reported at most once: a flood of boxes would be a fault.
    EXPECT_LE(dialogs.texts.size(), hostileEquations().size() + 1);
    EXPECT_EQ(dialogs.texts.back(), QStringLiteral("Done."));
  }
}

TEST(WrittenWorkbooks, TheWritingStepIsShownInsteadOfAFullBar) {
  RunFixture f;
  f.add("x", "0", "3", "1");
  f.runExpecting();
  ASSERT_GE(f.window.texts.size(), 2u);
  EXPECT_EQ(f.window.texts[f.window.texts.size() - 2], QStringLiteral("Writing the workbook..."));
  EXPECT_EQ(f.window.texts.back(), QStringLiteral("Progress Bar"));
  ASSERT_GE(f.window.progress.size(), 3u);
  EXPECT_EQ(f.window.progress[f.window.progress.size() - 3], 100);
  EXPECT_EQ(f.window.progress[f.window.progress.size() - 2], 0) << "not left at 100 while writing";
}

}  // namespace
