// Loading equation files whose start holds byte-order marks stacked by editors, and names that
// are symbolic links leading nowhere or round in a loop.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "equations/equation_file.h"
#include "equations/list_rows_helper.h"
#include "equations/samples_and_help.h"
#include "platform/error_report.h"
#include "support/scripted_dialogs.h"

namespace {

using testing_support::rowsOf;
using testing_support::RowTexts;

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

QByteArray utf16(const QString& text, bool little) {
  QByteArray bytes;
  for (const char16_t c : text.toStdU16String()) {
    bytes += char(little ? c & 0xFF : c >> 8);
    bytes += char(little ? c >> 8 : c & 0xFF);
  }
  return bytes;
}

class EquationFileEdges : public ::testing::Test {
 protected:
  // The failure a load reports through the handler's trap, empty when it went through.
  QString load(const QString& path) {
    try {
      equations::LoadEquationFile(list, path, dialogs);
    } catch (const platform::StepFailure& failure) {
      return QString::fromUtf8(failure.what());
    }
    return {};
  }
  QString link(const char* name, const char* target) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    EXPECT_EQ(::symlink(target, QFile::encodeName(path).constData()), 0);
    return path;
  }
  QTemporaryDir dir;
  testing_support::ScriptedDialogs dialogs;
  equations::EquationListModel list;
};

TEST_F(EquationFileEdges, StackedByteOrderMarksAreNoPartOfTheFirstEquation) {
  const QString lines = QStringLiteral("x + 3, 0, 20, 0.01\r\nsin(x), 0, 10, 0.50\r\n");
  const QByteArray utf16Le = QByteArray("\xFF\xFE") + utf16(QChar(0xFEFF) + lines, true);
  const QByteArray utf16Be = QByteArray("\xFE\xFF") + utf16(QString(2, QChar(0xFEFF)) + lines, false);
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"two UTF-8 marks", kUtf8Mark + kUtf8Mark + lines.toUtf8()},
      {"three UTF-8 marks", kUtf8Mark + kUtf8Mark + kUtf8Mark + lines.toUtf8()},
      {"two marks, a Windows line later", kUtf8Mark + kUtf8Mark + lines.toUtf8() + "caf\xE9, 1, 2, 3\r\n"},
      {"two UTF-16 LE marks", utf16Le},
      {"three UTF-16 BE marks", utf16Be},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list.clear();
    const QString path = dir.filePath(QStringLiteral("marks.txt"));
    ASSERT_EQ(testing_support::writeBytes(dir, QStringLiteral("marks.txt"), c.bytes), path);
    EXPECT_EQ(load(path), QString());
    ASSERT_GE(list.count(), 2);
    EXPECT_EQ(rowsOf(list)[0], (RowTexts{"x + 3", "0", "20", "0.01"}));
    EXPECT_EQ(rowsOf(list)[1], (RowTexts{"sin(x)", "0", "10", "0.50"}));
  }
  // A mark further in is text, as it always was.
  list.clear();
  EXPECT_EQ(load(testing_support::writeBytes(dir, QStringLiteral("inner.txt"), "a\xEF\xBB\xBF, 1, 2, 3\n")), QString());
  EXPECT_EQ(rowsOf(list)[0][0], QString::fromUtf16(u"a\uFEFF"));
}

TEST_F(EquationFileEdges, ALoopOfLinksIsReportedAsUnreadableNotAsMissing) {
  link("a.txt", "b.txt");
  const QString loop = link("b.txt", "a.txt");
  const QString failure = load(loop);
  EXPECT_TRUE(failure.contains(QStringLiteral("could not be read")) && failure.contains(loop)) << failure.toStdString();
  EXPECT_TRUE(failure.contains(QString::fromLocal8Bit(std::strerror(ELOOP)))) << failure.toStdString();
  EXPECT_TRUE(dialogs.shown().empty()) << "no \"File not found\" box";
  EXPECT_EQ(list.count(), 0);
}

TEST_F(EquationFileEdges, ALinkToNothingIsStillNotFound) {
  const QString dangling = link("gone.txt", "nothing-here.txt");
  dialogs.answerMessage();
  EXPECT_EQ(load(dangling), QString());
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].text, QString::fromLatin1(equations::kFileNotFoundText));
  EXPECT_EQ(list.count(), 0);
}

}  // namespace
