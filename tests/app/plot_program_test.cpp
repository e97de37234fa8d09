// The tessaline-plot program as a script runs it: its own messages on stderr and nothing of Qt's,
// even as root with no XDG_RUNTIME_DIR; the limits and signals of a real system end a write with
// a message or a clean exit, never with a torn file or a temporary left behind.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class PlotProgram : public ::testing::Test {
 protected:
  PlotProgram() {
    EXPECT_TRUE(dir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    // Qt's stand-in runtime folder is then under TMPDIR: the tool's table of running instances
    // stays its own, whatever else runs beside the tests.
    environment.insert(QStringLiteral("TMPDIR"), dir.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("HOME"), dir.path());
    plot.setProcessEnvironment(environment);
    // As from a terminal, whatever started the tests (a background job ignores SIGINT).
    plot.setChildProcessModifier([] {
      for (const int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
    });
  }
  // Starts the tool, under `limits` (shell ulimit options) when given.
  void start(const QStringList& arguments, const QString& limits = {}) {
    if (limits.isEmpty()) return plot.start(QStringLiteral(TESSALINE_PLOT_PROGRAM), arguments);
    plot.start(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), QStringLiteral("ulimit %1 && exec \"$0\" \"$@\"").arg(limits),
                                                     QStringLiteral(TESSALINE_PLOT_PROGRAM)} +
                                              arguments);
  }
  QString finish() {
    EXPECT_TRUE(plot.waitForFinished(120000));
    return QString::fromLocal8Bit(plot.readAllStandardError());
  }
  QStringList temporaries() const {
    return QDir(dir.path()).entryList({QStringLiteral(".*.tessaline-*")}, QDir::Files | QDir::Hidden);
  }
  // Waits until the tool writes its temporary, then sends it `signal`.
  bool signalDuringTheWrite(int signal) {
    QElapsedTimer waited;
    waited.start();
    while (temporaries().isEmpty()) {
      if (plot.state() == QProcess::NotRunning || waited.elapsed() > 60000) return false;
      QThread::msleep(2);
    }
    ::kill(static_cast<pid_t>(plot.processId()), signal);
    return true;
  }
  QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  static QStringList bigRun() {
    return {QStringLiteral("-e"), QStringLiteral("sin(x)"), QStringLiteral("0"), QStringLiteral("999999"), QStringLiteral("1")};
  }

  QTemporaryDir dir;
  QProcess plot;
};

TEST_F(PlotProgram, PrintsItsOwnWordsAndNoQtWarnings) {
  start({QStringLiteral("-e"), QStringLiteral("sin(x)"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.5"),
         QStringLiteral("-o"), path("book.png")});
  const QString said = finish();
  EXPECT_EQ(plot.exitCode(), 0) << said.toStdString();
  EXPECT_EQ(said, QStringLiteral("Done.\n"));
}

TEST_F(PlotProgram, ASignalDuringTheWriteLeavesNoTemporaryAndNoFile) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    start(bigRun() << QStringLiteral("-o") << path("book.xlsx"));
    ASSERT_TRUE(signalDuringTheWrite(signal)) << finish().toStdString();
    EXPECT_EQ(finish(), QStringLiteral("tessaline-plot: stopped by a signal; no half-written file is left behind.\n"));
    EXPECT_EQ(plot.exitStatus(), QProcess::CrashExit) << "ended by the signal, as without our handler";
    EXPECT_TRUE(temporaries().isEmpty()) << temporaries().join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(path("book.xlsx")));
  }
}

TEST_F(PlotProgram, TheTemporaryOfAKilledRunIsRemovedByTheNextWrite) {
  start(bigRun() << QStringLiteral("-o") << path("book.xlsx"));
  ASSERT_TRUE(signalDuringTheWrite(SIGKILL));
  finish();
  ASSERT_EQ(temporaries().size(), 1) << "kill -9 leaves it: nothing runs after it";
  start({QStringLiteral("-e"), QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"),
         QStringLiteral("-o"), path("other.csv.xlsx")});
  EXPECT_EQ(finish(), QStringLiteral("Done.\n"));
  EXPECT_TRUE(temporaries().isEmpty()) << temporaries().join(' ').toStdString();
}

TEST_F(PlotProgram, TheFileSizeLimitIsAMessageNotASignal) {
  // The workbook says it in the same plain words as the pictures.
  const std::pair<const char*, const char*> cases[] = {
      {"book.xlsx", "(the file size limit, ulimit -f)"},
      {"chart.png", "(the file size limit, ulimit -f)"},
      {"chart.pdf", "(the file size limit, ulimit -f)"},
  };
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    start(QStringList{QStringLiteral("-e"), QStringLiteral("sin(x)"), QStringLiteral("0"), QStringLiteral("20000"),
                      QStringLiteral("1"), QStringLiteral("-o"), path(name)},
          QStringLiteral("-f 8"));  // 4 kB
    const QString said = finish();
    EXPECT_EQ(plot.exitStatus(), QProcess::NormalExit) << said.toStdString();
    EXPECT_EQ(plot.exitCode(), 1);
    EXPECT_TRUE(said.contains(QString::fromUtf8(path(name).toUtf8() + "\": "))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8(reason))) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("Done.")));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
  }
}

TEST_F(PlotProgram, APictureTooLargeForTheMemoryIsRefusedBeforeDrawing) {
  start({QStringLiteral("-e"), QStringLiteral("sin(x)"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.5"),
         QStringLiteral("-o"), path("huge.png"), QStringLiteral("--size"), QStringLiteral("20000x20000")},
        QStringLiteral("-v 900000"));  // 900 MB of address space: the picture needs about 1.9 GB
  const QString said = finish();
  EXPECT_EQ(plot.exitCode(), 1) << said.toStdString();
  const QStringList lines = said.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3) << said.toStdString();  // two lines of our own, nothing of Qt's
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("tessaline-plot: Could not write the picture \"%1\": a picture of "
                                                 "20000x20000 pixels needs 1907 MB of memory to draw, and only ")
                                      .arg(path("huge.png"))))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" MB are free here; choose a smaller size.")));
  EXPECT_EQ(lines[1], QStringLiteral("tessaline-plot: %1 was not written.").arg(path("huge.png")));
  EXPECT_FALSE(QFile::exists(path("huge.png")));
}

}  // namespace
