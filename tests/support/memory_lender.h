// Lends bytes held in memory the way the read-ahead reader lends its
// chunks: in buffers of the given sizes in turn, each with `room` writable
// bytes before it, for tests and fuzzers of the readers that parse lent
// buffers in place. It is never read by read_some.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/byte_streams.h"

namespace corvexa {

class memory_lender final : public byte_reader, public filled_buffer_lender {
 public:
  // `sizes` holds at least one size, none of them 0.
  memory_lender(std::string_view bytes, std::vector<std::size_t> sizes, std::size_t room)
      : rest_(bytes), sizes_(std::move(sizes)), room_(room) {}

  long read_some(char*, std::size_t) override { return -1; }
  filled_buffer_lender* lender() override { return this; }
  bool lend(lent_bytes& filled) override {
    if (rest_.empty()) return false;
    std::size_t size = std::min(rest_.size(), sizes_[lent_count_++ % sizes_.size()]);
    // Each buffer a string of its own, so that a read past the room or
    // past the bytes is out of bounds for the sanitizers.
    lent_.emplace_back(room_, '\0');
    lent_.back().append(rest_.substr(0, size));
    rest_.remove_prefix(size);
    filled = {lent_.back().data() + room_, size, room_};
    return true;
  }
  // Gives back the oldest buffer lent (none out: noted).
  void give_back() override {
    if (lent_.empty()) {
      given_back_too_often = true;
      return;
    }
    lent_.pop_front();
  }
  bool failed() override { return false; }

  // How many buffers are lent and not given back.
  std::size_t held() const { return lent_.size(); }
  bool given_back_too_often = false;

 private:
  std::string_view rest_;
  std::vector<std::size_t> sizes_;
  std::size_t room_;
  std::size_t lent_count_ = 0;
  std::deque<std::string> lent_;
};

}  // namespace corvexa
