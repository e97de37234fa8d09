// The list view's table follows the rows: their four fields as columns, every change announced.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/equation_table_model.h"

namespace {

TEST(EquationTable, FollowsRemovalsAndClearing) {
  app::EquationTableModel table;
  for (const char* e : {"x", "x*x", "x+1"}) equations::AddEquationRow(table, QLatin1String(e), "0", "1", "0.5");
  QSignalSpy removed(&table, &app::EquationTableModel::rowsRemoved);
  QSignalSpy reset(&table, &app::EquationTableModel::modelReset);
  table.removeRow(2);
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed.at(0).at(1).toInt(), 1);
  EXPECT_EQ(table.rowCount(), 2);
  EXPECT_EQ(table.data(table.index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("x+1"));
  EXPECT_EQ(table.data(table.index(1, 3), Qt::DisplayRole).toString(), QStringLiteral("0.5"));
  table.clear();
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(table.rowCount(), 0);
}

TEST(EquationTable, FourColumnsReadOnlyAndNothingOutsideThem) {
  app::EquationTableModel table;
  equations::AddEquationRow(table, "x", "0", "1", "1");
  EXPECT_EQ(table.columnCount(), 4);
  EXPECT_FALSE(table.index(0, 4).isValid());
  EXPECT_FALSE(table.data(table.index(0, 0), Qt::EditRole).isValid());
  EXPECT_FALSE(table.flags(table.index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_TRUE(table.flags(table.index(0, 0)) & Qt::ItemIsSelectable);
  EXPECT_EQ(table.rowCount(table.index(0, 0)), 0);  // rows have no children
  // Captions appear as they are set up.
  EXPECT_EQ(table.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
  table.addColumn(QStringLiteral("Equations"));
  EXPECT_EQ(table.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Equations"));
  EXPECT_FALSE(table.headerData(0, Qt::Vertical, Qt::DisplayRole).isValid());
}

}  // namespace
