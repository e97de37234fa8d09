#include "xlsx/zip_archive.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "xlsx/write_failure.h"

namespace xlsx {
namespace {

constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kUtf8Names = 1u << 11;
constexpr std::uint16_t kDataDescriptor = 1u << 3;
constexpr std::uint16_t kVersion20 = 20;
constexpr std::uint16_t kVersion45 = 45;  // zip64
constexpr std::uint16_t kZip64ExtraId = 0x0001;
// 1980-01-01 00:00, the earliest time the format holds: the file's bytes do not depend on
// when it was written.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::size_t kWriteBuffer = 1 << 16;

void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

[[noreturn]] void ioFailure(const char* what) {
  const int error = errno;
  throw WriteFailure(std::string(what) + " (" + std::strerror(error) + ").", error);
}

}  // namespace

ZipArchive::ZipArchive(const std::string& path, std::uint64_t zip64Limit, WriteCall writeCall)
    : zip64Limit_(zip64Limit), writeCall_(std::move(writeCall)) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) ioFailure("the file could not be created");
}

ZipArchive::~ZipArchive() {
  if (fd_ >= 0) ::close(fd_);
}

void ZipArchive::write(std::string_view bytes) {
  offset_ += bytes.size();
  if (pending_.size() + bytes.size() < kWriteBuffer) {
    pending_.append(bytes);
    return;
  }
  flush();
  writeAll(bytes);
}

// A short write is continued; a write that fails, or writes nothing, ends the file.
void ZipArchive::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const ssize_t n = writeCall_ ? writeCall_(fd_, bytes.data(), bytes.size()) : ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (n < 0 && errno == 0)) errno = EIO;
    if (n <= 0) ioFailure("the file could not be written");
    bytes.remove_prefix(std::min(static_cast<std::size_t>(n), bytes.size()));
  }
}

void ZipArchive::flush() {
  writeAll(pending_);
  pending_.clear();
}

bool ZipArchive::needsZip64(const Entry& e) const {
  return e.streamedZip64 || e.size >= zip64Limit_ || e.compressed >= zip64Limit_ || e.offset >= zip64Limit_;
}

// Deflate may grow incompressible data a little: stored blocks and the flush between chunks.
bool ZipArchive::mayPassLimit(std::uint64_t sizeBound) const {
  if (sizeBound >= zip64Limit_) return true;
  return sizeBound + sizeBound / 1024 + 1024 >= zip64Limit_;
}

// Streamed entries leave CRC and sizes to the data descriptor. One that may pass the limit
// carries a zip64 field with zero sizes (the 32-bit ones zero too, as with any data
// descriptor), so its descriptor holds 8-byte sizes.
void ZipArchive::writeLocalHeader(const Entry& e) {
  const bool big = !e.streamed && (e.size >= zip64Limit_ || e.compressed >= zip64Limit_);
  const bool zip64 = big || e.streamedZip64;
  std::string h;
  put32(h, 0x04034b50);
  put16(h, zip64 ? kVersion45 : kVersion20);
  put16(h, static_cast<std::uint16_t>(kUtf8Names | (e.streamed ? kDataDescriptor : 0)));
  put16(h, kDeflated);
  put16(h, kDosTime);
  put16(h, kDosDate);
  put32(h, e.streamed ? 0 : e.crc);
  put32(h, e.streamed ? 0 : big ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.compressed));
  put32(h, e.streamed ? 0 : big ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.size));
  put16(h, static_cast<std::uint16_t>(e.name.size()));
  put16(h, zip64 ? 20 : 0);
  h.append(e.name);
  if (zip64) {
    put16(h, kZip64ExtraId);
    put16(h, 16);
    put64(h, e.size);        // zero while streamed
    put64(h, e.compressed);
  }
  write(h);
}

void ZipArchive::addEntry(std::string_view name, std::string_view deflated, std::uint32_t crc, std::uint64_t size) {
  if (open_) throw std::logic_error("an entry is still being written");
  Entry e{std::string(name), offset_, crc, deflated.size(), size, false};
  writeLocalHeader(e);
  write(deflated);
  entries_.push_back(std::move(e));
}

void ZipArchive::beginEntry(std::string_view name, std::uint64_t sizeBound) {
  if (open_) throw std::logic_error("an entry is still being written");
  Entry e{std::string(name), offset_, 0, 0, 0, true, mayPassLimit(sizeBound)};
  writeLocalHeader(e);
  entries_.push_back(std::move(e));
  open_ = true;
}

void ZipArchive::appendData(std::string_view deflated) {
  entries_.back().compressed += deflated.size();
  write(deflated);
}

void ZipArchive::endEntry(std::uint32_t crc, std::uint64_t size) {
  Entry& e = entries_.back();
  e.crc = crc;
  e.size = size;
  std::string d;
  put32(d, 0x08074b50);
  put32(d, crc);
  // An entry past the limit that its header did not announce (its bound was wrong) still gets
  // its true sizes: readers that go by the central directory read it.
  if (e.streamedZip64 || e.size >= zip64Limit_ || e.compressed >= zip64Limit_) {
    put64(d, e.compressed);
    put64(d, e.size);
  } else {
    put32(d, static_cast<std::uint32_t>(e.compressed));
    put32(d, static_cast<std::uint32_t>(e.size));
  }
  write(d);
  open_ = false;
}

void ZipArchive::writeCentralEntry(const Entry& e) {
  const bool bigSize = e.size >= zip64Limit_;
  const bool bigCompressed = e.compressed >= zip64Limit_;
  const bool bigOffset = e.offset >= zip64Limit_;
  std::string extra;
  if (bigSize || bigCompressed || bigOffset) {
    put16(extra, kZip64ExtraId);
    put16(extra, static_cast<std::uint16_t>(8 * (bigSize + bigCompressed + bigOffset)));
    if (bigSize) put64(extra, e.size);
    if (bigCompressed) put64(extra, e.compressed);
    if (bigOffset) put64(extra, e.offset);
  }
  const std::uint16_t version = needsZip64(e) ? kVersion45 : kVersion20;
  std::string h;
  put32(h, 0x02014b50);
  put16(h, version);  // made by: MS-DOS attributes
  put16(h, version);
  put16(h, static_cast<std::uint16_t>(kUtf8Names | (e.streamed ? kDataDescriptor : 0)));
  put16(h, kDeflated);
  put16(h, kDosTime);
  put16(h, kDosDate);
  put32(h, e.crc);
  put32(h, bigCompressed ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.compressed));
  put32(h, bigSize ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.size));
  put16(h, static_cast<std::uint16_t>(e.name.size()));
  put16(h, static_cast<std::uint16_t>(extra.size()));
  put16(h, 0);  // comment
  put16(h, 0);  // disk
  put16(h, 0);  // internal attributes
  put32(h, 0);  // external attributes
  put32(h, bigOffset ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.offset));
  h.append(e.name);
  h.append(extra);
  write(h);
}

void ZipArchive::finish() {
  if (open_) throw std::logic_error("an entry is still being written");
  const std::uint64_t directoryStart = offset_;
  for (const Entry& e : entries_) writeCentralEntry(e);
  const std::uint64_t directorySize = offset_ - directoryStart;
  const std::uint64_t count = entries_.size();
  const bool zip64 = count >= 0xFFFF || directoryStart >= zip64Limit_ || directorySize >= zip64Limit_;
  std::string end;
  if (zip64) {
    const std::uint64_t recordStart = offset_;
    put32(end, 0x06064b50);
    put64(end, 44);
    put16(end, kVersion45);
    put16(end, kVersion45);
    put32(end, 0);
    put32(end, 0);
    put64(end, count);
    put64(end, count);
    put64(end, directorySize);
    put64(end, directoryStart);
    put32(end, 0x07064b50);  // locator
    put32(end, 0);
    put64(end, recordStart);
    put32(end, 1);
  }
  put32(end, 0x06054b50);
  put16(end, 0);
  put16(end, 0);
  put16(end, zip64 ? 0xFFFF : static_cast<std::uint16_t>(count));
  put16(end, zip64 ? 0xFFFF : static_cast<std::uint16_t>(count));
  put32(end, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(directorySize));
  put32(end, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(directoryStart));
  put16(end, 0);
  write(end);
  flush();
  if (::close(fd_) != 0) {
    fd_ = -1;
    ioFailure("the file could not be completed");
  }
  fd_ = -1;
}

}  // namespace xlsx
