// The end of a run with a window of ours: Visible opens the workbook window unless a viewer
// command is set ("none": the file only); while the window is open its instance counts as
// running, so the next run warns; the window opens the book in the desktop's application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "automation/engine_factory.h"
#include "graphing/excel_checks.h"
#include "graphing/run_fixture.h"
#include "view/workbook_window.h"
#include "view/workbook_windows.h"

using testing_support::ScriptedDialogs;

namespace {

struct Started {
  QString program;
  QStringList arguments;
};

std::vector<view::WorkbookWindow*> workbookWindows() {
  std::vector<view::WorkbookWindow*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<view::WorkbookWindow*>(widget); window && window->isVisible())
      windows.push_back(window);
  return windows;
}

void closeAll() {
  for (auto* window : workbookWindows()) window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A run wired as the program wires it, with the desktop's programs recorded instead of started.
class WindowRun {
 public:
  explicit WindowRun(std::optional<QString> viewerCommand) {
    options.workingFolder = dir.filePath("workbooks");
    options.instancesFolder = dir.filePath("instances");
    options.viewerCommand = std::move(viewerCommand);
    options.startDetached = [this](const QString& program, const QStringList& arguments) {
      started.push_back({program, arguments});
      return true;
    };
    options.showWorkbook = view::workbookWindowOpener(
        [this](const QString& book, view::OpenFinished finished) {
          automation::openWithViewer(
              std::nullopt, book, std::move(finished),
              [this](const QString& program, const QStringList& arguments, automation::ViewerWatched watched) {
                started.push_back({program, arguments});
                watched({true, 0, false, {}});
              });
        },
        {});
    factory = std::make_unique<automation::EngineFactory>(options);
    run = std::make_unique<graphing::GraphingRun>(*factory, dialogs, pump, window);
    window.list.rows.push_back({"sin(x)", "0", "6", "0.5"});
    window.list.rows.push_back({"x*x", "0", "3", "1"});
  }
  ~WindowRun() { closeAll(); }

  void graph() {
    dialogs.answerMessage();  // Done.
    start();
  }
  void start() { run->StartGraphing(platform::ErrorTrap::locationOf("PushButton2_Click")); }

  QTemporaryDir dir;
  automation::EngineOptions options;
  std::vector<Started> started;
  ScriptedDialogs dialogs;
  testing_support::HookPump pump;
  testing_support::TestWindow window;
  std::unique_ptr<automation::EngineFactory> factory;
  std::unique_ptr<graphing::GraphingRun> run;
};

}  // namespace

TEST(HandOverWindow, VisibleOpensAWorkbookWindowOfOursAndStartsNothing) {
  WindowRun run(std::nullopt);
  run.graph();
  const auto windows = workbookWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->windowTitle(), "Book1 - Tessaline");
  EXPECT_EQ(windows[0]->tabTitles(), (QStringList{"Chart1", "Chart2"}));
  EXPECT_TRUE(QFileInfo(run.dir.filePath("workbooks/Book1.xlsx")).size() > 0);
  EXPECT_TRUE(run.started.empty());
  EXPECT_TRUE(view::anyWorkbookWindowOpen());

  // Every run its own window.
  run.dialogs.answerMessage(platform::Answer::Yes);  // "may be open": go on
  run.graph();
  ASSERT_EQ(workbookWindows().size(), 2u);
  QStringList titles;
  for (auto* window : workbookWindows()) titles << window->windowTitle();
  titles.sort();
  EXPECT_EQ(titles, (QStringList{"Book1 - Tessaline", "Book2 - Tessaline"}));

  // Open in Spreadsheet Application: the desktop's default, as the hand-over without a window.
  workbookWindows()[0]->openInSpreadsheet();
  ASSERT_EQ(run.started.size(), 1u);
  EXPECT_EQ(run.started[0].program, "xdg-open");
  EXPECT_TRUE(run.started[0].arguments.value(0).endsWith(".xlsx"));
}

TEST(HandOverWindow, TheNewWindowIsActiveInFrontOfTheMainWindowWhenTheRunEnds) {
  QWidget main;
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  WindowRun run(std::nullopt);
  run.graph();
  ASSERT_EQ(workbookWindows().size(), 1u);
  EXPECT_TRUE(QTest::qWaitForWindowActive(workbookWindows()[0]));
  QCoreApplication::processEvents();  // nothing queued by the run takes it back
  EXPECT_EQ(QApplication::activeWindow(), workbookWindows()[0]);
  EXPECT_TRUE(main.screen()->availableGeometry().contains(workbookWindows()[0]->frameGeometry()));
}

TEST(HandOverWindow, AnOpenWindowCountsAsARunningInstanceUntilItCloses) {
  WindowRun run(std::nullopt);
  run.graph();
  ASSERT_EQ(workbookWindows().size(), 1u);
  EXPECT_TRUE(graphing::IsExcelRunning(*run.factory));
  // The next run warns first; No leaves everything as it was.
  run.dialogs.answerMessage(platform::Answer::No);
  run.start();
  ASSERT_EQ(run.dialogs.messageTexts().size(), 2u);
  EXPECT_EQ(run.dialogs.messageTexts()[1], graphing::kExcelMayBeOpenText);
  EXPECT_EQ(workbookWindows().size(), 1u);
  closeAll();
  EXPECT_FALSE(graphing::IsExcelRunning(*run.factory));
  EXPECT_FALSE(view::anyWorkbookWindowOpen());
  run.graph();  // no warning now
  EXPECT_EQ(run.dialogs.messageTexts().size(), 3u);
}

TEST(HandOverWindow, AViewerCommandOpensTheFileWithItInstead) {
  WindowRun run(QString("my-viewer --calc"));
  run.graph();
  EXPECT_TRUE(workbookWindows().empty());
  ASSERT_EQ(run.started.size(), 1u);
  EXPECT_EQ(run.started[0].program, "my-viewer");
  EXPECT_EQ(run.started[0].arguments, (QStringList{"--calc", run.dir.filePath("workbooks/Book1.xlsx")}));
  EXPECT_FALSE(graphing::IsExcelRunning(*run.factory));  // handed over: nothing of ours runs
}

TEST(HandOverWindow, NoneOnlyWritesTheFile) {
  WindowRun run(QString("none"));
  run.graph();
  EXPECT_TRUE(workbookWindows().empty());
  EXPECT_TRUE(run.started.empty());
  EXPECT_TRUE(QFileInfo(run.dir.filePath("workbooks/Book1.xlsx")).size() > 0);
}
