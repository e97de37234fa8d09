// Start-up when the folder every run writes its workbook into cannot be used: the box names the
// folder (and HOME, when that is not set) instead of blaming the spreadsheet application, and the
// program ends without touching the saved list, as it does without an engine.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/working_folder_check.h"
#include "support/form_fixture.h"

namespace {

using testing_support::FormFixture;

// HOME as the test found it, restored at the end.
class HomeVariable {
 public:
  HomeVariable() : had_(qEnvironmentVariableIsSet("HOME")), value_(qgetenv("HOME")) {}
  ~HomeVariable() {
    if (had_) qputenv("HOME", value_);
    else qunsetenv("HOME");
  }

 private:
  bool had_;
  QByteArray value_;
};

// A folder no one can create: its parent is a plain file.
QString impossibleFolder(const QTemporaryDir& dir) {
  QFile file(dir.filePath(QStringLiteral("plain")));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  return dir.filePath(QStringLiteral("plain/workbooks"));
}

const QString kSaved = QStringLiteral("x||MySeparator12||0||MySeparator12||1||MySeparator12||1||MySeparator23||");

TEST(WorkingFolderAtStart, AnUnusableFolderIsNamedAndEndsTheProgram) {
  const HomeVariable home;
  qputenv("HOME", "/root");
  QTemporaryDir dir;
  const QString folder = impossibleFolder(dir);
  FormFixture f;
  f.services.workingFolderProblem = [&] { return app::workingFolderProblem(folder); };
  f.settings.values[QStringLiteral("Equations")] = kSaved;
  f.dialogs.answerMessage();
  f.form->Form_Load();
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  const QString text = f.dialogs.shown()[0].text;
  EXPECT_EQ(text, QStringLiteral("Tessaline cannot start. The working folder \"%1\" could not be created.").arg(folder));
  EXPECT_EQ(f.programEnds, 1);
  EXPECT_EQ(f.settings.values[QStringLiteral("Equations")], kSaved);
}

TEST(WorkingFolderAtStart, WithoutHomeTheBoxSaysSo) {
  const HomeVariable home;
  qunsetenv("HOME");
  QTemporaryDir dir;
  const QString folder = impossibleFolder(dir);
  FormFixture f;
  f.services.workingFolderProblem = [&] { return app::workingFolderProblem(folder); };
  f.dialogs.answerMessage();
  f.form->Form_Load();
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  const QString text = f.dialogs.shown()[0].text;
  EXPECT_TRUE(text.contains(folder)) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("HOME is not set"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Excel"))) << text.toStdString();
  EXPECT_EQ(f.programEnds, 1);
}

TEST(WorkingFolderAtStart, AUsableFolderLeavesTheStartAsItWas) {
  QTemporaryDir dir;
  FormFixture f;
  f.services.workingFolderProblem = [&] { return app::workingFolderProblem(dir.filePath(QStringLiteral("books"))); };
  f.form->Form_Load();
  EXPECT_TRUE(f.dialogs.shown().empty());
  EXPECT_EQ(f.programEnds, 0);
  // An engine that fails for a reason of its own still gets the spreadsheet's message.
  FormFixture broken;
  broken.engine.failCreate = true;
  broken.services.workingFolderProblem = [&] { return app::workingFolderProblem(dir.filePath(QStringLiteral("books"))); };
  broken.dialogs.answerMessage();
  broken.form->Form_Load();
  ASSERT_EQ(broken.dialogs.shown().size(), 1u);
  EXPECT_TRUE(broken.dialogs.shown()[0].text.startsWith(QStringLiteral("Error 842001.")));
}

}  // namespace
