// Cells: limits, formulas refused or stored, values computed on demand.
#include <gtest/gtest.h>

#include "support/engine_test_support.h"

namespace {

using engine_test::TestEngine;

class CellsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = engine.application(2);
    sheet = app->sheets()->item(1);
    model = app->activeWorkbook();
  }
  calc::Value value(int row, int column, int sheetIndex = 1) {
    return model->value(*model->at(sheetIndex), row, column);
  }

  TestEngine engine;
  std::shared_ptr<automation::EngineApplication> app;
  std::shared_ptr<excel::Sheet> sheet;
  std::shared_ptr<core::WorkbookModel> model;
};

TEST_F(CellsTest, StoresNumbersTextsAndFormulas) {
  sheet->setCellNumber(1, 1, 0.5);
  sheet->setCellText(1, 2, "hello");
  sheet->setCellText(1, 3, "=A1*4");
  sheet->setCellText(1, 4, "");
  EXPECT_EQ(value(1, 1), calc::Value(0.5));
  EXPECT_EQ(value(1, 2), calc::Value("hello"));
  EXPECT_EQ(value(1, 3), calc::Value(2.0));
  EXPECT_EQ(value(1, 4), calc::Value(""));
  EXPECT_TRUE(value(9, 9).isEmpty());
  const auto* slot = model->at(1)->cells->slot(1, 3);
  ASSERT_TRUE(slot);
  EXPECT_EQ(model->at(1)->cells->formulaText(*slot, 1), "A1*4");
}

TEST_F(CellsTest, OverwritingACellReplacesItsKindAndValue) {
  sheet->setCellText(2, 2, "=1+1");
  sheet->setCellNumber(2, 2, 7);
  EXPECT_EQ(value(2, 2), calc::Value(7.0));
  sheet->setCellText(2, 2, "text");
  sheet->setCellText(2, 2, "=3*3");
  EXPECT_EQ(value(2, 2), calc::Value(9.0));
}

TEST_F(CellsTest, RowsAndColumnsOutsideTheSheetAreRefused) {
  for (auto [row, column] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {1048577, 1}, {1, 16385}, {-1, 1}}) {
    EXPECT_THROW(sheet->setCellNumber(row, column, 1), excel::AutomationError) << row << "," << column;
    EXPECT_THROW(sheet->setCellText(row, column, "=1"), excel::AutomationError) << row << "," << column;
  }
  sheet->setCellNumber(1048576, 16384, 3);
  EXPECT_EQ(value(1048576, 16384), calc::Value(3.0));
}

TEST_F(CellsTest, AFormulaThatDoesNotParseIsRefusedNamingTheCell) {
  sheet->setCellNumber(3, 2, 1);
  try {
    sheet->setCellText(3, 2, "=SIN(");
    FAIL() << "accepted a broken formula";
  } catch (const excel::AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("Sheet1!B3"), std::string::npos) << error.what();
  }
  EXPECT_EQ(value(3, 2), calc::Value(1.0));  // the old content stays
  EXPECT_THROW(sheet->setCellText(1, 1, "=1+"), excel::AutomationError);
  EXPECT_THROW(sheet->setCellText(1, 1, "="), excel::AutomationError);
}

TEST_F(CellsTest, UnknownNamesAndDomainErrorsAreErrorValues) {
  sheet->setCellText(1, 1, "=error");
  sheet->setCellText(2, 1, "=1/0");
  sheet->setCellText(3, 1, "=SQRT(-1)");
  EXPECT_EQ(value(1, 1), calc::Value(calc::ErrorCode::Name));
  EXPECT_EQ(value(2, 1), calc::Value(calc::ErrorCode::Div0));
  EXPECT_EQ(value(3, 1), calc::Value(calc::ErrorCode::Num));
}

TEST_F(CellsTest, ValuesFollowLaterWrites) {
  sheet->setCellNumber(1, 1, 1);
  sheet->setCellText(1, 2, "=A1+1");
  EXPECT_EQ(value(1, 2), calc::Value(2.0));
  sheet->setCellNumber(1, 1, 10);
  EXPECT_EQ(value(1, 2), calc::Value(11.0));
}

TEST_F(CellsTest, FormulasReadOtherSheetsAndSeeRefErrorsWhenTheyGo) {
  auto other = app->sheets()->item(2);
  other->setName("Data");
  other->setCellNumber(1, 1, 4);
  sheet->setCellText(1, 1, "=data!A1*2");
  sheet->setCellText(2, 1, "=Missing!A1");
  EXPECT_EQ(value(1, 1), calc::Value(8.0));
  EXPECT_EQ(value(2, 1), calc::Value(calc::ErrorCode::Ref));
  other->deleteSheet();
  EXPECT_EQ(value(1, 1), calc::Value(calc::ErrorCode::Ref));
}

TEST_F(CellsTest, ChainsDownAColumnAndCircularReferences) {
  sheet->setCellNumber(1, 1, 0);
  for (int row = 2; row <= 5000; ++row) sheet->setCellText(row, 1, "=A" + std::to_string(row - 1) + "+1");
  EXPECT_EQ(value(5000, 1), calc::Value(4999.0));
  sheet->setCellText(1, 2, "=C1+1");
  sheet->setCellText(1, 3, "=B1+1");
  // Every cell of a circle reads 0, as the spreadsheet shows it with iteration off; it must
  // end, not recurse forever.
  EXPECT_EQ(value(1, 2), calc::Value(0.0));
  EXPECT_EQ(value(1, 3), calc::Value(0.0));
}

TEST_F(CellsTest, LongChainsAndLongCirclesEndWithoutExhaustingTheStack) {
  constexpr int kRows = 100000;
  sheet->setCellNumber(1, 1, 1);
  for (int row = 2; row <= kRows; ++row) sheet->setCellText(row, 1, "=A" + std::to_string(row - 1) + "+1");
  EXPECT_EQ(value(kRows, 1), calc::Value(double(kRows)));  // read from the far end first
  // A circle of 1000 cells across two columns: each reads the next, the last the first.
  constexpr int kCircle = 1000;
  for (int i = 0; i < kCircle; ++i) {
    const int next = (i + 1) % kCircle;
    sheet->setCellText(i / 2 + 1, 2 + i % 2, "=" + core::cellName(next / 2 + 1, 2 + next % 2) + "+1");
  }
  const calc::Value circular = value(1, 2);
  ASSERT_TRUE(circular.isNumber());
  EXPECT_GE(circular.number(), 1.0);
  EXPECT_LE(circular.number(), double(kCircle));
}

TEST_F(CellsTest, ChartSheetsHaveNoCells) {
  auto chart = app->charts()->add();
  auto asSheet = app->sheets()->item(chart->name());
  EXPECT_THROW(asSheet->setCellNumber(1, 1, 1), excel::AutomationError);
  EXPECT_THROW(asSheet->range("A1"), excel::AutomationError);
}

TEST_F(CellsTest, WholeColumnsAreStoredDensely) {
  for (int row = 1; row <= 2001; ++row) sheet->setCellNumber(row, 3, row);
  const auto& cells = *model->at(1)->cells;
  EXPECT_EQ(cells.columnCount(), 3);
  EXPECT_EQ(cells.rowCount(3), 2001);
  EXPECT_EQ(cells.rowCount(1), 0);
  EXPECT_EQ(sizeof(core::CellSlot), 16u);
}

}  // namespace
