#include "graphing/run_outcome.h"

#include <algorithm>

namespace graphing {

int RunOutcome::count(EquationStatus status) const {
  return static_cast<int>(
      std::count_if(equations.begin(), equations.end(), [&](const EquationOutcome& e) { return e.status == status; }));
}

bool RunOutcome::clean() const {
  return end == RunEnd::Finished && handOver.handedOver && failures.empty() && count(EquationStatus::LeftOut) == 0;
}

}  // namespace graphing
