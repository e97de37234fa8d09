// The Application: settings, creation, and the hand-over when it becomes visible.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

#include "support/engine_test_support.h"
#include "automation/hand_over.h"
#include "output/system_calls.h"

namespace {

using engine_test::TestEngine;

TEST(Application, ReportsItsNameAndRefusesSettingsTheSpreadsheetRefuses) {
  TestEngine engine;
  auto app = engine.application();
  EXPECT_EQ(app->name(), "Microsoft Excel");
  EXPECT_NO_THROW(app->setEnableCancelKey(excel::xlDisabled));
  EXPECT_NO_THROW(app->setCursor(excel::xlWait));
  EXPECT_THROW(app->setEnableCancelKey(7), excel::AutomationError);
  EXPECT_THROW(app->setCursor(42), excel::AutomationError);
  EXPECT_FALSE(app->visible());
}

TEST(Application, WorkbooksAddMakesTheNewWorkbookTheActiveOne) {
  TestEngine engine;
  auto app = engine.application(1);
  app->sheets()->item(1)->setName("First");
  app->setSheetsInNewWorkbook(3);
  app->workbooks()->add();
  EXPECT_EQ(app->workbookCount(), 2);
  EXPECT_EQ(app->sheets()->count(), 3);
  EXPECT_EQ(app->sheets()->item(1)->name(), "Sheet1");
}

TEST(Application, CreationFailsWhenTheWorkingFolderCannotBeMade) {
  TestEngine engine;
  QFile blocker(engine.dir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  auto options = engine.options();
  options.workingFolder = engine.dir.filePath("blocker/workbooks");  // a file stands in the way
  automation::EngineFactory factory(options);
  try {
    factory.create();
    FAIL() << "created without a working folder";
  } catch (const excel::AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("blocker/workbooks"), std::string::npos) << error.what();
  }
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);  // nothing registered
}

class HandOverTest : public ::testing::Test {
 protected:
  std::shared_ptr<automation::EngineApplication> applicationWithData(automation::EngineOptions options) {
    auto app = automation::EngineFactory(std::move(options)).createEngine();
    app->workbooks()->add();
    app->sheets()->item(1)->setCellNumber(1, 1, 2.5);
    return app;
  }
  TestEngine engine;
};

TEST_F(HandOverTest, WritesBookNIntoTheWorkingFolderAndStartsNothingForNone) {
  auto app = applicationWithData(engine.options());
  app->setVisible(true);
  ASSERT_EQ(app->writtenFiles().size(), 1u);
  EXPECT_EQ(app->writtenFiles()[0], engine.dir.filePath("workbooks/Book1.xlsx"));
  EXPECT_TRUE(QFileInfo(app->writtenFiles()[0]).size() > 0);
  EXPECT_TRUE(engine.started.empty());
  app->setVisible(true);  // already visible: no second hand-over
  EXPECT_EQ(app->writtenFiles().size(), 1u);
  // Leaves no temporary files behind.
  EXPECT_EQ(QDir(engine.dir.filePath("workbooks")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(HandOverTest, TakesTheFirstFreeBookNumber) {
  QDir().mkpath(engine.dir.filePath("workbooks"));
  for (const char* taken : {"Book1.xlsx", "Book2.xlsx", "Book4.xlsx"}) {
    QFile file(engine.dir.filePath(QString("workbooks/") + taken));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  auto app = applicationWithData(engine.options());
  app->setVisible(true);
  ASSERT_EQ(app->writtenFiles().size(), 1u);
  EXPECT_TRUE(app->writtenFiles()[0].endsWith("/Book3.xlsx"));
  EXPECT_EQ(QFileInfo(engine.dir.filePath("workbooks/Book1.xlsx")).size(), 0);  // untouched
}

TEST_F(HandOverTest, StartsTheViewerCommandWithTheFileAppended) {
  auto options = engine.options();
  options.viewerCommand = QString("my-viewer --calc \"two words\"");
  auto app = applicationWithData(options);
  app->setVisible(true);
  ASSERT_EQ(engine.started.size(), 1u);
  EXPECT_EQ(engine.started[0].program, "my-viewer");
  EXPECT_EQ(engine.started[0].arguments, (QStringList{"--calc", "two words", app->writtenFiles()[0]}));
}

TEST_F(HandOverTest, UsesTheDesktopDefaultWithoutACommand) {
  auto options = engine.options();
  options.viewerCommand.reset();
  auto app = applicationWithData(options);
  app->setVisible(true);
  ASSERT_EQ(engine.started.size(), 1u);
  EXPECT_EQ(engine.started[0].program, "xdg-open");
  EXPECT_EQ(engine.started[0].arguments, QStringList{app->writtenFiles()[0]});
}

TEST_F(HandOverTest, AViewerThatCannotStartIsAnErrorNamingTheFile) {
  engine.viewerStarts = false;
  auto options = engine.options();
  options.viewerCommand = QString("missing-viewer");
  auto app = applicationWithData(options);
  try {
    app->setVisible(true);
    FAIL() << "no error";
  } catch (const excel::AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("Book1.xlsx"), std::string::npos) << error.what();
  }
  EXPECT_TRUE(QFileInfo::exists(engine.dir.filePath("workbooks/Book1.xlsx")));  // the user can still open it
}

TEST_F(HandOverTest, AFolderThatBecameUnwritableIsAnErrorNamingTheFile) {
  auto app = applicationWithData(engine.options());
  QDir(engine.dir.filePath("workbooks")).removeRecursively();
  QFile blocker(engine.dir.filePath("workbooks"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  try {
    app->setVisible(true);
    FAIL() << "no error";
  } catch (const excel::AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("Book1.xlsx"), std::string::npos) << error.what();
  }
}

// The empty BookN.xlsx that reserved the name goes with the failed write; the reason is in plain words.
TEST_F(HandOverTest, AFailedWriteSaysWhyAndLeavesNoReservedBookBehind) {
  auto app = applicationWithData(engine.options());
  {
    output::ScopedSystemCalls full({[](int, const void*, std::size_t) -> ssize_t {
                                      errno = ENOSPC;
                                      return -1;
                                    },
                                    {}});
    try {
      app->setVisible(true);
      FAIL() << "no error";
    } catch (const excel::AutomationError& error) {
      const std::string expected = engine.dir.filePath("workbooks/Book1.xlsx").toStdString() + "\": the disk is full.";
      EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(QDir(engine.dir.filePath("workbooks")).entryList(QDir::Files | QDir::Hidden), QStringList{});
  EXPECT_TRUE(app->writtenFiles().empty());
}

TEST_F(HandOverTest, SaveToWritesTheGivenPathInstead) {
  auto options = engine.options();
  options.viewerCommand = QString("would-start");
  options.saveTo = engine.dir.filePath("out.xlsx");
  auto app = applicationWithData(options);
  app->setVisible(true);
  EXPECT_EQ(app->writtenFiles(), std::vector<QString>{options.saveTo});
  EXPECT_GT(QFileInfo(options.saveTo).size(), 0);
  EXPECT_TRUE(engine.started.empty());
  EXPECT_FALSE(QFileInfo::exists(engine.dir.filePath("workbooks/Book1.xlsx")));
}

TEST(ViewerCommand, SplitsLikeAShellAndKnowsNone) {
  EXPECT_EQ(automation::viewerCommandLine(QString("none"), "/f.xlsx"), std::nullopt);
  EXPECT_EQ(automation::viewerCommandLine(QString("  "), "/f.xlsx"), (QStringList{"xdg-open", "/f.xlsx"}));
  EXPECT_EQ(automation::viewerCommandLine(QString("soffice --calc"), "/f.xlsx"),
            (QStringList{"soffice", "--calc", "/f.xlsx"}));
  EXPECT_EQ(automation::viewerCommandLine(std::nullopt, "/a b.xlsx"), (QStringList{"xdg-open", "/a b.xlsx"}));
}

TEST(ViewerCommand, ComesFromTheEnvironment) {
  const QByteArray saved = qgetenv("TESSALINE_VIEWER");
  qputenv("TESSALINE_VIEWER", "gnumeric");
  EXPECT_EQ(automation::EngineOptions::fromEnvironment().viewerCommand, QString("gnumeric"));
  qunsetenv("TESSALINE_VIEWER");
  EXPECT_EQ(automation::EngineOptions::fromEnvironment().viewerCommand, std::nullopt);
  if (!saved.isNull()) qputenv("TESSALINE_VIEWER", saved);
}

}  // namespace
