// Where a token of PHP code ends: the seed converter's rules, in one place.
//
// The first byte of a token chooses its kind. A quote starts a string,
// which runs to the same quote again; a backslash in it takes the byte after
// it along, so an escaped quote does not end it. "$", a digit or an ASCII
// letter starts a name (a variable, a number or a word), which goes on over
// the bytes that continue names. "/" pairs with a following "/" or "*", and
// "?" with a following ">". Any other byte is a token of its own. At the end
// of the input a token ends as read.
//
// A cutter is handed the bytes after the first in pieces, as they come, so
// that the token source can follow a token across buffer refills, and cut
// whole tokens out of one window by the very same rules.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(CORVEXA_WIDE_SEARCH) && defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scan/byte_search.h"
#include "scan/char_classes.h"

namespace corvexa {

// The string rule, on the stops of one block of a string's bytes: the
// bytes that are its quote or a backslash, bit k for the block's byte k.
// The walk goes from the block's first byte, which is not escaped.
struct string_walk {
  // The string ended: `next` is one past its closing quote.
  bool ended = false;
  // Where the walk goes on: one past the closing quote, the block's size,
  // or, when the block's last byte is a backslash, one past the block (the
  // escaped byte begins whatever comes next).
  std::size_t next = 0;
};

inline string_walk walk_string_stops(const char* block, std::size_t size, std::uint64_t stops,
                                     char quote) {
  while (stops != 0) {
    std::size_t at = static_cast<std::size_t>(__builtin_ctzll(stops));
    if (block[at] == quote) return {true, at + 1};
    // A backslash takes the byte after it along, whatever it is.
    if (at + 1 >= size) return {false, at + 2};
    stops &= stops - 1;
    stops &= ~(std::uint64_t{1} << (at + 1));
  }
  return {false, size};
}

#if defined(CORVEXA_WIDE_SEARCH) && defined(__SSE2__)
// The bits of the 16 bytes at `bytes` that do not continue a name, byte k
// in bit k: the test of the SSE2 search (search_sse2.cc), inline, since
// the scanner asks it of nearly every name it cuts.
inline std::uint32_t name_stops_16(const char* bytes) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  __m128i hit = _mm_setzero_si128();
  for (const byte_range& range : name_continue_bytes) {
    __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(range.low)));
    __m128i span = _mm_set1_epi8(static_cast<char>(range.high - range.low));
    hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset));
  }
  return ~static_cast<std::uint32_t>(_mm_movemask_epi8(hit)) & 0xFFFF;
}
#endif

#if defined(CORVEXA_WIDE_SEARCH) && defined(__SSE2__)
// How many bytes at the start of `bytes`, whose first 16 continue a name,
// do: the next 16 are looked at before the run is handed to the wide
// search, as many names of the MySQL extension ("mysql_affected_rows")
// are that long. Out of line, so that the loops that cut names keep their
// registers for the short ones.
std::size_t long_name_run_length(std::string_view bytes);
#endif

// How many bytes at the start of `bytes` continue a name, for a run that
// is most often short, as names in code are: the first bytes are looked at
// here, and only a longer run is handed on.
inline std::size_t short_name_run_length(std::string_view bytes) {
  constexpr std::size_t looked_at_here = 16;
#if defined(CORVEXA_WIDE_SEARCH) && defined(__SSE2__)
  if (bytes.size() >= looked_at_here) {
    if (std::uint32_t stops = name_stops_16(bytes.data()); stops != 0) {
      return static_cast<std::size_t>(__builtin_ctz(stops));
    }
    return long_name_run_length(bytes);
  }
#endif
  std::size_t i = 0;
  for (; i < bytes.size() && i < looked_at_here; ++i) {
    if (!has_class(bytes[i], continues_name)) return i;
  }
  return i + name_run_length(bytes.substr(i));
}

class token_cutter {
 public:
  // Begins the token whose first byte is `first` (not whitespace).
  explicit token_cutter(char first) {
    if (has_class(first, starts_quoted)) {
      state_ = state::in_string;
      quote_ = first;
    } else if (has_class(first, starts_name)) {
      state_ = state::in_name;
    } else if (first == '/') {
      state_ = state::before_pair;
      pair_ = {'/', '*'};
    } else if (first == '?') {
      state_ = state::before_pair;
      pair_ = {'>', '>'};
    }
  }

  // How many bytes at the start of `bytes`, which follow everything the
  // cutter was handed so far, belong to the token. Until ended(), all of
  // them do and the token may go on.
  std::size_t take(std::string_view bytes) {
    switch (state_) {
      case state::ended: return 0;
      case state::in_name: {
        std::size_t run = short_name_run_length(bytes);
        if (run < bytes.size()) state_ = state::ended;
        return run;
      }
      case state::before_pair:
        if (bytes.empty()) return 0;
        state_ = state::ended;
        return bytes[0] == pair_[0] || bytes[0] == pair_[1] ? 1 : 0;
      case state::in_string:
      case state::after_backslash: return take_string(bytes);
    }
    return 0;
  }

  // True once the token has ended within the bytes handed over.
  bool ended() const { return state_ == state::ended; }

 private:
  enum class state : std::uint8_t {
    ended,
    in_name,
    in_string,
    after_backslash,  // in a string, the byte after a backslash comes next
    before_pair,      // "/" or "?": the next byte may pair with it
  };

  std::size_t take_string(std::string_view bytes);

  state state_ = state::ended;
  char quote_ = '\0';
  std::array<char, 2> pair_ = {};  // the bytes that pair with "/" or "?" (">" twice)
};

// Where the token that starts at window[start] (not whitespace) ends: one
// past its last byte, or 0 if it may go on past the window's end.
inline std::size_t token_end(std::string_view window, std::size_t start) {
  token_cutter cutter(window[start]);
  std::size_t rest = cutter.take(window.substr(start + 1));
  return cutter.ended() ? start + 1 + rest : 0;
}

}  // namespace corvexa
