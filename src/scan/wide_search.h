// The byte searches of byte_search.h, written once for any width of
// vector. `lanes` supplies the few vector operations the searches need
// (see search_sse2.cc and search_avx2.cc); the byte sets come from the
// ranges of char_classes.h, so a wide search tests exactly the bytes that
// the class table holds.
//
// Only a file built for its width includes this, after the vector
// intrinsics of that width. Nothing here reads past `size`: the last,
// partial vector of a run (or block of 64 bytes, for the marks) is copied
// into a zeroed one first, and what its lanes past the run say is cleared.
//
// Everything here is in an unnamed namespace, so that each width's file has
// its own copies: an inline function that the files shared would be
// compiled once per width, and the linker could then keep the AVX2 copy for
// the SSE2 searches too, which run on processors without AVX2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scan/byte_search.h"
#include "scan/char_classes.h"

namespace corvexa::wide {
namespace {

// Lanes that hold a byte of one of `ranges`.
template <typename lanes, std::size_t count>
typename lanes::vector in_ranges(typename lanes::vector bytes, const byte_range (&ranges)[count]) {
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

// The result of `mark_block` (64 bytes to their marks) for the first `size`
// bytes (at most 64): in place when there are 64, otherwise for a zeroed
// copy, whose marks past `size` the caller clears (see first_bits). Every
// block but a window's last is whole, so marking loads full vectors only.
template <typename MarkBlock>
auto mark_up_to_64(const char* bytes, std::size_t size, MarkBlock mark_block) {
  if (size == 64) return mark_block(bytes);
  char block[64] = {};
  std::memcpy(block, bytes, size);
  return mark_block(block);
}

// The bits of the first `size` bytes of a block.
inline std::uint64_t first_bits(std::size_t size) {
  return size >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
}

// Bit k set where lane k of `test`, applied to each vector of the 64 bytes
// at `bytes`, is set.
template <typename lanes, typename Test>
std::uint64_t mark_64(const char* bytes, Test test) {
  std::uint64_t marks = 0;
  for (std::size_t at = 0; at < 64; at += lanes::width) {
    marks |= std::uint64_t{lanes::mask(test(lanes::load(bytes + at)))} << at;
  }
  return marks;
}

// Lanes where a string in `quote`s may stop: its quote ends it, and a
// backslash escapes the byte after it.
template <typename lanes>
typename lanes::vector string_stops(typename lanes::vector bytes, char quote) {
  return lanes::either(lanes::equal(bytes, quote), lanes::equal(bytes, '\\'));
}

template <typename lanes>
std::uint64_t mark_quote_or_backslash(const char* bytes, std::size_t size, char quote) {
  std::uint64_t marks = mark_up_to_64(bytes, size, [quote](const char* block) {
    return mark_64<lanes>(
        block, [quote](typename lanes::vector v) { return string_stops<lanes>(v, quote); });
  });
  return marks & first_bits(size);
}

// The watched bytes, the dollars and the string stops of the 64 bytes at
// `block`, where `starts_name(vector)` gives the lanes that may start a
// call name. Inlined into each of its uses, so that each compares with its
// constants in registers rather than setting them up again for every
// vector.
template <typename lanes, typename StartsName>
[[gnu::always_inline]] inline watched_marks mark_watched_64(const char* block,
                                                            const name_start_set& set,
                                                            StartsName starts_name) {
  // The quotes are the first two watched bytes.
  static_assert(watched_first_bytes[0].low == '"' && watched_first_bytes[1].low == '\'');
  watched_marks found;
  for (std::size_t at = 0; at < 64; at += lanes::width) {
    typename lanes::vector v = lanes::load(block + at);
    typename lanes::vector double_quote = lanes::equal(v, set.repeated_watched[0]);
    typename lanes::vector single_quote = lanes::equal(v, set.repeated_watched[1]);
    typename lanes::vector watched =
        lanes::either(lanes::either(double_quote, single_quote),
                      lanes::either(lanes::either(lanes::equal(v, set.repeated_watched[2]),
                                                  lanes::equal(v, set.repeated_watched[3])),
                                    starts_name(v)));
    typename lanes::vector backslash = lanes::equal(v, set.repeated_backslash);
    found.watched |= std::uint64_t{lanes::mask(watched)} << at;
    found.dollars |= std::uint64_t{lanes::mask(lanes::equal(v, set.repeated_dollar))} << at;
    found.double_quoted_stops |= std::uint64_t{lanes::mask(lanes::either(double_quote, backslash))}
                                 << at;
    found.single_quoted_stops |= std::uint64_t{lanes::mask(lanes::either(single_quote, backslash))}
                                 << at;
  }
  return found;
}

// The marks of the 64 bytes at `block`.
template <typename lanes>
[[gnu::always_inline]] inline watched_marks mark_watched_block(const char* block,
                                                               const name_start_set& starts) {
  if (starts.any_letter) {
    return mark_watched_64<lanes>(block, starts, [](typename lanes::vector v) {
      return in_ranges<lanes>(v, word_start_bytes);
    });
  }
  // The names of a table mostly begin with one letter, in either case: two
  // places are compared then, all four otherwise. Unused places repeat a
  // byte that is watched anyway.
  if (starts.count <= 2) {
    return mark_watched_64<lanes>(block, starts, [&starts](typename lanes::vector v) {
      return lanes::either(lanes::equal(v, starts.repeated_starts[0]),
                           lanes::equal(v, starts.repeated_starts[1]));
    });
  }
  return mark_watched_64<lanes>(block, starts, [&starts](typename lanes::vector v) {
    typename lanes::vector hit = lanes::equal(v, starts.repeated_starts[0]);
    for (std::size_t i = 1; i < name_start_set::most_bytes; ++i) {
      hit = lanes::either(hit, lanes::equal(v, starts.repeated_starts[i]));
    }
    return hit;
  });
}

// The marks of the last block of a window, of fewer than 64 bytes, made in
// a zeroed copy. A function of its own, so that the marking of the whole
// blocks, which are nearly all, keeps no copy on the stack.
template <typename lanes>
[[gnu::noinline]] void mark_watched_part(const char* bytes, std::size_t size,
                                         const name_start_set& starts, watched_marks& into) {
  char block[64] = {};
  std::memcpy(block, bytes, size);
  watched_marks marks = mark_watched_block<lanes>(block, starts);
  std::uint64_t inside = first_bits(size);
  into.watched = marks.watched & inside;
  into.dollars = marks.dollars & inside;
  into.double_quoted_stops = marks.double_quoted_stops & inside;
  into.single_quoted_stops = marks.single_quoted_stops & inside;
}

template <typename lanes>
void mark_watched(const char* bytes, std::size_t size, const name_start_set& starts,
                  watched_marks& into) {
  if (size < 64) {
    mark_watched_part<lanes>(bytes, size, starts, into);
    return;
  }
  into = mark_watched_block<lanes>(bytes, starts);
}

// The searches of byte_search.h for `lanes`.
template <typename lanes>
constexpr byte_searches searches_of() {
  return {name_run_length<lanes>, mark_quote_or_backslash<lanes>, mark_watched<lanes>};
}

}  // namespace
}  // namespace corvexa::wide
