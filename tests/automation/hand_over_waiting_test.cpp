// A hand-over that writes its file on a thread of its own while the caller keeps its window alive.
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "automation/engine_factory.h"

namespace {

struct WaitingEngine {
  explicit WaitingEngine(const QString& saveTo) {
    options.workingFolder = dir.filePath("workbooks");
    options.instancesFolder = dir.filePath("instances");
    options.viewerCommand = QString("none");
    options.saveTo = saveTo;
    options.whileWaiting = [this] { ++waits; };
  }
  QTemporaryDir dir;
  automation::EngineOptions options;
  int waits = 0;
};

TEST(HandOverWhileWaiting, TheCallerIsCalledBackUntilTheFileIsWritten) {
  QTemporaryDir out;
  WaitingEngine e(out.filePath("book.xlsx"));
  automation::EngineFactory factory(e.options);
  auto app = factory.create();
  app->workbooks()->add();
  auto data = app->sheets()->item(1);
  for (int row = 1; row <= 60000; ++row) {  // big enough to take well over 10 ms
    data->setCellNumber(row, 1, row);
    data->setCellText(row, 2, "=SIN(A" + std::to_string(row) + ")");
  }
  app->setVisible(true);
  EXPECT_TRUE(QFileInfo(out.filePath("book.xlsx")).size() > 0);
  EXPECT_GT(e.waits, 0);
}

TEST(HandOverWhileWaiting, AFailureOnTheWritingThreadReachesTheCaller) {
  QTemporaryDir out;
  WaitingEngine e(out.filePath("no-such-folder/book.xlsx"));
  automation::EngineFactory factory(e.options);
  auto app = factory.create();
  app->workbooks()->add();
  try {
    app->setVisible(true);
    FAIL() << "the hand-over should have failed";
  } catch (const excel::AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("book.xlsx"), std::string::npos) << error.what();
  }
}

}  // namespace
