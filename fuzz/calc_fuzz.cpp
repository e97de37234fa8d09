// Parses arbitrary bytes as a formula and computes it in a workbook of the core, over sheets of
// mixed values, the way the program computes its cells. Any crash, sanitizer report, leak or
// uncaught exception is a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "calc/formula.h"
#include "core/storable_text.h"
#include "core/workbook_model.h"

namespace {

constexpr std::int32_t kSide = 64;

// Values that depend on the address: numbers of every scale, texts, booleans, errors and
// empties, so that coercion and error paths are all reachable.
calc::Value mixedValue(std::int32_t row, std::int32_t column) {
  const std::uint32_t h = static_cast<std::uint32_t>(row) * 31u + static_cast<std::uint32_t>(column);
  switch (h % 9) {
    case 0: return calc::Value();
    case 1: return static_cast<double>(row) - 7.5;
    case 2: return 1e300 * ((h & 1) ? 1 : -1);
    case 3: return 1e-300;
    case 4: return "12";
    case 5: return "text";
    case 6: return (h & 1) == 0;
    case 7: return static_cast<calc::ErrorCode>(h % 7);
    default: return static_cast<double>(h) / 3;
  }
}

// Sheet1 (where the input goes, at C3) and Data, both filled; a few formulas among the values
// so that reading a formula cell computes it. RAND() is constant, so that a value computed twice
// can be compared.
core::WorkbookModel& workbook() {
  static const std::unique_ptr<core::WorkbookModel> model = [] {
    auto m = std::make_unique<core::WorkbookModel>(2, [] { return 0.375; });
    m->rename(*m->at(2), "Data");
    for (int position = 1; position <= 2; ++position)
      for (std::int32_t row = 1; row <= kSide; ++row)
        for (std::int32_t column = 1; column <= kSide; ++column)
          m->setValue(*m->at(position), row, column, mixedValue(row, column));
    m->setText(*m->at(1), 4, 4, "=A1*2+Data!B2");
    m->setText(*m->at(2), 5, 5, "=RAND()");
    m->setText(*m->at(2), 6, 6, "=SUM(Sheet1!C:C)");
    return m;
  }();
  return *model;
}

// The formula at C3 filled down to C4: C4 shares C3's compiled formula, computed moved by a
// row. Written again with C3 holding something else, C4 parses its text afresh. Both must show
// the same text and give the same value.
void checkFilledDown(core::WorkbookModel& model, core::SheetNode& sheet, std::string_view text) {
  const core::WorksheetCells& cells = *sheet.cells;
  const core::CellSlot& top = *cells.slot(3, 3);
  std::string moved;
  if (!calc::movedFormulaText(cells.group(top).formula, text, 1, moved)) return;
  const std::string formula = "=" + moved;
  model.setText(sheet, 4, 3, formula);
  const core::CellSlot& below = *cells.slot(4, 3);
  if (below.index != top.index || cells.formulaText(below, 4) != moved) __builtin_trap();
  const calc::Value shared = model.value(sheet, 4, 3);

  model.setNumber(sheet, 3, 3, 0);
  model.setText(sheet, 4, 3, formula);
  model.setText(sheet, 3, 3, "=" + std::string(text));
  if (cells.slot(4, 3)->index == cells.slot(3, 3)->index) __builtin_trap();
  if (!(model.value(sheet, 4, 3) == shared)) __builtin_trap();
  model.setValue(sheet, 4, 3, mixedValue(4, 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = calc::parseFormula(text);
  if (auto* error = std::get_if<calc::ParseError>(&parsed)) {
    if (error->position > text.size()) __builtin_trap();  // a position must lie in the text
    return 0;
  }
  core::WorkbookModel& model = workbook();
  core::SheetNode& sheet = *model.at(1);
  if (core::unstorableCharacter(text)) {
    // The workbook file could not hold it: the write is refused, and nothing is stored.
    try {
      model.setText(sheet, 3, 3, "=" + std::string(text));
    } catch (const core::WorkbookError&) {
      return 0;
    }
    __builtin_trap();
  }
  model.setText(sheet, 3, 3, "=" + std::string(text));  // parses as above: no refusal
  const calc::Value v = model.value(sheet, 3, 3);
  if (v.isNumber() && !std::isfinite(v.number())) __builtin_trap();  // results are finite
  if (v.isEmpty()) __builtin_trap();  // an empty result shows as 0
  checkFilledDown(model, sheet, text);
  return 0;
}
