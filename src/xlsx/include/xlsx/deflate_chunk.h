#pragma once
// Raw deflate of a stream cut into chunks that are compressed independently (on any thread)
// and joined by plain concatenation: every chunk but the last ends in a full flush, so it
// ends on a byte boundary without closing the stream, and each chunk is primed with the
// 32 KiB of input before it, so the ratio stays that of one-piece compression. The CRC-32s
// of the chunks combine into the stream's. This is how parallel gzip tools work.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace xlsx {

struct DeflatedChunk {
  std::string bytes;
  std::uint32_t crc = 0;       // CRC-32 of the input
  std::uint64_t inputSize = 0;
};

// The deflater's own level: igzip's 0 to 3 where the writer is built with ISA-L, zlib's 0 to 9
// otherwise; others are refused. Level 1 of either: with filled-down formulas shared, the
// sheet XML is repetitive enough that the fastest level still gives smaller files than
// libxlsxwriter's level 6; igzip's level 1 is also a little smaller than zlib's.
inline constexpr int kDefaultLevel = 1;

// One compressor state, reused chunk after chunk (its set-up costs more than a small chunk).
class ChunkDeflater {
 public:
  // Throws std::runtime_error for a level the deflater does not have or when out of memory.
  explicit ChunkDeflater(int level = kDefaultLevel);
  ~ChunkDeflater();
  ChunkDeflater(const ChunkDeflater&) = delete;
  ChunkDeflater& operator=(const ChunkDeflater&) = delete;

  // `dictionary`: the input right before this chunk (its last 32 KiB are used), empty for the
  // first. `last`: the chunk ends the stream.
  DeflatedChunk deflate(std::string_view input, std::string_view dictionary, bool last);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The CRC-32 of two pieces one after the other, from theirs.
std::uint32_t combineCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondSize);

}  // namespace xlsx
