#include "picture_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace render {
namespace {

std::optional<std::uint64_t> systemMemoryAvailable() {
  std::ifstream info("/proc/meminfo");
  std::string key;
  std::uint64_t kilobytes = 0;
  std::string unit;
  while (info >> key >> kilobytes >> unit)
    if (key == "MemAvailable:") return kilobytes * 1024;
  return std::nullopt;
}

// Sizes from /proc/self/statm, in bytes: the whole address space and the data segment.
struct ProcessSizes {
  std::uint64_t addressSpace = 0;
  std::uint64_t data = 0;
};
ProcessSizes processSizes() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0, shared = 0, text = 0, library = 0, data = 0;
  statm >> size >> resident >> shared >> text >> library >> data;
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  return {size * page, data * page};
}

std::optional<std::uint64_t> headroom(int resource, std::uint64_t used) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

}  // namespace

std::optional<std::uint64_t> memoryAvailable() {
  const ProcessSizes sizes = processSizes();
  std::optional<std::uint64_t> least;
  for (const auto& bound :
       {systemMemoryAvailable(), headroom(RLIMIT_AS, sizes.addressSpace), headroom(RLIMIT_DATA, sizes.data)})
    if (bound) least = least ? std::min(*least, *bound) : *bound;
  return least;
}

std::uint64_t rasterPictureBytes(int width, int height) {
  const std::uint64_t image = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
  return image + image / 4;  // a chart's PNG is far smaller than its pixels; this leaves room
}

}  // namespace render
