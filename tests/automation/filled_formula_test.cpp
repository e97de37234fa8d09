// A column's formula written row by row as one filled-down formula (Sheet::setCellFormula)
// leaves every cell, and every failure, as the same rows written as texts would.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/engine_test_support.h"

namespace {

using engine_test::TestEngine;

struct Book {
  TestEngine engine;
  std::shared_ptr<automation::EngineApplication> app = engine.application(2);
  std::shared_ptr<excel::Sheet> sheet = app->sheets()->item(1);
  std::shared_ptr<core::WorkbookModel> model = app->activeWorkbook();
  const core::WorksheetCells& cells() const { return *model->at(1)->cells; }
};

// What one write did: the failure's text, or nothing.
using Outcomes = std::vector<std::string>;

template <class Write>
std::string attempt(Write&& write) {
  try {
    write();
    return {};
  } catch (const excel::AutomationError& error) {
    return error.what();
  }
}

// The formula column `column` written from `first` to `last` in both books, x values in column 1.
void writeBoth(Book& texts, Book& formulas, const excel::FilledFormula& formula, int column, int first, int last,
               Outcomes* textOutcomes = nullptr, Outcomes* formulaOutcomes = nullptr) {
  for (int row = first; row <= last; ++row) {
    texts.sheet->setCellNumber(row, 1, row * 0.25);
    formulas.sheet->setCellNumber(row, 1, row * 0.25);
    const std::string a = attempt([&] { texts.sheet->setCellText(row, column, formula.text(row)); });
    const std::string b = attempt([&] { formulas.sheet->setCellFormula(row, column, formula); });
    if (textOutcomes) textOutcomes->push_back(a);
    if (formulaOutcomes) formulaOutcomes->push_back(b);
  }
}

// Every cell the same: kind, formula text, which cells share a formula, value.
void expectSameCells(const Book& a, const Book& b, int columns, int rows) {
  for (int column = 1; column <= columns; ++column) {
    ASSERT_EQ(a.cells().rowCount(column), b.cells().rowCount(column)) << "column " << column;
    for (int row = 1; row <= rows; ++row) {
      const core::CellSlot x = a.cells().cell(row, column), y = b.cells().cell(row, column);
      ASSERT_EQ(x.kind, y.kind) << row << "," << column;
      if (x.kind != core::CellKind::Formula) continue;
      ASSERT_EQ(a.cells().formulaText(x, row), b.cells().formulaText(y, row)) << row << "," << column;
      if (row > 1) {
        const core::CellSlot above = a.cells().cell(row - 1, column);
        const core::CellSlot aboveToo = b.cells().cell(row - 1, column);
        EXPECT_EQ(above.kind == x.kind && above.index == x.index, aboveToo.kind == y.kind && aboveToo.index == y.index)
            << "shared with the cell above: " << row << "," << column;
      }
      EXPECT_EQ(a.model->value(*a.model->at(1), row, column), b.model->value(*b.model->at(1), row, column))
          << row << "," << column;
    }
  }
}

TEST(FilledFormula, ColumnsWrittenAsOneFormulaMatchTheirTexts) {
  // Pieces and the x column's letters, as the graphing run makes them.
  const std::vector<excel::FilledFormula> formulas{
      {{"SIN(", ")+", ""}, "A"},        // filled down
      {{"", "+B$1"}, "A"},              // a fixed cell beside x: still filled down
      {{"", "+B1"}, "A"},               // a relative cell that does not move with x: each row apart
      {{"\"", "+\"&", ""}, "A"},        // x inside a text: the text does not move
      {{"ERROR"}, "A"},                 // no x at all
      {{"SUM(1:1)+", ""}, "A"},         // a whole row cannot be moved: each row apart
      {{"A1:", ""}, "A"},               // a range whose other end stays
  };
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    Book texts, written;
    writeBoth(texts, written, formulas[i], 3, 1, 30);
    expectSameCells(texts, written, 3, 30);
    EXPECT_EQ(texts.cells().formulaCellCount(), written.cells().formulaCellCount()) << "formula " << i;
  }
}

TEST(FilledFormula, WritesInTheMiddleOfAColumnAndOverOtherCellsMatchTheirTexts) {
  Book texts, written;
  const excel::FilledFormula sine{{"SIN(", ")"}, "A"}, square{{"", "*", ""}, "A"};
  writeBoth(texts, written, sine, 2, 1, 20);
  // Another formula over rows 5 to 12, then the first again from row 9 down: the writes
  // switch formulas within the column and go over cells already written.
  writeBoth(texts, written, square, 2, 5, 12);
  writeBoth(texts, written, sine, 2, 9, 25);
  // A column started below row 1, and one started over a text.
  texts.sheet->setCellText(3, 4, "words");
  written.sheet->setCellText(3, 4, "words");
  writeBoth(texts, written, sine, 4, 3, 15);
  expectSameCells(texts, written, 4, 25);
}

TEST(FilledFormula, AFormulaThatGrowsTooLongIsRefusedAtTheSameRowWithTheSameMessage) {
  // 8192 characters is the most a formula may have, "=" aside: this one has 8192 at row 9 and
  // 8194 at row 10, where each of its two references gains a digit.
  const std::string padding(8192 - 7, ' ');
  const excel::FilledFormula formula{{"", "+" + padding + "1*", ""}, "A"};
  ASSERT_EQ(formula.textLength(9), 8193u);
  Book texts, written;
  Outcomes textOutcomes, formulaOutcomes;
  writeBoth(texts, written, formula, 2, 1, 12, &textOutcomes, &formulaOutcomes);
  EXPECT_EQ(formulaOutcomes, textOutcomes);
  EXPECT_TRUE(formulaOutcomes[8].empty());
  EXPECT_FALSE(formulaOutcomes[9].empty());
  expectSameCells(texts, written, 2, 12);
}

TEST(FilledFormula, FailuresAreTheTextsFailures) {
  Book texts, written;
  Outcomes textOutcomes, formulaOutcomes;
  writeBoth(texts, written, excel::FilledFormula{{"SIN(", ")+)"}, "A"}, 2, 1, 3, &textOutcomes, &formulaOutcomes);
  EXPECT_EQ(formulaOutcomes, textOutcomes);
  EXPECT_NE(formulaOutcomes[0].find("is not valid"), std::string::npos);
  // Past the last row, and on a sheet deleted half way down the column.
  const excel::FilledFormula sine{{"SIN(", ")"}, "A"};
  const std::string lastRow = attempt([&] { written.sheet->setCellFormula(1048577, 2, sine); });
  EXPECT_EQ(lastRow, attempt([&] { texts.sheet->setCellText(1048577, 2, sine.text(1048577)); }));
  EXPECT_FALSE(lastRow.empty());
  writeBoth(texts, written, sine, 4, 1, 5);
  texts.sheet->deleteSheet();
  written.sheet->deleteSheet();
  const std::string gone = attempt([&] { written.sheet->setCellFormula(6, 4, sine); });
  EXPECT_EQ(gone, attempt([&] { texts.sheet->setCellText(6, 4, sine.text(6)); }));
  EXPECT_FALSE(gone.empty());
}

TEST(FilledFormula, AFilledDownColumnIsStoredCompactly) {
  Book book;
  const excel::FilledFormula formula{{"SIN(", ")+", ""}, "A"};
  for (int row = 1; row <= 1000; ++row) {
    book.sheet->setCellNumber(row, 1, row);
    book.sheet->setCellFormula(row, 2, formula);
  }
  EXPECT_EQ(book.cells().formulaCellCount(), 1000u);
  EXPECT_EQ(book.cells().group(book.cells().cell(1000, 2)).cells, 1000u);
  EXPECT_EQ(book.cells().formulaText(book.cells().cell(1000, 2), 1000), "SIN(A1000)+A1000");
  const calc::Value seven = book.model->value(*book.model->at(1), 7, 2);
  ASSERT_TRUE(seven.isNumber());
  EXPECT_NEAR(seven.number(), std::sin(7.0) + 7, 1e-12);
}

}  // namespace
