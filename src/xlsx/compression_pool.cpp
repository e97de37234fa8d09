#include "xlsx/compression_pool.h"

namespace xlsx {

CompressionPool::CompressionPool(unsigned workers, int level) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this, level] { work(level); });
}

CompressionPool::~CompressionPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& thread : threads_) thread.join();
}

std::future<DeflatedChunk> CompressionPool::submit(std::string input, std::string dictionary, bool last) {
  Job job{std::move(input), std::move(dictionary), last, {}};
  auto future = job.result.get_future();
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
  return future;
}

void CompressionPool::work(int level) {
  ChunkDeflater deflater(level);
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;  // stopping, nothing left
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    try {
      job.result.set_value(deflater.deflate(job.input, job.dictionary, job.last));
    } catch (...) {
      job.result.set_exception(std::current_exception());
    }
  }
}

}  // namespace xlsx
