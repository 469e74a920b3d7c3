// Refilling the input buffer from its reader.
#include "common/input_buffer.h"

namespace corvexa {

input_buffer::input_buffer(byte_reader& reader, std::size_t capacity)
    : reader_(&reader),
      storage_(new char[capacity > 0 ? capacity : 1]),
      capacity_(capacity > 0 ? capacity : 1),
      next_(storage_.get()),
      end_(storage_.get()),
      start_(storage_.get()) {}

input_buffer::input_buffer(std::string_view whole, std::uint64_t first_offset)
    : next_(whole.data()),
      end_(whole.data() + whole.size()),
      start_(whole.data()),
      block_offset_(first_offset),
      ended_(true) {}

bool input_buffer::refill() {
  if (ended_) return false;
  if (listener_ != nullptr) listener_->before_refill();
  long count = reader_->read_some(storage_.get(), capacity_);
  if (count <= 0) {
    ended_ = true;
    read_failed_ = count < 0;
    return false;
  }
  block_offset_ += static_cast<std::uint64_t>(end_ - start_);
  next_ = start_ = storage_.get();
  end_ = storage_.get() + count;
  return true;
}

}  // namespace corvexa
