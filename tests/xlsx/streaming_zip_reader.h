#pragma once
// A zip reader that goes front to back as a streaming reader does: local header, data, data
// descriptor, next local header, and never looks at the central directory. Where a streamed
// entry's data ends it learns from the deflate stream itself; whether its descriptor holds
// 4- or 8-byte sizes, from the zip64 field of its local header (or its absence).
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace xlsx_test {

struct StreamedEntry {
  std::string name;
  std::string content;
  std::uint16_t versionNeeded = 0;
  bool dataDescriptor = false;
  bool zip64Field = false;                 // in the local header
  std::uint32_t localCompressed = 0;       // the local header's 32-bit sizes
  std::uint32_t localSize = 0;
};

inline std::uint64_t littleEndian(const std::string& bytes, std::size_t at, int width) {
  if (at + static_cast<std::size_t>(width) > bytes.size()) throw std::runtime_error("truncated at " + std::to_string(at));
  std::uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// Inflates the raw deflate stream starting at `at`; `consumed` is where it ended.
inline std::string inflateFrom(const std::string& bytes, std::size_t at, std::size_t& consumed) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + at));
  z.avail_in = static_cast<uInt>(bytes.size() - at);
  std::string out;
  char buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  consumed = z.total_in;
  inflateEnd(&z);
  if (status != Z_STREAM_END) throw std::runtime_error("a deflate stream that does not end, at " + std::to_string(at));
  return out;
}

inline std::uint32_t crcOfContent(const std::string& data) {
  return static_cast<std::uint32_t>(crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

// Every entry in order; throws std::runtime_error on any size, CRC or signature that does not
// agree with what was read.
inline std::vector<StreamedEntry> readStreaming(const std::string& zip) {
  std::vector<StreamedEntry> entries;
  std::size_t at = 0;
  while (littleEndian(zip, at, 4) == 0x04034b50) {
    StreamedEntry e;
    e.versionNeeded = static_cast<std::uint16_t>(littleEndian(zip, at + 4, 2));
    e.dataDescriptor = (littleEndian(zip, at + 6, 2) & 8) != 0;
    const std::uint32_t crc = static_cast<std::uint32_t>(littleEndian(zip, at + 14, 4));
    std::uint64_t compressed = e.localCompressed = static_cast<std::uint32_t>(littleEndian(zip, at + 18, 4));
    std::uint64_t size = e.localSize = static_cast<std::uint32_t>(littleEndian(zip, at + 22, 4));
    const std::size_t nameLength = littleEndian(zip, at + 26, 2), extraLength = littleEndian(zip, at + 28, 2);
    e.name = zip.substr(at + 30, nameLength);
    for (std::size_t x = at + 30 + nameLength; x + 4 <= at + 30 + nameLength + extraLength;) {
      const std::size_t id = littleEndian(zip, x, 2), length = littleEndian(zip, x + 2, 2);
      if (id == 1) {
        e.zip64Field = true;
        if (size == 0xFFFFFFFFu) size = littleEndian(zip, x + 4, 8);
        if (compressed == 0xFFFFFFFFu) compressed = littleEndian(zip, x + 12, 8);
      }
      x += 4 + length;
    }
    const std::size_t data = at + 30 + nameLength + extraLength;
    std::size_t consumed = 0;
    e.content = inflateFrom(zip, data, consumed);
    std::uint32_t expectedCrc = crc;
    at = data + consumed;
    if (e.dataDescriptor) {
      if (littleEndian(zip, at, 4) == 0x08074b50) at += 4;
      expectedCrc = static_cast<std::uint32_t>(littleEndian(zip, at, 4));
      const int width = e.zip64Field ? 8 : 4;
      compressed = littleEndian(zip, at + 4, width);
      size = littleEndian(zip, at + 4 + width, width);
      at += 4 + 2 * width;
    }
    if (compressed != consumed || size != e.content.size() || expectedCrc != crcOfContent(e.content))
      throw std::runtime_error(e.name + ": the sizes or CRC read do not match its data");
    entries.push_back(std::move(e));
  }
  if (littleEndian(zip, at, 4) != 0x02014b50) throw std::runtime_error("no central directory after the last entry");
  return entries;
}

inline std::string fileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every entry of the workbook at `path` with its content; the time the file was written (in
// docProps/core.xml) is the only thing that may differ between two writes of the same workbook.
inline std::vector<std::pair<std::string, std::string>> contentsOf(const std::string& path) {
  static const std::regex kTime("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ");
  std::vector<std::pair<std::string, std::string>> out;
  for (auto& e : readStreaming(fileBytes(path)))
    out.emplace_back(e.name, e.name == "docProps/core.xml" ? std::regex_replace(e.content, kTime, "T") : e.content);
  return out;
}

}  // namespace xlsx_test
