#pragma once
// One part of the package written as XML into a buffer that is cut into chunks as it grows;
// the chunks are deflated on the pool's threads while the next one is being generated, and
// written to the archive in order. At most a few chunks are in flight, so memory stays flat
// however large the part.
#include <cstdint>
#include <deque>
#include <future>
#include <string>
#include <string_view>

#include "xlsx/compression_pool.h"
#include "xlsx/xml_buffer.h"
#include "xlsx/zip_archive.h"

namespace xlsx {

class PartStream {
 public:
  static constexpr std::size_t kChunkSize = 256 * 1024;

  // `sizeBound`: the most bytes the part can have (see ZipArchive::beginEntry).
  PartStream(ZipArchive& archive, CompressionPool& pool, std::string_view name,
             std::uint64_t sizeBound = ZipArchive::kNoBound);
  PartStream(const PartStream&) = delete;
  PartStream& operator=(const PartStream&) = delete;

  // The XML goes here; call flushIfFull() between elements.
  XmlBuffer& xml() { return buffer_; }
  void flushIfFull() {
    if (buffer_.size() >= kChunkSize) submitChunk(false);
  }
  // The last chunk, the rest of the deflated data and the entry's data descriptor.
  void finish();

 private:
  void submitChunk(bool last);
  void writeOldest();

  ZipArchive& archive_;
  CompressionPool& pool_;
  XmlBuffer buffer_;
  std::string previousTail_;  // the dictionary for the next chunk
  std::deque<std::future<DeflatedChunk>> inFlight_;
  std::size_t maxInFlight_;
  std::uint32_t crc_ = 0;
  std::uint64_t size_ = 0;
};

// A small part in one piece, compressed on the calling thread.
void addWholePart(ZipArchive& archive, std::string_view name, std::string_view xml);

}  // namespace xlsx
