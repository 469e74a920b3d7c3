// The byte-at-a-time searches, which every build has, and the choice of the
// width in use.
#include "scan/byte_search.h"

#include <array>
#include <iterator>

#include "scan/char_classes.h"
#include "scan/search_widths.h"

namespace corvexa {
namespace {

std::size_t bytewise_name_run_length(const char* bytes, std::size_t size) {
  std::size_t i = 0;
  while (i < size && has_class(bytes[i], continues_name)) ++i;
  return i;
}

// Where a string in `quote`s may stop: its quote ends it, and a backslash
// escapes the byte after it.
bool is_string_stop(char c, char quote) { return c == quote || c == '\\'; }

std::uint64_t bytewise_mark_quote_or_backslash(const char* bytes, std::size_t size, char quote) {
  std::uint64_t marks = 0;
  for (std::size_t k = 0; k < size; ++k) {
    marks |= std::uint64_t{is_string_stop(bytes[k], quote)} << k;
  }
  return marks;
}

bool may_start_call_name(char c, const name_start_set& starts) {
  if (starts.any_letter) return has_class(c, starts_word);
  for (std::size_t i = 0; i < starts.count; ++i) {
    if (starts.bytes[i] == c) return true;
  }
  return false;
}

void bytewise_mark_watched(const char* bytes, std::size_t size, const name_start_set& starts,
                           watched_marks& marks) {
  marks = {};
  for (std::size_t k = 0; k < size; ++k) {
    char c = bytes[k];
    bool watched = has_class(c, starts_watched) || may_start_call_name(c, starts);
    marks.watched |= std::uint64_t{watched} << k;
    marks.dollars |= std::uint64_t{c == '$'} << k;
    marks.double_quoted_stops |= std::uint64_t{is_string_stop(c, '"')} << k;
    marks.single_quoted_stops |= std::uint64_t{is_string_stop(c, '\'')} << k;
  }
}

// What this build and this processor can run, widest first.
struct width_list {
  std::array<search_width, 3> widths;
  std::size_t count = 0;
};

width_list find_available_widths() {
  width_list list{};
#if defined(CORVEXA_WIDE_SEARCH)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) list.widths[list.count++] = search_width::avx2;
  list.widths[list.count++] = search_width::sse2;
#endif
  list.widths[list.count++] = search_width::bytewise;
  return list;
}

const width_list& available() {
  static const width_list list = find_available_widths();
  return list;
}

const byte_searches& searches_of(search_width width) {
  switch (width) {
#if defined(CORVEXA_WIDE_SEARCH)
    case search_width::avx2: return avx2_searches;
    case search_width::sse2: return sse2_searches;
#endif
    default: return bytewise_searches;
  }
}

// The searches in use until a width is chosen: the first call picks the
// widest available and hands over to it. Being a constant, this needs no
// start-up code, so no other start-up code can find the choice not yet made.
// Workers that make their first search together all store the same width.
void use_widest() { use_search_width(available().widths[0]); }

std::size_t first_name_run_length(const char* bytes, std::size_t size) {
  use_widest();
  return detail::searches().name_run_length(bytes, size);
}

std::uint64_t first_mark_quote_or_backslash(const char* bytes, std::size_t size, char quote) {
  use_widest();
  return detail::searches().mark_quote_or_backslash(bytes, size, quote);
}

void first_mark_watched(const char* bytes, std::size_t size, const name_start_set& starts,
                        watched_marks& marks) {
  use_widest();
  detail::searches().mark_watched(bytes, size, starts, marks);
}

constexpr byte_searches widest_on_first_use = {first_name_run_length, first_mark_quote_or_backslash,
                                               first_mark_watched};

}  // namespace

const byte_searches bytewise_searches = {bytewise_name_run_length, bytewise_mark_quote_or_backslash,
                                         bytewise_mark_watched};

namespace detail {
constinit std::atomic<const byte_searches*> searches_in_use{&widest_on_first_use};
}  // namespace detail

namespace {

void repeat(char c, repeated_byte& into) {
  for (char& lane : into.lanes) lane = c;
}

constexpr bool are_single_bytes(std::span<const byte_range> ranges) {
  for (byte_range range : ranges) {
    if (range.low != range.high) return false;
  }
  return true;
}
// The wide pre-scans compare a block with each watched first byte.
static_assert(are_single_bytes(watched_first_bytes));

// The vectors of the wide searches that do not depend on the call names.
void repeat_watched_bytes(name_start_set& set) {
  static_assert(std::size(watched_first_bytes) == std::size(name_start_set{}.repeated_watched));
  for (std::size_t i = 0; i < std::size(watched_first_bytes); ++i) {
    // Single bytes, each compared on its own.
    repeat(static_cast<char>(watched_first_bytes[i].low), set.repeated_watched[i]);
  }
  repeat('$', set.repeated_dollar);
  repeat('\\', set.repeated_backslash);
}

}  // namespace

name_start_set make_name_start_set(std::string_view starts) {
  name_start_set set;
  repeat_watched_bytes(set);
  if (starts.size() > name_start_set::most_bytes) {
    set.any_letter = true;
    return set;
  }
  for (char c : starts) set.bytes[set.count++] = c;
  char filler = set.count > 0 ? set.bytes[0] : watched_first_bytes[0].low;
  for (std::size_t i = set.count; i < name_start_set::most_bytes; ++i) set.bytes[i] = filler;
  for (std::size_t i = 0; i < name_start_set::most_bytes; ++i) {
    repeat(set.bytes[i], set.repeated_starts[i]);
  }
  return set;
}

std::span<const search_width> available_search_widths() {
  return {available().widths.data(), available().count};
}

void use_search_width(search_width width) {
  detail::searches_in_use.store(&searches_of(width), std::memory_order_relaxed);
}

search_width search_width_in_use() {
  if (&detail::searches() == &widest_on_first_use) use_widest();
  for (search_width width : available_search_widths()) {
    if (&searches_of(width) == &detail::searches()) return width;
  }
  return search_width::bytewise;
}

std::string_view name_of(search_width width) {
  switch (width) {
    case search_width::avx2: return "avx2";
    case search_width::sse2: return "sse2";
    case search_width::bytewise: break;
  }
  return "bytewise";
}

}  // namespace corvexa
