// A growable run of bytes for the texts a conversion holds: tokens that run
// past the input window, argument texts and variables. Most are a few bytes
// long and are kept inside the object, so that a call's arguments cost no
// allocation. But a token may be as long as the input, so growing must not
// cost a second copy of it: a longer text lives in one malloc'd block that
// grows with realloc, which the C library moves by remapping pages once a
// block is large enough to be mapped on its own (see map_large_buffers).
// std::string would allocate a new block and copy into it, briefly holding
// the text twice.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "common/short_copy.h"

namespace corvexa {

class byte_text {
 public:
  byte_text() = default;
  explicit byte_text(std::string_view bytes) { append(bytes); }
  byte_text(const byte_text& other) : byte_text(other.view()) {}
  byte_text& operator=(const byte_text& other);
  byte_text(byte_text&& other) noexcept;
  byte_text& operator=(byte_text&& other) noexcept;
  ~byte_text();

  // Appends `bytes`, which may lie inside this text. Throws std::bad_alloc
  // when memory runs out.
  void append(std::string_view bytes) {
    if (bytes.size() > capacity_ - size_) bytes = grow_for(bytes);
    // Bytes of this text lie before its end, where they are appended: the
    // two never overlap.
    copy_bytes(data_ + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  void push_back(char byte) { append(std::string_view(&byte, 1)); }
  void assign(std::string_view bytes);
  // Empties the text and keeps its block for reuse.
  void clear() { size_ = 0; }

  // Never a null pointer, even when empty: callers may pass it to memcpy.
  std::string_view view() const { return std::string_view(data_, size_); }
  operator std::string_view() const { return view(); }
  std::size_t size() const { return size_; }
  // How many bytes the text holds without growing.
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  char operator[](std::size_t index) const { return data_[index]; }

  friend bool operator==(const byte_text& a, std::string_view b) { return a.view() == b; }

 private:
  // Makes room for `bytes` at the end. Returns them, moved along with the
  // block if they lie in this text.
  std::string_view grow_for(std::string_view bytes);

  // Room for a short argument or variable without an allocation.
  static constexpr std::size_t inline_capacity = 40;

  bool is_inline() const { return data_ == inline_bytes_; }
  // Takes over the bytes of `other`, which is left empty.
  void take_from(byte_text& other) noexcept;

  char* data_ = inline_bytes_;  // inline_bytes_, or a malloc'd block
  std::size_t size_ = 0;
  std::size_t capacity_ = inline_capacity;
  char inline_bytes_[inline_capacity];
};

// Makes the C library map every large block on its own, so that realloc
// grows it by remapping pages instead of copying. Without this, the
// allocator raises its threshold for mapping as blocks are freed, and a
// long text could be copied as it grows. Call once at start-up.
void map_large_buffers();

}  // namespace corvexa
