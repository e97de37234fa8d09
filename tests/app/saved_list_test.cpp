#include "batch/saved_list.h"

#include <gtest/gtest.h>

#include "batch/saved_list_keeper.h"
#include "equations/list_rows_helper.h"
#include "platform/error_report.h"
#include "support/doubles.h"
#include "support/settings_doubles.h"
#include "support/scripted_dialogs.h"

namespace {

using equations::AddEquationRow;
using equations::EquationListModel;
using testing_support::rowsOf;
using testing_support::RowTexts;

const QString FS = QStringLiteral("||MySeparator12||");
const QString RT = QStringLiteral("||MySeparator23||");

QString savedRow(const QString& equation, const QString& start, const QString& end, const QString& step) {
  return equation + FS + start + FS + end + FS + step + RT;
}

QString reportAt(const char* handler, int line, const QString& description) {
  return platform::errorReportText(platform::ErrorTrap::locationOf(handler), line, description);
}

QString subscriptReportAt(int line) {
  return reportAt("Form_Load", line, QString::fromLatin1(platform::kSubscriptOutOfRange));
}

TEST(SavedListText, OneRowByteForByte) {
  EquationListModel list;
  AddEquationRow(list, QStringLiteral("sin(x) + x"), QStringLiteral("0"), QStringLiteral("20"), QStringLiteral(".01"));
  EXPECT_EQ(app::savedListText(list).toUtf8(),
            QByteArray("sin(x) + x||MySeparator12||0||MySeparator12||20||MySeparator12||.01||MySeparator23||"));
}

TEST(SavedListText, EveryRowEndsWithTheTerminatorAndNothingIsTrimmed) {
  EquationListModel list;
  EXPECT_EQ(app::savedListText(list), QString());
  AddEquationRow(list, QStringLiteral(" x "), QStringLiteral(" 0"), QStringLiteral("1 "), QString());
  AddEquationRow(list, QStringLiteral("x*x"), QStringLiteral("0"), QStringLiteral("100"), QStringLiteral(".1"));
  const QString expected = savedRow(" x ", " 0", "1 ", "") + savedRow("x*x", "0", "100", ".1");
  EXPECT_EQ(app::savedListText(list), expected);
  EXPECT_EQ(app::savedListLength(list), expected.size());
}

TEST(SavedListSplit, KeepsEveryPieceTheEmptyOnesToo) {
  struct Case {
    const char* name;
    QString text;
    std::vector<QString> pieces;
  };
  for (const Case& c : std::vector<Case>{
           {"empty text", "", {""}},
           {"one row", "a" + RT, {"a", ""}},
           {"no final terminator", "a" + RT + "b", {"a", "b"}},
           {"two terminators in a row", RT + RT, {"", "", ""}},
           {"half a terminator is text", "a||MySeparator2", {"a||MySeparator2"}},
       }) {
    SCOPED_TRACE(c.name);
    std::vector<QString> pieces;
    for (QStringView piece : app::splitSavedRows(c.text)) pieces.push_back(piece.toString());
    EXPECT_EQ(pieces, c.pieces);
  }
  const app::SavedFields fields = app::splitSavedFields(QString("a" + FS + FS + "b" + FS + "c" + FS + "d"));
  EXPECT_EQ(fields.count, 5);
  EXPECT_EQ(fields.first[1], u"");
  EXPECT_EQ(fields.first[3], u"c");
  EXPECT_EQ(app::splitSavedFields(u"").count, 1);
}

TEST(SavedListSplit, AMissingFieldIsASubscriptError) {
  const app::SavedFields fields = app::splitSavedFields(u"a||MySeparator12||b");
  EXPECT_EQ(app::savedField(fields, 1), u"b");
  EXPECT_THROW(app::savedField(fields, 2), platform::StepFailure);
}

// Restoring: steps 148..164 of Form_Load, with the reports they make.
class RestoreTest : public ::testing::Test {
 protected:
  void restore(const QString& saved) { app::restoreSavedRows(list, saved, trap); }
  testing_support::ScriptedDialogs dialogs;
  platform::ErrorTrap trap{dialogs, platform::ErrorTrap::locationOf("Form_Load")};
  EquationListModel list;
};

TEST_F(RestoreTest, RestoresRowsExactlyAsSaved) {
  restore(savedRow(" x + 1 ", " 0", "20 ", ".01") + savedRow("x*x", "0", "100", ".1"));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{" x + 1 ", " 0", "20 ", ".01"}, {"x*x", "0", "100", ".1"}}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(RestoreTest, EmptyPiecesAreSkippedSilently) {
  restore(RT + RT + savedRow("a", "1", "2", "3") + RT);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"a", "1", "2", "3"}}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(RestoreTest, APieceShortOfFieldsKeepsWhatItHasAndReportsEachMissingField) {
  for (int i = 0; i < 6; ++i) dialogs.answerMessage();
  restore("only" + RT + "two" + FS + "1" + RT + "three" + FS + "1" + FS + "2" + RT);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"only", "", "", ""}, {"two", "1", "", ""}, {"three", "1", "2", ""}}));
  EXPECT_EQ(dialogs.messageTexts(), (std::vector<QString>{subscriptReportAt(158), subscriptReportAt(160),
                                                           subscriptReportAt(162), subscriptReportAt(160),
                                                           subscriptReportAt(162), subscriptReportAt(162)}));
  for (const testing_support::ShownBox& box : dialogs.shown()) {
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.icon, platform::Icon::Warning);
  }
}

TEST_F(RestoreTest, FieldsAfterTheFourthAreIgnored) {
  restore("a" + FS + "1" + FS + "2" + FS + "3" + FS + "4" + FS + "5" + RT);
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"a", "1", "2", "3"}}));
}

TEST_F(RestoreTest, ATerminatorInsideAnEquationSplitsTheRow) {
  EquationListModel saved;
  AddEquationRow(saved, "a" + RT + "b", "1", "2", "3");
  dialogs.acceptAllMessages(true);
  restore(app::savedListText(saved));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"a", "", "", ""}, {"b", "1", "2", "3"}}));
  EXPECT_EQ(dialogs.messageTexts(),
            (std::vector<QString>{subscriptReportAt(158), subscriptReportAt(160), subscriptReportAt(162)}));
}

TEST_F(RestoreTest, AFieldSeparatorInsideAnEquationShiftsTheFields) {
  EquationListModel saved;
  AddEquationRow(saved, "a" + FS + "b", "1", "2", "3");
  restore(app::savedListText(saved));
  EXPECT_EQ(rowsOf(list), (std::vector<RowTexts>{{"a", "b", "1", "2"}}));
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(RestoreTest, EveryRowOverThe16BitLimitComesBack) {
  EquationListModel saved;
  const int rows = 40000;
  for (int i = 0; i < rows; ++i) AddEquationRow(saved, QString::number(i), "0", "1", ".5");
  restore(app::savedListText(saved));
  ASSERT_EQ(list.count(), rows);
  EXPECT_EQ(list.item(rows, 0), QString::number(rows - 1));
  EXPECT_EQ(list.item(32768, 0), QStringLiteral("32767"));
}

// Saving and reading back: the whole handlers' steps, through a store.
TEST(SaveAndRestoreSteps, SaveWritesEveryRowUnderEquationsEvenWhenEmpty) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
  EquationListModel list;
  app::saveEquationList(list, store, trap);
  ASSERT_EQ(store.values.count(QStringLiteral("Equations")), 1u);
  EXPECT_EQ(store.values[QStringLiteral("Equations")], QString());

  AddEquationRow(list, "x", "0", "1", "2");
  AddEquationRow(list, "y", "3", "4", "5");
  app::saveEquationList(list, store, trap);
  EXPECT_EQ(store.values[QStringLiteral("Equations")], savedRow("x", "0", "1", "2") + savedRow("y", "3", "4", "5"));
}

TEST(SaveAndRestoreSteps, AFailedWriteIsReportedAtLine108) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  store.failWrite = true;
  dialogs.answerMessage();
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
  EquationListModel list;
  AddEquationRow(list, "x", "0", "1", "2");
  app::saveEquationList(list, store, trap);
  EXPECT_EQ(dialogs.messageTexts(),
            std::vector<QString>{reportAt("Form_QueryUnload", 108, "The settings could not be written")});
}

TEST(SaveAndRestoreSteps, AFailedReadIsReportedAtLine144AndRestoresNothing) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  store.values[QStringLiteral("Equations")] = savedRow("x", "0", "1", "2");
  store.failRead = true;
  dialogs.answerMessage();
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  EquationListModel list;
  app::restoreEquationList(list, store, trap);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(dialogs.messageTexts(), std::vector<QString>{reportAt("Form_Load", 144, "The settings could not be read")});
}

TEST(SaveAndRestoreSteps, NothingSavedRestoresNothing) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  EquationListModel list;
  app::restoreEquationList(list, store, trap);
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(SaveAndRestoreSteps, WhatTheStoreHasToSayAboutTheValueIsShownOnceAndTheRowsRestored) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  store.values[QStringLiteral("Equations")] = savedRow("x", "0", "1", "2");
  store.notice = QStringLiteral("The value was repaired; the original is kept in /somewhere");
  dialogs.answerMessage();
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  EquationListModel list;
  EXPECT_TRUE(app::restoreEquationList(list, store, trap));
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(dialogs.messageTexts(), std::vector<QString>{store.notice});
  EXPECT_EQ(trap.reported(), 0);
}

TEST(SaveAndRestoreSteps, AfterAFailedReadTheStoredValueIsNeverReplacedSilently) {
  testing_support::ScriptedDialogs dialogs;
  testing_support::MemorySettingsStore store;
  const QString stored = savedRow("x", "0", "1", "2");
  store.values[QStringLiteral("Equations")] = stored;
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_QueryUnload"));
  EquationListModel list;
  app::saveEquationList(list, store, trap, /*storedValueUnread=*/true);
  EXPECT_EQ(store.values[QStringLiteral("Equations")], stored) << "an empty list overwrote the unread value";
  EXPECT_TRUE(dialogs.shown().empty());

  AddEquationRow(list, "y", "3", "4", "5");
  store.failSetAside = true;
  dialogs.answerMessage();
  app::saveEquationList(list, store, trap, true);
  EXPECT_EQ(store.values[QStringLiteral("Equations")], stored) << "written without keeping the unread value";
  EXPECT_EQ(trap.reported(), 1);

  store.failSetAside = false;
  dialogs.answerMessage();
  app::saveEquationList(list, store, trap, true);
  EXPECT_EQ(store.values[QStringLiteral("Equations")], savedRow("y", "3", "4", "5"));
  EXPECT_EQ(store.values[QStringLiteral("Equations.unread")], stored);
  EXPECT_EQ(dialogs.messageTexts().back(), app::unreadListKeptText(QStringLiteral("Equations.unread")));
}

}  // namespace
