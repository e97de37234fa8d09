// The batch tool given inputs a hostile or careless user might give it: an equation file name
// that is a loop of symbolic links, and an equation that refers into another workbook.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "batch/plot_tool.h"

namespace {

class PlotHostileInputs : public ::testing::Test {
 protected:
  QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
  int run(const QStringList& arguments) {
    const auto parsed = app::parsePlotArguments(arguments);
    EXPECT_TRUE(parsed.request) << parsed.error.toStdString();
    if (!parsed.request) return -1;
    std::FILE* sink = std::tmpfile();
    const app::PlotEnvironment environment{path("config"), path("instances"), false};
    const int status = app::runPlot(*parsed.request, environment, sink);
    std::rewind(sink);
    char buffer[4096];
    messages.clear();
    while (std::fgets(buffer, sizeof buffer, sink)) messages += QString::fromUtf8(buffer);
    std::fclose(sink);
    return status;
  }
  QTemporaryDir folder;
  QString messages;
};

TEST_F(PlotHostileInputs, ALoopOfLinksIsUnreadableNotMissing) {
  ASSERT_EQ(::symlink("b.txt", QFile::encodeName(path("a.txt")).constData()), 0);
  ASSERT_EQ(::symlink("a.txt", QFile::encodeName(path("b.txt")).constData()), 0);
  EXPECT_EQ(run(QStringList{path("a.txt"), QStringLiteral("-o"), path("out.xlsx")}), 1);
  EXPECT_FALSE(messages.contains(QStringLiteral("no such file"))) << messages.toStdString();
  EXPECT_TRUE(messages.contains(path("a.txt") + QStringLiteral(" could not be read: ") +
                                QString::fromLocal8Bit(std::strerror(ELOOP))))
      << messages.toStdString();
  EXPECT_FALSE(QFile::exists(path("out.xlsx")));
  // A name of nothing at all is still told as missing.
  EXPECT_EQ(run(QStringList{path("none.txt"), QStringLiteral("-o"), path("out.xlsx")}), 1);
  EXPECT_TRUE(messages.contains(QStringLiteral("no such file"))) << messages.toStdString();
}

TEST_F(PlotHostileInputs, AReferenceIntoAnotherWorkbookIsRefusedNamingTheEquation) {
  const QString equation = QStringLiteral(R"('C:\tmp\[evil.xlsx]Sheet1'!A1+x)");
  EXPECT_EQ(run(QStringList{QStringLiteral("-e"), equation, QStringLiteral("0"), QStringLiteral("2"),
                            QStringLiteral("1"), QStringLiteral("-o"), path("out.xlsx")}),
            1);
  EXPECT_TRUE(messages.contains(QStringLiteral("The equation \"%1\" cannot be plotted: it refers to another workbook")
                                    .arg(equation)))
      << messages.toStdString();
  EXPECT_TRUE(messages.contains(QStringLiteral("at line 154"))) << messages.toStdString();
}

}  // namespace
