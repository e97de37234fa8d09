// The real boxes, looked at without showing them to anyone.
#include "platform_qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>

#include "platform/error_report.h"

namespace {

QString formulaOf(qsizetype length) {
  QString formula = QStringLiteral("x");
  while (formula.size() + 2 < length) formula += QStringLiteral("+x");
  return formula;
}

TEST(BoxText, LongLinesAreCutInTheMiddleAndLongRunsGetBreakPoints) {
  const QString formula = formulaOf(8192);
  const QString report = platform::errorReportText(platform::ErrorTrap::locationOf("PushButton2_Click"), 154,
                                                   QStringLiteral("The formula ") + formula + QStringLiteral(" is refused"));
  const QString shown = platform::boxDisplayText(report);
  const QStringList lines = shown.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_LT(lines[0].size(), platform::kBoxLineLimit + platform::kBoxLineLimit / platform::kBoxUnbrokenRun + 4);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("The formula x+x"))) << lines[0].left(40).toStdString();
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("+x is refused")));
  EXPECT_TRUE(lines[0].contains(QChar(0x2026)));
  // Without the break points the text reads as it was.
  EXPECT_EQ(lines[1], QStringLiteral("in Lumenark2021/08/31.Form1.PushButton2_Click at line 154"));
  EXPECT_EQ(QString(lines[0]).remove(QChar(0x200B)).left(200), (QStringLiteral("The formula ") + formula).left(200));
  // Short texts are shown exactly as before.
  EXPECT_EQ(platform::boxDisplayText(QStringLiteral("File not found")), QStringLiteral("File not found"));
  EXPECT_EQ(platform::boxDisplayText(QStringLiteral("a\r\nb\r\rc")), QStringLiteral("a\nb\n\nc"));
}

TEST(MessageBox, AnErrorAboutAHugeFormulaFitsTheScreen) {
  const QString text = platform::errorReportText(platform::ErrorTrap::locationOf("PushButton2_Click"), 154,
                                                 QStringLiteral("The formula ") + formulaOf(8192) + QStringLiteral(" is refused"));
  const auto box = platform::makeMessageBox(nullptr, text, platform::Buttons::Ok, platform::Icon::Warning,
                                            QStringLiteral("Application Error"));
  box->show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(box->width(), screen.width());
  EXPECT_LE(box->height(), screen.height());
  box->hide();
}

TEST(MessageBox, AShortTextLeavesRoomForTheTitle) {
  platform::setApplicationTitle(QStringLiteral("Tessaline"));
  const auto box = platform::makeMessageBox(nullptr, QStringLiteral("File not found"), platform::Buttons::Ok,
                                            platform::Icon::None, {});
  box->show();
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Tessaline"));
  EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(QStringLiteral("Tessaline")) + 120);
  box->hide();
}

class FileOpenDialogTest : public ::testing::Test {
 protected:
  QString make(const QString& relative) {
    const QString path = folder.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
  }
  // Types names into the dialog's name box and presses Open.
  platform::FileOpenResult typeAndOpen(const QString& typed) {
    platform::FileOpenSettings settings;
    settings.multipleFiles = true;
    settings.title = QStringLiteral("Load");
    settings.filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    platform::FileOpenDialog dialog(nullptr, settings);
    dialog.setDirectory(folder.filePath(QStringLiteral("a")));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    if (!name) return {};
    name->setText(typed);
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    EXPECT_TRUE(buttons && buttons->button(QDialogButtonBox::Open) &&
                buttons->button(QDialogButtonBox::Open)->isEnabled())
        << "Open is greyed for " << typed.toStdString();
    dialog.accept();
    if (dialog.result() != QDialog::Accepted) return {};
    return platform::fileOpenResultFor(dialog.selectedFiles(), 0);
  }
  QTemporaryDir folder;
};

TEST_F(FileOpenDialogTest, NamesFromDifferentFoldersComeBackAsPicked) {
  const QString first = make(QStringLiteral("a/one.txt"));
  const QString second = make(QStringLiteral("b/two.txt"));
  make(QStringLiteral("a/two.txt"));  // the file a rebuild from the first folder would load
  const auto result = typeAndOpen(QStringLiteral("\"%1\" \"%2\"").arg(first, second));
  EXPECT_EQ(result.outcome, platform::FileOpenOutcome::Chosen);
  EXPECT_EQ(result.paths, (QStringList{first, second}));
}

TEST_F(FileOpenDialogTest, ATypedNameOfNoFileComesBackForOurOwnMessage) {
  make(QStringLiteral("a/there.txt"));
  const auto result = typeAndOpen(QStringLiteral("missing.txt"));
  EXPECT_EQ(result.outcome, platform::FileOpenOutcome::Chosen);
  EXPECT_EQ(result.paths, QStringList{QDir(folder.filePath(QStringLiteral("a"))).filePath(QStringLiteral("missing.txt"))});
}

TEST_F(FileOpenDialogTest, OpensLargeEnoughForItsColumns) {
  platform::FileOpenDialog dialog(nullptr, platform::FileOpenSettings{});
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_GE(dialog.width(), std::min(800, screen.width() * 8 / 10));
  EXPECT_GE(dialog.height(), std::min(500, screen.height() * 8 / 10));
}

}  // namespace
