// The input of a conversion as one large buffer. Readers look at the whole
// buffered window and consume a run of bytes at once. The buffer is
// refilled from a byte_reader only when it is empty; an input held in memory
// is used in place as a single window and never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "common/byte_streams.h"

namespace corvexa {

// Told before the input buffer loads its next block over the bytes it
// buffers: whoever keeps a view into them copies what it still needs.
class refill_listener {
 public:
  virtual void before_refill() = 0;

 protected:
  ~refill_listener() = default;
};

class input_buffer {
 public:
  static constexpr std::size_t default_capacity = std::size_t{64} * 1024;

  explicit input_buffer(byte_reader& reader, std::size_t capacity = default_capacity);
  // Reads `whole` in place; the caller keeps it alive. Its first byte is
  // at offset `first_offset` (a part of a larger input is read so).
  explicit input_buffer(std::string_view whole, std::uint64_t first_offset = 0);
  input_buffer(const input_buffer&) = delete;
  input_buffer& operator=(const input_buffer&) = delete;

  // The bytes buffered and not yet consumed; empty only at the end of the
  // input.
  std::string_view window() {
    if (next_ == end_) refill();
    return std::string_view(next_, static_cast<std::size_t>(end_ - next_));
  }
  // Consumes the first `count` bytes of window().
  void consume(std::size_t count) { next_ += count; }

  // How many bytes have been consumed so far: the offset of the next byte.
  std::uint64_t position() const {
    return block_offset_ + static_cast<std::uint64_t>(next_ - start_);
  }

  // True if the input ended because reading failed, not at its end.
  bool read_failed() const { return read_failed_; }

  // Tells `listener` (or no one, if null) before each refill from now on;
  // returns who was told until now, for the caller to put back.
  refill_listener* listen_to_refills(refill_listener* listener) {
    refill_listener* before = listener_;
    listener_ = listener;
    return before;
  }

 private:
  // Loads the next block; returns false at the end of the input.
  bool refill();

  byte_reader* reader_ = nullptr;
  std::unique_ptr<char[]> storage_;
  std::size_t capacity_ = 0;
  const char* next_ = nullptr;
  const char* end_ = nullptr;
  const char* start_ = nullptr;     // where the current block begins
  std::uint64_t block_offset_ = 0;  // the input offset of start_
  // Once the reader has reported the end (or an error) it is not asked
  // again: a terminal, say, would wait for more input.
  bool ended_ = false;
  bool read_failed_ = false;
  refill_listener* listener_ = nullptr;
};

}  // namespace corvexa
