#pragma once
// Worker threads that deflate chunks, each with a compressor state of its own. Jobs finish
// in any order; callers keep the futures in order. Where no thread can be started (a process
// or memory limit), the chunks are deflated on the calling thread instead: fewer threads,
// the same bytes.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "xlsx/deflate_chunk.h"

namespace xlsx {

// Starts a thread running `body`; throws (std::system_error) when it cannot. Tests put a
// starter that fails in its place.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;
std::thread startThread(std::function<void()> body);

class CompressionPool {
 public:
  // `workers` 0: one per hardware thread. Throws std::runtime_error ("could not start a
  // worker thread: ...") only when neither a worker nor a compressor on the calling thread
  // can be had.
  explicit CompressionPool(unsigned workers = 0, int level = kDefaultLevel, const ThreadStarter& start = {});
  ~CompressionPool();
  CompressionPool(const CompressionPool&) = delete;
  CompressionPool& operator=(const CompressionPool&) = delete;

  // `input` and `dictionary` are moved into the job; see ChunkDeflater::deflate.
  std::future<DeflatedChunk> submit(std::string input, std::string dictionary, bool last);
  // A whole part made by `generate` on the worker that deflates it, so that its XML is
  // deflated where it was just written. `generate` may only read what nobody changes meanwhile.
  std::future<DeflatedChunk> submitGenerated(std::function<std::string()> generate);
  // Threads running; 0 when the chunks are deflated on the calling thread.
  unsigned workers() const { return static_cast<unsigned>(threads_.size()); }

 private:
  struct Job {
    std::string input;
    std::string dictionary;
    bool last = false;
    std::promise<DeflatedChunk> result;
    std::function<std::string()> generate{};  // set: makes the input, on the worker
  };
  void enqueue(Job job);
  void work(int level);
  void startWorkers(unsigned workers, int level, const ThreadStarter& start);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
  std::unique_ptr<ChunkDeflater> onCaller_;  // set when no worker started
};

}  // namespace xlsx
