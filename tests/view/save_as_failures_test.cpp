// Save As when the disk says no: the window tells the user, shows no "Saved", and every file it
// would have replaced stays as it was, with no temporary left beside it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

#include "output/system_calls.h"
#include "view/workbook_window.h"
#include "workbook_file/xlsx_export.h"
#include "view_test_support.h"

using view::WorkbookWindow;

namespace {

class SaveAsFailures : public ::testing::Test {
 protected:
  SaveAsFailures() : run(view_testing::runOf({{"x", "0", "200", "1"}, {"x*x", "0", "200", "1"}})) {
    actions.showMessage = [this](QWidget*, const QString& text) { messages << text; };
    actions.writeXlsx = [](const core::WorkbookModel& book, const QString& path) {
      workbook_file::exportXlsx(book, path.toStdString());
    };
    window = std::make_unique<WorkbookWindow>(run->engine.lastWorkbook(), dir.filePath("Book1.xlsx"), actions);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
  }
  void put(const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray contents(const QString& name) const {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }
  QStringList entries() const {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  }
  // Saves and expects a refusal whose message holds `reason`.
  void expectRefused(const QString& name, const QString& reason) {
    messages.clear();
    window->statusBar()->clearMessage();
    EXPECT_FALSE(window->saveAs(dir.filePath(name))) << name.toStdString();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(reason)) << messages[0].toStdString();
    EXPECT_FALSE(messages[0].contains(QStringLiteral("bad_alloc")));
    EXPECT_FALSE(window->statusBar()->currentMessage().startsWith(QStringLiteral("Saved")));
  }

  std::unique_ptr<testing_support::RunFixture> run;
  QTemporaryDir dir;
  view::WorkbookWindowActions actions;
  std::unique_ptr<WorkbookWindow> window;
  QStringList messages;
};

// Writes stop with ENOSPC after `limit` bytes, or throw as an allocation that failed.
output::SystemCalls diskFullAfter(std::size_t limit) {
  auto taken = std::make_shared<std::size_t>(0);
  return {[=](int fd, const void* data, std::size_t size) -> ssize_t {
            if (*taken >= limit) {
              errno = ENOSPC;
              return -1;
            }
            const std::size_t n = std::min(size, limit - *taken);
            *taken += n;
            return ::write(fd, data, n);
          },
          {}};
}

TEST_F(SaveAsFailures, AFullDiskIsToldAndTheOldFilesStay) {
  put("data.csv", "old values");
  put("charts-1.png", "old first");
  put("charts-2.png", "old second");
  put("charts.pdf", "old document");
  put("book.xlsx", "old workbook");
  const QStringList before = entries();
  {
    output::ScopedSystemCalls full(diskFullAfter(1000));
    expectRefused("data.csv", QStringLiteral("Could not write the CSV file \"%1\": the disk is full.").arg(dir.filePath("data.csv")));
    expectRefused("charts.pdf", QStringLiteral("the disk is full"));
    expectRefused("book.xlsx", QStringLiteral("Could not write the workbook \"%1\": the disk is full.").arg(dir.filePath("book.xlsx")));
  }
  {
    // The first picture fits, the second does not: neither is replaced.
    const qint64 first = [&] {
      QTemporaryDir scratch;
      WorkbookWindow probe(run->engine.lastWorkbook(), scratch.filePath("Book1.xlsx"), actions);
      probe.setAttribute(Qt::WA_DeleteOnClose, false);
      EXPECT_TRUE(probe.saveAs(scratch.filePath("p.png")));
      return QFileInfo(scratch.filePath("p-1.png")).size();
    }();
    output::ScopedSystemCalls full(diskFullAfter(static_cast<std::size_t>(first) + 10));
    expectRefused("charts.png", QStringLiteral("the disk is full"));
  }
  EXPECT_EQ(contents("data.csv"), "old values");
  EXPECT_EQ(contents("charts-1.png"), "old first");
  EXPECT_EQ(contents("charts-2.png"), "old second");
  EXPECT_EQ(contents("charts.pdf"), "old document");
  EXPECT_EQ(contents("book.xlsx"), "old workbook");
  EXPECT_EQ(entries(), before) << entries().join(' ').toStdString();
}

TEST_F(SaveAsFailures, RunningOutOfMemoryIsSaidInPlainWords) {
  output::ScopedSystemCalls noMemory({[](int, const void*, std::size_t) -> ssize_t { throw std::bad_alloc(); }, {}});
  expectRefused("data.csv", QStringLiteral("there is not enough memory to write it."));
  expectRefused("charts.svg", QStringLiteral("there is not enough memory to write it."));
  expectRefused("book.xlsx", QStringLiteral("Could not write the workbook \"%1\": there is not enough memory to write it.")
                                 .arg(dir.filePath("book.xlsx")));
  EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
}

TEST_F(SaveAsFailures, EveryNumberedPictureIsCheckedBeforeAnyIsWritten) {
  put("ro-1.png", "first");
  put("ro-2.png", "read-only second");
  ::chmod(QFile::encodeName(dir.filePath("ro-2.png")).constData(), 0444);
  expectRefused("ro.png", QStringLiteral("\"%1\": the file is read-only").arg(dir.filePath("ro-2.png")));
  EXPECT_EQ(contents("ro-1.png"), "first");
  EXPECT_EQ(contents("ro-2.png"), "read-only second");
  struct stat status {};
  ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("ro-2.png")).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);

  put("dir-1.svg", "first");
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir-2.svg")));
  expectRefused("dir.svg", QStringLiteral("it is a folder"));
  EXPECT_EQ(contents("dir-1.svg"), "first");

  // Two names of the set that are one file: the second would overwrite the first.
  ASSERT_TRUE(QFile::link(dir.filePath("same-2.png"), dir.filePath("same-1.png")));
  expectRefused("same.png", QStringLiteral("same set"));
  EXPECT_FALSE(QFile::exists(dir.filePath("same-2.png")));
}

}  // namespace
