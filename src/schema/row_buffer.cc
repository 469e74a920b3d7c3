// Growing the row buffer.
#include "schema/row_buffer.h"

#include <algorithm>
#include <cstring>

namespace corvexa::schema {

void row_buffer::grow(std::size_t n) {
  // Doubling keeps a row of one huge value at amortised linear copying.
  std::size_t capacity = std::max({capacity_ * 2, size_ + n, std::size_t{256}});
  std::unique_ptr<char[]> larger(new char[capacity]);
  if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
  data_ = std::move(larger);
  capacity_ = capacity;
}

}  // namespace corvexa::schema
