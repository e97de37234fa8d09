// Equations whose references leave the workbook: a qualifier naming another workbook would
// become an external link when a spreadsheet application opens the file, and a sheet name that
// no sheet can have means nothing inside it. Both are refused once, as a formula the
// spreadsheet refuses, naming the equation; the x values stay and the run goes on.
#include <gtest/gtest.h>

#include "run_fixture.h"

using testing_support::RunFixture;

namespace {

struct Refused {
  const char* name;
  const char* equation;
  const char* because;  // part of the report
};

const Refused kRefused[] = {
    {"pathAndBook", R"('C:\tmp\[evil.xlsx]Sheet1'!A1+x)", "refers to another workbook ('C:\\TMP\\[EVIL.XLSX]SHEET1'!)"},
    {"bookOnly", "x+'[evil.xlsx]Sheet1'!B2", "refers to another workbook"},
    {"bookWithoutSheet", R"('C:\tmp\evil.xlsx'!A1*x)", "refers to another workbook"},
    {"unixPath", "'/tmp/[b.xlsx]s'!a1-x", "refers to another workbook"},
    {"dde", "cmd|'/c calc'!a1+x", "refers to another workbook"},
    {"unquotedBook", "[1]Sheet1!A1+x", "refers to another workbook ([1]SHEET1!)"},
    {"secondReference", "x+Data!A1+'a:b'!A1", "refers to the sheet 'A:B'!, a name that no sheet can have"},
    {"questionMark", "'a?b'!a1+x", "a name that no sheet can have"},
    {"asterisk", "'a*b'!a1+x", "a name that no sheet can have"},
    {"tooLong", "'abcdefghijklmnopqrstuvwabcdefghi'!a1+x", "a name that no sheet can have"},
    {"tooLongUnquoted", "abcdefghijklmnopqrstuvwabcdefghi!a1+x", "a name that no sheet can have"},
    {"leadingApostrophe", "'''a'!a1+x", "a name that no sheet can have"},
};

TEST(ForeignReference, IsRefusedOnceNamingTheEquationAndTheXValuesStay) {
  for (const Refused& c : kRefused) {
    RunFixture f;
    f.add(c.equation, "0", "3", "1");
    f.add("x*2", "0", "1", "1");
    f.runExpecting(1);
    const auto reports = f.reports();
    ASSERT_EQ(reports.size(), 1u) << c.name;
    const QString equation = QStringLiteral("The equation \"%1\" cannot be plotted").arg(QString::fromUtf8(c.equation));
    EXPECT_TRUE(reports[0].contains(equation)) << c.name << ": " << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QString::fromUtf8(c.because))) << c.name << ": " << reports[0].toStdString();
    EXPECT_TRUE(reports[0].contains(QStringLiteral("at line 154\r\r"))) << c.name;
    EXPECT_EQ(f.data().rowCount(1), 4) << c.name << ": the x values are still written";
    EXPECT_EQ(f.data().rowCount(2), 0) << c.name << ": no formula is written";
    EXPECT_EQ(f.formula(2, 4), "=C2*2") << c.name << ": the run goes on with the next equation";
    EXPECT_FALSE(f.run.lastRunSucceeded()) << c.name;
  }
}

TEST(ForeignReference, OneChartModeReportsItAtItsOwnLine) {
  RunFixture f;
  f.window.separate = false;
  f.add(R"('C:\tmp\[evil.xlsx]Sheet1'!A1+x)", "0", "2", "1");
  f.runExpecting(1);
  ASSERT_EQ(f.reports().size(), 1u);
  EXPECT_TRUE(f.reports()[0].contains(QStringLiteral("at line 226\r\r")));
  EXPECT_EQ(f.data().rowCount(2), 0);
}

TEST(ForeignReference, OwnSheetsTextsAndErrorValuesAreNoForeignReferences) {
  const std::pair<const char*, const char*> accepted[] = {
      {"Data!A1+x", "=DATA!A1+A1"},
      {"x+'it''s'!a1", "=A1+'IT''S'!A1"},
      {R"("'[a.xlsx]b'!c1"&x)", R"(="'[A.XLSX]B'!C1"&A1)"},
      {"iferror(#ref!,x)+iferror(#div/0!,0)", "=IFERROR(#REF!,A1)+IFERROR(#DIV/0!,0)"},
      {"'Sheet 2'!B1+x", "='SHEET2'!B1+A1"},
  };
  for (const auto& [equation, written] : accepted) {
    RunFixture f;
    f.add(equation, "0", "0", "1");
    f.runExpecting();
    EXPECT_TRUE(f.reports().empty()) << equation;
    EXPECT_EQ(f.formula(1, 2), written) << equation;
  }
}

}  // namespace
