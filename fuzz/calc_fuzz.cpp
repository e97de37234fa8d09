// Parses arbitrary bytes as a formula and evaluates what parses, over a sheet of mixed values.
// Any crash, sanitizer report, leak or uncaught exception is a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "calc/formula.h"

namespace {

// Cells whose value depends on the address: numbers of every scale, texts, booleans, errors
// and empties, so that coercion and error paths are all reachable.
class MixedSheet : public calc::EvalContext {
 public:
  calc::Value cell(const calc::CellRef& ref) const override {
    if (!ref.sheet.empty() && ref.sheet != "Data") return calc::ErrorCode::Ref;
    const std::uint32_t h = static_cast<std::uint32_t>(ref.row) * 31u + static_cast<std::uint32_t>(ref.column);
    if (ref.row > 64 || ref.column > 64) return calc::Value();
    switch (h % 9) {
      case 0: return calc::Value();
      case 1: return static_cast<double>(ref.row) - 7.5;
      case 2: return 1e300 * ((h & 1) ? 1 : -1);
      case 3: return 1e-300;
      case 4: return "12";
      case 5: return "text";
      case 6: return (h & 1) == 0;
      case 7: return static_cast<calc::ErrorCode>(h % 7);
      default: return static_cast<double>(h) / 3;
    }
  }
  calc::CellRef formulaCell() const override { return calc::CellRef{{}, 3, 3}; }
  calc::CellRef usedExtent(std::string_view sheet) const override { return {sheet, 64, 64}; }
  double random() const override { return 0.375; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = calc::parseFormula(text);
  if (auto* error = std::get_if<calc::ParseError>(&parsed)) {
    if (error->position > text.size()) __builtin_trap();  // a position must lie in the text
    return 0;
  }
  const calc::Value v = calc::evaluate(std::get<calc::Formula>(parsed), MixedSheet());
  if (v.isNumber() && !std::isfinite(v.number())) __builtin_trap();  // results are finite
  if (v.isEmpty()) __builtin_trap();  // an empty result shows as 0
  return 0;
}
