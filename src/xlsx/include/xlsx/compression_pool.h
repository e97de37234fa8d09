#pragma once
// Worker threads that deflate chunks, each with a compressor state of its own. Jobs finish
// in any order; callers keep the futures in order.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "xlsx/deflate_chunk.h"

namespace xlsx {

class CompressionPool {
 public:
  // `workers` 0: one per hardware thread.
  explicit CompressionPool(unsigned workers = 0, int level = kDefaultLevel);
  ~CompressionPool();
  CompressionPool(const CompressionPool&) = delete;
  CompressionPool& operator=(const CompressionPool&) = delete;

  // `input` and `dictionary` are moved into the job; see ChunkDeflater::deflate.
  std::future<DeflatedChunk> submit(std::string input, std::string dictionary, bool last);
  unsigned workers() const { return static_cast<unsigned>(threads_.size()); }

 private:
  struct Job {
    std::string input;
    std::string dictionary;
    bool last = false;
    std::promise<DeflatedChunk> result;
  };
  void work(int level);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace xlsx
