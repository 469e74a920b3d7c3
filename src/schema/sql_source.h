// The input of a .sql conversion as a window that slides over the file.
// Bytes are addressed by their offset in the whole input, so a reader can
// hold a statement's tokens as offsets while the window moves and grows.
// The window keeps every byte from the mark set by keep_from() on; bytes
// before it are dropped at the next load. Memory therefore stays bounded by
// the largest span a reader keeps (a statement, or one row of a long
// INSERT), however large the file. A reader that lends its buffers (see
// filled_buffer_lender) is parsed in place: the window is the lent buffer,
// with what it keeps of the one before copied into the room before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "common/byte_streams.h"
#include "schema/text_match.h"

namespace corvexa::schema {

class sql_source {
 public:
  static constexpr std::size_t default_capacity = std::size_t{1} << 20;

  explicit sql_source(byte_reader& reader, std::size_t capacity = default_capacity);
  // Reads `whole`, which the caller keeps alive, in place.
  explicit sql_source(std::string_view whole);
  sql_source(const sql_source&) = delete;
  sql_source& operator=(const sql_source&) = delete;

  // True if the byte at `offset` is there, loading more input if needed.
  bool has(std::uint64_t offset) { return offset < end_ || load_past(offset); }
  // The byte at `offset`, which has() has confirmed.
  unsigned char at(std::uint64_t offset) const {
    return static_cast<unsigned char>(data_[offset - base_]);
  }
  // The loaded bytes from `offset` on (empty at the end of the input).
  std::string_view from(std::uint64_t offset) {
    if (!has(offset)) return {};
    return std::string_view(data_ + (offset - base_), end_ - offset);
  }
  // The bytes [begin, end), all loaded and kept.
  std::string_view text(std::uint64_t begin, std::uint64_t end) const {
    return std::string_view(data_ + (begin - base_), end - begin);
  }
  // Bytes before `offset` are no longer needed.
  void keep_from(std::uint64_t offset) {
    pass_to_tap(offset);
    keep_ = offset;
  }
  // Hands every byte from `offset` on to `tap` as the window leaves it
  // (and, at untap(end), the rest up to `end`).
  void tap(text_match& tap, std::uint64_t offset) {
    tap_ = &tap;
    tapped_ = offset;
  }
  void untap(std::uint64_t end) {
    pass_to_tap(end);
    tap_ = nullptr;
  }

  bool read_failed() const { return read_failed_; }
  // The size the window has grown to: the most input held at once.
  std::size_t capacity() const { return capacity_ > largest_lent_ ? capacity_ : largest_lent_; }

 private:
  // Loads until `offset` is in the window or the input ends.
  bool load_past(std::uint64_t offset);
  // The bytes of the window from the mark set by keep_from() on.
  std::string_view kept() const;
  // Moves `kept` (the window's kept bytes) to the front of the storage,
  // grown to hold `needed` bytes, and makes the storage the window.
  void keep_in_storage(std::string_view kept, std::size_t needed);
  // Makes room to read into the storage, dropping the bytes not kept.
  void make_room();
  // Loads the lender's next buffer; false at the end of the input.
  bool load_lent();

  void pass_to_tap(std::uint64_t offset) {
    offset = offset < end_ ? offset : end_;
    tapped_ = tapped_ > base_ ? tapped_ : base_;  // never before the window
    if (tap_ == nullptr || offset <= tapped_) return;
    tap_->input(text(tapped_, offset));
    tapped_ = offset;
  }

  byte_reader* reader_ = nullptr;
  filled_buffer_lender* lender_ = nullptr;
  bool holds_lent_ = false;       // the window is in a lent buffer
  std::size_t largest_lent_ = 0;  // the largest window in a lent buffer
  text_match* tap_ = nullptr;
  std::uint64_t tapped_ = 0;
  std::unique_ptr<char[]> storage_;
  std::size_t capacity_ = 0;
  const char* data_ = nullptr;  // the byte at offset base_
  std::uint64_t base_ = 0;
  std::uint64_t end_ = 0;  // one past the last loaded byte
  std::uint64_t keep_ = 0;
  bool ended_ = false;
  bool read_failed_ = false;
};

}  // namespace corvexa::schema
