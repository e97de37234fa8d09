#include "sheets/calc/formula.h"

#include "sheets/calc/parser.h"
#include "sheets/calc/program.h"

namespace calc {

Formula::Formula() : impl_(std::make_unique<Impl>()) {}
Formula::~Formula() = default;
Formula::Formula(Formula&&) noexcept = default;
Formula& Formula::operator=(Formula&&) noexcept = default;
Formula::Formula(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::variant<Formula, ParseError> parseFormula(std::string_view text) {
  auto compiled = compileFormula(text);
  if (auto* error = std::get_if<ParseError>(&compiled)) return std::move(*error);
  return Formula(std::move(std::get<std::unique_ptr<Formula::Impl>>(compiled)));
}

const std::vector<std::string>& unknownFunctions(const Formula& formula) {
  return formula.impl().unknownFunctions;
}

}  // namespace calc
