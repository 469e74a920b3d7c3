// The block loop's pre-scan: finds the bytes of the buffered window that the
// loop must look at, 64 at a time, so that everything between two of them
// passes through as one span without being looked at again. Watched are the
// bytes of the class starts_watched (quotes, "/", "?": see char_classes.h)
// and every byte that a call name of the table may begin with; the latter
// also turn up inside longer names, which the token source tells apart.
// Variables are not watched: the finder only keeps the place of the last
// "$" in the code passed, for the variable to be cut there once a call
// needs it. The same 64-byte pass marks where strings may end, so that a
// string is not searched again.
//
// The marks of a block depend on its bytes alone, so they are kept by the
// input offset of the block: when the loop comes back to the window after a
// call or a comment, the block it stopped in is not marked a second time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/byte_search.h"
#include "scan/token_cutter.h"

namespace corvexa {

// Walks the watched bytes of the window in order, the marks of 64 bytes at
// a time, each computed once.
class watched_byte_finder {
 public:
  static constexpr std::size_t none = SIZE_MAX;

  explicit watched_byte_finder(const name_start_set& starts) : starts_(starts) {}

  // From now on the finder looks at `window`, whose first byte is at input
  // offset `offset`. Input offsets never go back between calls, and the code
  // before `offset` is no longer the finder's: its last "$" is forgotten.
  void look_at(std::string_view window, std::uint64_t offset) {
    window_ = window;
    window_offset_ = offset;
    base_ = static_cast<std::size_t>(block_offset_ - offset);
    last_dollar_ = none;
  }

  // The place in the window of the first watched byte at or after `from`,
  // or the window's size. The bytes from `from` up to it are code passed,
  // whose last "$" becomes last_dollar(). `from` never goes back.
  std::size_t next(std::size_t from) {
    if (!holds(from)) load(from);
    // The marks before `from` are masked off here rather than cleared in
    // the block's marks, which are then only ever read.
    std::uint64_t from_on = ~std::uint64_t{0} << (from - base());
    std::uint64_t watched = marks_.watched & from_on;
    std::uint64_t dollars = marks_.dollars & from_on;
    while (watched == 0) {
      note_last_dollar(dollars);
      std::size_t block_end = base() + block_size_;
      if (block_end >= window_.size()) return window_.size();
      load(block_end);
      watched = marks_.watched;
      dollars = marks_.dollars;
    }
    std::size_t found = static_cast<std::size_t>(__builtin_ctzll(watched));
    note_last_dollar(dollars & ~(~std::uint64_t{0} << found));
    return base() + found;
  }

  // One past the end of the token that begins at `start` (not whitespace),
  // or 0 if it may run past the window: a string is walked on the marks,
  // whatever else is cut by the token cutter's rules.
  std::size_t token_end_at(std::size_t start) {
    return token_end_at(start, classes_of(window_[start]));
  }
  // The same, for a caller that has looked up the classes of the first
  // byte already.
  std::size_t token_end_at(std::size_t start, unsigned char first_classes) {
    if ((first_classes & starts_name) != 0) return name_end(start);
    // Any byte but the watched ones is a token of its own, as the token
    // cutter says; "(", "," and ")" are most of them here.
    if ((first_classes & starts_watched) == 0) return start + 1;
    if ((first_classes & starts_quoted) != 0) {
      if (!holds(start)) load(start);
      return string_end(start);
    }
    return token_end(window_, start);
  }

  // One past the end of the name that begins at `start`, or 0 if the name
  // may run past the window. Names are short, and cut a byte at a time.
  std::size_t name_end(std::size_t start) const {
    // Built in place rather than by substr(), whose bounds check the
    // block loop would pay at every name.
    std::string_view rest(window_.data() + start + 1, window_.size() - start - 1);
    std::size_t end = start + 1 + short_name_run_length(rest);
    return end < window_.size() ? end : 0;
  }

  // One past the end of the string whose opening quote is at `start`, in
  // the block marked last, or 0 if the string may run past the window.
  // The string's bytes are walked on the marks the pre-scan made anyway,
  // by the token cutter's string rule. A "$" inside it is not code passed.
  std::size_t string_end(std::size_t start) {
    char quote = window_[start];
    std::size_t at = start + 1;
    while (at < window_.size()) {
      if (!holds(at)) load(at);
      std::size_t offset = at - base();
      std::uint64_t stops =
          (quote == '"' ? marks_.double_quoted_stops : marks_.single_quoted_stops) >> offset;
      std::size_t size = block_size_ - offset;
      string_walk walk = walk_string_stops(window_.data() + at, size, stops, quote);
      if (walk.ended) return at + walk.next;
      at += walk.next;
    }
    return 0;
  }

  // The place in the window of the last "$" in the code passed, or `none`.
  std::size_t last_dollar() const { return last_dollar_; }
  // Forgets the last "$": the variable it began has been taken.
  void forget_last_dollar() { last_dollar_ = none; }

 private:
  static constexpr std::size_t block = 64;

  // The window place of the marks' bit 0. The block may begin before the
  // window does (the loop came back to it after a call, say): the
  // arithmetic on places is modular, and comes right for every place the
  // block holds.
  std::size_t base() const { return base_; }

  // True if the marks held are those of the block that window[at] is in.
  // A place before the block wraps round to one far past it.
  bool holds(std::size_t at) const { return at - base_ < block_size_; }

  void load(std::size_t at) {
    block_offset_ = window_offset_ + at;
    base_ = at;
    block_size_ = std::min(window_.size() - at, block);
    mark_watched(window_.data() + at, block_size_, starts_, marks_);
  }

  void note_last_dollar(std::uint64_t dollars) {
    if (dollars != 0) {
      last_dollar_ = base() + 63 - static_cast<std::size_t>(__builtin_clzll(dollars));
    }
  }

  const name_start_set& starts_;
  std::string_view window_;
  std::uint64_t window_offset_ = 0;          // the input offset of window_[0]
  std::uint64_t block_offset_ = UINT64_MAX;  // the input offset of the marks' bit 0
  // The window place of the marks' bit 0, kept with the block rather than
  // worked out from the offsets at every look at the marks.
  std::size_t base_ = 0;
  std::size_t block_size_ = 0;
  watched_marks marks_;
  std::size_t last_dollar_ = none;
};

}  // namespace corvexa
