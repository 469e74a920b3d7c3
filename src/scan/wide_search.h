// The byte searches of byte_search.h, written once for any width of
// vector. `lanes` supplies the few vector operations the searches need
// (see search_sse2.cc and search_avx2.cc); the byte sets come from the
// ranges of char_classes.h, so a wide search tests exactly the bytes that
// the class table holds.
//
// Only a file built for its width includes this, after the vector
// intrinsics of that width. Nothing here reads past `size`: the last,
// partial vector of a run is copied into a zeroed one first, and what its
// lanes past the run say is cleared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scan/byte_search.h"
#include "scan/char_classes.h"

namespace corvexa::wide {

// Lanes that hold a byte of one of `ranges`.
template <typename lanes, std::size_t count>
typename lanes::vector in_ranges(typename lanes::vector bytes,
                                 const byte_range (&ranges)[count]) {
  typename lanes::vector hit = lanes::none();
  for (const byte_range& range : ranges) {
    hit = lanes::either(hit, range.low == range.high
                                 ? lanes::equal(bytes, static_cast<char>(range.low))
                                 : lanes::in_range(bytes, range.low, range.high));
  }
  return hit;
}

// The `size` bytes at `bytes` (at most a vector's worth), in a vector whose
// lanes past them hold zero.
template <typename lanes>
typename lanes::vector load_part(const char* bytes, std::size_t size) {
  if (size == lanes::width) return lanes::load(bytes);
  char part[lanes::width] = {};
  std::memcpy(part, bytes, size);
  return lanes::load(part);
}

// The bits of the first `size` lanes.
template <typename lanes>
std::uint32_t lanes_below(std::size_t size) {
  return size >= lanes::width ? lanes::all_lanes : (std::uint32_t{1} << size) - 1;
}

// The place of the first byte at which `test` (vector to lane bits) sets a
// bit, or `size`.
template <typename lanes, typename Test>
std::size_t find_first(const char* bytes, std::size_t size, Test test) {
  for (std::size_t at = 0; at < size; at += lanes::width) {
    std::size_t part = size - at < lanes::width ? size - at : lanes::width;
    std::uint32_t found = test(load_part<lanes>(bytes + at, part)) & lanes_below<lanes>(part);
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(found));
  }
  return size;
}

template <typename lanes>
std::size_t name_run_length(const char* bytes, std::size_t size) {
  return find_first<lanes>(bytes, size, [](typename lanes::vector v) {
    return ~lanes::mask(in_ranges<lanes>(v, name_continue_bytes)) & lanes::all_lanes;
  });
}

template <typename lanes>
std::uint64_t mark_quote_or_backslash(const char* bytes, std::size_t size, char quote) {
  std::uint64_t marks = 0;
  for (std::size_t at = 0; at < size; at += lanes::width) {
    std::size_t part = size - at < lanes::width ? size - at : lanes::width;
    typename lanes::vector v = load_part<lanes>(bytes + at, part);
    std::uint64_t found =
        lanes::mask(lanes::either(lanes::equal(v, quote), lanes::equal(v, '\\')));
    marks |= (found & lanes_below<lanes>(part)) << at;
  }
  return marks;
}

template <typename lanes>
watched_marks mark_watched(const char* bytes, std::size_t size,
                           const name_start_set& starts) {
  watched_marks marks;
  for (std::size_t at = 0; at < size; at += lanes::width) {
    std::size_t part = size - at < lanes::width ? size - at : lanes::width;
    typename lanes::vector v = load_part<lanes>(bytes + at, part);
    typename lanes::vector hit = in_ranges<lanes>(v, watched_first_bytes);
    if (starts.any_letter) {
      hit = lanes::either(hit, in_ranges<lanes>(v, word_start_bytes));
    } else {
      for (std::size_t i = 0; i < starts.count; ++i) {
        hit = lanes::either(hit, lanes::equal(v, starts.bytes[i]));
      }
    }
    std::uint64_t in_part = lanes_below<lanes>(part);
    marks.watched |= (lanes::mask(hit) & in_part) << at;
    marks.dollars |= (lanes::mask(lanes::equal(v, '$')) & in_part) << at;
  }
  return marks;
}

// The searches of byte_search.h for `lanes`.
template <typename lanes>
constexpr byte_searches searches_of() {
  return {name_run_length<lanes>, mark_quote_or_backslash<lanes>, mark_watched<lanes>};
}

}  // namespace corvexa::wide
