// Where a write lands: as the kernel resolves the path, links and ".." included.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "core/workbook_error.h"
#include "core/workbook_model.h"
#include "output/target_path.h"
#include "workbook_file/xlsx_export.h"

namespace {

std::string realFolder(const QTemporaryDir& folder) {
  char real[PATH_MAX];
  return ::realpath(QFile::encodeName(folder.path()).constData(), real) ? real : "";
}

TEST(TargetPath, DotDotAfterALinkIsResolvedWhereTheKernelPutsTheFile) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("real/deep")));
  ASSERT_EQ(::symlink("real/deep", QFile::encodeName(folder.filePath("link")).constData()), 0);
  const std::string target = folder.path().toStdString() + "/link/../out.xlsx";
  EXPECT_EQ(output::resolveTarget(target).path, realFolder(folder) + "/real/out.xlsx");

  // Where the kernel creates it (as `touch` would) is where the workbook goes.
  const int fd = ::open((folder.path().toStdString() + "/link/../probe").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(QFile::exists(folder.filePath("real/probe")));
  core::WorkbookModel book(1);
  workbook_file::exportXlsx(book, target);
  EXPECT_TRUE(QFile::exists(folder.filePath("real/out.xlsx")));
  EXPECT_FALSE(QFile::exists(folder.filePath("out.xlsx")));
}

TEST(TargetPath, NamesThatAreNoFileOrCannotBeReachedSaySo) {
  QTemporaryDir folder;
  const std::string base = folder.path().toStdString();
  ASSERT_EQ(::symlink("loop-b", (base + "/loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", (base + "/loop-b").c_str()), 0);
  QFile plain(folder.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  const std::pair<std::string, const char*> cases[] = {
      {"", "no file name"},
      {base + "/sub/", "names a folder"},
      {base + "/..", "names a folder"},
      {base + "/.", "names a folder"},
      {base + "/loop-a", "more than 40 symbolic links"},
      {base + "/missing/out.xlsx", "does not exist"},
      {base + "/plain/out.xlsx", "is not a folder"},
  };
  for (const auto& [target, expected] : cases) {
    const auto resolved = output::resolveTarget(target);
    EXPECT_TRUE(resolved.path.empty()) << target;
    EXPECT_NE(resolved.problem.find(expected), std::string::npos) << target << ": " << resolved.problem;
  }
  char* here = ::getcwd(nullptr, 0);
  EXPECT_EQ(output::absoluteWithoutCleaning("a/../b"), std::string(here) + "/a/../b") << "the text keeps its \"..\"";
  std::free(here);
}

}  // namespace
