#include "xlsx/compression_pool.h"

#include <algorithm>
#include <stdexcept>

namespace xlsx {

std::thread startThread(std::function<void()> body) { return std::thread(std::move(body)); }

CompressionPool::CompressionPool(unsigned workers, int level, const ThreadStarter& start) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  startWorkers(workers, level, start ? start : ThreadStarter(startThread));
}

// Threads that do not start are done without. Nothing may throw once one has started: the
// destructor would not run to join it.
void CompressionPool::startWorkers(unsigned workers, int level, const ThreadStarter& start) {
  threads_.reserve(workers);  // so that adding one never throws
  std::string failure;
  for (unsigned i = 0; i < workers; ++i) {
    try {
      std::thread thread = start([this, level] { work(level); });
      if (!thread.joinable()) throw std::runtime_error("the thread did not start");
      threads_.push_back(std::move(thread));
    } catch (const std::exception& error) {
      failure = error.what();
      break;
    }
  }
  if (!threads_.empty()) return;
  try {
    onCaller_ = std::make_unique<ChunkDeflater>(level);
  } catch (const std::exception& error) {
    throw std::runtime_error("could not start a worker thread: " + failure + "; " + error.what());
  }
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
  if (onCaller_) {
    try {
      job.result.set_value(onCaller_->deflate(job.input, job.dictionary, job.last));
    } catch (...) {
      job.result.set_exception(std::current_exception());
    }
    return future;
  }
  enqueue(std::move(job));
  return future;
}

std::future<DeflatedChunk> CompressionPool::submitGenerated(std::function<std::string()> generate) {
  if (onCaller_) return submit(generate(), {}, true);
  Job job{{}, {}, true, {}};
  job.generate = std::move(generate);
  auto future = job.result.get_future();
  enqueue(std::move(job));
  return future;
}

void CompressionPool::enqueue(Job job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

// A worker whose compressor cannot be set up (out of memory) fails the jobs it takes, with
// the reason, rather than ending the program.
void CompressionPool::work(int level) {
  std::unique_ptr<ChunkDeflater> deflater;
  std::exception_ptr broken;
  try {
    deflater = std::make_unique<ChunkDeflater>(level);
  } catch (...) {
    broken = std::current_exception();
  }
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
      if (!deflater) std::rethrow_exception(broken);
      if (job.generate) job.input = job.generate();
      job.result.set_value(deflater->deflate(job.input, job.dictionary, job.last));
    } catch (...) {
      job.result.set_exception(std::current_exception());
    }
  }
}

}  // namespace xlsx
