#pragma once
// A zip file written front to back: each entry's local header and deflated data, then the
// central directory. Entries whose data is streamed carry a data descriptor after the data
// with their CRC and sizes; entries past 4 GiB (or past the offset limit) get zip64 records.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

// write(2) as the archive calls it; tests put short writes and a full disk in its place.
using WriteCall = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

class ZipArchive {
 public:
  static constexpr std::uint64_t kNoBound = std::numeric_limits<std::uint64_t>::max();

  // Creates or truncates `path`. `zip64Limit`: sizes and offsets from this value on are
  // written as zip64 (the format's limit; smaller only to test the zip64 records).
  // `writeCall`: empty for write(2); every write is checked, short ones continued.
  explicit ZipArchive(const std::string& path, std::uint64_t zip64Limit = 0xFFFFFFFFu, WriteCall writeCall = {});
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // An entry whose deflated data, CRC and size are known.
  void addEntry(std::string_view name, std::string_view deflated, std::uint32_t crc, std::uint64_t size);

  // An entry streamed in pieces of deflated data. `sizeBound`: the most bytes its content can
  // have; an entry that may pass the zip64 limit says so in its local header (a zip64 field
  // with zero sizes), so that a reader going front to back reads 8-byte sizes after its data.
  void beginEntry(std::string_view name, std::uint64_t sizeBound = kNoBound);
  void appendData(std::string_view deflated);
  void endEntry(std::uint32_t crc, std::uint64_t size);

  // The central directory; the file is complete and closed. Throws std::runtime_error.
  void finish();

 private:
  struct Entry {
    std::string name;
    std::uint64_t offset = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressed = 0;
    std::uint64_t size = 0;
    bool streamed = false;
    bool streamedZip64 = false;  // its local header announced zip64 sizes
  };
  void writeLocalHeader(const Entry& entry);
  void writeCentralEntry(const Entry& entry);
  void write(std::string_view bytes);
  void writeAll(std::string_view bytes);
  void flush();
  bool needsZip64(const Entry& entry) const;
  bool mayPassLimit(std::uint64_t sizeBound) const;

  int fd_ = -1;
  std::uint64_t zip64Limit_;
  WriteCall writeCall_;
  std::uint64_t offset_ = 0;
  std::string pending_;  // small writes gathered before they reach the file
  std::vector<Entry> entries_;
  bool open_ = false;    // an entry is being streamed
};

}  // namespace xlsx
