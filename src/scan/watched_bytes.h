// The block loop's pre-scan: finds the bytes of a window that the loop must
// look at, 64 at a time, so that everything between two of them passes
// through as one span without being looked at again. Watched are the bytes
// of watched_first_bytes (quotes, "/", "?") and every byte that a call name
// of the table may begin with; the latter also turn up inside longer
// names, which the block loop tells apart. Variables are not watched: the
// finder only keeps the place of the last "$" in the code it has passed,
// for the loop to cut the variable there once it needs it. The same
// 64-byte pass marks where strings may stop, so that the loop can step over
// a string without searching its bytes again.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/byte_search.h"
#include "scan/call_table.h"
#include "scan/token_cutter.h"

namespace corvexa {

// Walks the watched bytes of one window in order, the marks of 64 bytes at
// a time, each computed once.
class watched_byte_finder {
 public:
  static constexpr std::size_t none = SIZE_MAX;

  watched_byte_finder(std::string_view window, const call_table& calls)
      : window_(window), starts_(calls.name_starts()) {}

  // The place of the first watched byte at or after `from`, or the window's
  // size. The bytes from `from` up to it are code the loop passes, whose
  // last "$" becomes last_dollar(). `from` never goes back between calls.
  std::size_t next(std::size_t from) {
    if (from < base_ || from - base_ >= block) {
      load(from);
    } else {
      std::uint64_t passed_before_from = ~(~std::uint64_t{0} << (from - base_));
      marks_.watched &= ~passed_before_from;
      marks_.dollars &= ~passed_before_from;
    }
    while (marks_.watched == 0) {
      note_last_dollar(marks_.dollars);
      if (window_.size() - base_ <= block) return window_.size();
      load(base_ + block);
    }
    std::size_t found = static_cast<std::size_t>(__builtin_ctzll(marks_.watched));
    note_last_dollar(marks_.dollars & ~(~std::uint64_t{0} << found));
    return base_ + found;
  }

  // One past the end of the string whose opening quote is at `start`, the
  // watched byte found last, or 0 if the string may run past the window.
  // The string's bytes are walked on the marks the pre-scan made anyway,
  // by the token cutter's string rule. A "$" inside it is not code passed.
  std::size_t string_end(std::size_t start) {
    char quote = window_[start];
    std::size_t at = start + 1;
    while (at < window_.size()) {
      if (at - base_ >= block) load(at);
      std::size_t offset = at - base_;
      std::uint64_t stops = (quote == '"' ? marks_.double_quoted_stops
                                          : marks_.single_quoted_stops) >> offset;
      std::size_t size = std::min(window_.size() - at, block - offset);
      string_walk walk = walk_string_stops(window_.data() + at, size, stops, quote);
      if (walk.ended) return at + walk.next;
      at += walk.next;
    }
    return 0;
  }

  // The place of the last "$" in the code passed, or `none`.
  std::size_t last_dollar() const { return last_dollar_; }

 private:
  static constexpr std::size_t block = 64;

  void load(std::size_t at) {
    base_ = at;
    std::size_t count = window_.size() - at < block ? window_.size() - at : block;
    mark_watched(window_.data() + at, count, starts_, marks_);
  }

  void note_last_dollar(std::uint64_t dollars) {
    if (dollars != 0) {
      last_dollar_ = base_ + 63 - static_cast<std::size_t>(__builtin_clzll(dollars));
    }
  }

  std::string_view window_;
  const name_start_set& starts_;
  std::size_t base_ = SIZE_MAX;  // the window place of the marks' bit 0
  watched_marks marks_;
  std::size_t last_dollar_ = none;
};

}  // namespace corvexa
