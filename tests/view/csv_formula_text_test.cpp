// Save As .csv: a text that a spreadsheet application would read as a formula keeps a leading
// apostrophe inside quotes, so that opening the file cannot turn it into a live formula or link.
// Numbers, booleans, errors and ordinary texts are written as they were.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "view/workbook_window.h"
#include "view_test_support.h"

namespace {

struct CsvCase {
  const char* name;
  const char* equation;  // computed for x = 0
  std::string field;     // what the f(x) cell becomes in the file
};

const std::vector<CsvCase> kCases = {
    {"equals", R"("=1+2")", "\"'=1+2\""},
    {"hyperlink", R"q("=HYPERLINK(""http://e/""&B1,""go"")")q", R"q("'=HYPERLINK(""HTTP://E/""&B1,""GO"")")q"},
    {"plus", R"("+1")", "\"'+1\""},
    {"minus", R"("-1")", "\"'-1\""},
    {"at", R"q("@sum(a1)")q", "\"'@SUM(A1)\""},
    {"tab", R"(char(9)&"a")", "\"'\tA\""},
    {"carriageReturn", R"(char(13)&"a")", "\"'\rA\""},
    {"negativeNumber", "-x-1", "-1"},
    {"formulaSignInside", R"("a=b")", "A=B"},
    {"commaInside", R"("a,b")", "\"A,B\""},
    {"quotesInside", R"("a""b")", "\"A\"\"B\""},
    {"boolean", "(x)=0", "TRUE"},
    {"error", "1/x", "#DIV/0!"},
};

QString readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

TEST(SaveAsCsv, TextsThatReadAsFormulasKeepALeadingApostrophe) {
  auto run = std::make_unique<testing_support::RunFixture>();
  std::string expected;
  for (const CsvCase& c : kCases) {
    run->add(c.equation, "0", "0", "1");
    expected += (expected.empty() ? "" : ",") + std::string("0,") + c.field;
  }
  run->runExpecting();
  expected += "\r\n";

  QTemporaryDir dir;
  QStringList messages;
  view::WorkbookWindowActions actions;
  actions.showMessage = [&](QWidget*, const QString& text) { messages << text; };
  view::WorkbookWindow window(run->engine.lastWorkbook(), dir.filePath("Book1.xlsx"), actions);
  window.setAttribute(Qt::WA_DeleteOnClose, false);
  ASSERT_TRUE(window.saveAs(dir.filePath("data.csv"))) << messages.join('\n').toStdString();

  const QString written = readAll(dir.filePath("data.csv"));
  EXPECT_EQ(written, QString::fromStdString(expected));
  // Case by case, so that a failure names the case.
  for (const CsvCase& c : kCases)
    EXPECT_TRUE(written.contains(QString::fromStdString("0," + c.field))) << c.name;
}
