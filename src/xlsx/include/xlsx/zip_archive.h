#pragma once
// A zip file written front to back: each entry's local header and deflated data, then the
// central directory. Entries whose data is streamed carry a data descriptor after the data
// with their CRC and sizes; entries past 4 GiB (or past the offset limit) get zip64 records.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

class ZipArchive {
 public:
  // Creates or truncates `path`. `zip64Limit`: sizes and offsets from this value on are
  // written as zip64 (the format's limit; smaller only to test the zip64 records).
  explicit ZipArchive(const std::string& path, std::uint64_t zip64Limit = 0xFFFFFFFFu);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // An entry whose deflated data, CRC and size are known.
  void addEntry(std::string_view name, std::string_view deflated, std::uint32_t crc, std::uint64_t size);

  // An entry streamed in pieces of deflated data.
  void beginEntry(std::string_view name);
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
  };
  void writeLocalHeader(const Entry& entry);
  void writeCentralEntry(const Entry& entry);
  void write(std::string_view bytes);
  void flush();
  bool needsZip64(const Entry& entry) const;

  int fd_ = -1;
  std::uint64_t zip64Limit_;
  std::uint64_t offset_ = 0;
  std::string pending_;  // small writes gathered before they reach the file
  std::vector<Entry> entries_;
  bool open_ = false;    // an entry is being streamed
};

}  // namespace xlsx
