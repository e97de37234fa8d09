// Where a workbook window opens: inside the usable area of its screen on small screens and at
// a scale factor of 2, cascaded without leaving it, at the size last given, in front.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "view/window_placement.h"
#include "view/workbook_window.h"
#include "view/workbook_windows.h"
#include "view_test_support.h"

using view::placeInside;
using view::wantedSize;

namespace {

struct Screen {
  const char* name;
  QRect available;  // in logical pixels
  QMargins frame;
};

// 1366x768 with a 28-pixel panel, and the same screen at a scale factor of 2.
const Screen kScreens[] = {
    {"laptop", QRect(0, 0, 1366, 740), QMargins(1, 29, 1, 1)},
    {"laptop at scale 2", QRect(0, 0, 683, 370), QMargins(1, 29, 1, 1)},
    {"panel on the left, second screen", QRect(1366 + 48, 0, 1920 - 48, 1080), QMargins(4, 24, 4, 4)},
    {"no frame known", QRect(0, 0, 800, 600), QMargins()},
};

bool frameInside(const QRect& client, const Screen& screen) {
  return screen.available.contains(client.marginsAdded(screen.frame));
}

TEST(WindowPlacement, EveryWindowOfACascadeStaysInsideTheUsableArea) {
  for (const Screen& screen : kScreens) {
    const QSize wanted = wantedSize(std::nullopt, screen.available);
    QRect previous;
    for (int cascade = 0; cascade < 12; ++cascade) {
      const QRect client = placeInside(wanted, screen.available, screen.frame, cascade, 28);
      EXPECT_TRUE(frameInside(client, screen)) << screen.name << " window " << cascade;
      if (cascade == 0) {
        EXPECT_EQ(client.size(), wanted) << screen.name;
      }
      EXPECT_GE(client.height(), screen.available.height() / 2) << screen.name << " window " << cascade;
      if (cascade > 0) {
        EXPECT_NE(client.topLeft(), previous.topLeft()) << screen.name << " window " << cascade;
      }
      previous = client;
    }
    // The first one sits in the top left corner, just inside its frame.
    EXPECT_EQ(placeInside(wanted, screen.available, screen.frame, 0, 28).topLeft(),
              screen.available.topLeft() + QPoint(screen.frame.left(), screen.frame.top()));
  }
}

TEST(WindowPlacement, ARememberedSizeLargerThanTheScreenIsBoundedToIt) {
  for (const Screen& screen : kScreens) {
    const QSize huge = wantedSize(QSize(4000, 3000), screen.available);
    const QRect first = placeInside(huge, screen.available, screen.frame, 0, 28);
    EXPECT_EQ(first, screen.available.marginsRemoved(screen.frame)) << screen.name;
    EXPECT_TRUE(frameInside(placeInside(huge, screen.available, screen.frame, 3, 28), screen)) << screen.name;
  }
}

TEST(WindowPlacement, TheWantedSizeIsTheRememberedOneElseTheDefaultWithRoomToCascade) {
  const QRect big(0, 0, 2560, 1400);
  EXPECT_EQ(wantedSize(std::nullopt, big), view::kDefaultWorkbookWindowSize);
  EXPECT_EQ(wantedSize(QSize(900, 500), big), QSize(900, 500));
  const QRect laptop(0, 0, 1366, 740);
  EXPECT_EQ(wantedSize(std::nullopt, laptop), QSize(1100, 666));  // 90% of 740
  // A size too small to be meant, or none at all, falls back to the default.
  EXPECT_EQ(wantedSize(QSize(20, 10), big), view::kDefaultWorkbookWindowSize);
  EXPECT_EQ(wantedSize(QSize(-1, -1), big), view::kDefaultWorkbookWindowSize);
}

TEST(WindowSizeMemory, KeepsTheSizeAWindowClosedWithAndNothingWithoutAFile) {
  QTemporaryDir dir;
  const view::WindowSizeMemory memory(dir.filePath("config/workbook-window.ini"));
  EXPECT_EQ(memory.recall(), std::nullopt);
  QWidget window;
  window.resize(700, 450);
  memory.watch(&window);
  window.show();
  window.close();
  EXPECT_EQ(memory.recall(), std::nullopt);  // as it was given: nothing chosen
  window.resize(640, 420);
  window.show();
  window.close();
  EXPECT_EQ(memory.recall(), QSize(640, 420));
  EXPECT_EQ(view::WindowSizeMemory(dir.filePath("config/workbook-window.ini")).recall(), QSize(640, 420));

  const view::WindowSizeMemory none{QString()};
  none.remember(QSize(500, 300));
  EXPECT_EQ(none.recall(), std::nullopt);
}

// The program's path: a main window is on screen, and the hand-over shows workbook windows.
class OpenedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    main.setWindowTitle("main");
    main.resize(536, 402);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    run = view_testing::runOf({{"x*x", "0", "4", "1"}, {"x+1", "0", "4", "1"}});
  }
  void TearDown() override {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<view::WorkbookWindow*>(widget)) widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // Opens one more window; returns it once it is the active one, else nothing.
  view::WorkbookWindow* open(const QString& sizeFile = {}) {
    const QWidgetList before = QApplication::topLevelWidgets();
    view::workbookWindowOpener({}, sizeFile)(run->engine.lastWorkbook(), dir.filePath("Book1.xlsx"), nullptr);
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<view::WorkbookWindow*>(widget); window && !before.contains(widget))
        return QTest::qWaitForWindowActive(window) ? window : nullptr;
    return nullptr;
  }

  QTemporaryDir dir;
  QWidget main;
  std::unique_ptr<testing_support::RunFixture> run;
};

TEST_F(OpenedWindows, EachNewWindowIsActiveInFrontAndInsideTheScreen) {
  const QRect available = main.screen()->availableGeometry();
  std::vector<QRect> placed;
  for (int i = 0; i < 4; ++i) {
    view::WorkbookWindow* window = open();
    ASSERT_NE(window, nullptr) << "window " << i << " is not the active one";
    EXPECT_EQ(QApplication::activeWindow(), window);
    EXPECT_TRUE(available.contains(window->frameGeometry())) << "window " << i;
    // The window can be as small as that: nothing in it insists on more room.
    EXPECT_LE(window->minimumSizeHint().width(), available.width() / 2);
    placed.push_back(window->geometry());
  }
  EXPECT_NE(placed[0].topLeft(), placed[1].topLeft());  // cascaded, not stacked
}

TEST_F(OpenedWindows, ANewWindowTakesTheSizeTheLastOneClosedWith) {
  const QString sizeFile = dir.filePath("workbook-window.ini");
  view::WorkbookWindow* first = open(sizeFile);
  ASSERT_NE(first, nullptr);
  first->resize(500, 380);
  first->close();
  view::WorkbookWindow* second = open(sizeFile);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->size(), QSize(500, 380));
}

}  // namespace
