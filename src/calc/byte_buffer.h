#pragma once
// A growable byte buffer that lives on the stack while small: the parser writes a formula's
// code and texts here, so that parsing a typical formula allocates only its final block.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace calc {

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  void append(const void* bytes, std::size_t n) {
    if (size_ + n > capacity_) grow(size_ + n);
    std::memcpy(data_ + size_, bytes, n);
    size_ += n;
  }
  template <class T>
  void put(T value) {
    if (size_ + sizeof(T) > capacity_) grow(size_ + sizeof(T));
    std::memcpy(data_ + size_, &value, sizeof(T));
    size_ += sizeof(T);
  }
  void push_back(char c) { put(c); }

  std::size_t size() const { return size_; }
  char& operator[](std::size_t i) { return data_[i]; }
  char operator[](std::size_t i) const { return data_[i]; }
  std::string_view view() const { return {data_, size_}; }

 private:
  static constexpr std::size_t kInline = 192;

  [[gnu::noinline]] void grow(std::size_t needed) {
    const std::size_t capacity = std::max(needed, 2 * capacity_);
    if (data_ == inline_) {
      heap_.resize(capacity);
      std::memcpy(heap_.data(), inline_, size_);
    } else {
      heap_.resize(capacity);
    }
    data_ = heap_.data();
    capacity_ = capacity;
  }

  char inline_[kInline];
  std::vector<char> heap_;
  char* data_ = inline_;
  std::size_t capacity_ = kInline;
  std::size_t size_ = 0;
};

}  // namespace calc
