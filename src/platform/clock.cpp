#include "platform/clock.h"

#include <QTime>

namespace platform {

int SystemClock::secondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000; }

double StdRandom::next() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

}  // namespace platform
