#include "xlsx/part_stream.h"

#include <algorithm>

namespace xlsx {
namespace {

constexpr std::size_t kDictionary = 32768;

}  // namespace

PartStream::PartStream(ZipArchive& archive, CompressionPool& pool, std::string_view name, std::uint64_t sizeBound)
    : archive_(archive), pool_(pool), maxInFlight_(2 * pool.workers() + 1) {
  archive_.beginEntry(name, sizeBound);
  buffer_.bytes().reserve(kChunkSize + kChunkSize / 4);
}

void PartStream::submitChunk(bool last) {
  std::string chunk;
  chunk.reserve(kChunkSize + kChunkSize / 4);
  chunk.swap(buffer_.bytes());
  std::string dictionary = std::move(previousTail_);
  const std::size_t tail = std::min(chunk.size(), kDictionary);
  previousTail_.assign(chunk, chunk.size() - tail, tail);
  inFlight_.push_back(pool_.submit(std::move(chunk), std::move(dictionary), last));
  while (inFlight_.size() > maxInFlight_) writeOldest();
}

void PartStream::writeOldest() {
  const DeflatedChunk chunk = inFlight_.front().get();
  inFlight_.pop_front();
  crc_ = size_ == 0 ? chunk.crc : combineCrc(crc_, chunk.crc, chunk.inputSize);
  size_ += chunk.inputSize;
  archive_.appendData(chunk.bytes);
}

void PartStream::finish() {
  submitChunk(true);
  while (!inFlight_.empty()) writeOldest();
  archive_.endEntry(crc_, size_);
}

void addWholePart(ZipArchive& archive, std::string_view name, std::string_view xml) {
  thread_local ChunkDeflater deflater;
  const DeflatedChunk deflated = deflater.deflate(xml, {}, true);
  archive.addEntry(name, deflated.bytes, deflated.crc, deflated.inputSize);
}

}  // namespace xlsx
