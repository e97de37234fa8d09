#pragma once
// Where RAND() draws from: each call gives a number with 0 <= r < 1. Injected into the workbook
// so that tests can seed it and the program can pass its own.
#include <functional>

namespace core {

using RandomSource = std::function<double()>;

// A source of its own, seeded from std::random_device.
RandomSource seededRandomSource();
// A reproducible source for tests and benchmarks.
RandomSource seededRandomSource(unsigned long long seed);

}  // namespace core
