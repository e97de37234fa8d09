// Names reserved for a file written later: the empty file claims the name, and only that empty
// file is ever removed again, by the end of the reservation or by a signal that ends the program.
// A user's own file, empty or not, is left as it was.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "output/output_file.h"
#include "output/reserved_file.h"
#include "output/temporaries.h"

namespace {

QStringList entriesOf(const QTemporaryDir& folder) {
  QStringList entries = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  entries.sort();
  return entries;
}

QByteArray contentsOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  file.write(bytes);
}

void writeThrough(const QString& path, std::string_view bytes) {
  output::OutputFile file(path);
  file.write(bytes);
  file.commit();
}

// Runs `body` in a child, then SIGTERM with the temporaries' handler installed; true when the
// signal ended the child. What is to be there at the signal is kept in statics.
template <class Body>
bool endedBySignal(Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGTERM, SIG_DFL);
    output::removeTemporariesOnSignal();
    body();
    ::raise(SIGTERM);
    ::_exit(0);  // not reached: the default action ends the child
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
}

class ReservedFileTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
  std::string bytes(const char* name) const { return QFile::encodeName(path(name)).toStdString(); }
  QTemporaryDir folder;
};

TEST_F(ReservedFileTest, AClaimMakesAnEmptyFileAndATakenNameIsNotClaimedAgain) {
  auto first = output::ReservedFile::claim(bytes("Book1.xlsx"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->path(), bytes("Book1.xlsx"));
  EXPECT_EQ(QFileInfo(path("Book1.xlsx")).size(), 0);
  EXPECT_FALSE(output::ReservedFile::claim(bytes("Book1.xlsx"))) << "claimed twice";
  ASSERT_EQ(::symlink("/nonexistent/target", bytes("Book2.xlsx").c_str()), 0);
  EXPECT_FALSE(output::ReservedFile::claim(bytes("Book2.xlsx"))) << "a dangling link is a taken name";
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Book3.xlsx")));
  EXPECT_FALSE(output::ReservedFile::claim(bytes("Book3.xlsx")));
  try {
    output::ReservedFile::claim(bytes("missing/Book1.xlsx"));
    FAIL() << "claimed in a folder that is not there";
  } catch (const output::OutputError& error) {
    EXPECT_NE(std::string(error.what()).find(bytes("missing/Book1.xlsx")), std::string::npos) << error.what();
    EXPECT_NE(error.reason().find("could not be created"), std::string::npos) << error.reason();
  }
}

TEST_F(ReservedFileTest, TheEndOfAReservationRemovesOnlyItsOwnEmptyFile) {
  output::ReservedFile::claim(bytes("Book1.xlsx"));  // unused: gone again at once
  {
    auto written = output::ReservedFile::claim(bytes("Book2.xlsx"));
    writeThrough(path("Book2.xlsx"), "PK complete");
  }
  {
    auto filled = output::ReservedFile::claim(bytes("Book3.xlsx"));
    put(path("Book3.xlsx"), "the user's own words");  // the same file, no longer empty
  }
  {
    auto replaced = output::ReservedFile::claim(bytes("Book4.xlsx"));
    ASSERT_TRUE(QFile::remove(path("Book4.xlsx")));
    put(path("Book4.xlsx"), "");  // the user's own empty file in its place
  }
  EXPECT_EQ(entriesOf(folder), (QStringList{"Book2.xlsx", "Book3.xlsx", "Book4.xlsx"}));
  EXPECT_EQ(contentsOf(path("Book2.xlsx")), "PK complete");
  EXPECT_EQ(contentsOf(path("Book3.xlsx")), "the user's own words");
  EXPECT_EQ(contentsOf(path("Book4.xlsx")), "");
}

TEST_F(ReservedFileTest, ASignalDuringTheWriteRemovesTheTemporaryAndTheReservedName) {
  EXPECT_TRUE(endedBySignal([&] {
    static auto reserved = output::ReservedFile::claim(bytes("Book1.xlsx"));
    static output::OutputFile file(path("Book1.xlsx"));
    file.write("PK");
  }));
  EXPECT_EQ(entriesOf(folder), QStringList{}) << entriesOf(folder).join(' ').toStdString();
}

TEST_F(ReservedFileTest, ASignalLeavesAUsersEmptyFileAndAFinishedWorkbook) {
  put(path("mine.xlsx"), "");  // the user's own, empty: never reserved by us
  EXPECT_TRUE(endedBySignal([&] {
    static std::unique_ptr<output::ReservedFile> finished, displaced;
    finished = output::ReservedFile::claim(bytes("Book1.xlsx"));
    writeThrough(path("Book1.xlsx"), "PK complete");  // written, the reservation not yet ended
    displaced = output::ReservedFile::claim(bytes("Book2.xlsx"));
    QFile::remove(path("Book2.xlsx"));
    put(path("Book2.xlsx"), "");  // the user's empty file where ours was
    static output::OutputFile file(path("mine.xlsx"), "the workbook");
    file.write("PK");
  }));
  EXPECT_EQ(entriesOf(folder), (QStringList{"Book1.xlsx", "Book2.xlsx", "mine.xlsx"}))
      << "only the temporary goes: " << entriesOf(folder).join(' ').toStdString();
  EXPECT_EQ(contentsOf(path("Book1.xlsx")), "PK complete");
  EXPECT_EQ(contentsOf(path("mine.xlsx")), "");
}

}  // namespace
