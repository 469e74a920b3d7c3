// The block loop's pre-scan: finds the bytes of a window that the loop must
// look at, 64 at a time, so that everything between two of them passes
// through as one span without being looked at again. Watched are the first
// bytes of watched_first_bytes (quotes, "$", "/", "?") and every byte that
// a call name of the table may begin with. The latter also turn up inside
// longer names; the block loop tells those apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/call_table.h"

namespace corvexa {

// Bit k is set where bytes[k] is watched, for k below `count` (at most 64).
std::uint64_t watched_mask(const char* bytes, std::size_t count,
                           const call_table& calls);

// Walks the watched bytes of one window in order, a mask of 64 bytes at a
// time, each computed once.
class watched_byte_finder {
 public:
  watched_byte_finder(std::string_view window, const call_table& calls)
      : window_(window), calls_(calls) {}

  // The place of the first watched byte at or after `from`, or the window's
  // size. `from` never goes back between calls.
  std::size_t next(std::size_t from) {
    if (from < base_ || from - base_ >= block) {
      load(from);
    } else {
      mask_ &= ~std::uint64_t{0} << (from - base_);
    }
    while (mask_ == 0) {
      if (window_.size() - base_ <= block) return window_.size();
      load(base_ + block);
    }
    return base_ + static_cast<std::size_t>(__builtin_ctzll(mask_));
  }

 private:
  static constexpr std::size_t block = 64;

  void load(std::size_t at) {
    base_ = at;
    std::size_t count = window_.size() - at < block ? window_.size() - at : block;
    mask_ = watched_mask(window_.data() + at, count, calls_);
  }

  std::string_view window_;
  const call_table& calls_;
  std::size_t base_ = SIZE_MAX;  // the window place of the mask's bit 0
  std::uint64_t mask_ = 0;
};

}  // namespace corvexa
