#include "platform/file_check.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/error_report.h"

namespace {

using platform::FileTime;

TEST(FileCheck, FilesAndFoldersExistMissingEntriesDoNot) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("a.txt"));
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.close();
  EXPECT_TRUE(platform::FileExists(file));
  EXPECT_TRUE(platform::FileExists(dir.path()));
  EXPECT_FALSE(platform::FileExists(dir.filePath(QStringLiteral("missing.txt"))));
  EXPECT_FALSE(platform::FileExists(QString()));
  EXPECT_FALSE(platform::FileExists(QStringLiteral("/nonexistent-folder/a.txt")));
  // A path that runs through a plain file as though it were a folder is missing, not a failure.
  EXPECT_EQ(platform::checkLastModified(file + QStringLiteral("/below")).state, FileTime::Missing);
}

TEST(FileCheck, TheTrappedFormReportsOnlyRealFailures) {
  QTemporaryDir dir;
  EXPECT_TRUE(platform::lastModifiedReadable(dir.path()));
  EXPECT_FALSE(platform::lastModifiedReadable(dir.filePath(QStringLiteral("none"))));
  // A name too long for the system is neither there nor missing: it is a failure that names it.
  const QString tooLong = dir.filePath(QString(5000, QLatin1Char('n')));
  EXPECT_EQ(platform::checkLastModified(tooLong).state, FileTime::Unreadable);
  try {
    platform::lastModifiedReadable(tooLong);
    ADD_FAILURE() << "no failure reported";
  } catch (const platform::StepFailure& failure) {
    EXPECT_TRUE(QString::fromUtf8(failure.what()).contains(tooLong.left(40)));
  }
}

}  // namespace
