#pragma once
// Small doubles of the desktop seams: launcher, event pump, clock and random numbers.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/clock.h"
#include "platform/error_report.h"
#include "platform/event_pump.h"
#include "platform/launcher.h"

namespace testing_support {

class RecordingLauncher : public platform::Launcher {
 public:
  bool openUrl(const QString& url) override {
    urls.push_back(url);
    return succeed;
  }
  bool startDetached(const QString& program, const QStringList& arguments) override {
    programs.push_back(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
    return succeed;
  }
  std::vector<QString> urls;
  std::vector<QString> programs;
  bool succeed = true;
};

// Counts the yields and runs a hook at each, so a test can act in the middle of a long run.
class HookPump : public platform::EventPump {
 public:
  void yield() override {
    ++yields;
    if (hook) hook(yields);
  }
  int yields = 0;
  std::function<void(int)> hook;
};

class FixedClock : public platform::Clock {
 public:
  int secondsSinceMidnight() override { return seconds; }
  int seconds = 0;
};

// Hands out the given values in turn (the last one again when they run out).
class ScriptedRandom : public platform::Random {
 public:
  void seed(unsigned value) override { seeds.push_back(value); }
  double next() override {
    const double value = values.empty() ? 0.0 : values[std::min(drawn, values.size() - 1)];
    ++drawn;
    return value;
  }
  std::vector<double> values;
  std::vector<unsigned> seeds;
  size_t drawn = 0;
};

}  // namespace testing_support
