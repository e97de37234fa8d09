// The list buttons of the main window: Add Equation, Load Equations From File, Clear List,
// Help, Load Sample/Example Files, and the save on closing.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "equations/list_rows_helper.h"
#include "platform/error_report.h"
#include "support/form_fixture.h"

namespace {

using platform::FileOpenResult;
using testing_support::rowsOf;
using testing_support::RowTexts;
using testing_support::ShownBox;


QString reportAt(const char* handler, int line, const QString& description) {
  return platform::errorReportText(platform::ErrorTrap::locationOf(handler), line, description);
}

class ListButtonsTest : public ::testing::Test, protected testing_support::FormFixture {
 protected:
  app::Form1& window() { return *form; }
  std::vector<RowTexts> rows() { return rowsOf(form->list()); }
  QString file(const QString& name, const QByteArray& bytes) { return testing_support::writeBytes(folder, name, bytes); }
  std::vector<ShownBox> inputs() const {
    std::vector<ShownBox> shown;
    for (const ShownBox& box : dialogs.shown())
      if (box.kind == ShownBox::Kind::Input) shown.push_back(box);
    return shown;
  }
  QTemporaryDir folder;
};

// ---- Add Equation ---------------------------------------------------------------------------

TEST_F(ListButtonsTest, AddEquationWithEveryDefaultAddsTheExampleRow) {
  dialogs.answerInput("sin(x) + x").answerInput("0").answerInput("20").answerInput(".01");
  window().PushButton1_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"sin(x) + x", "0", "20", ".01"}}));
  const std::vector<ShownBox> asked = inputs();
  ASSERT_EQ(asked.size(), 4u);
  const struct {
    const char* prompt;
    const char* title;
    const char* defaultText;
  } expected[] = {{"Please enter an Equation: \rExample: cos(x) + x", "Enter Equation", "sin(x) + x"},
                  {"Enter starting numerical value: ", "Start Value", "0"},
                  {"Enter ending numerical value: ", "End Value", "20"},
                  {"Enter steps value: ", "Step Value", ".01"}};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(asked[i].text, QString::fromLatin1(expected[i].prompt));
    EXPECT_EQ(asked[i].title, QString::fromLatin1(expected[i].title));
    EXPECT_EQ(asked[i].defaultText, QString::fromLatin1(expected[i].defaultText));
  }
}

TEST_F(ListButtonsTest, AddEquationKeepsTheTextsExactlyAsTyped) {
  dialogs.answerInput("  x ^ 2 ").answerInput(" -1 ").answerInput("1e2").answerInput("\t.5");
  window().PushButton1_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"  x ^ 2 ", " -1 ", "1e2", "\t.5"}}));
}

TEST_F(ListButtonsTest, AddEquationStopsOnCancelOrSpaces) {
  for (const char* answer : {"", "   "}) {
    SCOPED_TRACE(answer);
    dialogs.answerInput(answer);
    window().PushButton1_Click();
    EXPECT_EQ(window().list().count(), 0);
  }
  EXPECT_EQ(dialogs.shown().size(), 2u);
}

TEST_F(ListButtonsTest, AddEquationAsksAgainUntilTheValueIsNumeric) {
  dialogs.answerInput("x")
      .answerInput("abc").answerInput("").answerInput("0x1").answerInput("5")  // start: 4 asks
      .answerInput("inf").answerInput("6")                                  // end: 2 asks
      .answerInput("").answerInput("1");                                    // step: 2 asks
  window().PushButton1_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"x", "5", "6", "1"}}));
  std::vector<QString> titles, defaults;
  for (const ShownBox& box : inputs()) {
    titles.push_back(box.title);
    defaults.push_back(box.defaultText);
  }
  EXPECT_EQ(titles, (std::vector<QString>{"Enter Equation", "Start Value", "Start Value", "Start Value", "Start Value",
                                          "End Value", "End Value", "Step Value", "Step Value"}));
  EXPECT_EQ(defaults, (std::vector<QString>{"sin(x) + x", "0", "0", "0", "0", "20", "20", ".01", ".01"}));
}

TEST_F(ListButtonsTest, AddEquationTakesTheUsersDecimalComma) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  dialogs.answerInput("x").answerInput("0,5").answerInput("1.000,5").answerInput(",01");
  window().PushButton1_Click();
  QLocale::setDefault(saved);
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"x", "0,5", "1.000,5", ",01"}}));
}

// ---- Samples, Clear List, Help --------------------------------------------------------------

TEST_F(ListButtonsTest, SamplesAddTwoRowsSilently) {
  window().PushButton6_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"x + 100", "0", "20", ".01"}, {"x*x", "0", "100", ".1"}}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ListButtonsTest, ClearListEmptiesTheListUnlessBusy) {
  window().PushButton6_Click();
  window().setMousePointer(app::MousePointer::Busy);
  window().PushButton3_Click();
  EXPECT_EQ(window().list().count(), 2);
  for (app::MousePointer pointer : {app::MousePointer::Default, app::MousePointer::Custom}) {
    window().PushButton6_Click();
    window().setMousePointer(pointer);
    window().PushButton3_Click();
    EXPECT_EQ(window().list().count(), 0);
  }
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ListButtonsTest, HelpShowsHowToWriteFilesAndEquations) {
  dialogs.answerMessage();
  window().PushButton5_Click();
  ASSERT_EQ(dialogs.shown().size(), 1u);
  const ShownBox& box = dialogs.shown()[0];
  EXPECT_EQ(box.text,
            QStringLiteral("This software will create multiple charts based on the formulas entered above.\r\n\r\n"
                           "Please note: \r\r\n"
                           "1. The text file used with the 'Load Equation From File' feature must be separated by "
                           "comma:\r\n\r\n"
                           "x + 3, 0, 20, 0.01\r\nsin(x) + x, 0, 10, 0.50\r\n(x * 3) - 3, 0, 15, 1\r\n\r\n"
                           "2. Instead of entering 4x - 3, you must enter (4 * x) - 3\r\n\r\n"
                           "3. Instead of entering y = 2 * x you must enter 2 * x. Do not include y = "));
  EXPECT_EQ(box.buttons, platform::Buttons::Ok);
  EXPECT_EQ(box.icon, platform::Icon::None);
  EXPECT_TRUE(box.title.isEmpty());
}

// ---- Load Equations From File ---------------------------------------------------------------

TEST_F(ListButtonsTest, LoadAsksWithTheDesignedDialog) {
  dialogs.answerFile({});
  window().PushButton4_Click();
  ASSERT_EQ(dialogs.shown().size(), 1u);
  const platform::FileOpenSettings& settings = dialogs.shown()[0].fileSettings;
  EXPECT_TRUE(settings.multipleFiles);
  EXPECT_TRUE(settings.openReadOnly);
  EXPECT_EQ(settings.title, QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
  EXPECT_EQ(settings.filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
  EXPECT_TRUE(settings.fileName.isEmpty());
  EXPECT_EQ(window().mousePointer(), app::MousePointer::Default);
}

TEST_F(ListButtonsTest, LoadOneFile) {
  dialogs.answerFiles({file("help.txt", "x + 3, 0, 20, 0.01\r\nsin(x) + x, 0, 10, 0.50\r\n(x * 3) - 3, 0, 15, 1\r\n")});
  window().setMousePointer(app::MousePointer::Custom);
  window().PushButton4_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"x + 3", "0", "20", "0.01"},
                                           {"sin(x) + x", "0", "10", "0.50"},
                                           {"(x * 3) - 3", "0", "15", "1"}}));
  EXPECT_EQ(window().mousePointer(), app::MousePointer::Default);
}

TEST_F(ListButtonsTest, LoadFiveFilesAtOnceInTheirOrder) {
  QStringList paths;
  std::vector<RowTexts> expected;
  for (const char* name : {"e.txt", "b.txt", "d d.txt", "a.txt", "c.txt"}) {
    paths << file(name, QByteArray(name) + ", 0, 1, 1\n");
    expected.push_back({QString::fromLatin1(name), "0", "1", "1"});
  }
  dialogs.answerFiles(paths);
  window().PushButton4_Click();
  EXPECT_EQ(rows(), expected);
}

TEST_F(ListButtonsTest, LoadSeveralCollapsesDoubledSlashes) {
  const QString path = file("root.txt", "r, 0, 1, 1");
  ASSERT_TRUE(path.startsWith(QLatin1Char('/')));
  QString doubled = path;
  doubled.replace(QLatin1Char('/'), QLatin1String("//"));
  dialogs.answerFiles({doubled, QLatin1Char('/') + doubled});
  window().PushButton4_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"r", "0", "1", "1"}, {"r", "0", "1", "1"}}));
}

TEST_F(ListButtonsTest, LoadReportsAMalformedFileAndGoesOnWithTheNext) {
  const QString bad = file("bad.txt", "x, 0, 1, 1\n\ny, 0, 1, 1\n");
  file("good.txt", "g, 0, 1, 1\n");
  dialogs.answerFiles({bad, folder.filePath("missing.txt"), folder.filePath("good.txt")});
  dialogs.answerMessage().answerMessage();
  window().PushButton4_Click();
  EXPECT_EQ(rows(), (std::vector<RowTexts>{{"x", "0", "1", "1"}, {"g", "0", "1", "1"}}));
  EXPECT_EQ(dialogs.messageTexts(),
            (std::vector<QString>{
                reportAt("PushButton4_Click", 134,
                         QStringLiteral("Subscript out of range: line 2 of %1 has no fields, 4 are needed").arg(bad)),
                QStringLiteral("File not found")}));
}

TEST_F(ListButtonsTest, LoadReportsASingleFileFailureAtLine120) {
  dialogs.answerFiles({folder.path()});
  dialogs.answerMessage();
  window().PushButton4_Click();
  ASSERT_EQ(dialogs.messageTexts().size(), 1u);
  EXPECT_TRUE(dialogs.messageTexts()[0].contains(QStringLiteral("at line 120"))) << dialogs.messageTexts()[0].toStdString();
  EXPECT_EQ(window().mousePointer(), app::MousePointer::Default);
}

TEST_F(ListButtonsTest, AFailedDialogIsReportedAndReadsNothing) {
  dialogs.answerFile({platform::FileOpenOutcome::Failed, {}, QStringLiteral("The dialog could not be shown")});
  dialogs.answerMessage();
  window().PushButton4_Click();
  EXPECT_EQ(window().list().count(), 0);
  EXPECT_EQ(dialogs.messageTexts(),
            (std::vector<QString>{reportAt("PushButton4_Click", 108, QStringLiteral("The dialog could not be shown"))}));
  EXPECT_EQ(window().mousePointer(), app::MousePointer::Default);
}

TEST_F(ListButtonsTest, TooManyFilesReadsNothing) {
  file("a.txt", "a, 0, 1, 1\n");
  dialogs.answerFile({platform::FileOpenOutcome::TooManyNames, {}, {}});
  dialogs.answerMessage();
  window().setMousePointer(app::MousePointer::Custom);
  window().PushButton4_Click();
  EXPECT_EQ(window().list().count(), 0);
  EXPECT_EQ(window().mousePointer(), app::MousePointer::Custom);
  ASSERT_EQ(dialogs.shown().size(), 2u);
  const ShownBox& box = dialogs.shown()[1];
  EXPECT_EQ(box.text, QStringLiteral("You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button."));
  EXPECT_EQ(box.icon, platform::Icon::None);
  EXPECT_TRUE(box.title.isEmpty());
}

// ---- Closing --------------------------------------------------------------------------------

TEST_F(ListButtonsTest, ClosingSavesTheList) {
  window().PushButton6_Click();
  window().Form_QueryUnload();
  EXPECT_EQ(settings.values[QStringLiteral("Equations")],
            QStringLiteral("x + 100||MySeparator12||0||MySeparator12||20||MySeparator12||.01||MySeparator23||"
                           "x*x||MySeparator12||0||MySeparator12||100||MySeparator12||.1||MySeparator23||"));
}

TEST_F(ListButtonsTest, AFailedSaveIsReportedAndTheWindowStillCloses) {
  settings.failWrite = true;
  dialogs.answerMessage();
  window().show();
  window().close();
  EXPECT_EQ(dialogs.messageTexts(),
            std::vector<QString>{reportAt("Form_QueryUnload", 108, QStringLiteral("The settings could not be written"))});
  EXPECT_EQ(programEnds, 1);
}

}  // namespace
