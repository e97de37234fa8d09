// The workbook window's keys, pressed as a keyboard sends them to the window in front, and its
// About box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include "view/data_sheet_view.h"
#include "view/workbook_window.h"
#include "view_test_support.h"

using view::WorkbookWindow;

namespace {

class WindowKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    run = view_testing::runOf({{"x", "0", "2", "1"}, {"x*x", "0", "2", "1"}, {"x+1", "0", "2", "1"}});
    actions.chooseSaveAsPath = [this](QWidget*, const QString& suggested) {
      saveAsAsked << suggested;
      return QString();  // cancelled
    };
    actions.showAbout = [this](QWidget*, const QString& title, const QString& text) {
      aboutTitle = title;
      aboutText = text;
    };
    window = std::make_unique<WorkbookWindow>(run->engine.lastWorkbook(), "/tmp/Book2.xlsx", actions);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // The keys go where a keyboard sends them: to the widget with the focus.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window.get(), key, modifiers);
  }

  std::unique_ptr<testing_support::RunFixture> run;
  view::WorkbookWindowActions actions;
  std::unique_ptr<WorkbookWindow> window;
  QStringList saveAsAsked;
  QString aboutTitle, aboutText;
};

TEST_F(WindowKeys, CtrlPageDownAndUpStepThroughTheSheetsAndStopAtTheEnds) {
  EXPECT_EQ(window->currentSheetName(), "Chart1");
  press(Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart2");
  press(Qt::Key_PageDown, Qt::ControlModifier);
  press(Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart3");  // the last stays
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart2");
  press(Qt::Key_PageUp, Qt::ControlModifier);
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart1");  // the first stays
}

TEST_F(WindowKeys, CtrlTabAndCtrlShiftTabGoRoundTheSheets) {
  press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart2");
  // Shift+Tab arrives as Backtab.
  press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart3");
  press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart1");
  // With the hidden Data sheet shown, its table has the focus and the keys still step.
  window->showSheet("Data");
  window->dataSheetView("Data")->setFocus();
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(window->currentSheetName(), "Chart3");
}

TEST_F(WindowKeys, CtrlSAsksWhereToSaveAndCtrlWCloses) {
  press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(saveAsAsked, QStringList{"/tmp/Book2.xlsx"});
  press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(saveAsAsked.size(), 2);
  EXPECT_TRUE(window->isVisible());
  press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowKeys, HelpAboutNamesTheProgramItsVersionAndItsLicence) {
  QAction* about = nullptr;
  for (QAction* menu : window->menuBar()->actions())
    if (menu->text() == "&Help")
      for (QAction* item : menu->menu()->actions())
        if (item->text().contains("About")) about = item;
  ASSERT_NE(about, nullptr) << "no Help > About";
  about->trigger();
  EXPECT_EQ(aboutTitle, "About Tessaline");
  EXPECT_TRUE(aboutText.contains("<b>Tessaline</b>")) << aboutText.toStdString();
  EXPECT_TRUE(aboutText.contains(QRegularExpression(R"(</b> \d+\.\d+)"))) << aboutText.toStdString();
  EXPECT_FALSE(aboutText.contains("unknown"));  // the build's version, not the fallback
  EXPECT_TRUE(aboutText.contains("MIT licence")) << aboutText.toStdString();
}

}  // namespace
