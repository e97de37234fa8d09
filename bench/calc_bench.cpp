// Formula engine hot paths. Targets: parse + evaluate of a typical equation formula at least
// 2,000,000 times a second, evaluation of a parsed one at least 10,000,000 times a second, and
// at most 100 bytes of heap per parsed equation formula (BM_ParsedFormulaBytes).
// BM_NativeExpression computes the same expression in plain C++ as the baseline to compare with.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <vector>

#include "calc/formula.h"

// Every heap allocation of the program is counted, so that the bytes a parsed formula keeps
// are measured rather than estimated.
namespace {
std::size_t gAllocatedBytes = 0;
std::size_t gAllocations = 0;
}  // namespace

void* operator new(std::size_t bytes) {
  gAllocatedBytes += bytes;
  ++gAllocations;
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr const char* kEquation = "SIN(A1)+A1*EXP(-A1/5)";

// One numeric input cell, as the graphing run feeds x values.
class XContext : public calc::EvalContext {
 public:
  double x = 0.5;
  calc::Value cell(const calc::CellRef&) const override { return x; }
};

calc::Formula parsedOrThrow(const char* text) {
  auto parsed = calc::parseFormula(text);
  if (!std::holds_alternative<calc::Formula>(parsed)) throw std::runtime_error("parse failed");
  return std::move(std::get<calc::Formula>(parsed));
}

void BM_NativeExpression(benchmark::State& state) {
  double x = 0.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double y = std::sin(x) + x * std::exp(-x / 5);
    benchmark::DoNotOptimize(y);
    x += 1e-9;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NativeExpression);

// Evaluates one already parsed formula again and again, x moving a little each time.
void evaluateParsed(benchmark::State& state, const char* text) {
  const calc::Formula formula = parsedOrThrow(text);
  XContext context;
  for (auto _ : state) {
    calc::Value v = calc::evaluate(formula, context);
    benchmark::DoNotOptimize(v);
    context.x += 1e-9;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EvaluateParsed(benchmark::State& state) { evaluateParsed(state, kEquation); }
BENCHMARK(BM_EvaluateParsed);

void BM_ParseAndEvaluate(benchmark::State& state) {
  XContext context;
  for (auto _ : state) {
    auto parsed = calc::parseFormula(kEquation);
    calc::Value v = calc::evaluate(std::get<calc::Formula>(parsed), context);
    benchmark::DoNotOptimize(v);
    context.x += 1e-9;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseAndEvaluate);

void BM_ParseOnly(benchmark::State& state) {
  for (auto _ : state) {
    auto parsed = calc::parseFormula(kEquation);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseOnly);

// A formula with a branch, a comparison and a text-free function of two arguments.
void BM_EvaluateBranching(benchmark::State& state) {
  evaluateParsed(state, "IF(A1>0,ROUND(A1^2,3),-A1)+MOD(A1,0.7)");
}
BENCHMARK(BM_EvaluateBranching);

// Heap bytes and allocations each parsed formula keeps, over a mix of equation formulas, as the
// sheet stores them; memoryFootprint() is reported beside for comparison.
void BM_ParsedFormulaBytes(benchmark::State& state) {
  const char* const kEquations[] = {kEquation, "A1^2-3*A1+2", "SQRT(ABS(A1))*COS(2*PI()*A1)",
                                    "IF(A1>0,ROUND(A1^2,3),-A1)+MOD(A1,0.7)"};
  constexpr std::size_t kCount = 4000;
  double bytesPerFormula = 0, allocationsPerFormula = 0, footprint = 0;
  for (auto _ : state) {
    std::vector<calc::Formula> kept;
    kept.reserve(kCount);
    calc::parseFormula(kEquation);  // the function table is built once, outside the count
    const std::size_t bytesBefore = gAllocatedBytes, allocationsBefore = gAllocations;
    for (std::size_t i = 0; i < kCount; ++i) kept.push_back(parsedOrThrow(kEquations[i % 4]));
    bytesPerFormula = static_cast<double>(gAllocatedBytes - bytesBefore) / kCount;
    allocationsPerFormula = static_cast<double>(gAllocations - allocationsBefore) / kCount;
    footprint = 0;
    for (const calc::Formula& f : kept) footprint += static_cast<double>(f.memoryFootprint());
    footprint /= kCount;
    benchmark::DoNotOptimize(kept.data());
  }
  state.counters["heap_bytes_per_formula"] = bytesPerFormula;
  state.counters["allocations_per_formula"] = allocationsPerFormula;
  state.counters["footprint_bytes"] = footprint;
  state.counters["typical_equation_bytes"] =
      static_cast<double>(parsedOrThrow(kEquation).memoryFootprint());
}
BENCHMARK(BM_ParsedFormulaBytes)->Iterations(3);

// A chain of & over an 8-character text, as long as a formula allows: the text grows by 8
// characters per link. Linear building shows as BigO near N; copying the whole text at each
// link would show as N^2.
class TextContext : public calc::EvalContext {
 public:
  calc::Value cell(const calc::CellRef&) const override { return calc::Value(std::string("abcdefgh")); }
};

void BM_ConcatChain(benchmark::State& state) {
  std::string text = "A1";
  for (int64_t i = 1; i < state.range(0); ++i) text += "&A1";
  const calc::Formula formula = parsedOrThrow(text.c_str());
  const TextContext context;
  for (auto _ : state) benchmark::DoNotOptimize(calc::evaluate(formula, context));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ConcatChain)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Complexity();

}  // namespace

BENCHMARK_MAIN();
