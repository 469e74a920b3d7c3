// A text that several holders may share without copying it: the block
// loop's last variable and the remembered variable of a run are often the
// same bytes, and a variable name may be as long as the input. A short text
// is kept inside the object and copied with it, which costs less than
// sharing a block; a longer one lives in a block that copies share.
// Assigning new bytes reuses that block when no one else holds it, and
// takes a fresh one otherwise.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "common/byte_text.h"
#include "common/short_copy.h"

namespace corvexa {

class shared_text {
 public:
  std::string_view view() const {
    return long_text_ ? long_text_->view() : std::string_view(short_bytes_, short_size_);
  }
  bool empty() const { return view().empty(); }

  void assign(std::string_view bytes) {
    if (bytes.size() <= short_capacity) {
      assign_short(bytes);
      return;
    }
    if (!long_text_ || long_text_.use_count() > 1) long_text_ = std::make_shared<byte_text>();
    long_text_->assign(bytes);
  }
  // Takes over the bytes of `text`, leaving it empty.
  void take(byte_text&& text) {
    if (text.size() <= short_capacity) {
      assign_short(text);
      text.clear();
      return;
    }
    if (!long_text_ || long_text_.use_count() > 1) long_text_ = std::make_shared<byte_text>();
    *long_text_ = std::move(text);
  }

 private:
  // Most variable names fit.
  static constexpr std::size_t short_capacity = 32;

  void assign_short(std::string_view bytes) {
    long_text_.reset();
    copy_bytes(short_bytes_, bytes.data(), bytes.size());
    short_size_ = bytes.size();
  }

  char short_bytes_[short_capacity] = {};
  std::size_t short_size_ = 0;
  std::shared_ptr<byte_text> long_text_;  // null while the text is short
};

}  // namespace corvexa
