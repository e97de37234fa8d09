// Save As from the workbook window: the kind follows the name's suffix; failures tell the user
// and write nothing; Open in Spreadsheet Application hands over the book file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>

#include "workbook_file/xlsx_export.h"
#include "view/workbook_window.h"
#include "view_test_support.h"

using view::WorkbookWindow;

namespace {

struct WindowRig {
  explicit WindowRig(std::unique_ptr<testing_support::RunFixture> madeBy) : run(std::move(madeBy)) {
    actions.writeXlsx = [](const core::WorkbookModel& book, const QString& path) {
      workbook_file::exportXlsx(book, path.toStdString());
    };
    actions.openInSpreadsheet = [this](const QString& file, std::function<void(const QString&)> finished) {
      opened << file;
      answerOpen = std::move(finished);
    };
    actions.showMessage = [this](QWidget*, const QString& text) { messages << text; };
    actions.chooseSaveAsPath = [this](QWidget*, const QString& suggested) {
      suggestions << suggested;
      return answer;
    };
    window = std::make_unique<WorkbookWindow>(run->engine.lastWorkbook(), dir.filePath("Book4.xlsx"), actions);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
  }

  QString readAll(const QString& name) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  std::unique_ptr<testing_support::RunFixture> run;
  QTemporaryDir dir;
  view::WorkbookWindowActions actions;
  std::unique_ptr<WorkbookWindow> window;
  QStringList opened, messages, suggestions;
  std::function<void(const QString&)> answerOpen;  // the opener's answer, given when the test says
  QString answer;
};

}  // namespace

TEST(SaveAs, CsvOfTheDataSheetHoldsItsValues) {
  WindowRig rig(view_testing::runOf({{"x/4", "0", "2", "1"}, {"1/x", "0", "1", "0.5"}}));
  ASSERT_TRUE(rig.window->saveAs(rig.dir.filePath("data.csv")));
  EXPECT_EQ(rig.readAll("data.csv"), "0,0,0,#DIV/0!\r\n1,0.25,0.5,2\r\n2,0.5,1,1\r\n");
  EXPECT_TRUE(rig.messages.isEmpty());
}

TEST(SaveAs, XlsxThroughTheWorkbookWriterAndPicturesOfTheCharts) {
  WindowRig rig(view_testing::runOf({{"x", "0", "2", "1"}, {"x*x", "0", "2", "1"}}));
  ASSERT_TRUE(rig.window->saveAs(rig.dir.filePath("copy.xlsx")));
  EXPECT_TRUE(rig.readAll("copy.xlsx").startsWith("PK"));
  ASSERT_TRUE(rig.window->saveAs(rig.dir.filePath("charts.png")));
  EXPECT_TRUE(QFile::exists(rig.dir.filePath("charts-1.png")));
  EXPECT_TRUE(QFile::exists(rig.dir.filePath("charts-2.png")));
  ASSERT_TRUE(rig.window->saveAs(rig.dir.filePath("charts.pdf")));
  EXPECT_TRUE(rig.readAll("charts.pdf").startsWith("%PDF"));
}

TEST(SaveAs, TheDialogSuggestsTheBookAndACancelSavesNothing) {
  WindowRig rig(view_testing::runOf({{"x", "0", "2", "1"}}));
  rig.window->saveAsWithDialog();
  EXPECT_EQ(rig.suggestions, QStringList{rig.dir.filePath("Book4.xlsx")});
  EXPECT_TRUE(QDir(rig.dir.path()).entryList(QDir::Files).isEmpty());
  rig.answer = rig.dir.filePath("mine.csv");
  rig.window->saveAsWithDialog();
  EXPECT_TRUE(QFile::exists(rig.answer));
  rig.window->saveAsWithDialog();
  EXPECT_EQ(rig.suggestions.last(), rig.answer);  // the next Save As starts from the last one
}

TEST(SaveAs, UnknownKindsAndUnwritablePlacesAreToldAndWriteNothing) {
  WindowRig rig(view_testing::runOf({{"x", "0", "2", "1"}}));
  EXPECT_FALSE(rig.window->saveAs(rig.dir.filePath("notes.txt")));
  ASSERT_EQ(rig.messages.size(), 1);
  EXPECT_TRUE(rig.messages[0].contains("notes.txt"));
  EXPECT_TRUE(rig.messages[0].contains(".xlsx"));
  EXPECT_FALSE(rig.window->saveAs(rig.dir.filePath("no/such/folder/data.csv")));
  ASSERT_EQ(rig.messages.size(), 2);
  EXPECT_TRUE(rig.messages[1].contains("data.csv"));
  EXPECT_TRUE(QDir(rig.dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(SaveAs, OpenInSpreadsheetHandsOverTheBookRewritingItWhenGone) {
  WindowRig rig(view_testing::runOf({{"x", "0", "2", "1"}}));
  rig.window->openInSpreadsheet();  // the book file was never written here
  EXPECT_EQ(rig.opened, QStringList{rig.dir.filePath("Book4.xlsx")});
  EXPECT_TRUE(rig.readAll("Book4.xlsx").startsWith("PK"));
  // Until the opener answers, the window says it is opening, not that it opened.
  EXPECT_TRUE(rig.window->statusBar()->currentMessage().startsWith("Opening "));
  rig.answerOpen({});
  EXPECT_TRUE(rig.window->statusBar()->currentMessage().startsWith("Opened "));
  EXPECT_TRUE(rig.messages.isEmpty());
  rig.actions.openInSpreadsheet = nullptr;
  WorkbookWindow bare(rig.run->engine.lastWorkbook(), rig.dir.filePath("Book4.xlsx"), rig.actions);
  bare.setAttribute(Qt::WA_DeleteOnClose, false);
  bare.openInSpreadsheet();
  EXPECT_EQ(rig.messages.size(), 1);
}

TEST(SaveAs, AnOpenerThatFailsIsToldAndNeverReportedAsOpened) {
  WindowRig rig(view_testing::runOf({{"x", "0", "2", "1"}}));
  rig.window->openInSpreadsheet();
  rig.answerOpen("\"Book4.xlsx\" was not opened: nothing can open it.");
  ASSERT_EQ(rig.messages.size(), 1);
  EXPECT_EQ(rig.messages[0], "\"Book4.xlsx\" was not opened: nothing can open it.");
  EXPECT_FALSE(rig.window->statusBar()->currentMessage().startsWith("Opened"));
  // An answer that comes after the window has gone is dropped.
  rig.window->openInSpreadsheet();
  rig.window.reset();
  rig.answerOpen("too late");
  EXPECT_EQ(rig.messages.size(), 1);
}
