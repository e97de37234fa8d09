#include "output/system_calls.h"

#include <unistd.h>

namespace output {
namespace {

SystemCalls& current() {
  static SystemCalls calls{[](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
                           [](int fd) { return ::fsync(fd); }};
  return calls;
}

}  // namespace

const SystemCalls& systemCalls() { return current(); }

ScopedSystemCalls::ScopedSystemCalls(SystemCalls calls) : previous_(current()) {
  if (calls.write) current().write = std::move(calls.write);
  if (calls.fsync) current().fsync = std::move(calls.fsync);
}

ScopedSystemCalls::~ScopedSystemCalls() { current() = std::move(previous_); }

}  // namespace output
