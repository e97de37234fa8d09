#pragma once
// Every formula value the package shows, computed on a thread of its own while the parts are
// written, in the order a writer computing each value as it reaches it would compute them:
// sheet by sheet in the workbook's order, a chart sheet's caches one after the other (each row
// by row), a worksheet's formulas column by column. So RAND() draws the same numbers, and the
// same circles are found, however the threads are timed: one thread computes, in one order;
// the writer's threads only read values once their stage is complete.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "chart_part.h"
#include "package_plan.h"
#include "xlsx/compression_pool.h"

namespace xlsx {

class ValueCompletion {
 public:
  // Starts computing; where no thread starts, each stage is computed when it is awaited.
  ValueCompletion(const core::WorkbookModel& model, const PackagePlan& plan, const ThreadStarter& start);
  ~ValueCompletion();  // stops the computing thread, if it still runs
  ValueCompletion(const ValueCompletion&) = delete;
  ValueCompletion& operator=(const ValueCompletion&) = delete;

  // The stages of plan.sheets[i]: one per cache of a chart (in chartCaches order), one for a
  // worksheet. `firstStage(i + 1)` is one past the last of sheet i.
  std::size_t firstStage(std::size_t planIndex) const { return firstStage_[planIndex]; }
  // Returns once stages up to and including `stage` are computed; rethrows a failure of the
  // computing (out of memory).
  void await(std::size_t stage);
  void awaitSheet(std::size_t planIndex) {
    if (firstStage(planIndex + 1) > firstStage(planIndex)) await(firstStage(planIndex + 1) - 1);
  }

 private:
  struct Stage {
    const core::SheetNode* sheet;
    core::CellBlock block;  // a cache's cells; for a worksheet, every cell
    bool byColumns;         // a worksheet's order: column by column
  };
  void computeStage(const Stage& stage);
  void computeAll();

  const core::WorkbookModel& model_;
  std::vector<Stage> stages_;
  std::vector<std::size_t> firstStage_;
  std::mutex mutex_;
  std::condition_variable progress_;
  std::size_t done_ = 0;  // stages computed
  std::exception_ptr failure_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace xlsx
