// The per-user table of running instances and attaching to one.
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/engine_test_support.h"
#include "support/instance_holder.h"
#include "automation/running_instance_proxy.h"

namespace {

// This binary doubles as the other process that holds an instance.
[[maybe_unused]] const bool kHolding = engine_test::holdInstanceIfAsked();

using engine_test::TestEngine;

int entryFiles(const QString& folder) {
  return QDir(folder).entryList(QStringList{"*.instance"}, QDir::Files).size();
}

TEST(RunningInstances, AnInstanceCountsFromCreateUntilItsLastReferenceGoes) {
  TestEngine engine;
  automation::EngineFactory factory(engine.options());
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);
  auto app = factory.create();
  auto sheetsHandle = app->workbooks();  // a collection keeps its application alive
  auto attached = factory.attachRunning();
  EXPECT_EQ(attached, app);  // in this process: the object itself
  app.reset();
  attached.reset();
  EXPECT_NO_THROW(factory.attachRunning()->name());
  sheetsHandle.reset();
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);
  EXPECT_EQ(entryFiles(engine.dir.filePath("instances")), 0);
}

TEST(RunningInstances, AnotherFactorysInstanceIsSeenThroughTheTable) {
  TestEngine engine;
  automation::EngineFactory mine(engine.options()), theirs(engine.options());
  auto app = theirs.create();
  auto attached = mine.attachRunning();
  EXPECT_NE(attached, app);
  EXPECT_EQ(attached->name(), "Microsoft Excel");
  EXPECT_THROW(attached->sheets(), excel::AutomationError);  // a stand-in answers name() only
  app.reset();
  EXPECT_THROW(attached->name(), excel::AutomationError);  // gone since
}

TEST(RunningInstances, AnInstanceInAnotherProcessIsSeenUntilItEnds) {
  TestEngine engine;
  const QString folder = engine.dir.filePath("instances");
  engine_test::InstanceInOtherProcess other(folder, QCoreApplication::applicationFilePath());
  ASSERT_TRUE(other.ready());
  automation::EngineFactory factory(engine.options());
  auto attached = factory.attachRunning();
  auto proxy = std::dynamic_pointer_cast<automation::RunningInstanceProxy>(attached);
  ASSERT_TRUE(proxy);
  EXPECT_NE(proxy->entry().pid, QCoreApplication::applicationPid());
  EXPECT_EQ(attached->name(), "Microsoft Excel");
  other.release();
  EXPECT_THROW(attached->name(), excel::AutomationError);
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);
  EXPECT_EQ(entryFiles(folder), 0);
}

TEST(RunningInstances, ACrashedInstanceDoesNotCountAndItsEntryIsCleanedUp) {
  TestEngine engine;
  const QString folder = engine.dir.filePath("instances");
  engine_test::InstanceInOtherProcess other(folder, QCoreApplication::applicationFilePath());
  ASSERT_TRUE(other.ready());
  other.crash();
  ASSERT_EQ(entryFiles(folder), 1);  // left behind, unlocked
  automation::EngineFactory factory(engine.options());
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);
  EXPECT_EQ(entryFiles(folder), 0);
}

TEST(RunningInstances, ForeignFilesInTheTableAreIgnored) {
  TestEngine engine;
  const QString folder = engine.dir.filePath("instances");
  QDir().mkpath(folder);
  for (const char* name : {"garbage.instance", "12-zz.instance", "notes.txt"}) {
    QFile file(folder + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  automation::EngineFactory factory(engine.options());
  EXPECT_THROW(factory.attachRunning(), excel::AutomationError);
  auto app = factory.create();
  EXPECT_EQ(factory.attachRunning(), app);
}

}  // namespace
