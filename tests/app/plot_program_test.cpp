// The tessaline-plot program as a script runs it: its own messages on stderr and nothing of Qt's,
// even as root with no XDG_RUNTIME_DIR.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(PlotProgram, PrintsItsOwnWordsAndNoQtWarnings) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  environment.insert(QStringLiteral("HOME"), dir.path());
  QProcess plot;
  plot.setProcessEnvironment(environment);
  plot.start(QStringLiteral(TESSALINE_PLOT_PROGRAM),
             {QStringLiteral("-e"), QStringLiteral("sin(x)"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.5"),
              QStringLiteral("-o"), dir.filePath(QStringLiteral("book.png"))});
  ASSERT_TRUE(plot.waitForFinished(60000));
  const QString said = QString::fromLocal8Bit(plot.readAllStandardError());
  EXPECT_EQ(plot.exitCode(), 0) << said.toStdString();
  EXPECT_EQ(said, QStringLiteral("Done.\n"));
}

}  // namespace
