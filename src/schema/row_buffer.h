// The text of one converted INSERT row as it is built. A row of a dump is
// a few dozen short values, each appended in pieces of a few bytes: here an
// append is a compare and an inline copy, where std::string's costs a call.
// Writers that copy a block at a time ask for room first and may write
// past the end of the text into it; only advance() makes bytes part of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "common/short_copy.h"

namespace corvexa::schema {

class row_buffer {
 public:
  std::string_view text() const { return std::string_view(data_.get(), size_); }
  std::size_t size() const { return size_; }
  void clear() { size_ = 0; }
  // Drops the bytes from `size` on (a value to be written another way).
  void truncate(std::size_t size) { size_ = size; }

  // Where the next byte goes, with at least `n` bytes of room after it.
  char* room(std::size_t n) {
    if (capacity_ - size_ < n) grow(n);
    return data_.get() + size_;
  }
  // Makes the next `n` bytes, written into room(), part of the text.
  void advance(std::size_t n) { size_ += n; }

  void append(const char* bytes, std::size_t n) {
    copy_bytes(room(n), bytes, n);
    size_ += n;
  }
  void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
  void put(char c) {
    *room(1) = c;
    ++size_;
  }

 private:
  void grow(std::size_t n);

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace corvexa::schema
