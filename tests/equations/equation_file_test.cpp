#include "equations/equation_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sys/stat.h>

#include "equation_lines.h"
#include "equations/list_rows_helper.h"
#include "equations/samples_and_help.h"
#include "text_decoding.h"
#include "platform/error_report.h"
#include "support/scripted_dialogs.h"

namespace {

using equations::EquationListModel;
using equations::LoadEquationFile;
using testing_support::rowsOf;
using testing_support::RowTexts;
using testing_support::ScriptedDialogs;
using testing_support::writeBytes;

const std::vector<RowTexts> kHelpExampleRows = {
    RowTexts{"x + 3", "0", "20", "0.01"},
    RowTexts{"sin(x) + x", "0", "10", "0.50"},
    RowTexts{"(x * 3) - 3", "0", "15", "1"},
};

QString utf16(const char16_t* text) { return QString::fromUtf16(text); }

std::vector<QString> linesOf(const QString& text) {
  std::vector<QString> lines;
  equations::forEachLine(text, [&](QStringView line) { lines.push_back(line.toString()); });
  return lines;
}

// Loads one file and returns the failure description, empty when the load went through.
QString loadReportingFailure(EquationListModel& list, const QString& path, ScriptedDialogs& dialogs) {
  try {
    LoadEquationFile(list, path, dialogs);
  } catch (const platform::StepFailure& failure) {
    return QString::fromUtf8(failure.what());
  }
  return {};
}

class EquationFileTest : public ::testing::Test {
 protected:
  QString write(const QByteArray& bytes, const QString& name = QStringLiteral("list.txt")) {
    return writeBytes(dir, name, bytes);
  }
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  EquationListModel list;
};

TEST(EquationLines, EndAtCrLfCrOrLf) {
  struct Case {
    const char* name;
    QString text;
    std::vector<QString> lines;
  };
  const std::vector<Case> cases = {
      {"empty text", "", {}},
      {"one line, no end", "a", {"a"}},
      {"final LF starts no line", "a\n", {"a"}},
      {"final CR LF starts no line", "a\r\n", {"a"}},
      {"final CR starts no line", "a\r", {"a"}},
      {"lone line end is one empty line", "\n", {""}},
      {"CR LF pair is one end", "a\r\nb", {"a", "b"}},
      {"two CR LF enclose an empty line", "a\r\n\r\nb", {"a", "", "b"}},
      {"two CR enclose an empty line", "a\r\rb", {"a", "", "b"}},
      {"LF then CR are two ends", "a\n\rb", {"a", "", "b"}},
      {"mixed ends", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"two final ends", "a\n\n", {"a", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(linesOf(c.text), c.lines);
  }
}

TEST(EquationLines, FieldsAreCutAtCommasAndTrimmedOfSpacesOnly) {
  const equations::LineFields help = equations::fieldsOf(u"sin(x) + x, 0, 10, 0.50");
  EXPECT_EQ(help.count, 4);
  EXPECT_EQ(help.first[0], u"sin(x) + x");
  EXPECT_EQ(help.first[3], u"0.50");

  const equations::LineFields tabs = equations::fieldsOf(u"\tx ,  1\t");
  EXPECT_EQ(tabs.count, 2);
  EXPECT_EQ(tabs.first[0], u"\tx");
  EXPECT_EQ(tabs.first[1], u"1\t");

  EXPECT_EQ(equations::fieldsOf(u"a,b,c,d,e,f").count, 6);
  EXPECT_EQ(equations::fieldsOf(u"").count, 0);
  const equations::LineFields blanks = equations::fieldsOf(u"   ");
  EXPECT_EQ(blanks.count, 1);
  EXPECT_TRUE(blanks.first[0].isEmpty());
  EXPECT_EQ(equations::fieldsOf(u",,,").count, 4);
}

TEST_F(EquationFileTest, ReadsTheHelpExamplesWithEveryLineEnd) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    for (const bool finalEnd : {false, true}) {
      SCOPED_TRACE(QByteArray(end).toPercentEncoding().toStdString() + (finalEnd ? " with" : " without") +
                   " a final line end");
      QByteArray bytes = QByteArray("x + 3, 0, 20, 0.01") + end + "sin(x) + x, 0, 10, 0.50" + end +
                         "(x * 3) - 3, 0, 15, 1";
      if (finalEnd) bytes += end;
      EquationListModel fresh;
      EXPECT_EQ(loadReportingFailure(fresh, write(bytes), dialogs), QString());
      EXPECT_EQ(rowsOf(fresh), kHelpExampleRows);
    }
  }
}

TEST_F(EquationFileTest, ABlankLineStopsTheFileAfterTheRowsBeforeIt) {
  const QString path = write("x + 3, 0, 20, 0.01\r\n\r\nx*x, 0, 10, 1\r\n");
  EXPECT_EQ(loadReportingFailure(list, path, dialogs),
            QStringLiteral("Subscript out of range: line 2 of %1 has no fields, 4 are needed").arg(path));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"x + 3", "0", "20", "0.01"}}));
}

TEST_F(EquationFileTest, AShortLineKeepsWhatItHadAndStops) {
  const QString path = write("x + 3, 0, 20, 0.01\nx*x, 5\nx, 1, 2, 3\n");
  EXPECT_EQ(loadReportingFailure(list, path, dialogs),
            QStringLiteral("Subscript out of range: line 2 of %1 has 2 fields, 4 are needed").arg(path));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"x + 3", "0", "20", "0.01"}, {"x*x", "5", "", ""}}));
}

TEST_F(EquationFileTest, ALineOfSpacesIsARowWithOneEmptyField) {
  const QString path = write("   \n");
  EXPECT_EQ(loadReportingFailure(list, path, dialogs),
            QStringLiteral("Subscript out of range: line 1 of %1 has 1 field, 4 are needed").arg(path));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"", "", "", ""}}));
}

TEST_F(EquationFileTest, KeepsValuesAsWrittenAndIgnoresFieldsAfterTheFourth) {
  LoadEquationFile(list, write("\tcos(x) , abc, -, 1e3, extra, more\n"), dialogs);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"\tcos(x)", "abc", "-", "1e3"}}));
}

TEST_F(EquationFileTest, AnEmptyFileAddsNothingAndSaysNothing) {
  EXPECT_EQ(loadReportingFailure(list, write(""), dialogs), QString());
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(EquationFileTest, DropsAUtf8ByteOrderMark) {
  LoadEquationFile(list, write("\xEF\xBB\xBFx + 3, 0, 20, 0.01\n\xE2\x88\x9A" "x, 0, 4, 1\n"), dialogs);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"x + 3", "0", "20", "0.01"}, {utf16(u"\u221Ax"), "0", "4", "1"}}));
}

TEST_F(EquationFileTest, ReadsAWindows1252File) {
  // "x²" and "€" in Windows-1252: not valid UTF-8.
  LoadEquationFile(list, write("x\xB2 + \x80, 0, 20, 0.01\r\n"), dialogs);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{utf16(u"x\u00B2 + \u20AC"), "0", "20", "0.01"}}));
}

TEST_F(EquationFileTest, AMissingFileSaysFileNotFound) {
  dialogs.answerMessage();
  LoadEquationFile(list, dir.filePath(QStringLiteral("missing.txt")), dialogs);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  const testing_support::ShownBox& box = dialogs.shown()[0];
  EXPECT_EQ(box.text, QStringLiteral("File not found"));
  EXPECT_EQ(box.buttons, platform::Buttons::Ok);
  EXPECT_EQ(box.icon, platform::Icon::None);
  EXPECT_TRUE(box.title.isEmpty());
  EXPECT_EQ(list.count(), 0);
}

TEST_F(EquationFileTest, AFolderIsReportedNotRead) {
  const QString failure = loadReportingFailure(list, dir.path(), dialogs);
  EXPECT_TRUE(failure.contains(dir.path()) && failure.contains(QStringLiteral("folder"))) << failure.toStdString();
  EXPECT_EQ(list.count(), 0);
}

TEST_F(EquationFileTest, ABinaryFileIsReportedNotRead) {
  const QString failure = loadReportingFailure(list, write(QByteArray("x, 1, 2, 3\n\0\x01\x02", 14)), dialogs);
  EXPECT_TRUE(failure.contains(QStringLiteral("not a text file"))) << failure.toStdString();
  EXPECT_EQ(list.count(), 0);
}

TEST(TextDecoding, Windows1252HighBytes) {
  EXPECT_EQ(equations::decodeWindows1252("\x80\x81\x8A\x9F\xA0\xE9\xFF"),
            utf16(u"\u20AC\u0081\u0160\u0178\u00A0\u00E9\u00FF"));
  EXPECT_EQ(equations::decodeTextFile("caf\xC3\xA9"), utf16(u"caf\u00E9"));
  EXPECT_EQ(equations::decodeTextFile("caf\xE9"), utf16(u"caf\u00E9"));
  // Only the leading mark is dropped; one further in stays text.
  EXPECT_EQ(equations::decodeTextFile("\xEF\xBB\xBF" "a\xEF\xBB\xBF"), utf16(u"a\uFEFF"));
}

TEST(TextDecoding, AFileWithTheByteOrderMarkOfUtf16IsReadInEitherByteOrder) {
  const QString text = utf16(u"x + \u00E9, 0, 1, 2\r\nsin(x), 0, 10, 0.5\r\n");
  QByteArray little("\xFF\xFE");
  QByteArray big("\xFE\xFF");
  for (const char16_t c : text.toStdU16String()) {
    little += char(c & 0xFF), little += char(c >> 8);
    big += char(c >> 8), big += char(c & 0xFF);
  }
  EXPECT_EQ(equations::decodeTextFile(little), text);
  EXPECT_EQ(equations::decodeTextFile(big), text);
}

TEST(TextDecoding, OneWindowsLineLeavesTheUtf8LinesAsTheyAre) {
  // "é" in UTF-8 on the first and last lines, one Latin-1 byte on the middle one.
  EXPECT_EQ(equations::decodeTextFile("caf\xC3\xA9\r\nna\xEFve\n\xE2\x82\xAC\xC3\xA9\r"),
            utf16(u"caf\u00E9\r\nna\u00EFve\n\u20AC\u00E9\r"));
  EXPECT_EQ(equations::decodeTextFile("\xEF\xBB\xBF" "a\xC3\xA9\n\x80\n\n"), utf16(u"a\u00E9\n\u20AC\n\n"));
}

TEST_F(EquationFileTest, AUtf16FileLoadsItsRows) {
  QByteArray bytes("\xFF\xFE");
  for (const char c : QByteArray("x + 3, 0, 20, 0.01\r\nsin(x) + x, 0, 10, 0.50\r\n(x * 3) - 3, 0, 15, 1\r\n"))
    bytes += c, bytes += '\0';
  EXPECT_EQ(loadReportingFailure(list, write(bytes), dialogs), QString());
  EXPECT_EQ(rowsOf(list), kHelpExampleRows);
}

TEST_F(EquationFileTest, PipesDevicesAndFilesOverTheLimitAreRefusedBeforeReading) {
  const QString fifo = dir.filePath(QStringLiteral("fifo.txt"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  QFile sparse(dir.filePath(QStringLiteral("huge.txt")));
  ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
  ASSERT_TRUE(sparse.resize(equations::kEquationFileLimit + 1));
  sparse.close();
  const struct {
    QString path;
    const char* why;
  } cases[] = {{fifo, "it is a named pipe, not a file"},
               {QStringLiteral("/dev/zero"), "it is a device, not a file"},
               {sparse.fileName(), "it is larger than 64 MB"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    EXPECT_EQ(loadReportingFailure(list, c.path, dialogs),
              QStringLiteral("The equation file %1 could not be read: %2").arg(c.path, QLatin1String(c.why)));
  }
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(EquationFileTest, AFileJustUnderTheLimitIsRead) {
  QByteArray bytes = "x, 0, 1, 1\n";
  bytes += QByteArray(static_cast<qsizetype>(equations::kEquationFileLimit) - bytes.size() - 7, 'y');
  bytes += ",1,2,3\n";
  ASSERT_EQ(bytes.size(), equations::kEquationFileLimit);
  EXPECT_EQ(loadReportingFailure(list, write(bytes), dialogs), QString());
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.item(2, 0).size(), equations::kEquationFileLimit - 11 - 7);
}

TEST(NormalizeSelectedPath, CollapsesDoubledSeparators) {
  struct Case {
    const char* path;
    const char* normalized;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"/home/ann/a.txt", "/home/ann/a.txt"},
           {"//a.txt", "/a.txt"},           // the root folder "/" joined with "/"
           {"///srv//lists/a.txt", "/srv/lists/a.txt"},
           {"/home//ann/a.txt", "/home/ann/a.txt"},
           {"/home///ann/a.txt", "/home//ann/a.txt"},  // left to right, never overlapping
           {"rel//a.txt", "rel/a.txt"},
           {"a.txt", "a.txt"},
       }) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(equations::NormalizeSelectedPath(QString::fromLatin1(c.path)), QString::fromLatin1(c.normalized));
  }
}

TEST(EquationFileDialog, SettingsAreTheDesignedOnes) {
  const platform::FileOpenSettings settings = equations::equationFileDialogSettings();
  EXPECT_TRUE(settings.fileName.isEmpty());
  EXPECT_TRUE(settings.multipleFiles);
  EXPECT_TRUE(settings.openReadOnly);
  EXPECT_EQ(settings.title, QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
  EXPECT_EQ(settings.filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
  // Several hundred names of 200 characters each fit.
  EXPECT_GE(settings.namesRoom, 500 * 200);
}

}  // namespace
