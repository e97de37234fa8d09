// The texts of a worksheet's cells: a text no cell holds any more is freed, and its slot given to
// a later text never disturbs the texts other cells hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <utility>

#include "core/workbook_model.h"

namespace {

using calc::Value;

class TextPool : public ::testing::Test {
 protected:
  core::WorkbookModel model{1, core::seededRandomSource(1)};
  core::SheetNode& sheet = *model.at(1);
  const core::WorksheetCells& cells() const { return *sheet.cells; }
  std::string textAt(int row, int column) const {
    const core::CellSlot* slot = cells().slot(row, column);
    if (!slot || slot->kind != core::CellKind::Text) return "(not a text)";
    return cells().text(*slot);
  }
};

TEST_F(TextPool, OneCellGivenALongTextAndThenANumberOverAndOverKeepsOneSlot) {
  const std::string text(1000, 'w');
  for (int i = 0; i < 200000; ++i) {
    model.setText(sheet, 1, 1, text);
    model.setNumber(sheet, 1, 1, i);
  }
  EXPECT_EQ(cells().textSlots(), 1u);
  EXPECT_EQ(cells().textsHeld(), 0u);
  EXPECT_EQ(model.value(sheet, 1, 1), Value(199999.0));
}

// Every write that can take a text cell's place frees the text.
struct Overwrite {
  const char* name;
  std::function<void(core::WorkbookModel&, core::SheetNode&)> write;
};
void PrintTo(const Overwrite& overwrite, std::ostream* out) { *out << overwrite.name; }

class EachOverwrite : public TextPool, public ::testing::WithParamInterface<Overwrite> {};

TEST_P(EachOverwrite, FreesTheTextItReplaces) {
  for (int round = 0; round < 1000; ++round) {
    model.setText(sheet, 2, 1, "text of round " + std::to_string(round));
    GetParam().write(model, sheet);
    const core::CellSlot* slot = cells().slot(2, 1);
    ASSERT_TRUE(!slot || slot->kind != core::CellKind::Text) << "round " << round;
  }
  EXPECT_EQ(cells().textsHeld(), 0u);
  EXPECT_EQ(cells().textSlots(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, EachOverwrite,
    ::testing::Values(
        Overwrite{"Number", [](auto& m, auto& s) { m.setNumber(s, 2, 1, 7); }},
        Overwrite{"Boolean", [](auto& m, auto& s) { m.setValue(s, 2, 1, Value(true)); }},
        Overwrite{"Error", [](auto& m, auto& s) { m.setValue(s, 2, 1, Value(calc::ErrorCode::NA)); }},
        Overwrite{"Empty", [](auto& m, auto& s) { m.setValue(s, 2, 1, Value()); }},
        Overwrite{"Formula", [](auto& m, auto& s) { m.setText(s, 2, 1, "=1+1"); }},
        // Recognised as the formula above filled down, without a parse of its own.
        Overwrite{"FilledDownFormula",
                  [](auto& m, auto& s) {
                    m.setText(s, 1, 1, "=B1*2");
                    m.setText(s, 2, 1, "=B2*2");
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextPool, ATextWrittenOverATextTakesNoSecondSlot) {
  for (int round = 0; round < 1000; ++round) model.setText(sheet, 1, 1, std::string(round % 50 + 1, 'a'));
  EXPECT_EQ(cells().textSlots(), 1u);
  EXPECT_EQ(textAt(1, 1), std::string(50, 'a'));
}

TEST_F(TextPool, CellsWithTheSameTextKeepItWhenOneOfThemIsOverwritten) {
  for (int row = 1; row <= 4; ++row) model.setText(sheet, row, 1, "shared");
  model.setText(sheet, 5, 1, "own");
  model.setNumber(sheet, 2, 1, 2);
  model.setText(sheet, 6, 1, "newcomer");  // takes the slot row 2 left
  model.setText(sheet, 3, 1, "changed");
  model.setValue(sheet, 4, 1, Value());
  model.setText(sheet, 7, 1, "late");  // takes the slot row 4 left
  EXPECT_EQ(textAt(1, 1), "shared");
  EXPECT_EQ(model.value(sheet, 2, 1), Value(2.0));
  EXPECT_EQ(textAt(3, 1), "changed");
  EXPECT_EQ(cells().slot(4, 1), nullptr);
  EXPECT_EQ(textAt(5, 1), "own");
  EXPECT_EQ(textAt(6, 1), "newcomer");
  EXPECT_EQ(textAt(7, 1), "late");
  EXPECT_EQ(cells().textsHeld(), 5u);
  EXPECT_EQ(cells().textSlots(), 5u);
}

// Random writes over a small block against a plain map of what each cell should hold: every cell
// reads its own text after each write, and the pool never outgrows the texts held at once.
TEST_F(TextPool, RandomWritesLeaveEveryCellItsOwnText) {
  std::mt19937 draw(12345);
  std::map<std::pair<int, int>, std::string> expected;
  std::size_t mostHeld = 0;
  for (int step = 0; step < 20000; ++step) {
    const int row = static_cast<int>(draw() % 4) + 1, column = static_cast<int>(draw() % 4) + 1;
    switch (draw() % 4) {
      case 0:
        model.setNumber(sheet, row, column, step);
        expected.erase({row, column});
        break;
      case 1:
        model.setText(sheet, row, column, std::string("=").append(std::to_string(step)));
        expected.erase({row, column});
        break;
      default: {
        const std::string text = std::to_string(step).append(draw() % 40, 'x');
        model.setText(sheet, row, column, text);
        expected[{row, column}] = text;
      }
    }
    mostHeld = std::max(mostHeld, expected.size());
    ASSERT_EQ(cells().textsHeld(), expected.size()) << "step " << step;
    for (const auto& [cell, text] : expected)
      ASSERT_EQ(textAt(cell.first, cell.second), text) << "step " << step;
  }
  EXPECT_LE(cells().textSlots(), mostHeld);
}

}  // namespace
