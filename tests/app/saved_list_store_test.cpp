#include "batch/file_settings_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/saved_list_keeper.h"
#include "equations/list_rows_helper.h"
#include "output/system_calls.h"
#include "platform/error_report.h"
#include "support/scripted_dialogs.h"

namespace {

using app::FileSettingsStore;

const QString kKey = QStringLiteral("Equations");

QString utf16(const char16_t* text) { return QString::fromUtf16(text); }

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs body in a child process and returns its exit code (-signal when it was killed).
template <class Body>
int exitCodeOfChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class FileSettingsStoreTest : public ::testing::Test {
 protected:
  QTemporaryDir base;
  FileSettingsStore store{base.path()};
};

TEST_F(FileSettingsStoreTest, AKeyNeverWrittenGivesTheDefault) {
  EXPECT_EQ(store.read(kKey, QStringLiteral("fallback")), QStringLiteral("fallback"));
  EXPECT_EQ(store.read(kKey, QString()), QString());
}

TEST_F(FileSettingsStoreTest, EveryValueReadsBackUnchangedAsRawUtf8) {
  const std::vector<QString> values = {
      QString(),
      QStringLiteral("plain"),
      QStringLiteral("line\r\nends\rand\nmore\r"),
      QStringLiteral("\ttabs\t"),
      QStringLiteral("key=value; # comment"),
      QStringLiteral("[Section]\n[General]"),
      QStringLiteral("\"quoted\" 'single'"),
      QStringLiteral("back\\slash\\\\ \\n \\x41"),
      utf16(u"\u00FC\u20AC\u221Ax \U0001F600"),
      QStringLiteral("  leading and trailing  "),
      QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"),
      QStringLiteral("@ByteArray(x) @Variant(y)"),
      QString(3'000'000, QLatin1Char('z')),
  };
  for (const QString& value : values) {
    SCOPED_TRACE(value.left(40).toStdString());
    store.write(kKey, value);
    EXPECT_EQ(store.read(kKey, QStringLiteral("default")), value);
    EXPECT_EQ(fileBytes(store.pathOf(kKey)), value.toUtf8());
  }
}

TEST_F(FileSettingsStoreTest, ValuesLiveInTheApplicationsSectionFolderOneFilePerKey) {
  EXPECT_EQ(store.sectionFolder(), base.path() + QStringLiteral("/Quorvane/Tessaline"));
  store.write(QStringLiteral("a"), QStringLiteral("1"));
  store.write(QStringLiteral("b"), QStringLiteral("2"));
  EXPECT_EQ(store.read(QStringLiteral("a"), {}), QStringLiteral("1"));
  EXPECT_EQ(store.read(QStringLiteral("b"), {}), QStringLiteral("2"));
  for (const char* key : {"../escape", "a/b", ".hidden", "..", "Equations"}) {
    SCOPED_TRACE(key);
    const QString path = store.pathOf(QString::fromLatin1(key));
    ASSERT_TRUE(path.startsWith(store.sectionFolder() + QLatin1Char('/')));
    const QString name = path.mid(store.sectionFolder().size() + 1);
    EXPECT_FALSE(name.contains(QLatin1Char('/')));
    EXPECT_FALSE(name.startsWith(QLatin1Char('.')));
  }
  EXPECT_NE(store.pathOf(QStringLiteral("a/b")), store.pathOf(QStringLiteral("a_b")));
}

TEST_F(FileSettingsStoreTest, AFailedWriteThrowsAndSaysWhat) {
  ASSERT_TRUE(QDir().mkpath(store.pathOf(kKey)));  // a folder where the value's file should be
  try {
    store.write(kKey, QStringLiteral("x"));
    FAIL() << "a write over a folder went through";
  } catch (const platform::StepFailure& failure) {
    EXPECT_TRUE(QString::fromUtf8(failure.what()).contains(kKey)) << failure.what();
  }
  EXPECT_THROW(store.read(kKey, {}), platform::StepFailure);
}

TEST_F(FileSettingsStoreTest, AFullDiskLeavesThePreviousValue) {
  const QString previous = QStringLiteral("x + 1||MySeparator12||0||MySeparator12||1||MySeparator12||1||MySeparator23||");
  store.write(kKey, previous);
  // The child may write no more than 64 KiB to any file: the write of 1 MB fails part way.
  const int code = exitCodeOfChild([&] {
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_IGN);
    try {
      store.write(kKey, QString(1'000'000, QLatin1Char('n')));
    } catch (const platform::StepFailure&) {
      return 3;
    }
    return 0;
  });
  EXPECT_EQ(code, 3) << "the failed write did not throw";
  EXPECT_EQ(store.read(kKey, {}), previous);
  store.write(kKey, QStringLiteral("after"));
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("after"));
}

TEST_F(FileSettingsStoreTest, AFullDiskIsNamedInPlainWords) {
  store.write(kKey, QStringLiteral("before"));
  const std::pair<int, const char*> cases[] = {
      {ENOSPC, "the disk is full."},
      {EDQUOT, "your disk quota is used up."},
      {EFBIG, "the file would be larger than this program may write (the file size limit, ulimit -f)."},
  };
  for (const auto& [error, reason] : cases) {
    SCOPED_TRACE(reason);
    output::ScopedSystemCalls full({[error](int, const void*, size_t) -> ssize_t {
                                      errno = error;
                                      return -1;
                                    },
                                    {}});
    try {
      store.write(kKey, QStringLiteral("after"));
      FAIL() << "a write on a full disk went through";
    } catch (const platform::StepFailure& failure) {
      EXPECT_EQ(QString::fromUtf8(failure.what()),
                QStringLiteral("The setting \"Equations\" could not be saved: ") + QLatin1String(reason));
    }
  }
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("before"));
  EXPECT_EQ(QDir(store.sectionFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Equations.value")})
      << "the temporary file was left behind";
}

// Values are the user's alone, whatever mode the file had, and a value file that is a link (a
// folder of dotfiles kept elsewhere) is written through, the link kept.
TEST_F(FileSettingsStoreTest, EveryValueIsPrivateAndALinkedValueIsWrittenThrough) {
  const auto modeOf = [&] {
    struct stat status {};
    return ::stat(QFile::encodeName(store.pathOf(kKey)).constData(), &status) == 0 ? status.st_mode & 07777 : 07777u;
  };
  store.write(kKey, QStringLiteral("first"));
  EXPECT_EQ(modeOf(), 0600u);
  ASSERT_EQ(::chmod(QFile::encodeName(store.pathOf(kKey)).constData(), 0644), 0);
  store.write(kKey, QStringLiteral("second"));
  EXPECT_EQ(modeOf(), 0600u);

  const QString elsewhere = base.filePath(QStringLiteral("dotfiles-Equations"));
  ASSERT_TRUE(QFile::rename(store.pathOf(kKey), elsewhere));
  ASSERT_TRUE(QFile::link(elsewhere, store.pathOf(kKey)));
  store.write(kKey, QStringLiteral("third"));
  EXPECT_TRUE(QFileInfo(store.pathOf(kKey)).isSymLink());
  EXPECT_EQ(fileBytes(elsewhere), QByteArray("third"));
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("third"));
}

// The copy of a value that is not UTF-8 goes through the same checked path: when it cannot be
// written, the read says so and no half copy is left.
TEST_F(FileSettingsStoreTest, ACopyThatCannotBeWrittenLeavesNoHalfCopy) {
  ASSERT_TRUE(QDir().mkpath(store.sectionFolder()));
  const QByteArray stored = QByteArray("caf\xE9 ") + QByteArray(100000, 'x');
  QFile file(store.pathOf(kKey));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(stored);
  file.close();
  auto taken = std::make_shared<size_t>(0);
  output::ScopedSystemCalls full({[taken](int fd, const void* data, size_t size) -> ssize_t {
                                    if (*taken >= 5000) {
                                      errno = ENOSPC;
                                      return -1;
                                    }
                                    const ssize_t n = ::write(fd, data, std::min<size_t>(size, 5000 - *taken));
                                    if (n > 0) *taken += static_cast<size_t>(n);
                                    return n;
                                  },
                                  {}});
  try {
    store.read(kKey, {});
    FAIL() << "a copy on a full disk was reported as kept";
  } catch (const platform::StepFailure& failure) {
    EXPECT_TRUE(QString::fromUtf8(failure.what()).endsWith(QStringLiteral(": the disk is full."))) << failure.what();
  }
  EXPECT_EQ(QDir(store.sectionFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Equations.value")});
  EXPECT_EQ(fileBytes(store.pathOf(kKey)), stored);
}

TEST_F(FileSettingsStoreTest, APipeOrDeviceInTheValuesPlaceIsRefusedWithoutWaiting) {
  ASSERT_TRUE(QDir().mkpath(store.sectionFolder()));
  ASSERT_EQ(::mkfifo(QFile::encodeName(store.pathOf(kKey)).constData(), 0600), 0);
  // In a child, so that a read that blocks fails the test instead of hanging it.
  const int code = exitCodeOfChild([&] {
    alarm(10);
    try {
      store.read(kKey, {});
    } catch (const platform::StepFailure& failure) {
      return QString::fromUtf8(failure.what()).contains(QStringLiteral("named pipe")) ? 3 : 4;
    }
    return 0;
  });
  EXPECT_EQ(code, 3);
  ASSERT_TRUE(QFile::remove(store.pathOf(kKey)));
  ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(store.pathOf(kKey)).constData()), 0);
  EXPECT_THROW(store.read(kKey, {}), platform::StepFailure);
}

TEST_F(FileSettingsStoreTest, AValueTooLargeToReadBackIsNotWritten) {
  store.write(kKey, QStringLiteral("before"));
  const QString huge(static_cast<qsizetype>(app::kSettingsValueLimit / 2 + 1), QChar(0x00E9));  // two bytes each
  EXPECT_THROW(store.write(kKey, huge), platform::StepFailure);
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("before"));
}

TEST_F(FileSettingsStoreTest, BytesThatAreNotUtf8AreKeptInACopyAndTheReadSaysWhere) {
  ASSERT_TRUE(QDir().mkpath(store.sectionFolder()));
  const QByteArray stored("caf\xE9||MySeparator12||0||MySeparator12||1||MySeparator12||1||MySeparator23||");
  QFile file(store.pathOf(kKey));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(stored);
  file.close();
  const QString value = store.read(kKey, {});
  EXPECT_TRUE(value.startsWith(utf16(u"caf\uFFFD||"))) << value.toStdString();
  const QString notice = store.readNotice();
  const qsizetype at = notice.indexOf(store.pathOf(kKey) + QStringLiteral(".not-utf8-"));
  ASSERT_GE(at, 0) << notice.toStdString();
  EXPECT_EQ(fileBytes(notice.mid(at)), stored);
  const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
  EXPECT_FALSE(QFile::permissions(notice.mid(at)) & others) << "the copy is as private as the list";
  store.write(kKey, QStringLiteral("clean"));
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("clean"));
  EXPECT_TRUE(store.readNotice().isEmpty());
}

TEST_F(FileSettingsStoreTest, SetAsideKeepsTheValueWholeAndFreesTheKey) {
  EXPECT_EQ(store.setAside(kKey), QString());  // nothing stored, nothing to keep
  store.write(kKey, QStringLiteral("kept"));
  const QString keptIn = store.setAside(kKey);
  EXPECT_EQ(fileBytes(keptIn), QByteArray("kept"));
  EXPECT_EQ(store.read(kKey, QStringLiteral("none")), QStringLiteral("none"));
}

// A value the store cannot read is reported at start-up and then never silently replaced.
TEST_F(FileSettingsStoreTest, AnUnreadableSavedListSurvivesTheClosingOfTheWindow) {
  const QString unreadable(QStringLiteral("x||MySeparator12||0||MySeparator12||1||MySeparator12||1||MySeparator23||"));
  store.write(kKey, unreadable);
  // Unreadable for the store, whoever runs the test: a pipe stands in the value's place.
  const QString real = store.pathOf(kKey) + QStringLiteral(".real");
  ASSERT_TRUE(QFile::rename(store.pathOf(kKey), real));
  ASSERT_EQ(::mkfifo(QFile::encodeName(store.pathOf(kKey)).constData(), 0600), 0);

  testing_support::ScriptedDialogs dialogs;
  dialogs.answerMessage();
  equations::EquationListModel list;
  platform::ErrorTrap loadTrap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  EXPECT_FALSE(app::restoreEquationList(list, store, loadTrap));
  EXPECT_EQ(loadTrap.reported(), 1);

  // Closing with nothing in the list writes nothing.
  platform::ErrorTrap closeTrap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
  app::saveEquationList(list, store, closeTrap, /*storedValueUnread=*/true);
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(store.pathOf(kKey)).constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the unread value was replaced";

  // Closing with rows keeps what was there under another name, and says where.
  equations::AddEquationRow(list, QStringLiteral("y"), QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("1"));
  dialogs.answerMessage();
  app::saveEquationList(list, store, closeTrap, true);
  EXPECT_EQ(closeTrap.reported(), 0);
  EXPECT_EQ(store.read(kKey, {}), QStringLiteral("y||MySeparator12||0||MySeparator12||2||MySeparator12||1||MySeparator23||"));
  const QStringList kept = QDir(store.sectionFolder()).entryList({QStringLiteral("Equations.value.unread-*")}, QDir::AllEntries | QDir::System);
  ASSERT_EQ(kept.size(), 1);
  ASSERT_FALSE(dialogs.messageTexts().empty());
  EXPECT_EQ(dialogs.messageTexts().back(), app::unreadListKeptText(store.sectionFolder() + QLatin1Char('/') + kept[0]));
}

TEST_F(FileSettingsStoreTest, AKilledSaveLeavesOneWholeValue) {
  const QString oldValue(4'000'000, QLatin1Char('o'));
  const QString newValue(4'000'000, QLatin1Char('n'));
  store.write(kKey, oldValue);
  for (int delayMs : {1, 3, 7, 15, 30, 60}) {
    SCOPED_TRACE(delayMs);
    const pid_t child = fork();
    if (child == 0) {
      for (;;) store.write(kKey, newValue);
    }
    usleep(static_cast<useconds_t>(delayMs) * 1000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const QString read = store.read(kKey, {});
    EXPECT_TRUE(read == oldValue || read == newValue) << "a torn value of " << read.size() << " characters";
  }
}

TEST_F(FileSettingsStoreTest, AHundredThousandAwkwardRowsSurviveSaveAndRestore) {
  const std::vector<QString> awkward = {
      QStringLiteral(" sin(x) + x "), QStringLiteral("a\r\nb"), QStringLiteral("\t=;#["),
      QStringLiteral("\"q\" \\ \\\\"), utf16(u"\u00E9\u20AC\u221A\U0001F600"), QStringLiteral("|MySeparator12|"),
      QStringLiteral("||MySeparator1"), QString()};
  equations::EquationListModel list;
  const int rows = 100'000;
  for (int i = 0; i < rows; ++i) {
    const QString& odd = awkward[static_cast<size_t>(i) % awkward.size()];
    equations::AddEquationRow(list, odd + QString::number(i), QStringLiteral(" ") + QString::number(i),
                              odd, QString::number(i) + QStringLiteral("\r"));
  }
  testing_support::ScriptedDialogs dialogs;
  platform::ErrorTrap saveTrap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
  app::saveEquationList(list, store, saveTrap);

  FileSettingsStore reopened(base.path());
  equations::EquationListModel restored;
  platform::ErrorTrap loadTrap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  app::restoreEquationList(restored, reopened, loadTrap);
  EXPECT_TRUE(dialogs.shown().empty());
  ASSERT_EQ(restored.count(), rows);
  int differing = 0;
  for (int position = 1; position <= rows; ++position)
    for (int subItem = 0; subItem < 4; ++subItem)
      differing += restored.item(position, subItem) != list.item(position, subItem);
  EXPECT_EQ(differing, 0);
}

}  // namespace
