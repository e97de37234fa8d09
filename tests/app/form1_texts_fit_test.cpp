// Every caption of the main window is shown whole with the fonts at hand: the font the window
// asks for may be missing, and its stand-in may be wider.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "support/form_fixture.h"

namespace {

// The caption's room: the control's own width, and no more than its parent shows of it.
void expectWhole(const QWidget* control, const QString& caption) {
  const QSize needed = control->sizeHint();
  EXPECT_GE(control->width(), needed.width()) << caption.toStdString();
  EXPECT_GE(control->height(), needed.height()) << caption.toStdString();
  if (const QWidget* parent = control->parentWidget()) {
    EXPECT_TRUE(parent->rect().contains(control->geometry())) << caption.toStdString() << " runs out of its frame";
  }
}

TEST(Form1Texts, EveryCaptionFitsItsControl) {
  testing_support::FormFixture f;
  f.form->Form_Load();
  int looked = 0;
  for (const QAbstractButton* button : f.form->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty()) continue;  // the list header's corner
    expectWhole(button, button->text());
    ++looked;
  }
  for (const QLabel* label : f.form->findChildren<QLabel*>()) {
    expectWhole(label, label->text());
    ++looked;
  }
  EXPECT_EQ(looked, 8);  // six push buttons, two option buttons
  // The frame's title is drawn within the frame.
  const QFontMetrics metrics(f.form->Frame1->font());
  EXPECT_LT(metrics.horizontalAdvance(f.form->Frame1->title()) + 16, f.form->Frame1->width());
  // The texts themselves are untouched.
  EXPECT_EQ(f.form->Option1->text(), "Graph each equation on separate graph");
  EXPECT_EQ(f.form->Option2->text(), "Graph all equations on one graph");
}

}  // namespace
