// Refilling the input buffer from its reader.
#include "common/input_buffer.h"

#include "common/output_sink.h"

namespace corvexa {

input_buffer::input_buffer(byte_reader& reader, std::size_t capacity)
    : reader_(&reader),
      storage_(new char[capacity > 0 ? capacity : 1]),
      capacity_(capacity > 0 ? capacity : 1),
      next_(storage_.get()),
      end_(storage_.get()) {}

input_buffer::input_buffer(std::string_view whole)
    : next_(whole.data()), end_(whole.data() + whole.size()) {}

bool input_buffer::refill() {
  if (reader_ == nullptr || read_failed_) return false;
  if (watched_output_ != nullptr && watched_output_->failed()) return false;
  long count = reader_->read_some(storage_.get(), capacity_);
  if (count < 0) read_failed_ = true;
  if (count <= 0) return false;
  next_ = storage_.get();
  end_ = storage_.get() + count;
  return true;
}

}  // namespace corvexa
