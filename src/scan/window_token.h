// Cutting tokens straight out of the buffered input window. The fast paths
// of the block loop and of the argument reader use this to take whole
// tokens without copying them; a token that the window may not hold
// entirely is left to get_token, which follows it across refills. Both cut
// tokens by the same rules.
#pragma once

#include <cstddef>
#include <string_view>

#include "scan/char_classes.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa {

// The first place at or after `from` holding a byte that may start a token
// of more than one byte (see starts_long_token), or the window's size: the
// bytes before it are whitespace and tokens of their own, which pass through
// as they are. Sixteen bytes at a time where SSE2 is there.
std::size_t skip_plain_bytes(std::string_view window, std::size_t from);

// The first place at or after `from` that holds `quote` or a backslash, or
// the window's size.
std::size_t find_quote_or_backslash(std::string_view window, std::size_t from,
                                    char quote);

// Where the quoted token starting at window[start] ends (one past its
// closing quote), or 0 if the window may not hold all of it.
std::size_t quoted_token_end(std::string_view window, std::size_t start);

// Where the variable, number or word starting at window[start] ends, or 0
// if it reaches the window's end and so may go on.
inline std::size_t name_token_end(std::string_view window, std::size_t start) {
  std::size_t i = start + 1;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a name goes on over digits, capital letters
  // and every byte from "_" (95) up, which takes in the small letters.
  const __m128i underscore = _mm_set1_epi8('_');
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i capital_a = _mm_set1_epi8('A');
  const __m128i twenty_five = _mm_set1_epi8(25);
  for (; i + 16 <= window.size(); i += 16) {
    __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(window.data() + i));
    auto at_most = [](__m128i x, __m128i limit) {  // unsigned x <= limit
      return _mm_cmpeq_epi8(_mm_min_epu8(x, limit), x);
    };
    __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(block, underscore), block);
    __m128i digit = at_most(_mm_sub_epi8(block, zero), nine);
    __m128i capital = at_most(_mm_sub_epi8(block, capital_a), twenty_five);
    int name_bytes = _mm_movemask_epi8(_mm_or_si128(high, _mm_or_si128(digit, capital)));
    if (name_bytes != 0xFFFF) {
      return i + static_cast<std::size_t>(__builtin_ctz(~name_bytes));
    }
  }
#endif
  while (i < window.size() && has_class(window[i], continues_name)) ++i;
  return i < window.size() ? i : 0;
}

// Where the token starting at window[start] (not whitespace) ends, or 0 if
// the window may not hold all of it.
std::size_t token_end(std::string_view window, std::size_t start);

}  // namespace corvexa
