// The workbook file as the user's system sees it: permissions, links, odd targets, failures
// half-way, and a file that is well-formed whatever text reached the writer.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/workbook_error.h"
#include "core/workbook_model.h"
#include "output/output_file.h"
#include "workbook_file/xlsx_export.h"
#include "support/well_formed.h"

namespace {

class OutputFileTest : public ::testing::Test {
 protected:
  OutputFileTest() {
    book.setNumber(*book.at(1), 1, 1, 2.5);
    book.setText(*book.at(1), 1, 2, "=A1*2");
  }
  std::string path(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }
  static unsigned modeOf(const std::string& file) {
    struct stat status {};
    EXPECT_EQ(::stat(file.c_str(), &status), 0) << file;
    return status.st_mode & 07777;
  }
  QStringList entries() const {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  }
  static bool isZip(const std::string& file) {
    QFile f(QString::fromStdString(file));
    return f.open(QIODevice::ReadOnly) && f.read(2) == "PK";
  }
  std::string failureOf(const std::string& target) {
    try {
      workbook_file::exportXlsx(book, target);
    } catch (const core::WorkbookError& e) {
      return e.what();
    }
    return {};
  }

  QTemporaryDir folder;
  core::WorkbookModel book{1};
};

struct UmaskScope {
  explicit UmaskScope(mode_t mask) : old(::umask(mask)) {}
  ~UmaskScope() { ::umask(old); }
  mode_t old;
};

TEST_F(OutputFileTest, NewFilesHonourTheUmaskAndReplacedFilesKeepTheirMode) {
  {
    UmaskScope mask(027);
    workbook_file::exportXlsx(book, path("group.xlsx"));
    EXPECT_EQ(modeOf(path("group.xlsx")), 0640u);
  }
  {
    UmaskScope mask(077);
    workbook_file::exportXlsx(book, path("private.xlsx"));
    EXPECT_EQ(modeOf(path("private.xlsx")), 0600u);
    ::chmod(path("group.xlsx").c_str(), 0664);
    workbook_file::exportXlsx(book, path("group.xlsx"));
    EXPECT_EQ(modeOf(path("group.xlsx")), 0664u) << "a replaced file keeps its mode";
  }
  EXPECT_TRUE(isZip(path("group.xlsx")));
  EXPECT_EQ(entries(), (QStringList{"group.xlsx", "private.xlsx"})) << "no temporary is left";
}

TEST_F(OutputFileTest, AReadOnlyTargetIsRefusedAndLeftAsItIs) {
  QFile file(QString::fromStdString(path("keep.xlsx")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("mine");
  file.close();
  ::chmod(path("keep.xlsx").c_str(), 0400);
  const std::string message = failureOf(path("keep.xlsx"));
  EXPECT_NE(message.find("read-only"), std::string::npos) << message;
  EXPECT_NE(message.find("keep.xlsx"), std::string::npos);
  EXPECT_EQ(modeOf(path("keep.xlsx")), 0400u);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "mine");
  EXPECT_EQ(entries(), QStringList{"keep.xlsx"});
}

TEST_F(OutputFileTest, ALinkIsWrittenThroughAndStaysALink) {
  QDir(folder.path()).mkdir("real");
  QFile old(QString::fromStdString(path("real/book.xlsx")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.close();
  ::chmod(path("real/book.xlsx").c_str(), 0640);
  ASSERT_EQ(::symlink("real/book.xlsx", path("link.xlsx").c_str()), 0);
  ASSERT_EQ(::symlink("real/new.xlsx", path("dangling.xlsx").c_str()), 0);
  workbook_file::exportXlsx(book, path("link.xlsx"));
  workbook_file::exportXlsx(book, path("dangling.xlsx"));
  struct stat status {};
  ASSERT_EQ(::lstat(path("link.xlsx").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  ASSERT_EQ(::lstat(path("dangling.xlsx").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_TRUE(isZip(path("real/book.xlsx")));
  EXPECT_TRUE(isZip(path("real/new.xlsx")));
  EXPECT_EQ(modeOf(path("real/book.xlsx")), 0640u);
  EXPECT_EQ(QDir(folder.filePath("real")).entryList(QDir::Files | QDir::Hidden), (QStringList{"book.xlsx", "new.xlsx"}));
}

TEST_F(OutputFileTest, TargetsThatAreNoFileAreRefusedBeforeAnythingIsCreated) {
  const std::pair<std::string, const char*> cases[] = {
      {path("new.xlsx/"), "names a folder"},
      {folder.path().toStdString(), "is a folder"},
      {"/dev/null", "not a regular file"},
      {path("missing/book.xlsx"), "does not exist"},
  };
  for (const auto& [target, expected] : cases) {
    const std::string message = failureOf(target);
    EXPECT_NE(message.find(expected), std::string::npos) << target << ": " << message;
    EXPECT_THROW(output::checkOutputTarget(QString::fromStdString(target)), core::WorkbookError);
  }
  EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
}

TEST_F(OutputFileTest, AWriteCutShortNamesTheTargetAndLeavesNoTemporary) {
  for (int row = 1; row <= 20000; ++row) book.setText(*book.at(1), row, 3, "=A1*" + std::to_string(row));
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;  // a file size limit, as ulimit -f sets it; SIGXFSZ would kill us
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string message = failureOf(path("big.xlsx"));
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_NE(message.find("\"" + path("big.xlsx") + "\""), std::string::npos) << message;
  EXPECT_EQ(message.find(".big.xlsx."), std::string::npos) << "the temporary is not named: " << message;
  EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
}

TEST_F(OutputFileTest, TextTheFileCannotHoldNeverMakesAPartIllFormed) {
  // Past the workbook's own checks (as a computed text could be): straight into the cells and chart.
  book.at(1)->cells->setText(2, 1, "esc \x1b end");
  book.at(1)->cells->setText(3, 1, "U+FFFF \xEF\xBF\xBF and a stray \xFF byte");
  auto chart = book.addChartBeforeActive();
  chart->chart->type = core::ChartType::XYScatterSmoothNoMarkers;
  chart->chart->hasTitle = true;
  chart->chart->title = "F(x) = x&\"\x1b\"";
  auto series = std::make_shared<core::SeriesData>();
  series->name = "bell \x07";
  series->xValues = core::SeriesReference{book.find("Sheet1"), core::CellBlock{1, 1, 3, 1}};
  series->values = core::SeriesReference{book.find("Sheet1"), core::CellBlock{1, 2, 3, 2}};
  chart->chart->series.push_back(series);
  workbook_file::exportXlsx(book, path("hostile.xlsx"));
  EXPECT_EQ(testing_support::wellFormedProblems({QString::fromStdString(path("hostile.xlsx"))}).toStdString(), "");
}

}  // namespace
