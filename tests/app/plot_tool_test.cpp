#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "batch/file_settings_store.h"
#include "batch/plot_tool.h"
#include "platform/error_report.h"
#include "support/scripted_dialogs.h"
#include "support/well_formed.h"

namespace {

QStringList args(const std::vector<const char*>& list) {
  QStringList out;
  for (const char* a : list) out << QString::fromUtf8(a);
  return out;
}

TEST(PlotArguments, TakesEquationsWithCommasFilesAndTheOutput) {
  const auto parsed = app::parsePlotArguments(
      args({"--one-chart", "-e", "max(x, 1)", "0", "5", "0.5", "a.txt", "-e", "x", "1", "2", "1", "b.txt", "-o", "out.xlsx"}));
  ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
  EXPECT_TRUE(parsed.request->oneChart);
  EXPECT_FALSE(parsed.request->saved);
  ASSERT_EQ(parsed.request->equations.size(), 2u);
  EXPECT_EQ(parsed.request->equations[0], args({"max(x, 1)", "0", "5", "0.5"}));
  EXPECT_EQ(parsed.request->files, args({"a.txt", "b.txt"}));
  EXPECT_EQ(parsed.request->output, QStringLiteral("out.xlsx"));
}

TEST(PlotArguments, RefusesBadInputWithAClearMessage) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{"-e", "x", "0", "5", "-o", "o.xlsx"}, "is not a number"},
      {{"-e", "x", "0", "5"}, "four values"},
      {{"-e", "x", "zero", "5", "1", "-o", "o.xlsx"}, "\"zero\" is not a number"},
      {{"-e", " ", "0", "5", "1", "-o", "o.xlsx"}, "equation is empty"},
      {{"-e", "x", "0", "5", "1"}, "no output file"},
      {{"-o", "o.xlsx"}, "no equations"},
      {{"--bogus", "-o", "o.xlsx"}, "unknown option --bogus"},
      {{"a.txt", "-o"}, "-o needs a file name"},
      {{"-e", "x", "0", "5", "1", "-o", "o.png", "--size", "12x"}, "--size 12x: give WIDTHxHEIGHT"},
      {{"-e", "x", "0", "5", "1", "-o", "o.png", "--size", "0x10"}, "each from 1 to 20000"},
      {{"-e", "x", "0", "5", "1", "-o", "o.png", "--size", "30000x10"}, "each from 1 to 20000"},
      {{"-e", "x", "0", "5", "1", "-o", "o.png", "--size"}, "--size needs WIDTHxHEIGHT"},
      {{"-e", "x", "0", "5", "1", "-o", "o.xlsx", "--size", "10x10"}, "--size is for pictures"},
  };
  for (const auto& [list, message] : cases) {
    const auto parsed = app::parsePlotArguments(args(list));
    EXPECT_FALSE(parsed.request);
    EXPECT_TRUE(parsed.error.contains(QLatin1String(message))) << parsed.error.toStdString();
  }
  EXPECT_TRUE(app::parsePlotArguments(args({"--help"})).request->help);
  // --version needs no output file or equations, and wins over anything after it.
  const auto version = app::parsePlotArguments(args({"--version", "--bogus"}));
  ASSERT_TRUE(version.request) << version.error.toStdString();
  EXPECT_TRUE(version.request->version);
  EXPECT_FALSE(version.request->help);
}

class PlotRun : public ::testing::Test {
 protected:
  QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
  int run(const QStringList& arguments) {
    const auto parsed = app::parsePlotArguments(arguments);
    EXPECT_TRUE(parsed.request) << parsed.error.toStdString();
    if (!parsed.request) return -1;
    std::FILE* sink = std::tmpfile();
    app::PlotEnvironment environment{folder.filePath(QStringLiteral("config")),
                                     folder.filePath(QStringLiteral("instances")), false};
    const int status = app::runPlot(*parsed.request, environment, sink);
    std::rewind(sink);
    char buffer[4096];
    messages.clear();
    while (std::fgets(buffer, sizeof buffer, sink)) messages += QString::fromUtf8(buffer);
    std::fclose(sink);
    return status;
  }
  QJsonObject readBack(const QString& book, const QStringList& cells) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{qEnvironmentVariable("TESSALINE_SOURCE_DIR") + QStringLiteral("/tests/support/xlsx_readback.py"),
                             book} + cells);
    EXPECT_TRUE(python.waitForFinished(60000));
    const QByteArray out = python.readAllStandardOutput();
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(out).object();
  }
  QTemporaryDir folder;
  QString messages;
};

TEST_F(PlotRun, RowsComeFromTheSavedListThenEachEquationThenEachFile) {
  app::FileSettingsStore(folder.filePath(QStringLiteral("config")))
      .write(QStringLiteral("Equations"),
             QStringLiteral("x*x||MySeparator12||0||MySeparator12||10||MySeparator12||1||MySeparator23||"));
  QFile file(path("list.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x + 3, 0, 20, 0.01\r\nsin(x) + x, 0, 10, 0.50\r\n");
  file.close();
  const QString book = path("out.xlsx");
  ASSERT_EQ(run(QStringList{QStringLiteral("--saved"), QStringLiteral("-e"), QStringLiteral("max(x,1)"),
                            QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("1"), path("list.txt"),
                            QStringLiteral("-o"), book}),
            0)
      << messages.toStdString();
  const QJsonObject read = readBack(book, {QStringLiteral("Data"), QStringLiteral("A1:H3")});
  EXPECT_TRUE(read[QStringLiteral("zipOk")].toBool());
  QStringList sheets;
  for (const auto& s : read[QStringLiteral("sheets")].toArray()) sheets << s.toObject()[QStringLiteral("name")].toString();
  EXPECT_EQ(sheets, args({"Chart1", "Chart2", "Chart3", "Chart4", "Data"}));
  EXPECT_EQ(read[QStringLiteral("active")].toString(), QStringLiteral("Chart1"));
  EXPECT_EQ(read[QStringLiteral("sheets")].toArray().last().toObject()[QStringLiteral("state")].toString(),
            QStringLiteral("hidden"));
  const QJsonObject cells = read[QStringLiteral("cells")].toObject();
  EXPECT_EQ(cells[QStringLiteral("Data!B3")].toObject()[QStringLiteral("formula")].toString(), QStringLiteral("=A3*A3"));
  EXPECT_EQ(cells[QStringLiteral("Data!B3")].toObject()[QStringLiteral("value")].toDouble(), 4.0);
  EXPECT_EQ(cells[QStringLiteral("Data!D2")].toObject()[QStringLiteral("formula")].toString(), QStringLiteral("=MAX(C2,1)"));
  EXPECT_EQ(cells[QStringLiteral("Data!H3")].toObject()[QStringLiteral("formula")].toString(), QStringLiteral("=SIN(G3)+G3"));
  const QJsonObject chart = read[QStringLiteral("charts")].toObject()[QStringLiteral("Chart4")].toObject()[QStringLiteral("chart")].toObject();
  EXPECT_EQ(chart[QStringLiteral("title")].toString(), QStringLiteral("F(x) = sin(x) + x"));
  EXPECT_EQ(chart[QStringLiteral("scatterStyle")].toString(), QStringLiteral("smoothMarker"));
  const QJsonObject series = chart[QStringLiteral("series")].toArray()[0].toObject();
  EXPECT_EQ(series[QStringLiteral("marker")].toString(), QStringLiteral("none"));
  EXPECT_EQ(series[QStringLiteral("smooth")].toString(), QStringLiteral("1"));
  EXPECT_EQ(series[QStringLiteral("y")].toString(), QStringLiteral("Data!$H$1:$H$22"));
  EXPECT_FALSE(chart[QStringLiteral("xAxis")].toObject()[QStringLiteral("major")].toBool());
  EXPECT_TRUE(chart[QStringLiteral("yAxis")].toObject()[QStringLiteral("major")].toBool());
}

TEST_F(PlotRun, OneChartModeNamesEverySeriesAfterItsEquation) {
  const QString book = path("one.xlsx");
  ASSERT_EQ(run(args({"--one-chart", "-e", "x", "0", "10", "1", "-e", "x*x", "0", "20", "1", "-e", "x+1", "0", "4",
                      "1", "-o"}) << book),
            0);
  const QJsonObject chart = readBack(book, {})[QStringLiteral("charts")].toObject()[QStringLiteral("Chart")]
                                .toObject()[QStringLiteral("chart")].toObject();
  const QJsonArray series = chart[QStringLiteral("series")].toArray();
  ASSERT_EQ(series.size(), 3);
  EXPECT_EQ(series[1].toObject()[QStringLiteral("x")].toString(), QStringLiteral("Data!$C$1:$C$21"));
  EXPECT_EQ(series[2].toObject()[QStringLiteral("y")].toString(), QStringLiteral("Data!$F$1:$F$5"));
  EXPECT_EQ(series[2].toObject()[QStringLiteral("name")].toString(), QStringLiteral("F(x) = x+1"));
  EXPECT_TRUE(chart[QStringLiteral("legend")].toBool());
}

TEST_F(PlotRun, AnyReportedFailureOrMissingFileGivesAFailingStatus) {
  EXPECT_EQ(run(args({"-e", "2x", "0", "3", "1", "-o"}) << path("bad.xlsx")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("\nin tessaline-plot at line 154"))) << messages.toStdString();
  EXPECT_FALSE(messages.contains(QStringLiteral("Form_Load")));
  EXPECT_EQ(run(QStringList{path("missing.txt"), QStringLiteral("-o"), path("m.xlsx")}), 1);
  EXPECT_FALSE(QFile::exists(path("m.xlsx")));
  QFile file(path("short.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x, 0\n");
  file.close();
  EXPECT_EQ(run(QStringList{path("short.txt"), QStringLiteral("-o"), path("s.xlsx")}), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("short.txt"))) << messages.toStdString();
}

TEST_F(PlotRun, DoneIsSaidOnlyAfterACleanRunOtherwiseASummary) {
  EXPECT_EQ(run(args({"-e", "x*x", "0", "3", "1", "-o"}) << path("good.xlsx")), 0);
  EXPECT_EQ(messages, QStringLiteral("Done.\n"));
  EXPECT_EQ(run(args({"-e", "x*x", "0", "3", "1", "-e", "sin(x", "0", "3", "1", "-o"}) << path("bad.xlsx")), 1);
  EXPECT_FALSE(messages.contains(QStringLiteral("Done."))) << messages.toStdString();
  EXPECT_TRUE(messages.contains(QStringLiteral("bad.xlsx written, but 1 failure(s) were reported above.")))
      << messages.toStdString();
  EXPECT_FALSE(messages.contains(QStringLiteral("[ERROR]")));
  EXPECT_EQ(run(args({"-e", "x2", "0", "3", "1", "-o"}) << path("x2.xlsx")), 1) << "=error cells are no success";
  EXPECT_FALSE(messages.contains(QStringLiteral("Done.")));
}

TEST_F(PlotRun, ValuesNotComputedHereAreToldPerEquationAndAreNoFailure) {
  // Equation 3 needs outside data; equation 2 reads its first value from x = 2 on (before, the
  // empty F10).
  const QStringList rows = args({"--one-chart", "-e", "x", "0", "3", "1", "-e", "x+offset(f1,if(2>x,9,0),0)", "0",
                                 "3", "1", "-e", "webservice(x)", "0", "3", "1"});
  const QString book = path("web.xlsx");
  ASSERT_EQ(run(QStringList(rows) << QStringLiteral("-o") << book), 0) << messages.toStdString();
  const QString tail = QStringLiteral(
      " could not be computed here: they need a function that Tessaline leaves to your spreadsheet application, "
      "which computes them when it opens the workbook.\n");
  EXPECT_EQ(messages, QStringLiteral("tessaline-plot: 2 values of equation 2 (F(x) = x+offset(f1,if(2>x,9,0),0))") + tail +
                          QStringLiteral("tessaline-plot: 4 values of equation 3 (F(x) = webservice(x))") + tail +
                          QStringLiteral("Done.\n"));
  const QJsonObject cells = readBack(book, {QStringLiteral("Data"), QStringLiteral("D2:D3")})[QStringLiteral("cells")].toObject();
  EXPECT_EQ(cells[QStringLiteral("Data!D2")].toObject()[QStringLiteral("value")].toDouble(), 1.0);
  EXPECT_TRUE(cells[QStringLiteral("Data!D3")].toObject()[QStringLiteral("value")].isNull()) << "no made-up value";

  ASSERT_EQ(run(QStringList(rows) << QStringLiteral("-o") << path("web.png")), 0) << messages.toStdString();
  EXPECT_TRUE(messages.startsWith(QStringLiteral("tessaline-plot: 2 values of equation 2 (F(x) = x+offset(f1,if(2>x,9,0),0))")));
  EXPECT_TRUE(messages.contains(QStringLiteral("and the pictures leave them out.\nDone.\n"))) << messages.toStdString();
}

TEST_F(PlotRun, AnEquationThatReadsItsOwnCellFailsTheRunAndNamesTheCell) {
  EXPECT_EQ(run(args({"-e", "x", "0", "3", "1", "-e", "sum(d:d)+x", "0", "3", "1", "-o"}) << path("circle.xlsx")), 1);
  EXPECT_TRUE(messages.startsWith(QStringLiteral("tessaline-plot: equation 2 (F(x) = sum(d:d)+x) reads its own cell "
                                                 "D1 (a circular reference)")))
      << messages.toStdString();
  EXPECT_TRUE(messages.endsWith(QStringLiteral("circle.xlsx written, but 1 failure(s) were reported above.\n")));
  EXPECT_FALSE(messages.contains(QStringLiteral("Done.")));
  EXPECT_TRUE(QFile::exists(path("circle.xlsx")));

  // Two equations reading each other are both told; pictures fail alike.
  EXPECT_EQ(run(args({"-e", "d2+x", "0", "3", "1", "-e", "b2+x", "0", "3", "1", "-o"}) << path("pair.pdf")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("equation 1 (F(x) = d2+x) reads its own cell B2"))) << messages.toStdString();
  EXPECT_TRUE(messages.contains(QStringLiteral("equation 2 (F(x) = b2+x) reads its own cell D2")));
  EXPECT_TRUE(messages.contains(QStringLiteral("2 failure(s) were reported above.")));
}

TEST_F(PlotRun, AnEquationWithACharacterTheFileCannotHoldFailsAndTheBookStaysWellFormed) {
  const QString books[] = {path("esc.xlsx"), path("ffff.xlsx"), path("one.xlsx")};
  EXPECT_EQ(run(args({"-e", "x&\"\x1b\"", "0", "3", "1", "-o"}) << books[0]), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("U+001B"))) << messages.toStdString();
  EXPECT_EQ(run(args({"-e", "x+\xEF\xBF\xBF", "0", "3", "1", "-o"}) << books[1]), 1);
  EXPECT_EQ(run(args({"--one-chart", "-e", "x", "0", "3", "1", "-e", "x+\x01", "0", "3", "1", "-o"}) << books[2]), 1);
  for (const QString& book : books) EXPECT_TRUE(QFile::exists(book)) << book.toStdString();
  EXPECT_EQ(testing_support::wellFormedProblems({books[0], books[1], books[2]}), QString());
}

TEST_F(PlotRun, TheWorkbookNeverReplacesAnInputOrBecomesAFolder) {
  QFile file(path("mine.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x, 0, 3, 1\n");
  file.close();
  EXPECT_EQ(run(QStringList{path("mine.txt"), QStringLiteral("-o"), path("mine.txt")}), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("would replace the equation file"))) << messages.toStdString();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("x, 0, 3, 1\n"));
  file.close();
  QFile::link(path("mine.txt"), path("alias.xlsx"));
  EXPECT_EQ(run(QStringList{path("mine.txt"), QStringLiteral("-o"), path("alias.xlsx")}), 1) << "nor through a link";
  EXPECT_EQ(run(args({"-e", "x", "0", "1", "1", "-o"}) << path("new.xlsx/")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("names a folder"))) << messages.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path("new.xlsx")));
}

TEST_F(PlotRun, TheSavedListTheSettingsFolderAndInputPicturesAreNeverReplaced) {
  app::FileSettingsStore store(path("config"));
  store.write(QStringLiteral("Equations"), QStringLiteral("kept"));
  const QString savedList = store.pathOf(QStringLiteral("Equations"));
  QFile::link(savedList, path("alias.xlsx"));
  const QStringList targets{savedList, path("alias.xlsx"), store.sectionFolder() + QStringLiteral("/window.lock"),
                            store.sectionFolder() + QStringLiteral("/list.pdf")};
  for (const QString& target : targets) {
    SCOPED_TRACE(target.toStdString());
    EXPECT_EQ(run(args({"--saved", "-e", "x", "0", "1", "1", "-o"}) << target), 1);
    EXPECT_TRUE(messages.contains(QStringLiteral("would be written into Tessaline's settings folder"))) << messages.toStdString();
  }
  EXPECT_EQ(store.read(QStringLiteral("Equations"), {}), QStringLiteral("kept"));
  EXPECT_EQ(QDir(store.sectionFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Equations.value"});

  // An equation file named like the second picture of the set it makes.
  QFile input(path("eq-2.png"));
  ASSERT_TRUE(input.open(QIODevice::WriteOnly));
  input.write("x, 0, 3, 1\nx*x, 0, 3, 1\n");
  input.close();
  EXPECT_EQ(run(QStringList{path("eq-2.png"), QStringLiteral("-o"), path("eq.png")}), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("the picture %1 would replace the equation file").arg(path("eq-2.png"))))
      << messages.toStdString();
  ASSERT_TRUE(input.open(QIODevice::ReadOnly));
  EXPECT_EQ(input.readAll(), QByteArray("x, 0, 3, 1\nx*x, 0, 3, 1\n"));
  EXPECT_FALSE(QFile::exists(path("eq-1.png"))) << "no picture of the set is written";
}

TEST_F(PlotRun, DotDotAfterALinkIsWhereTheKernelPutsIt) {
  ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("real/deep")));
  ASSERT_TRUE(QFile::link(path("real/deep"), path("link")));
  ASSERT_EQ(run(args({"-e", "x", "0", "1", "1", "-o"}) << path("link") + QStringLiteral("/../out.xlsx")), 0)
      << messages.toStdString();
  EXPECT_TRUE(QFile::exists(path("real/out.xlsx")));
  EXPECT_FALSE(QFile::exists(path("out.xlsx")));
}

TEST_F(PlotRun, OneUnwritablePictureOfTheSetLeavesEveryOtherAsItWas) {
  QFile first(path("ro-1.png"));
  ASSERT_TRUE(first.open(QIODevice::WriteOnly));
  first.write("mine");
  first.close();
  QFile second(path("ro-2.png"));
  ASSERT_TRUE(second.open(QIODevice::WriteOnly));
  second.close();
  ::chmod(QFile::encodeName(path("ro-2.png")).constData(), 0444);
  EXPECT_EQ(run(args({"-e", "x", "0", "3", "1", "-e", "x*x", "0", "3", "1", "-o"}) << path("ro.png")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("\"%1\": the file is read-only").arg(path("ro-2.png")))) << messages.toStdString();
  ASSERT_TRUE(first.open(QIODevice::ReadOnly));
  EXPECT_EQ(first.readAll(), QByteArray("mine"));
  struct stat status {};
  ASSERT_EQ(::stat(QFile::encodeName(path("ro-2.png")).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);
  EXPECT_EQ(status.st_size, 0);
}

TEST_F(PlotRun, PicturesOfTheChartsInsteadOfTheWorkbook) {
  const QStringList rows = args({"-e", "x", "0", "10", "1", "-e", "sin(x)", "0", "6", "0.1", "-e", "x*x", "0", "3", "1"});
  ASSERT_EQ(run(QStringList(rows) << QStringLiteral("-o") << path("c.png")), 0) << messages.toStdString();
  for (const char* name : {"c-1.png", "c-2.png", "c-3.png"}) EXPECT_EQ(QImage(path(name)).size(), QSize(1200, 800)) << name;
  EXPECT_FALSE(QFile::exists(path("c.png")));
  EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.xlsx")}, QDir::Files).isEmpty());  // no workbook written

  ASSERT_EQ(run(QStringList(rows) << QStringLiteral("--one-chart") << QStringLiteral("-o") << path("one.svg")
                                  << QStringLiteral("--size") << QStringLiteral("640x480")),
            0);
  QFile svg(path("one.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray text = svg.readAll();
  EXPECT_TRUE(text.contains("viewBox=\"0 0 640 480\""));
  EXPECT_TRUE(text.contains("F(x) = sin(x)"));  // the legend

  ASSERT_EQ(run(QStringList(rows) << QStringLiteral("-o") << path("all.pdf")), 0);
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {path("all.pdf")});
  ASSERT_TRUE(info.waitForFinished());
  EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
}

TEST_F(PlotRun, AFailedRowStillGetsItsPicturesButAFailingStatus) {
  EXPECT_EQ(run(args({"-e", "x", "0", "3", "1", "-e", "2x", "0", "3", "1", "-o"}) << path("f.png")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("at line 154"))) << messages.toStdString();
  EXPECT_EQ(QImage(path("f-1.png")).size(), QSize(1200, 800));
  EXPECT_EQ(QImage(path("f-2.png")).size(), QSize(1200, 800));
}

TEST_F(PlotRun, APictureThatCannotBeWrittenFailsWithItsName) {
  QFile blocker(path("blocker"));  // a file where the folder would have to be
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_EQ(run(args({"-e", "x", "0", "3", "1", "-o"}) << path("blocker/c.pdf")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("blocker"))) << messages.toStdString();
  EXPECT_EQ(run(args({"-e", "x", "0", "3", "1", "-o"}) << path("c.gif.pdf/")), 1);  // a folder name, no file
}

TEST_F(PlotRun, EquationsPastTheLastColumnAreCountedAndFailTheRun) {
  QStringList arguments;
  for (int i = 0; i < 300; ++i) arguments << QStringLiteral("-e") << QStringLiteral("x+%1").arg(i) << "0" << "1" << "1";
  EXPECT_EQ(run(arguments << QStringLiteral("-o") << path("many.xlsx")), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("tessaline-plot: 172 of the 300 equations were left out")))
      << messages.toStdString();
  EXPECT_EQ(messages.count(QStringLiteral("left out")), 1);
  // Exactly as many as fit: nothing left out, nothing said.
  arguments.clear();
  for (int i = 0; i < 128; ++i) arguments << QStringLiteral("-e") << QStringLiteral("x+%1").arg(i) << "0" << "1" << "1";
  EXPECT_EQ(run(QStringList{QStringLiteral("--one-chart")} + arguments << QStringLiteral("-o") << path("fits.xlsx")), 0)
      << messages.toStdString();
  EXPECT_FALSE(messages.contains(QStringLiteral("left out")));
}

TEST_F(PlotRun, EndlessOrSpecialInputFilesAreRefusedBeforeReading) {
  const QString fifo = path("fifo.txt");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& input : {QStringLiteral("/dev/zero"), fifo}) {
    SCOPED_TRACE(input.toStdString());
    EXPECT_EQ(run(QStringList{input, QStringLiteral("-o"), path("z.xlsx")}), 1);
    EXPECT_TRUE(messages.startsWith(QStringLiteral("tessaline-plot: The equation file %1 could not be read: it is ").arg(input)))
        << messages.toStdString();
    EXPECT_FALSE(QFile::exists(path("z.xlsx")));
  }
}

TEST_F(PlotRun, RunningOutOfMemoryIsSaidInPlainWords) {
  // 60 MB of one equation: reading it needs well over the 100 MB the child may add.
  QFile file(path("big.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(60 * 1024 * 1024, 'x') + ", 0, 1, 1\n");
  file.close();
  const auto parsed = app::parsePlotArguments(QStringList{path("big.txt"), QStringLiteral("-o"), path("big.xlsx")});
  ASSERT_TRUE(parsed.request);
  std::FILE* sink = std::tmpfile();
  const pid_t child = fork();
  if (child == 0) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    status >> pages;
    limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + 100 * 1024 * 1024;
    setrlimit(RLIMIT_AS, &limit);
    app::PlotEnvironment environment{path("config"), path("instances"), false};
    const int code = app::runPlot(*parsed.request, environment, sink);
    std::fflush(sink);
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "the run died of signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::rewind(sink);
  char buffer[4096] = {};
  const size_t got = std::fread(buffer, 1, sizeof buffer - 1, sink);
  std::fclose(sink);
  const QString said = QString::fromUtf8(buffer, static_cast<qsizetype>(got));
  // The reason in plain words, then the run's summary: nothing was written.
  EXPECT_EQ(said, QStringLiteral("tessaline-plot: %1: there is not enough memory to read it.\n"
                                 "tessaline-plot: %2 was not written.\n")
                      .arg(path("big.txt"), path("big.xlsx")));
  EXPECT_FALSE(said.contains(QStringLiteral("bad_alloc")));
}

TEST(ErrorTrapText, RunningOutOfMemoryIsAPlainSentence) {
  testing_support::ScriptedDialogs dialogs;
  dialogs.answerMessage();
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("PushButton4_Click"));
  trap.step(120, [] { throw std::bad_alloc(); });
  ASSERT_EQ(dialogs.messageTexts().size(), 1u);
  EXPECT_TRUE(dialogs.messageTexts()[0].startsWith(QStringLiteral("There is not enough memory for this step.\r\n")));
}

}  // namespace
