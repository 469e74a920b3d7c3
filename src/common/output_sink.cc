// Buffered output with span writes and a sticky failure flag.
#include "common/output_sink.h"

#include <algorithm>
#include <cstring>

namespace corvexa {

output_sink::output_sink(byte_writer& writer, std::size_t capacity)
    : writer_(writer), lender_(writer.lender()) {
  if (lender_ != nullptr) {
    borrow();
    return;
  }
  capacity_ = capacity > 0 ? capacity : 1;
  own_buffer_.reset(new char[capacity_]);
  buffer_ = own_buffer_.get();
}

void output_sink::borrow() {
  std::span<char> lent = lender_->lend();
  buffer_ = lent.data();
  capacity_ = lent.size();
}

void output_sink::write_past_buffer(std::string_view bytes) {
  if (lender_ != nullptr) {
    // The lender's buffers are where the bytes go in any case: they are
    // filled one after another.
    while (!bytes.empty()) {
      if (used_ == capacity_) flush();
      std::size_t count = std::min(bytes.size(), capacity_ - used_);
      std::memcpy(buffer_ + used_, bytes.data(), count);
      used_ += count;
      bytes.remove_prefix(count);
    }
    return;
  }
  // The buffer is filled before it is handed over, and long spans go to the
  // writer in whole buffers' worth, so every write but the last has the
  // same size and starts at a multiple of it. A file takes such writes much
  // faster than writes of odd sizes at odd offsets, whose first and last
  // pages it must join with the writes before and after.
  std::size_t room = capacity_ - used_;
  std::memcpy(buffer_ + used_, bytes.data(), room);
  used_ = capacity_;
  bytes.remove_prefix(room);
  flush();
  std::size_t whole_buffers = bytes.size() - bytes.size() % capacity_;
  if (whole_buffers > 0) {
    hand_over(bytes.substr(0, whole_buffers));
    bytes.remove_prefix(whole_buffers);
  }
  std::memcpy(buffer_, bytes.data(), bytes.size());
  used_ = bytes.size();
}

void output_sink::write_line(std::string_view text) {
  write(text);
  put('\n');
}

bool output_sink::flush() {
  if (lender_ == nullptr) {
    hand_over(std::string_view(buffer_, used_));
  } else if (used_ > 0) {
    if (!lender_->take_back(used_)) failed_ = true;
    handed_over_ += used_;
    borrow();
  }
  used_ = 0;
  return !failed_;
}

void output_sink::hand_over(std::string_view bytes) {
  if (!bytes.empty() && !failed_ && !writer_.write_all(bytes)) failed_ = true;
  handed_over_ += bytes.size();
}

}  // namespace corvexa
