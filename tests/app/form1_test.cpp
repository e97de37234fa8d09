#include <gtest/gtest.h>
#include <cstdlib>

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest/QTest>

#include "platform/dialogs.h"
#include "support/form_fixture.h"

using testing_support::FormFixture;

namespace {

// ---- Design --------------------------------------------------------------------------------

TEST(Form1Design, ControlsStandWhereTheDesignPutsThem) {
  FormFixture f;
  app::Form1& form = *f.form;
  struct Placed {
    QWidget* control;
    const char* caption;
    int left, top, width, height;
  };
  const Placed design[] = {
      {form.PushButton5, "Help", 120, 120, 7800, 405},
      {form.ListView1, "", 120, 630, 7800, 2145},
      {form.PushButton1, "Add Equation", 120, 2880, 3840, 405},
      {form.PushButton4, "Load Equations From File", 4080, 2880, 3840, 405},
      {form.PushButton3, "Clear List", 120, 3390, 3840, 405},
      {form.PushButton6, "Load Sample/Example Files", 4080, 3390, 3840, 405},
      {form.Frame1, "Graph Options", 120, 3840, 7800, 1030},
      {form.Option1, "Graph each equation on separate graph", 240, 300, 3750, 255},
      {form.Option2, "Graph all equations on one graph", 240, 650, 3750, 255},
      {form.PushButton2, "Start Graphing", 120, 5000, 7800, 405},
      {form.ProgressBar1, "", 120, 5520, 7800, 405},
  };
  for (const Placed& p : design) {
    const QRect expected(form.twipsToPixels(p.left), form.twipsToPixels(p.top), form.twipsToPixels(p.width),
                         form.twipsToPixels(p.height));
    const QRect placed = p.control->geometry();
    if (p.control == form.Option1 || p.control == form.Option2) {
      // The option captions are longer than the designed width holds in some fonts: they grow
      // to their text from their designed left edge and about their designed middle.
      EXPECT_EQ(placed.left(), expected.left()) << p.control->objectName().toStdString();
      EXPECT_GE(placed.width(), expected.width()) << p.control->objectName().toStdString();
      EXPECT_GE(placed.height(), expected.height()) << p.control->objectName().toStdString();
      EXPECT_LE(std::abs(placed.center().y() - expected.center().y()), 1) << p.control->objectName().toStdString();
    } else {
      EXPECT_EQ(placed, expected) << p.control->objectName().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(p.control)) {
      EXPECT_EQ(button->text(), QLatin1String(p.caption));
    }
  }
  EXPECT_EQ(form.Frame1->title(), QStringLiteral("Graph Options"));
  EXPECT_EQ(form.size(), QSize(form.twipsToPixels(8040), form.twipsToPixels(6030)));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());  // not resizable
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form.ListView1->toolTip(), QStringLiteral("Double-click item to remove it."));
  EXPECT_TRUE(form.Option1->isChecked());
  EXPECT_FALSE(form.Option2->isChecked());
  EXPECT_TRUE(form.font().bold());
  EXPECT_EQ(form.font().pointSize(), 9);
  EXPECT_EQ(form.ProgressBar1->text(), QStringLiteral("Progress Bar"));
}

TEST(Form1Design, TabOrderFollowsTheDesign) {
  FormFixture f;
  app::Form1& form = *f.form;
  const QList<QWidget*> designed = {form.ListView1, form.ProgressBar1, form.PushButton5, form.Frame1,
                                    form.Option1,   form.Option2,      form.PushButton1, form.PushButton4,
                                    form.PushButton2, form.PushButton3, form.PushButton6};
  // Walk the focus chain once round and keep the designed controls in the order met.
  QList<QWidget*> met;
  QWidget* current = form.ListView1;
  do {
    if (designed.contains(current) && !met.contains(current)) met << current;
    current = current->nextInFocusChain();
  } while (current != form.ListView1);
  EXPECT_EQ(met, designed);
}

// ---- Start-up ------------------------------------------------------------------------------

TEST(FormLoad, SetsCaptionTitleAndTheFourColumnsWithoutAnyBox) {
  FormFixture f;
  f.form->Form_Load();
  EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Tessaline"));
  EXPECT_FALSE(f.form->windowIcon().isNull());
  EXPECT_EQ(platform::applicationTitle(), QStringLiteral("Tessaline"));
  QHeaderView* header = f.form->ListView1->header();
  const char* captions[] = {"Equations", "Start", "End", "Steps"};
  const int widths[] = {3700, 1300, 1300, 1300};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.form->list().headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), QLatin1String(captions[i]));
    EXPECT_EQ(header->sectionSize(i), f.form->twipsToPixels(widths[i]));
  }
  EXPECT_EQ(f.form->list().count(), 0);
  EXPECT_TRUE(f.dialogs.shown().empty());
  EXPECT_EQ(f.programEnds, 0);
}

TEST(FormLoad, EngineThatCannotBeCreatedEndsTheProgramAfterItsMessage) {
  FormFixture f;
  f.engine.failCreate = true;
  const QString saved = QStringLiteral("x||MySeparator12||0||MySeparator12||1||MySeparator12||1||MySeparator23||");
  f.settings.values[QStringLiteral("Equations")] = saved;
  f.dialogs.answerMessage();
  f.form->Form_Load();
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  EXPECT_TRUE(f.dialogs.shown()[0].text.startsWith(
      QStringLiteral("Error 842001. A normal instance of Excel could not be created.\r\n\r\n1. ")));
  EXPECT_EQ(f.programEnds, 1);
  EXPECT_EQ(f.settings.values[QStringLiteral("Equations")], saved);
}

TEST(ApplicationTitle, CutsAtTheLastSpaceAndKeepsItUnderFortyCharacters) {
  EXPECT_EQ(app::applicationTitleFor(QStringLiteral("Tessaline")), QStringLiteral("Tessaline"));
  EXPECT_EQ(app::applicationTitleFor(QStringLiteral("Quorvane Tessaline Plotter")),
            QStringLiteral("Quorvane Tessaline"));
  const QString longName = QStringLiteral("Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota");
  const QString title = app::applicationTitleFor(longName);
  EXPECT_LE(title.size(), 40);
  EXPECT_EQ(title, QStringLiteral("Alpha Beta Gamma Delta Epsilon Zeta Eta"));
  EXPECT_EQ(app::applicationTitleFor(QString(50, QLatin1Char('x'))).size(), 40);
}

// ---- Home page -----------------------------------------------------------------------------

TEST(HomePage, OpensOnlyWhenSevenIsDrawnAndAtMostOnce) {
  for (int k = 1; k <= 100; ++k) {
    testing_support::FixedClock clock;
    clock.seconds = 3600 + k;
    testing_support::ScriptedRandom random;
    random.values = {(k - 1) / 100.0 + 0.004};
    testing_support::RecordingLauncher launcher;
    app::MaybeOpenHomePage(clock, random, launcher);
    ASSERT_EQ(random.seeds, std::vector<unsigned>{static_cast<unsigned>(3600 + k)});
    EXPECT_EQ(random.drawn, 1u);
    EXPECT_EQ(launcher.urls.size(), k == 7 ? 1u : 0u) << "k = " << k;
    if (k == 7) {
      EXPECT_EQ(launcher.urls[0], QLatin1String(app::kHomePageAddress));
    }
  }
}

TEST(HomePage, AFailedOpenIsReportedAtLine110AndStartUpGoesOn) {
  FormFixture f;
  f.random.values = {0.065};  // k = 7
  f.launcher.succeed = false;
  f.dialogs.answerMessage();
  f.form->Form_Load();
  ASSERT_EQ(f.dialogs.shown().size(), 1u);
  EXPECT_TRUE(f.dialogs.shown()[0].text.contains(QStringLiteral("Form1.Form_Load at line 110\r\r")));
  EXPECT_EQ(f.form->list().headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Steps"));
}

// ---- Removing rows -------------------------------------------------------------------------

class RemovingRows : public ::testing::Test {
 protected:
  void SetUp() override {
    f.form->Form_Load();
    for (const char* e : {"x", "x*x", "x+1"})
      equations::AddEquationRow(f.form->list(), QLatin1String(e), QStringLiteral("0"), QStringLiteral("1"),
                                QStringLiteral("1"));
  }
  void select(int position) {
    f.form->ListView1->selectionModel()->select(f.form->list().index(position - 1, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  QStringList equations() const {
    QStringList out;
    for (int i = 1; i <= f.form->list().count(); ++i) out << f.form->list().item(i, 0);
    return out;
  }
  FormFixture f;
};

TEST_F(RemovingRows, DeleteRemovesExactlyTheSelectedRow) {
  select(2);
  f.form->ListView1_KeyDown(Qt::Key_Delete, {});
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x"), QStringLiteral("x+1")}));
}

TEST_F(RemovingRows, OtherKeysWhateverTheModifiersRemoveNothing) {
  select(1);
  for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Backspace, Qt::Key_Slash, Qt::Key_Period, Qt::Key_Minus})
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::ShiftModifier},
                                            Qt::KeyboardModifiers{Qt::ControlModifier},
                                            Qt::KeyboardModifiers{Qt::AltModifier}})
      f.form->ListView1_KeyDown(key, modifiers);
  EXPECT_EQ(f.form->list().count(), 3);
}

// Qt's code for "." is the number Windows gives Delete; typed keys must never remove a row.
TEST_F(RemovingRows, PrintableKeysOnTheViewRemoveNothing) {
  f.form->list().clear();
  f.form->PushButton6_Click();  // the samples
  f.form->show();
  select(1);
  f.form->ListView1->setFocus();
  const QString printable = QStringLiteral(".,-+*/0123456789 abcxyzABCXYZ()^=<>!@#$%&_;:'\"?[]{}|~`");
  for (QChar c : printable) QTest::keyClicks(f.form->ListView1, QString(c));
  QTest::keyClick(f.form->ListView1, Qt::Key_Period);
  QTest::keyClick(f.form->ListView1, Qt::Key_Period, Qt::ShiftModifier);
  QTest::keyClick(f.form->ListView1, Qt::Key_Period, Qt::KeypadModifier);
  EXPECT_EQ(f.form->list().count(), 2);
  f.form->close();  // the list is stored on closing
  FormFixture next;
  next.settings.values = f.settings.values;
  next.form->Form_Load();
  EXPECT_EQ(next.form->list().count(), 2);
}

TEST_F(RemovingRows, RealDeleteKeyStillRemovesAfterTyping) {
  f.form->show();
  select(2);
  QTest::keyClicks(f.form->ListView1, QStringLiteral("."));
  QTest::keyClick(f.form->ListView1, Qt::Key_Delete);
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x"), QStringLiteral("x+1")}));
}

TEST_F(RemovingRows, RefusedWhileBusyOrWithoutSelection) {
  f.form->ListView1_DblClick();  // nothing selected
  EXPECT_EQ(f.form->list().count(), 3);
  select(3);
  f.form->setMousePointer(app::MousePointer::Busy);
  f.form->ListView1_DblClick();
  f.form->ListView1_KeyDown(Qt::Key_Delete, {});
  EXPECT_EQ(f.form->list().count(), 3);
  f.form->setMousePointer(app::MousePointer::Default);
  f.form->ListView1_DblClick();
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x"), QStringLiteral("x*x")}));
}

TEST_F(RemovingRows, EmptyListIgnoresDoubleClickAndDelete) {
  f.form->list().clear();
  f.form->ListView1_DblClick();
  f.form->ListView1_KeyDown(Qt::Key_Delete, {});
  EXPECT_EQ(f.form->list().count(), 0);
  EXPECT_TRUE(f.dialogs.shown().empty());
}

TEST_F(RemovingRows, RealDeleteKeyAndDoubleClickReachTheHandlers) {
  f.form->show();
  select(1);
  QTest::keyClick(f.form->ListView1, Qt::Key_Delete);
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x*x"), QStringLiteral("x+1")}));
  const QRect second = f.form->ListView1->visualRect(f.form->list().index(1, 0));
  QTest::mouseClick(f.form->ListView1->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(f.form->ListView1->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x*x")}));
}

TEST_F(RemovingRows, DuplicateRowsAreRemovedOneAtATime) {
  f.form->list().clear();
  equations::AddEquationRow(f.form->list(), QStringLiteral("x*x"), {}, {}, {});
  equations::AddEquationRow(f.form->list(), QStringLiteral("x*x"), {}, {}, {});
  select(1);
  f.form->ListView1_KeyDown(Qt::Key_Delete, {});
  EXPECT_EQ(equations(), (QStringList{QStringLiteral("x*x")}));
  EXPECT_EQ(f.form->list().item(1, 3), QString());  // an empty step reads back as empty text
}

// ---- Closing -------------------------------------------------------------------------------

TEST(Closing, ClosingTheWindowEndsTheProgramOnce) {
  FormFixture f;
  f.form->Form_Load();
  f.form->show();
  f.form->close();
  EXPECT_EQ(f.programEnds, 1);
}

// ---- Pointer -------------------------------------------------------------------------------

TEST(Pointer, StatesSetTheWindowCursor) {
  FormFixture f;
  f.form->setMousePointer(app::MousePointer::Busy);
  EXPECT_EQ(f.form->cursor().shape(), Qt::WaitCursor);
  f.form->setMousePointer(app::MousePointer::Custom);
  EXPECT_EQ(f.form->cursor().shape(), Qt::PointingHandCursor);
  f.form->setMousePointer(app::MousePointer::Default);
  EXPECT_EQ(f.form->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(f.form->mousePointer(), app::MousePointer::Default);
}

}  // namespace
