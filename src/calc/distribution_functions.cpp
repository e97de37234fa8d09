// Probability distributions, their inverses and the tests built on them, gathered from the
// files that hold each kind.
#include <vector>

#include "distribution_support.h"

namespace calc {

std::span<const FunctionSpec> distributionFunctions() {
  static const std::vector<FunctionSpec> all = [] {
    std::vector<FunctionSpec> joined;
    for (auto part : {distribution::continuousDistributionFunctions(), distribution::samplingDistributionFunctions(),
                      distribution::discreteDistributionFunctions(), distribution::hypothesisTestFunctions()})
      joined.insert(joined.end(), part.begin(), part.end());
    return joined;
  }();
  return all;
}

}  // namespace calc
