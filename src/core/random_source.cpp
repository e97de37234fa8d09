#include "core/random_source.h"

#include <memory>
#include <random>

namespace core {

RandomSource seededRandomSource(unsigned long long seed) {
  auto engine = std::make_shared<std::mt19937_64>(seed);
  return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

RandomSource seededRandomSource() { return seededRandomSource(std::random_device{}()); }

}  // namespace core
