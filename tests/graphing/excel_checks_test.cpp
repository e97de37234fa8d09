// The checks before graphing, against the real engine and a failing factory.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "graphing/excel_checks.h"
#include "automation/engine_factory.h"
#include "support/instance_holder.h"
#include "support/scripted_dialogs.h"

namespace {

// This binary doubles as the other process that holds an instance.
[[maybe_unused]] const bool kHolding = engine_test::holdInstanceIfAsked();

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using testing_support::ScriptedDialogs;

struct Folders {
  QTemporaryDir dir;
  automation::EngineOptions options() const {
    automation::EngineOptions options;
    options.workingFolder = dir.filePath("workbooks");
    options.instancesFolder = dir.filePath("instances");
    options.viewerCommand = QString("none");
    return options;
  }
};

// A factory whose instances cannot be made, in the two ways it can go wrong.
class BrokenFactory : public excel::ApplicationFactory {
 public:
  explicit BrokenFactory(bool throws) : throws_(throws) {}
  std::shared_ptr<excel::Application> create() override {
    if (throws_) throw excel::AutomationError("cannot create");
    return nullptr;
  }
  std::shared_ptr<excel::Application> attachRunning() override { throw excel::AutomationError("none"); }

 private:
  bool throws_;
};

const QString kNotCreated =
    "Error 842001. A normal instance of Excel could not be created.\r\n\r\n"
    "1. Please make sure Excel is installed on this computer.\r\n\r\n"
    "2. Please open Excel normally and make sure a blank spreadsheet opens immediately without any interrupting "
    "window (such as an Excel file recovery window).\r\n\r\n"
    "3. Please make sure that when you double-click on a XLS or XLSX file that Excel opens normally without any "
    "interrupting messages.\r\n\r\n"
    "4. All versions of Excel are supported by this software except for the rare Excel Starter and Student "
    "editions.";

const QString kMayBeOpen =
    "Excel may be open. It is recommended that you close Excel first.\r"
    "Use Ctrl+Alt+Del > Task Manager > EXCEL.EXE if necessary.\r\n\r\n"
    "Would you like to proceed anyway?";

void expectNotCreatedBoxAndEnd(excel::ApplicationFactory& factory) {
  ScriptedDialogs dialogs;
  dialogs.answerMessage(Answer::Ok);
  int ended = 0;
  graphing::CheckExcelInstalled(factory, dialogs, [&] { ++ended; });
  EXPECT_EQ(ended, 1);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  const auto& box = dialogs.shown()[0];
  EXPECT_EQ(box.text, kNotCreated);
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.icon, Icon::None);
  EXPECT_TRUE(box.title.isEmpty());  // the application title
}

TEST(CheckExcelInstalled, PassesSilentlyAndReleasesTheInstance) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  ScriptedDialogs dialogs;
  int ended = 0;
  graphing::CheckExcelInstalled(factory, dialogs, [&] { ++ended; });
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_FALSE(graphing::IsExcelRunning(factory));  // released at once
}

TEST(CheckExcelInstalled, AnEngineThatCannotBeCreatedShowsTheBoxAndEndsTheProgram) {
  Folders folders;
  QFile blocker(folders.dir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  auto options = folders.options();
  options.workingFolder = folders.dir.filePath("blocker/workbooks");
  automation::EngineFactory engine(options);
  expectNotCreatedBoxAndEnd(engine);
  BrokenFactory throwing(true), null(false);
  expectNotCreatedBoxAndEnd(throwing);
  expectNotCreatedBoxAndEnd(null);
  EXPECT_EQ(graphing::kExcelNotCreatedText, kNotCreated);
}

TEST(IsExcelRunning, FollowsTheInstancesOfThisProcess) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  EXPECT_FALSE(graphing::IsExcelRunning(factory));
  auto app = factory.create();
  EXPECT_TRUE(graphing::IsExcelRunning(factory));
  EXPECT_EQ(app.use_count(), 1);  // the check let go of its reference
  app.reset();
  EXPECT_FALSE(graphing::IsExcelRunning(factory));
  BrokenFactory broken(true);
  EXPECT_FALSE(graphing::IsExcelRunning(broken));
}

// A running application whose name is not exactly "Microsoft Excel", or whose name() fails.
class NamedApplication : public excel::Application {
 public:
  NamedApplication(std::string name, bool fails) : name_(std::move(name)), fails_(fails) {}
  std::string name() override {
    if (fails_) throw excel::AutomationError("The remote server machine does not exist or is unavailable.");
    return name_;
  }
  void setScreenUpdating(bool) override {}
  void setDisplayAlerts(bool) override {}
  void setEnableEvents(bool) override {}
  void setEnableCancelKey(int) override {}
  void setCursor(int) override {}
  void setVisible(bool) override {}
  std::shared_ptr<excel::Workbooks> workbooks() override { return nullptr; }
  std::shared_ptr<excel::Sheets> sheets() override { return nullptr; }
  std::shared_ptr<excel::Charts> charts() override { return nullptr; }

 private:
  std::string name_;
  bool fails_;
};

class NamedFactory : public BrokenFactory {
 public:
  NamedFactory(std::string name, bool fails) : BrokenFactory(true), name_(std::move(name)), fails_(fails) {}
  std::shared_ptr<excel::Application> attachRunning() override {
    return std::make_shared<NamedApplication>(name_, fails_);
  }

 private:
  std::string name_;
  bool fails_;
};

TEST(IsExcelRunning, ComparesTheNameCaseSensitivelyAndTreatsFailuresAsNotRunning) {
  NamedFactory exact("Microsoft Excel", false), lower("microsoft excel", false), failing("Microsoft Excel", true);
  EXPECT_TRUE(graphing::IsExcelRunning(exact));
  EXPECT_FALSE(graphing::IsExcelRunning(lower));
  EXPECT_FALSE(graphing::IsExcelRunning(failing));
}

TEST(IsExcelRunning, SeesAnInstanceInAnotherProcessAndForgetsACrashedOne) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  {
    engine_test::InstanceInOtherProcess other(folders.dir.filePath("instances"),
                                              QCoreApplication::applicationFilePath());
    ASSERT_TRUE(other.ready());
    EXPECT_TRUE(graphing::IsExcelRunning(factory));
    other.crash();  // its entry stays behind, stale
    EXPECT_FALSE(graphing::IsExcelRunning(factory));
  }
  EXPECT_TRUE(QDir(folders.dir.filePath("instances")).entryList({"*.instance"}, QDir::Files).isEmpty());
}

TEST(WarnExcelOpen, SaysNothingWhenNoneRuns) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  ScriptedDialogs dialogs;
  EXPECT_FALSE(graphing::WarnExcelOpen(factory, dialogs));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(WarnExcelOpen, AsksAndStopsOnlyWhenTheUserAnswersNo) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  auto running = factory.create();
  for (auto [answer, stop] : {std::pair{Answer::Yes, false}, std::pair{Answer::No, true}}) {
    ScriptedDialogs dialogs;
    dialogs.answerMessage(answer);
    EXPECT_EQ(graphing::WarnExcelOpen(factory, dialogs), stop);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, kMayBeOpen);
    EXPECT_EQ(dialogs.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(dialogs.shown()[0].icon, Icon::None);
    EXPECT_TRUE(dialogs.shown()[0].title.isEmpty());
  }
}

TEST(WarnExcelOpen, AFailingBoxPropagates) {
  Folders folders;
  automation::EngineFactory factory(folders.options());
  auto running = factory.create();
  struct ThrowingDialogs : ScriptedDialogs {
    Answer messageBox(const QString&, Buttons, Icon, const QString&) override {
      throw std::runtime_error("no display");
    }
  } dialogs;
  EXPECT_THROW(graphing::WarnExcelOpen(factory, dialogs), std::runtime_error);
}

}  // namespace
