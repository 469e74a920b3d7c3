// A text that several holders may share without copying it: the block
// loop's last variable and the remembered variable of a run are often the
// same bytes, and a variable name may be as long as the input. Copying a
// shared_text shares the bytes; assigning new bytes reuses the block when
// no one else holds it, and takes a fresh one otherwise.
#pragma once

#include <memory>
#include <string_view>

#include "common/byte_text.h"

namespace corvexa {

class shared_text {
 public:
  std::string_view view() const {
    return text_ ? text_->view() : std::string_view("");
  }
  bool empty() const { return view().empty(); }

  void assign(std::string_view bytes) {
    if (!text_ || text_.use_count() > 1) text_ = std::make_shared<byte_text>();
    text_->assign(bytes);
  }
  // Takes over the bytes of `text`, leaving it empty.
  void take(byte_text&& text) {
    if (!text_ || text_.use_count() > 1) text_ = std::make_shared<byte_text>();
    *text_ = std::move(text);
  }

 private:
  std::shared_ptr<byte_text> text_;
};

}  // namespace corvexa
