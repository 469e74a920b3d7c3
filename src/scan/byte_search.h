// Searches over runs of input bytes that the scanner makes again and again:
// how far a name runs, where a string's quotes and backslashes are, and
// which bytes of a block the block loop must look at. Each is written once per
// width: a byte at a time over the class table (the reference, and all a
// build with CORVEXA_SCALAR has), and 16 (SSE2) or 32 (AVX2) bytes at a time
// from the same byte ranges (wide_search.h). The widest that the build and
// the processor have is used; tests and fuzzers can pick any width, to
// check the wide searches against the reference.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvexa {

// A byte repeated over a vector of the widest search.
struct repeated_byte {
  static constexpr std::size_t width = 32;
  alignas(width) char lanes[width] = {};
};

// The bytes a call name may begin with, in the form the watched-byte search
// takes them: up to four bytes, or, for a table whose names begin in more
// ways, every ASCII letter.
struct name_start_set {
  static constexpr std::size_t most_bytes = 4;
  // The first `count` are the bytes; the places after them repeat a byte
  // that is watched anyway, so that a wide search may compare all four.
  char bytes[most_bytes] = {};
  std::size_t count = 0;
  bool any_letter = false;
  // For the wide searches, each byte that every block is compared with,
  // repeated over a vector: `bytes`, the watched first bytes (see
  // char_classes.h), "$" and the backslash. A compare takes its vector
  // from memory at no cost of its own, where a constant was built in
  // registers again for every block.
  repeated_byte repeated_starts[most_bytes];
  repeated_byte repeated_watched[4];
  repeated_byte repeated_dollar;
  repeated_byte repeated_backslash;
};

// The set for the bytes `starts` (each once).
name_start_set make_name_start_set(std::string_view starts);

// The bytes of a block of at most 64 that the block loop must look at, one
// bit each, byte k in bit k.
struct watched_marks {
  // Bytes that begin a token the loop must see whole (watched_first_bytes)
  // or may begin a call name.
  std::uint64_t watched = 0;
  // "$", which begins a variable.
  std::uint64_t dollars = 0;
  // Where a string in double quotes, or in single quotes, may end or
  // escape its next byte: its quote or a backslash.
  std::uint64_t double_quoted_stops = 0;
  std::uint64_t single_quoted_stops = 0;
};

enum class search_width : std::uint8_t { bytewise, sse2, avx2 };

// The searches of one width, on `size` bytes at `bytes`.
struct byte_searches {
  // How many bytes at the start continue a name (see continues_name).
  std::size_t (*name_run_length)(const char* bytes, std::size_t size);
  // Bit k set where bytes[k] is `quote` or a backslash; `size` is at most
  // 64.
  std::uint64_t (*mark_quote_or_backslash)(const char* bytes, std::size_t size, char quote);
  // The watched bytes, the dollars and the string stops, into `marks`;
  // `size` is at most 64.
  // (Returned by value, the marks were copied through memory in a way that
  // stalled the block loop on every load.)
  void (*mark_watched)(const char* bytes, std::size_t size, const name_start_set& starts,
                       watched_marks& marks);
};

namespace detail {
// The searches of the width in use. Every worker thread reads it on every
// search, and the first search (or a test) sets it, so it is atomic; a
// relaxed load is enough, since the tables it points to are constants.
extern std::atomic<const byte_searches*> searches_in_use;

inline const byte_searches& searches() { return *searches_in_use.load(std::memory_order_relaxed); }
}  // namespace detail

// How many bytes at the start of `bytes` continue a name: all of them if
// the name may go on past their end.
inline std::size_t name_run_length(std::string_view bytes) {
  return detail::searches().name_run_length(bytes.data(), bytes.size());
}

// Marks the bytes among the first `size` (at most 64) of `bytes` that are
// `quote` or a backslash, byte k in bit k: where a string may end, or
// escape its next byte.
inline std::uint64_t mark_quote_or_backslash(const char* bytes, std::size_t size, char quote) {
  return detail::searches().mark_quote_or_backslash(bytes, size, quote);
}

// Marks the watched bytes, the dollars and the string stops among the
// first `size` (at most 64) of `bytes`, into `marks`.
inline void mark_watched(const char* bytes, std::size_t size, const name_start_set& starts,
                         watched_marks& marks) {
  detail::searches().mark_watched(bytes, size, starts, marks);
}

// The widths this build can run on this processor, widest first.
std::span<const search_width> available_search_widths();
// Runs every search at `width` from now on, which must be available. The
// widest is used until this is called. Not for use during a conversion.
void use_search_width(search_width width);
search_width search_width_in_use();
std::string_view name_of(search_width width);

}  // namespace corvexa
