// Buffered output with span writes and a sticky failure flag.
#include "common/output_sink.h"

#include <cstring>

namespace corvexa {

output_sink::output_sink(byte_writer& writer, std::size_t capacity)
    : writer_(writer),
      buffer_(new char[capacity > 0 ? capacity : 1]),
      capacity_(capacity > 0 ? capacity : 1) {}

void output_sink::write_past_buffer(std::string_view bytes) {
  // The buffer is filled before it is handed over, and long spans go to the
  // writer in whole buffers' worth, so every write but the last has the
  // same size and starts at a multiple of it. A file takes such writes much
  // faster than writes of odd sizes at odd offsets, whose first and last
  // pages it must join with the writes before and after.
  std::size_t room = capacity_ - used_;
  std::memcpy(buffer_.get() + used_, bytes.data(), room);
  used_ = capacity_;
  bytes.remove_prefix(room);
  flush();
  std::size_t whole_buffers = bytes.size() - bytes.size() % capacity_;
  if (whole_buffers > 0) {
    hand_over(bytes.substr(0, whole_buffers));
    bytes.remove_prefix(whole_buffers);
  }
  std::memcpy(buffer_.get(), bytes.data(), bytes.size());
  used_ = bytes.size();
}

void output_sink::write_line(std::string_view text) {
  write(text);
  put('\n');
}

bool output_sink::flush() {
  hand_over(std::string_view(buffer_.get(), used_));
  used_ = 0;
  return !failed_;
}

void output_sink::hand_over(std::string_view bytes) {
  if (!bytes.empty() && !failed_ && !writer_.write_all(bytes)) failed_ = true;
  handed_over_ += bytes.size();
}

}  // namespace corvexa
