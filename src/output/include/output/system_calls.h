#pragma once
// The system calls through which output files reach the disk. Tests put failing ones in their
// place (a write that stops after some bytes with ENOSPC, an fsync that reports EIO) to reach the
// product's failure paths without a full disk.
#include <sys/types.h>

#include <cstddef>
#include <functional>

namespace output {

struct SystemCalls {
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
  std::function<int(int fd)> fsync;
};

// The calls in use: ::write and ::fsync unless a test replaced them.
const SystemCalls& systemCalls();

// Replaces the calls for its lifetime (a test's), then puts the previous ones back.
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(SystemCalls calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  SystemCalls previous_;
};

}  // namespace output
