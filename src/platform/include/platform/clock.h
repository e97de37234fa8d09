#pragma once
// Time of day and random numbers, injectable so that draws can be tested for every outcome.
#include <random>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int secondsSinceMidnight() = 0;
};

class Random {
 public:
  virtual ~Random() = default;
  virtual void seed(unsigned value) = 0;
  virtual double next() = 0;  // 0 <= r < 1
};

class SystemClock : public Clock {
 public:
  int secondsSinceMidnight() override;
};

class StdRandom : public Random {
 public:
  void seed(unsigned value) override { engine_.seed(value); }
  double next() override;

 private:
  std::mt19937 engine_{1};
};

}  // namespace platform
