// The skin component: reading a skin, narrowing its rules, and what its options and properties do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

#include "app/skin_framework.h"
#include "skin_operations.h"
#include "style_sheet_text.h"
#include "platform/error_report.h"

namespace {

using app::SkinFramework;
namespace sheet = app::style_sheet;

// ---- Style sheet text ---------------------------------------------------------------------

struct StructureCase {
  const char* name;
  const char* text;
  const char* error;  // nullptr: sound
};

class StyleSheetStructure : public ::testing::TestWithParam<StructureCase> {};

TEST_P(StyleSheetStructure, FindsTheFirstStructuralFault) {
  const auto error = sheet::structuralError(QString::fromUtf8(GetParam().text));
  if (GetParam().error) {
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->toStdString(), GetParam().error);
  } else {
    EXPECT_FALSE(error.has_value()) << error->toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StyleSheetStructure,
    ::testing::Values(
        StructureCase{"Sound", "QWidget { color: red; } QLabel { margin: 1px; }", nullptr},
        StructureCase{"BracesInsideCommentsAndQuotes", "/* { */ QLabel[text=\"}\"] { color: red; }", nullptr},
        StructureCase{"NeverClosed", "QWidget { color: red;", "a '{' is never closed"},
        StructureCase{"StrayClose", "QWidget { color: red; } }", "a '}' closes no block"},
        StructureCase{"CloseBeforeOpen", "} QWidget {", "a '}' closes no block"},
        StructureCase{"OpenComment", "QWidget { color: red; } /* and more", "a comment is never closed"},
        StructureCase{"OpenQuote", "QLabel[text=\"a] { color: red; }", "a quoted text is never closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StyleSheetText, BlankMeansNoRuleAtAll) {
  EXPECT_TRUE(sheet::isBlank(QString()));
  EXPECT_TRUE(sheet::isBlank(QStringLiteral(" \n\t /* only a note */ \n")));
  EXPECT_FALSE(sheet::isBlank(QStringLiteral("/* note */ QWidget {}")));
}

struct ScopeCase {
  const char* selector;
  const char* scoped;
};

class ScopeToObject : public ::testing::TestWithParam<ScopeCase> {};

TEST_P(ScopeToObject, NamesTheObjectInTheLastCompoundAfterItsType) {
  EXPECT_EQ(sheet::withObjectName(QString::fromUtf8(GetParam().selector), QStringLiteral("Form1")).toStdString(),
            GetParam().scoped);
}

INSTANTIATE_TEST_SUITE_P(Selectors, ScopeToObject,
                         ::testing::Values(ScopeCase{"QWidget", "QWidget#Form1"},
                                           ScopeCase{"QPushButton:hover", "QPushButton#Form1:hover"},
                                           ScopeCase{"QProgressBar::chunk", "QProgressBar#Form1::chunk"},
                                           ScopeCase{"QGroupBox > QRadioButton", "QGroupBox > QRadioButton#Form1"},
                                           ScopeCase{"QGroupBox QLabel[text=\"a b\"]", "QGroupBox QLabel#Form1[text=\"a b\"]"},
                                           ScopeCase{"*", "*#Form1"},
                                           ScopeCase{".QWidget", ".QWidget#Form1"},
                                           ScopeCase{"#Frame1", "#Form1#Frame1"},
                                           ScopeCase{"app--Form1", "app--Form1#Form1"}));

TEST(StyleSheetText, RewritesEverySelectorOfEveryRuleAndKeepsTheBlocks) {
  const QString input = QStringLiteral(
      "/* skin */ QPushButton, QLabel[text=\"a,b\"] { color: red; /* { */ }\n"
      "QProgressBar::chunk { background: blue; }");
  const QString output = sheet::rewriteSelectors(input, [](const QString& selector) {
    return QStringList{QStringLiteral("<") + selector + QStringLiteral(">")};
  });
  EXPECT_EQ(output.toStdString(),
            "<QPushButton>, <QLabel[text=\"a,b\"]> { color: red; /* { */ }\n"
            "<QProgressBar::chunk> { background: blue; }\n");
}

TEST(StyleSheetText, DropsRulesLeftWithoutSelectors) {
  const QString output = sheet::rewriteSelectors(QStringLiteral("QLabel { color: red; } QWidget { margin: 0; }"),
                                                 [](const QString& selector) {
                                                   return selector == QLatin1String("QLabel") ? QStringList{}
                                                                                              : QStringList{selector};
                                                 });
  EXPECT_EQ(output.toStdString(), "QWidget { margin: 0; }\n");
}

TEST(StyleSheetText, NarrowsRulesToDialogsAndTheirControls) {
  EXPECT_EQ(sheet::forDialogs(QStringLiteral("QPushButton:hover")),
            QStringList{QStringLiteral("QDialog QPushButton:hover")});
  EXPECT_EQ(sheet::forDialogs(QStringLiteral("QWidget")),
            (QStringList{QStringLiteral("QDialog QWidget"), QStringLiteral("QDialog")}));
  EXPECT_EQ(sheet::forDialogs(QStringLiteral("*:disabled")),
            (QStringList{QStringLiteral("QDialog *:disabled"), QStringLiteral("QDialog:disabled")}));
  EXPECT_EQ(sheet::forDialogs(QStringLiteral("QFrame QWidget")),
            QStringList{QStringLiteral("QDialog QFrame QWidget")});
}

// ---- Loading --------------------------------------------------------------------------------

class SkinFiles : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = folder_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  // The description of the failure, or empty when it loaded.
  QString loadFailure(const QString& path, const QString& overrides = {}) {
    try {
      skin_.LoadSkin(path, overrides);
      return {};
    } catch (const platform::StepFailure& failure) {
      return QString::fromUtf8(failure.what());
    }
  }

  QTemporaryDir folder_;
  SkinFramework skin_;
};

TEST_F(SkinFiles, ReadsAStyleSheetAndTheOverridesAfterIt) {
  const QString skin = write(QStringLiteral("skin.qss"), "QWidget { color: #010203; }");
  const QString mine = write(QStringLiteral("mine.qss"), "QLabel { color: #040506; }");
  EXPECT_EQ(loadFailure(skin, mine), QString());
  EXPECT_EQ(skin_.styleSheet(), QStringLiteral("QWidget { color: #010203; }\nQLabel { color: #040506; }"));
}

TEST_F(SkinFiles, AByteOrderMarkIsNotPartOfTheSheet) {
  EXPECT_EQ(loadFailure(write(QStringLiteral("bom.qss"), "\xEF\xBB\xBFQLabel { color: red; }")), QString());
  EXPECT_EQ(skin_.styleSheet(), QStringLiteral("QLabel { color: red; }"));
}

struct BadSkin {
  const char* name;
  const char* bytes;  // nullptr: no file at all
  const char* reason;
};

class BadSkinFiles : public SkinFiles, public ::testing::WithParamInterface<BadSkin> {};

TEST_P(BadSkinFiles, FailNamingTheFileAndKeepTheSkinBefore) {
  const QString good = write(QStringLiteral("good.qss"), "QLabel { color: red; }");
  ASSERT_EQ(loadFailure(good), QString());
  const QString path = folder_.filePath(QStringLiteral("o.cjs"));
  if (GetParam().bytes) write(QStringLiteral("o.cjs"), QByteArray(GetParam().bytes));
  const QString failure = loadFailure(path);
  EXPECT_EQ(failure.toStdString(), QStringLiteral("The skin file %1 %2").arg(path, QLatin1String(GetParam().reason)).toStdString());
  EXPECT_EQ(skin_.styleSheet(), QStringLiteral("QLabel { color: red; }"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSkinFiles,
    ::testing::Values(BadSkin{"Missing", nullptr, "was not found"}, BadSkin{"Empty", "", "is empty"},
                      BadSkin{"OnlyComments", " /* nothing */\n", "is empty"},
                      BadSkin{"NotUtf8", "QLabel { color: \xE9t\xE9; }", "is not UTF-8 text"},
                      BadSkin{"Unbalanced", "QLabel { color: red;",
                              "is not a valid style sheet: a '{' is never closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinFiles, AFolderIsNoSkinFile) {
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("o.cjs")));
  EXPECT_TRUE(loadFailure(folder_.filePath(QStringLiteral("o.cjs"))).endsWith(QLatin1String("was not found")));
}

TEST_F(SkinFiles, MissingOverridesFailTheLoad) {
  const QString skin = write(QStringLiteral("skin.qss"), "QLabel { color: red; }");
  const QString missing = folder_.filePath(QStringLiteral("none.qss"));
  EXPECT_EQ(loadFailure(skin, missing), QStringLiteral("The skin file %1 was not found").arg(missing));
  EXPECT_EQ(skin_.styleSheet(), QString());
}

// ---- Options, properties and applying -------------------------------------------------------

TEST(SkinFramework, KnowsItsTwoPropertiesAndRefusesOthers) {
  SkinFramework skin;
  EXPECT_FALSE(skin.property(app::SkinProperty::Dialogs));
  EXPECT_FALSE(skin.property(app::SkinProperty::FollowDesktop));
  skin.setProperty(app::SkinProperty::Dialogs, true);
  skin.setProperty(app::SkinProperty::FollowDesktop, true);
  EXPECT_TRUE(skin.property(app::SkinProperty::Dialogs));
  EXPECT_TRUE(skin.property(app::SkinProperty::FollowDesktop));
  EXPECT_THROW(skin.setProperty(static_cast<app::SkinProperty>(7), true), platform::StepFailure);
}

TEST(SkinFramework, TellsItsObserverEachOperation) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("s.qss"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("QLabel { color: red; }");
  file.close();
  SkinFramework skin;
  testing_support::SkinOperations recorded;
  const QStringList& log = recorded.log;
  QWidget window;
  window.setObjectName(QStringLiteral("W"));
  skin.LoadSkin(path, QString());
  skin.setOptions(skin.options() | app::SkinOptions::fromInt(4));
  skin.setProperty(app::SkinProperty::FollowDesktop, false);
  skin.ApplyWindow(&window);
  EXPECT_EQ(log, (QStringList{QStringLiteral("LoadSkin ") + path, QStringLiteral("options"), QStringLiteral("setOptions 4"),
                              QStringLiteral("setProperty 10 off"), QStringLiteral("ApplyWindow W")}));
}

TEST(SkinFramework, ApplyingWithoutASkinFails) {
  SkinFramework skin;
  QWidget window;
  EXPECT_THROW(skin.ApplyWindow(&window), platform::StepFailure);
  EXPECT_THROW(skin.ApplyWindow(nullptr), platform::StepFailure);
  EXPECT_EQ(window.styleSheet(), QString());
}

// A window with one push button, skinned from a sheet written for the test.
class SkinnedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.setObjectName(QStringLiteral("Form1"));
    button_ = new QPushButton(QStringLiteral("Go"), &window_);
  }
  void load(const QByteArray& sheet) {
    const QString path = folder_.filePath(QStringLiteral("o.cjs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sheet);
    file.close();
    skin_->LoadSkin(path, QString());
  }
  static QColor textOf(QWidget* widget) {
    widget->ensurePolished();
    return widget->palette().color(QPalette::WindowText);
  }

  QTemporaryDir folder_;
  QWidget window_;
  QPushButton* button_ = nullptr;
  std::unique_ptr<SkinFramework> skin_ = std::make_unique<SkinFramework>();
};

TEST_F(SkinnedWindow, OptionBitZeroLetsTheSkinReachTheControls) {
  load("QWidget { color: #123456; }");
  const QColor before = textOf(button_);
  ASSERT_NE(before, QColor(0x123456));

  skin_->ApplyWindow(&window_);
  EXPECT_EQ(textOf(&window_), QColor(0x123456));
  EXPECT_EQ(textOf(button_), before) << "without bit 0 the skin is the window's alone";

  skin_->setOptions(app::SkinOption::StyleControls);
  skin_->ApplyWindow(&window_);
  EXPECT_EQ(textOf(&window_), QColor(0x123456));
  EXPECT_EQ(textOf(button_), QColor(0x123456));
}

TEST_F(SkinnedWindow, PropertyFiveSkinsDialogsUntilTheSkinGoes) {
  const QString earlier = QStringLiteral("QToolTip { color: #010101; }");
  qApp->setStyleSheet(earlier);
  load("QPushButton { color: #224466; }");
  skin_->setOptions(app::SkinOption::StyleControls);
  skin_->ApplyWindow(&window_);
  EXPECT_EQ(qApp->styleSheet(), earlier) << "off: the application's sheet is not touched";

  skin_->setProperty(app::SkinProperty::Dialogs, true);
  skin_->ApplyWindow(&window_);
  EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QDialog QPushButton { color: #224466; }\n"));
  QDialog dialog;
  auto* inDialog = new QPushButton(QStringLiteral("OK"), &dialog);
  QWidget plain;
  auto* elsewhere = new QPushButton(QStringLiteral("Elsewhere"), &plain);
  EXPECT_EQ(textOf(inDialog), QColor(0x224466));
  EXPECT_NE(textOf(elsewhere), QColor(0x224466));

  skin_.reset();
  EXPECT_EQ(qApp->styleSheet(), earlier);
  qApp->setStyleSheet(QString());
}

TEST_F(SkinnedWindow, PropertyTenAppliesTheSkinAgainWhenTheDesktopColoursChange) {
  load("QPushButton { color: palette(highlight); }");
  testing_support::SkinOperations recorded;
  const QStringList& log = recorded.log;
  skin_->setOptions(app::SkinOption::StyleControls);
  const QPalette original = QApplication::palette();

  skin_->ApplyWindow(&window_);
  QPalette changed = original;
  changed.setColor(QPalette::Highlight, QColor(0xAB1234));
  QApplication::setPalette(changed);
  QCoreApplication::processEvents();
  EXPECT_FALSE(log.contains(QStringLiteral("reapply"))) << "off: the skin is not applied again";
  QApplication::setPalette(original);

  skin_->setProperty(app::SkinProperty::FollowDesktop, true);
  skin_->ApplyWindow(&window_);
  const qsizetype applied = log.count(QStringLiteral("reapply"));
  changed.setColor(QPalette::Highlight, QColor(0x34AB12));
  QApplication::setPalette(changed);
  EXPECT_EQ(log.count(QStringLiteral("reapply")), applied) << "once the widgets have their new palette";
  QCoreApplication::processEvents();
  EXPECT_GT(log.count(QStringLiteral("reapply")), applied);
  EXPECT_EQ(textOf(button_), QColor(0x34AB12)) << "the skin's palette(...) colours follow";
  QApplication::setPalette(original);
}

}  // namespace
