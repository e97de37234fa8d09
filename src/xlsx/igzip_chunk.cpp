// ChunkDeflater on ISA-L's igzip: several times faster than zlib at its fastest level and
// no larger. Built when the writer is configured with ISA-L (TESSALINE_WITH_ISAL); zlib's
// deflater (deflate_chunk.cpp) stands in otherwise.
#if TESSALINE_WITH_ISAL
#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <stdexcept>
#include <vector>

#include "xlsx/deflate_chunk.h"

namespace xlsx {
namespace {

constexpr std::uint32_t kMaxStep = 1u << 30;  // igzip counts in uint32_t

std::size_t levelBufferSize(int level) {
  switch (level) {
    case 0: return 0;
    case 1: return ISAL_DEF_LVL1_DEFAULT;
    case 2: return ISAL_DEF_LVL2_DEFAULT;
    case 3: return ISAL_DEF_LVL3_DEFAULT;
  }
  throw std::runtime_error("the compressor could not start (no such level).");
}

std::uint8_t* bytesOf(std::string_view text) {
  return reinterpret_cast<std::uint8_t*>(const_cast<char*>(text.data()));
}

}  // namespace

struct ChunkDeflater::State {
  isal_zstream stream{};
  std::vector<std::uint8_t> levelBuffer;  // the level's hash tables, kept from chunk to chunk
  int level = 0;
};

ChunkDeflater::ChunkDeflater(int level) : state_(std::make_unique<State>()) {
  try {
    state_->levelBuffer.resize(levelBufferSize(level));
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("the compressor could not start (out of memory).");
  }
  state_->level = level;
}

ChunkDeflater::~ChunkDeflater() = default;

namespace {

void restart(isal_zstream& z, int level, std::vector<std::uint8_t>& levelBuffer, std::string_view dictionary) {
  isal_deflate_init(&z);
  z.level = static_cast<std::uint32_t>(level);
  z.level_buf = levelBuffer.data();
  z.level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
  z.gzip_flag = IGZIP_DEFLATE;  // raw deflate: the zip container carries the CRC and sizes
  if (dictionary.empty()) return;
  const std::string_view window =
      dictionary.size() > ISAL_DEF_HIST_SIZE ? dictionary.substr(dictionary.size() - ISAL_DEF_HIST_SIZE) : dictionary;
  if (isal_deflate_set_dict(&z, bytesOf(window), static_cast<std::uint32_t>(window.size())) != COMP_OK)
    throw std::runtime_error("the compressor failed.");
}

}  // namespace

// Every chunk but the last ends in a full flush (byte-aligned, history not used across it);
// the last one ends the stream.
DeflatedChunk ChunkDeflater::deflate(std::string_view input, std::string_view dictionary, bool last) {
  isal_zstream& z = state_->stream;
  restart(z, state_->level, state_->levelBuffer, dictionary);
  DeflatedChunk out;
  out.inputSize = input.size();
  out.crc = crc32_gzip_refl(0, bytesOf(input), input.size());
  // XML deflates to a fifth or less; incompressible input grows the buffer (zero-filling it all
  // up front would cost more than the rare growth).
  out.bytes.resize(input.size() / 4 + 4096);
  std::size_t written = 0;
  auto makeRoom = [&] {
    if (written == out.bytes.size()) out.bytes.resize(written * 2);
    z.next_out = reinterpret_cast<std::uint8_t*>(out.bytes.data() + written);
    z.avail_out = static_cast<std::uint32_t>(std::min<std::size_t>(out.bytes.size() - written, kMaxStep));
  };
  std::size_t fed = 0;
  for (;;) {
    const std::size_t step = std::min<std::size_t>(input.size() - fed, kMaxStep);
    z.next_in = bytesOf(input.substr(fed));
    z.avail_in = static_cast<std::uint32_t>(step);
    fed += step;
    const bool end = fed == input.size();
    z.end_of_stream = end && last;
    z.flush = end ? FULL_FLUSH : NO_FLUSH;
    for (;;) {
      makeRoom();
      const std::uint32_t room = z.avail_out;
      if (isal_deflate(&z) != COMP_OK) throw std::runtime_error("the compressor failed.");
      written += room - z.avail_out;
      const bool flushed = z.avail_in == 0 && z.avail_out != 0;
      if (z.end_of_stream ? z.internal_state.state == ZSTATE_END : flushed) break;
    }
    if (end) break;
  }
  out.bytes.resize(written);
  return out;
}

}  // namespace xlsx
#endif
