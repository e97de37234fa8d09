#pragma once
// The one way a long operation lets the window breathe.
#include <QElapsedTimer>

namespace platform {

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void yield() = 0;
};

// Processes pending window events, but at most once every few milliseconds: yielding before
// every cell then costs next to nothing while the window still answers promptly.
class QtEventPump : public EventPump {
 public:
  explicit QtEventPump(int minimumIntervalMs = 5);
  void yield() override;

 private:
  QElapsedTimer sinceLast_;
  int minimumIntervalMs_;
};

}  // namespace platform
