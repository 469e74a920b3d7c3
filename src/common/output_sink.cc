// Buffered output with span writes and a sticky failure flag.
#include "common/output_sink.h"

#include <cstring>

namespace corvexa {

output_sink::output_sink(byte_writer& writer, std::size_t capacity)
    : writer_(writer),
      buffer_(new char[capacity > 0 ? capacity : 1]),
      capacity_(capacity > 0 ? capacity : 1) {}

void output_sink::write_past_buffer(std::string_view bytes) {
  flush();
  if (bytes.size() >= capacity_) {
    // A span as large as the buffer goes straight to the writer.
    if (!failed_ && !writer_.write_all(bytes)) failed_ = true;
    handed_over_ += bytes.size();
    return;
  }
  std::memcpy(buffer_.get(), bytes.data(), bytes.size());
  used_ = bytes.size();
}

void output_sink::write_line(std::string_view text) {
  write(text);
  put('\n');
}

bool output_sink::flush() {
  if (used_ > 0 && !failed_ &&
      !writer_.write_all(std::string_view(buffer_.get(), used_))) {
    failed_ = true;
  }
  handed_over_ += used_;
  used_ = 0;
  return !failed_;
}

}  // namespace corvexa
