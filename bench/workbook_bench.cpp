// Formulas computed by the workbook core, as the program computes its sheets. Compare
// BM_SumWholeColumn with BM_SumBoundedRange: a whole column should cost what its used cells
// cost (ratio near 1), not what its 1,048,576 rows would.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/workbook_model.h"

namespace {

// A graphing-run column: 2,001 x values in A and an equation of each in B, all recomputed after
// every write.
void BM_EquationColumn(benchmark::State& state) {
  constexpr int kRows = 2001;
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& data = *model.at(1);
  for (int row = 1; row <= kRows; ++row) {
    model.setNumber(data, row, 1, -10 + row * 0.01);
    const std::string a = "A" + std::to_string(row);
    model.setText(data, row, 2, "=SIN(" + a + ")+" + a + "*EXP(-" + a + "/5)");
  }
  double x = 0;
  for (auto _ : state) {
    model.setNumber(data, 1, 1, x += 1e-9);
    for (int row = 1; row <= kRows; ++row) benchmark::DoNotOptimize(model.value(data, row, 2));
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_EquationColumn);

// 400 numbers in A and a sum of them in each of B1:B401.
void sumColumn(benchmark::State& state, const char* formula) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& data = *model.at(1);
  for (int row = 1; row <= 400; ++row) model.setNumber(data, row, 1, row);
  for (int row = 1; row <= 401; ++row) model.setText(data, row, 2, formula);
  double x = 1;
  for (auto _ : state) {
    model.setNumber(data, 1, 1, x += 1);
    for (int row = 1; row <= 401; ++row) benchmark::DoNotOptimize(model.value(data, row, 2));
  }
  state.SetItemsProcessed(state.iterations() * 401);
}

void BM_SumWholeColumn(benchmark::State& state) { sumColumn(state, "=SUM(A:A)"); }
void BM_SumBoundedRange(benchmark::State& state) { sumColumn(state, "=SUM(A$1:A$400)"); }
BENCHMARK(BM_SumWholeColumn);
BENCHMARK(BM_SumBoundedRange);

// A full column of x values (1,048,575 rows) and a formula of each filled down beside it,
// computed once: `SUM(A:A)+x` against `x` alone. The sum is the same for every row, so it is
// computed once and the ratio of the two should stay near 1 (at most 2), not grow with the rows.
void fullColumn(benchmark::State& state, const std::string& formula) {
  constexpr int kRows = 1048575;
  for (auto _ : state) {
    state.PauseTiming();
    auto model = std::make_unique<core::WorkbookModel>(1, core::seededRandomSource(1));
    core::SheetNode& data = *model->at(1);
    for (int row = 1; row <= kRows; ++row) {
      const std::string a = "A" + std::to_string(row);
      model->setNumber(data, row, 1, row * 0.001);
      std::string text = formula;
      for (std::size_t at = text.find('x'); at != std::string::npos; at = text.find('x', at + a.size()))
        text.replace(at, 1, a);
      model->setText(data, row, 2, text);
    }
    state.ResumeTiming();
    for (int row = 1; row <= kRows; ++row) benchmark::DoNotOptimize(model->value(data, row, 2));
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FullColumnOfX(benchmark::State& state) { fullColumn(state, "=x"); }
void BM_FullColumnOfSumPlusX(benchmark::State& state) { fullColumn(state, "=SUM(A:A)+x"); }
BENCHMARK(BM_FullColumnOfX)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullColumnOfSumPlusX)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
