// Rows handed over in batches reach the list view's table in few notifications.
#include "equations/row_batch.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/equation_table_model.h"
#include "equations/list_rows_helper.h"

namespace {

using app::EquationTableModel;
using equations::RowBatch;
using testing_support::rowsOf;
using testing_support::RowTexts;

TEST(RowBatch, HandsRowsOverInOrderWithFewNotifications) {
  EquationTableModel list;
  equations::AddEquationRow(list, "first", "0", "1", "2");
  QSignalSpy inserted(&list, &EquationTableModel::rowsInserted);
  RowBatch batch(list);
  const int rows = 70'000;  // more than one batch
  for (int i = 0; i < rows; ++i) {
    equations::EquationEntry& row = batch.startRow(QString::number(i));
    row.start = QStringLiteral("s");
    if (i % 2 == 0) row.step = QString::number(-i);
  }
  batch.flush();
  batch.flush();  // nothing left: no notification
  ASSERT_EQ(list.count(), rows + 1);
  EXPECT_EQ(list.item(1, 0), QStringLiteral("first"));
  EXPECT_EQ(rowsOf(list)[1], (RowTexts{"0", "s", "", "0"}));
  EXPECT_EQ(rowsOf(list)[rows], (RowTexts{QString::number(rows - 1), "s", "", ""}));
  EXPECT_EQ(list.item(rows, 3), QString::number(-(rows - 2)));  // position p holds row p - 2
  EXPECT_EQ(inserted.count(), 2);
  EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);  // first new row, counted from 0 as the views do
  EXPECT_EQ(inserted.at(1).at(2).toInt(), rows);
}

TEST(RowBatch, AnEmptyBatchChangesNothing) {
  EquationTableModel list;
  QSignalSpy inserted(&list, &EquationTableModel::rowsInserted);
  RowBatch(list).flush();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(inserted.count(), 0);
}

}  // namespace
