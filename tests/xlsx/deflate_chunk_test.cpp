// Chunked deflate: chunks compressed apart (in any order, on any thread) and concatenated
// inflate to exactly the input, with the CRC-32 of the whole, as one-piece compression does.
#include <zlib.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xlsx/compression_pool.h"
#include "xlsx/deflate_chunk.h"

namespace {

using xlsx::ChunkDeflater;
using xlsx::DeflatedChunk;

std::string inflateRaw(const std::string& deflated) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
  std::string out;
  char buffer[65536];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
  z.avail_in = static_cast<uInt>(deflated.size());
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  EXPECT_EQ(status, Z_STREAM_END) << "the stream must end exactly once, at its end";
  EXPECT_EQ(z.avail_in, 0u) << "nothing may follow the final block";
  inflateEnd(&z);
  return out;
}

std::uint32_t crcOf(const std::string& data) {
  return static_cast<std::uint32_t>(crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

// Sheet-like XML with a stretch of incompressible bytes in the middle.
std::string sampleInput() {
  std::string xml;
  std::mt19937_64 random(7);
  for (int row = 1; row <= 20000; ++row) {
    xml += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\"><v>" +
           std::to_string(random() % 100000) + "</v></c></row>";
    if (row == 10000)
      for (int i = 0; i < 100000; ++i) xml.push_back(static_cast<char>(random()));
  }
  return xml;
}

struct Chunked {
  std::string bytes;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};

void append(Chunked& whole, const DeflatedChunk& chunk) {
  whole.crc = whole.size == 0 ? chunk.crc : xlsx::combineCrc(whole.crc, chunk.crc, chunk.inputSize);
  whole.size += chunk.inputSize;
  whole.bytes += chunk.bytes;
}

Chunked deflateInChunks(const std::string& input, std::size_t chunkSize) {
  ChunkDeflater deflater;
  Chunked whole;
  for (std::size_t at = 0; at < input.size() || at == 0; at += chunkSize) {
    const std::string_view chunk = std::string_view(input).substr(at, chunkSize);
    const bool last = at + chunkSize >= input.size();
    append(whole, deflater.deflate(chunk, std::string_view(input).substr(0, at), last));
    if (last) break;
  }
  return whole;
}

TEST(DeflateChunks, ChunksOfEverySizeInflateToTheInputWithItsCrc) {
  const std::string input = sampleInput();
  const DeflatedChunk onePiece = ChunkDeflater().deflate(input, {}, true);
  ASSERT_EQ(inflateRaw(onePiece.bytes), input);
  EXPECT_EQ(onePiece.crc, crcOf(input));
  for (std::size_t chunkSize : {std::size_t{1} << 20, std::size_t{256} << 10, std::size_t{65536}, std::size_t{4099}}) {
    const Chunked chunked = deflateInChunks(input, chunkSize);
    EXPECT_EQ(inflateRaw(chunked.bytes), input) << chunkSize;
    EXPECT_EQ(chunked.crc, crcOf(input)) << chunkSize;
    EXPECT_EQ(chunked.size, input.size()) << chunkSize;
  }
}

TEST(DeflateChunks, PrimingWithThePrecedingInputKeepsTheRatioOfOnePiece) {
  const std::string input = sampleInput();
  const std::size_t onePiece = ChunkDeflater().deflate(input, {}, true).bytes.size();
  const std::size_t chunked = deflateInChunks(input, 256 << 10).bytes.size();
  EXPECT_LT(chunked, onePiece + onePiece / 100) << "within 1% of one-piece compression";
}

TEST(DeflateChunks, TinyAndEmptyChunksStillMakeOneStream) {
  for (const std::string& input : {std::string(), std::string("x"), std::string("<a/>")}) {
    const Chunked chunked = deflateInChunks(input, 1);
    EXPECT_EQ(inflateRaw(chunked.bytes), input);
    EXPECT_EQ(chunked.crc, crcOf(input));
  }
  ChunkDeflater deflater;  // an empty chunk between two others, as a part that ends on a chunk boundary
  Chunked whole;
  append(whole, deflater.deflate("abc", {}, false));
  append(whole, deflater.deflate("", "abc", false));
  append(whole, deflater.deflate("def", "abc", true));
  EXPECT_EQ(inflateRaw(whole.bytes), "abcdef");
  EXPECT_EQ(whole.crc, crcOf("abcdef"));
}

// Random bytes deflate to more than they are (stored blocks): the output grows as needed.
TEST(DeflateChunks, IncompressibleInputInflatesBackWhole) {
  std::string input(3 << 20, '\0');
  std::mt19937_64 random(11);
  for (char& c : input) c = static_cast<char>(random());
  for (std::size_t chunkSize : {input.size(), std::size_t{256} << 10}) {
    const Chunked chunked = deflateInChunks(input, chunkSize);
    EXPECT_EQ(inflateRaw(chunked.bytes), input) << chunkSize;
    EXPECT_EQ(chunked.crc, crcOf(input)) << chunkSize;
  }
}

// Levels 0 to 3 exist in both deflaters (zlib's and igzip's); each joins and keeps the CRC.
TEST(DeflateChunks, EveryFastLevelMakesOneStreamAndOthersAreRefused) {
  const std::string input = sampleInput();
  for (int level : {0, 1, 2, 3}) {
    ChunkDeflater deflater(level);
    Chunked whole;
    for (std::size_t at = 0; at < input.size(); at += 65536)
      append(whole, deflater.deflate(std::string_view(input).substr(at, 65536), std::string_view(input).substr(0, at),
                                     at + 65536 >= input.size()));
    EXPECT_EQ(inflateRaw(whole.bytes), input) << level;
    EXPECT_EQ(whole.crc, crcOf(input)) << level;
  }
  EXPECT_THROW(ChunkDeflater(10), std::runtime_error);
  EXPECT_THROW(ChunkDeflater(-2), std::runtime_error);
}

TEST(DeflateChunks, ThePoolsWorkersGiveTheSameStreamAsOneThread) {
  const std::string input = sampleInput();
  constexpr std::size_t kChunk = 65536;
  xlsx::CompressionPool pool(3);
  std::vector<std::future<DeflatedChunk>> futures;
  for (std::size_t at = 0; at < input.size(); at += kChunk)
    futures.push_back(pool.submit(input.substr(at, kChunk), input.substr(0, at), at + kChunk >= input.size()));
  Chunked whole;
  for (auto& future : futures) append(whole, future.get());
  EXPECT_EQ(inflateRaw(whole.bytes), input);
  EXPECT_EQ(whole.crc, crcOf(input));
  EXPECT_EQ(whole.bytes, deflateInChunks(input, kChunk).bytes) << "the same bytes, whichever thread made them";
}

}  // namespace
