// The ways the window's life ends besides its close button: a termination signal saves the
// list as the closing does and ends the program, even while workbook windows are open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <csignal>
#include <string>
#include <vector>

#include "app/program_ending.h"
#include "core/workbook_model.h"
#include "platform/termination_requests.h"
#include "support/form_fixture.h"
#include "view/workbook_window.h"
#include "view/workbook_windows.h"

using testing_support::FormFixture;

namespace {

const QString kKey = QStringLiteral("Equations");
const QString kSampleRows = QStringLiteral(
    "x + 100||MySeparator12||0||MySeparator12||20||MySeparator12||.01||MySeparator23||"
    "x*x||MySeparator12||0||MySeparator12||100||MySeparator12||.1||MySeparator23||");

bool waitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

// A workbook window as a run leaves it, open until the test ends.
class OpenWorkbookWindow {
 public:
  OpenWorkbookWindow() {
    view::workbookWindowOpener({}, dir.filePath(QStringLiteral("window-size.ini")))(
        std::make_shared<core::WorkbookModel>(1), dir.filePath(QStringLiteral("Book1.xlsx")), nullptr);
  }
  ~OpenWorkbookWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<view::WorkbookWindow*>(widget)) widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private:
  QTemporaryDir dir;
};

// The main window wired as the program wires it, with the end of the process recorded.
struct EndingFixture : FormFixture {
  EndingFixture() {
    services.endProgram = [this] { ending.endProgram(); };
    form->Form_Load();
    form->PushButton6_Click();  // the sample rows
  }
  std::vector<std::string> steps;  // what the ending did, in order
  app::ProgramEnding ending{{view::anyWorkbookWindowOpen,
                             [this] {
                               steps.push_back("save");
                               form->Form_QueryUnload();
                             },
                             [this] { steps.push_back("exit"); }}};
};

class TerminationSignals : public ::testing::TestWithParam<int> {};

TEST_P(TerminationSignals, SaveTheListAndEndTheProgramWhileAWorkbookWindowIsOpen) {
  EndingFixture f;
  OpenWorkbookWindow workbook;
  ASSERT_TRUE(view::anyWorkbookWindowOpen());
  platform::TerminationRequests termination;
  QObject::connect(&termination, &platform::TerminationRequests::requested, f.form.get(),
                   [&f] { f.ending.terminate(); });
  ASSERT_EQ(::raise(GetParam()), 0);
  ASSERT_TRUE(waitFor([&] { return !f.steps.empty() && f.steps.back() == "exit"; })) << "the signal did not end it";
  EXPECT_EQ(f.steps, (std::vector<std::string>{"save", "exit"}));
  ASSERT_EQ(f.settings.values.count(kKey), 1u);
  EXPECT_EQ(f.settings.values[kKey], kSampleRows);
}

INSTANTIATE_TEST_SUITE_P(Each, TerminationSignals, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST(ProgramEnding, ClosingTheMainWindowLeavesOpenWorkbookWindowsAlive) {
  EndingFixture f;
  {
    OpenWorkbookWindow workbook;
    f.form->close();
    EXPECT_EQ(f.settings.values[kKey], kSampleRows);
    EXPECT_TRUE(f.steps.empty()) << "the program ended under an open workbook window";
  }
  // Without one, the close ends the program.
  EndingFixture alone;
  alone.form->close();
  EXPECT_EQ(alone.steps, (std::vector<std::string>{"exit"}));
}

TEST(ProgramEnding, ARequestAfterTheMainWindowClosedStillEndsTheProgram) {
  EndingFixture f;
  OpenWorkbookWindow workbook;
  f.form->close();
  ASSERT_TRUE(f.steps.empty());
  f.settings.values.clear();
  f.ending.terminate();
  EXPECT_EQ(f.steps, (std::vector<std::string>{"save", "exit"}));
  EXPECT_EQ(f.settings.values[kKey], kSampleRows);
}

TEST(ProgramEnding, OnlyTheFirstRequestSavesAndEnds) {
  std::vector<std::string> steps;
  app::ProgramEnding* self = nullptr;
  app::ProgramEnding ending({[] { return true; },
                             [&] {
                               steps.push_back("save");
                               self->terminate();  // another request while saving, as from a box's event loop
                             },
                             [&] { steps.push_back("exit"); }});
  self = &ending;
  ending.terminate();
  EXPECT_EQ(steps, (std::vector<std::string>{"save", "exit"}));
  // Once it is ending, nothing keeps it alive any more.
  ending.endProgram();
  EXPECT_EQ(steps, (std::vector<std::string>{"save", "exit", "exit"}));
}

}  // namespace
