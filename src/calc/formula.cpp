#include "calc/formula.h"

#include <charconv>
#include <ctime>
#include <new>

#include "parser.h"
#include "program.h"

namespace calc {

std::unique_ptr<Formula::Impl> Formula::Impl::create(std::string_view code, std::string_view text,
                                                     std::uint32_t maxStack, std::string_view rowSpans, bool movable,
                                                     std::unique_ptr<ProgramExtras> extras) {
  void* block = ::operator new(sizeof(Impl) + code.size() + text.size() + rowSpans.size());
  std::unique_ptr<Impl> impl(::new (block) Impl);
  impl->codeLength = static_cast<std::uint16_t>(code.size());
  impl->textLength = static_cast<std::uint16_t>(text.size());
  impl->maxStack = static_cast<std::uint16_t>(maxStack);
  impl->extras = extras.release();
  impl->rowSpanCount = static_cast<std::uint16_t>(rowSpans.size() / sizeof(RowSpan));
  impl->movable = movable ? 1 : 0;
  char* tail = reinterpret_cast<char*>(impl.get() + 1);
  if (!code.empty()) std::memcpy(tail, code.data(), code.size());
  if (!text.empty()) std::memcpy(tail + code.size(), text.data(), text.size());
  if (!rowSpans.empty()) std::memcpy(tail + code.size() + text.size(), rowSpans.data(), rowSpans.size());
  return impl;
}

Formula::Impl::~Impl() { delete extras; }

Formula::Formula() : impl_(Impl::create({}, {}, 0, {}, false, nullptr)) {}
Formula::~Formula() = default;
Formula::Formula(Formula&&) noexcept = default;
Formula& Formula::operator=(Formula&&) noexcept = default;
Formula::Formula(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::size_t Formula::memoryFootprint() const {
  if (!impl_) return 0;
  std::size_t bytes = impl_->bytes();
  if (const ProgramExtras* extras = impl_->extras) {
    bytes += sizeof(ProgramExtras);
    for (const auto& array : extras->arrays) bytes += sizeof(Array) + array->values.size() * sizeof(Value);
    for (const auto& name : extras->unknownFunctions) bytes += sizeof(std::string) + name.capacity();
  }
  return bytes;
}

std::variant<Formula, ParseError> parseFormula(std::string_view text) {
  auto compiled = compileFormula(text);
  if (auto* error = std::get_if<ParseError>(&compiled)) return std::move(*error);
  return Formula(std::move(std::get<std::unique_ptr<Formula::Impl>>(compiled)));
}

bool movedFormulaText(const Formula& formula, std::string_view text, std::int32_t rows, std::string& out) {
  const Formula::Impl& program = formula.impl();
  if (!program.movable) return false;
  out.clear();
  std::size_t copied = 0;
  for (std::size_t i = 0; i < program.rowSpanCount; ++i) {
    const RowSpan span = program.rowSpan(i);
    if (span.offset < copied || span.offset + span.length > text.size()) return false;  // not its text
    std::int32_t row = 0;
    const char* digits = text.data() + span.offset;
    if (std::from_chars(digits, digits + span.length, row).ptr != digits + span.length) return false;
    row += rows;
    if (row < 1 || row > kMaxRows) return false;
    out.append(text.substr(copied, span.offset - copied));
    char moved[12];
    out.append(moved, std::to_chars(moved, moved + sizeof moved, row).ptr);
    copied = span.offset + span.length;
  }
  out.append(text.substr(copied));
  return true;
}

const std::vector<std::string>& unknownFunctions(const Formula& formula) {
  static const std::vector<std::string> kNone;
  const ProgramExtras* extras = formula.impl().extras;
  return extras ? extras->unknownFunctions : kNone;
}

}  // namespace calc

namespace calc {

double EvalContext::now() const {
  // Local wall-clock time as days since 1899-12-30 (the serial epoch that keeps 1900's
  // fictitious leap day): the UNIX epoch is serial 25569.
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  const double localSeconds = static_cast<double>(seconds) + static_cast<double>(local.tm_gmtoff);
  return 25569.0 + localSeconds / 86400.0;
}

}  // namespace calc
