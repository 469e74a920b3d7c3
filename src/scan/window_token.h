// Cutting tokens straight out of the buffered input window. The fast paths
// of the block loop and of the argument reader use this to take whole
// tokens without copying them; a token that the window may not hold
// entirely is left to get_token, which follows it across refills. Both cut
// tokens by the same rules.
#pragma once

#include <cstddef>
#include <string_view>

#include "scan/byte_lanes.h"
#include "scan/char_classes.h"

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
  for (; i + lanes::width <= window.size(); i += lanes::width) {
    __m128i block = lanes::load(window.data() + i);
    unsigned name_bytes = lanes::mask(
        _mm_or_si128(lanes::in_range(block, '_', 255),
                     _mm_or_si128(lanes::in_range(block, '0', '9'),
                                  lanes::in_range(block, 'A', 'Z'))));
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
