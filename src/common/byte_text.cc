// Short texts stay inside the object; a longer one moves to a malloc'd block
// that grows by realloc, doubling its capacity, with a check that the new
// size is representable.
#include "common/byte_text.h"

#include <malloc.h>

#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

namespace corvexa {

byte_text& byte_text::operator=(const byte_text& other) {
  if (this != &other) assign(other.view());
  return *this;
}

byte_text::byte_text(byte_text&& other) noexcept { take_from(other); }

byte_text& byte_text::operator=(byte_text&& other) noexcept {
  if (this != &other) {
    if (!is_inline()) std::free(data_);
    data_ = inline_bytes_;
    capacity_ = inline_capacity;
    take_from(other);
  }
  return *this;
}

byte_text::~byte_text() {
  if (!is_inline()) std::free(data_);
}

void byte_text::take_from(byte_text& other) noexcept {
  if (other.is_inline()) {
    std::memcpy(inline_bytes_, other.inline_bytes_, other.size_);
  } else {
    data_ = std::exchange(other.data_, other.inline_bytes_);
    capacity_ = std::exchange(other.capacity_, inline_capacity);
  }
  size_ = std::exchange(other.size_, 0);
}

void byte_text::assign(std::string_view bytes) {
  if (bytes.data() == data_ && bytes.size() <= size_) {  // a prefix of itself
    size_ = bytes.size();
    return;
  }
  if (bytes.size() > capacity_) {
    byte_text fresh(bytes);
    *this = std::move(fresh);
    return;
  }
  std::memmove(data_, bytes.data(), bytes.size());
  size_ = bytes.size();
}

std::string_view byte_text::grow_for(std::string_view bytes) {
  constexpr std::size_t largest = std::numeric_limits<std::ptrdiff_t>::max();
  if (bytes.size() > largest - size_) throw std::bad_alloc();
  std::size_t needed = size_ + bytes.size();
  std::size_t capacity = capacity_;
  while (capacity < needed) capacity = capacity > largest / 2 ? largest : capacity * 2;
  bool inside = bytes.data() >= data_ && bytes.data() < data_ + size_;
  std::size_t offset = inside ? static_cast<std::size_t>(bytes.data() - data_) : 0;
  void* grown;
  if (is_inline()) {
    grown = std::malloc(capacity);
    if (grown != nullptr) std::memcpy(grown, data_, size_);
  } else {
    grown = std::realloc(data_, capacity);
  }
  if (grown == nullptr) throw std::bad_alloc();
  data_ = static_cast<char*>(grown);
  capacity_ = capacity;
  // A view into the old block is stale: the same bytes stand in the new one.
  return inside ? std::string_view(data_ + offset, bytes.size()) : bytes;
}

void map_large_buffers() {
  // 256 KiB: four input windows; anything larger is rare and may be huge.
  ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

}  // namespace corvexa
