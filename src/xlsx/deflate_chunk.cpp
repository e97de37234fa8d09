// ChunkDeflater on zlib, where the writer is built without ISA-L (igzip_chunk.cpp); the
// CRC-32 combination is zlib's in either build.
#include "xlsx/deflate_chunk.h"

#include <zlib.h>

#include <stdexcept>

namespace xlsx {

std::uint32_t combineCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondSize) {
  return static_cast<std::uint32_t>(crc32_combine64(first, second, static_cast<z_off64_t>(secondSize)));
}

#if !TESSALINE_WITH_ISAL
namespace {

constexpr std::size_t kWindow = 32768;
constexpr uInt kMaxStep = 1u << 30;  // zlib counts in uInt

}  // namespace

struct ChunkDeflater::State {
  z_stream stream{};
};

ChunkDeflater::ChunkDeflater(int level) : state_(std::make_unique<State>()) {
  // Raw deflate (negative window bits): the zip container carries its own CRC and sizes.
  if (deflateInit2(&state_->stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("the compressor could not start (out of memory).");
}

ChunkDeflater::~ChunkDeflater() { deflateEnd(&state_->stream); }

DeflatedChunk ChunkDeflater::deflate(std::string_view input, std::string_view dictionary, bool last) {
  z_stream& z = state_->stream;
  deflateReset(&z);
  if (!dictionary.empty()) {
    const std::string_view window = dictionary.size() > kWindow ? dictionary.substr(dictionary.size() - kWindow) : dictionary;
    deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(window.data()), static_cast<uInt>(window.size()));
  }
  DeflatedChunk out;
  out.inputSize = input.size();
  out.crc = static_cast<std::uint32_t>(crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(input.data()), input.size()));
  out.bytes.resize(deflateBound(&z, static_cast<uLong>(input.size())) + 16);
  z.next_out = reinterpret_cast<Bytef*>(out.bytes.data());
  z.avail_out = static_cast<uInt>(out.bytes.size());
  std::size_t fed = 0;
  for (;;) {
    const std::size_t step = std::min<std::size_t>(input.size() - fed, kMaxStep);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + fed));
    z.avail_in = static_cast<uInt>(step);
    fed += step;
    const bool end = fed == input.size();
    const int flush = !end ? Z_NO_FLUSH : last ? Z_FINISH : Z_FULL_FLUSH;
    for (;;) {
      if (z.avail_out == 0) {
        const std::size_t used = out.bytes.size();
        out.bytes.resize(used * 2);
        z.next_out = reinterpret_cast<Bytef*>(out.bytes.data() + used);
        z.avail_out = static_cast<uInt>(out.bytes.size() - used);
      }
      const int status = ::deflate(&z, flush);
      if (status == Z_STREAM_ERROR) throw std::runtime_error("the compressor failed.");
      if (flush == Z_FINISH ? status == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) break;
    }
    if (end) break;
  }
  out.bytes.resize(out.bytes.size() - z.avail_out);
  return out;
}

#endif

}  // namespace xlsx
