// The one output buffer of a stream. Bytes and spans of bytes are appended to
// a large buffer that goes to its byte_writer only when full or flushed, so
// writing a byte costs a store and a compare, and long spans skip the buffer
// in whole buffers' worth.
// A write failure is remembered; from then on output is dropped and the
// failure is reported by failed() rather than by every caller. A writer
// that lends its buffers (see buffer_lender) has them filled in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "common/byte_streams.h"
#include "common/short_copy.h"

namespace corvexa {

class output_sink {
 public:
  static constexpr std::size_t default_capacity = std::size_t{64} * 1024;

  explicit output_sink(byte_writer& writer, std::size_t capacity = default_capacity);
  output_sink(const output_sink&) = delete;
  output_sink& operator=(const output_sink&) = delete;

  void put(char byte) {
    if (used_ == capacity_) flush();
    buffer_[used_++] = byte;
  }
  void write(std::string_view bytes) {
    if (bytes.size() <= capacity_ - used_) {
      copy_bytes(buffer_ + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      write_past_buffer(bytes);
    }
  }
  // Where `size` bytes may be written in place at the end of the buffer,
  // or null if they do not fit in what is left of it. The bytes written
  // there count once commit(size) is called, before any other write.
  // Filling a text of several pieces so checks the room once, rather than
  // at every piece.
  char* room_for(std::size_t size) { return size <= capacity_ - used_ ? buffer_ + used_ : nullptr; }
  void commit(std::size_t size) { used_ += size; }
  // Writes `text` followed by a newline.
  void write_line(std::string_view text);

  // Hands the buffered bytes to the writer. Returns false once any write
  // of this sink has failed.
  bool flush();
  bool failed() const { return failed_; }
  // How many bytes have been written to the sink so far, flushed or not.
  std::uint64_t position() const { return handed_over_ + used_; }

 private:
  // Writes a span that does not fit in what is left of the buffer.
  void write_past_buffer(std::string_view bytes);
  // Gives `bytes` to the writer, unless a write has failed before.
  void hand_over(std::string_view bytes);
  // Fills a buffer of the lender's next.
  void borrow();

  byte_writer& writer_;
  buffer_lender* lender_;
  std::unique_ptr<char[]> own_buffer_;  // unless the writer lends its own
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  std::uint64_t handed_over_ = 0;  // bytes already given to the writer
  bool failed_ = false;
};

}  // namespace corvexa
