// Formulas computed by the workbook model: the one evaluation context the program, the
// Excel-saved cases and the fuzz target share.
#include <gtest/gtest.h>

#include "core/workbook_model.h"

namespace {

using calc::ErrorCode;
using calc::Value;

core::SheetNode& sheet(core::WorkbookModel& model, int position) { return *model.at(position); }

TEST(WorkbookValues, RandDrawsFromTheInjectedSource) {
  auto book = [](unsigned long long seed) {
    auto model = std::make_unique<core::WorkbookModel>(1, core::seededRandomSource(seed));
    for (int row = 1; row <= 50; ++row) model->setText(sheet(*model, 1), row, 1, "=RAND()");
    return model;
  };
  auto first = book(7), again = book(7), other = book(8);
  bool anyDiffersFromOther = false, anyDiffersFromFirstRow = false;
  const Value top = first->value(sheet(*first, 1), 1, 1);
  for (int row = 1; row <= 50; ++row) {
    const Value v = first->value(sheet(*first, 1), row, 1);
    ASSERT_TRUE(v.isNumber());
    EXPECT_GE(v.number(), 0.0);
    EXPECT_LT(v.number(), 1.0);
    EXPECT_EQ(v, again->value(sheet(*again, 1), row, 1)) << "row " << row;
    anyDiffersFromOther |= v != other->value(sheet(*other, 1), row, 1);
    anyDiffersFromFirstRow |= v != top;
  }
  EXPECT_TRUE(anyDiffersFromOther);
  EXPECT_TRUE(anyDiffersFromFirstRow) << "every cell drew the same number";
}

TEST(WorkbookValues, RandIsDrawnAgainAfterAWriteAndKeptUntilThen) {
  int draws = 0;
  core::WorkbookModel model(1, [&draws] { return ++draws / 100.0; });
  model.setText(sheet(model, 1), 1, 1, "=RAND()");
  EXPECT_EQ(model.value(sheet(model, 1), 1, 1), Value(0.01));
  EXPECT_EQ(model.value(sheet(model, 1), 1, 1), Value(0.01));
  model.setNumber(sheet(model, 1), 5, 5, 1);
  EXPECT_EQ(model.value(sheet(model, 1), 1, 1), Value(0.02));
}

// 400 numbers in A and =SUM(A:A) in B1:B401: every sum walks the 400 used rows, not the
// 1,048,576 of the column, and reads nothing past them.
TEST(WorkbookValues, WholeColumnsCostWhatTheUsedCellsCost) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& data = sheet(model, 1);
  for (int row = 1; row <= 400; ++row) model.setNumber(data, row, 1, row);
  for (int row = 1; row <= 401; ++row) model.setText(data, row, 2, "=SUM(A:A)");
  std::size_t reads = 0;
  std::int32_t furthestRow = 0;
  model.setReadObserver([&](const core::WorkbookModel::CellRead& read) {
    ++reads;
    furthestRow = std::max(furthestRow, read.row);
  });
  for (int row = 1; row <= 401; ++row) ASSERT_EQ(model.value(data, row, 2), Value(80200.0)) << "row " << row;
  EXPECT_LE(reads, 401u * 402u);
  EXPECT_EQ(furthestRow, 401);  // column B's formulas make the sheet 401 rows tall
}

TEST(WorkbookValues, WholeRowsAndRangesOnOtherSheetsStopAtTheirUsedCells) {
  core::WorkbookModel model(2, core::seededRandomSource(1));
  model.rename(sheet(model, 2), "Data");
  for (int column = 1; column <= 30; ++column) model.setNumber(sheet(model, 2), 3, column, 2);
  model.setText(sheet(model, 1), 1, 1, "=SUM(Data!3:3)");
  model.setText(sheet(model, 1), 2, 1, "=COUNT(Data!A:A)");
  model.setText(sheet(model, 1), 3, 1, "=SUM(Missing!A:A)");
  EXPECT_EQ(model.value(sheet(model, 1), 1, 1), Value(60.0));
  EXPECT_EQ(model.value(sheet(model, 1), 2, 1), Value(1.0));
  EXPECT_EQ(model.value(sheet(model, 1), 3, 1), Value(ErrorCode::Ref));
}

TEST(WorkbookValues, ConstantsOfEveryKindReadBackAsStored) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& s = sheet(model, 1);
  model.setValue(s, 1, 1, Value(true));
  model.setValue(s, 2, 1, Value(ErrorCode::Div0));
  model.setValue(s, 3, 1, Value("=1+1"));  // a text, never a formula
  model.setValue(s, 4, 1, Value(2.5));
  model.setText(s, 5, 1, "=1+1");
  model.setValue(s, 5, 1, Value());  // clears the formula
  EXPECT_EQ(model.value(s, 1, 1), Value(true));
  EXPECT_EQ(model.value(s, 2, 1), Value(ErrorCode::Div0));
  EXPECT_EQ(model.value(s, 3, 1), Value("=1+1"));
  EXPECT_EQ(model.value(s, 4, 1), Value(2.5));
  EXPECT_TRUE(model.value(s, 5, 1).isEmpty());
  model.setText(s, 6, 1, "=IF(A1,A4*2,0)&\"|\"&ISERROR(A2)");
  EXPECT_EQ(model.value(s, 6, 1), Value("5|TRUE"));
}

TEST(WorkbookValues, RefusalsAreTheCoresOwnErrorNamingTheCell) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& s = sheet(model, 1);
  try {
    model.setText(s, 2, 3, "=1+");
    FAIL() << "no error";
  } catch (const core::WorkbookError& error) {
    EXPECT_NE(std::string(error.what()).find("Sheet1!C2"), std::string::npos) << error.what();
  }
  EXPECT_THROW(model.setValue(s, 0, 1, Value(1.0)), core::WorkbookError);
  EXPECT_THROW(model.setValue(s, 1, 1, Value(std::string(32768, 'x'))), core::WorkbookError);
  EXPECT_THROW(core::WorkbookModel(0), core::WorkbookError);
}

}  // namespace
