// The byte searches, each a wide loop over whole blocks of sixteen bytes
// where SSE2 is there and a byte loop over the class table for the rest.
#include "scan/byte_search.h"

#include "scan/byte_lanes.h"
#include "scan/char_classes.h"

namespace corvexa {

std::size_t name_run_length(std::string_view bytes) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // A name goes on over digits, capital letters and every byte from "_"
  // (95) up, which takes in the small letters.
  for (; i + lanes::width <= bytes.size(); i += lanes::width) {
    __m128i block = lanes::load(bytes.data() + i);
    unsigned name_bytes = lanes::mask(
        _mm_or_si128(lanes::in_range(block, '_', 255),
                     _mm_or_si128(lanes::in_range(block, '0', '9'),
                                  lanes::in_range(block, 'A', 'Z'))));
    if (name_bytes != 0xFFFF) {
      return i + static_cast<std::size_t>(__builtin_ctz(~name_bytes));
    }
  }
#endif
  while (i < bytes.size() && has_class(bytes[i], continues_name)) ++i;
  return i;
}

std::size_t find_quote_or_backslash(std::string_view bytes, std::size_t from,
                                    char quote) {
#if defined(__SSE2__)
  for (; from + lanes::width <= bytes.size(); from += lanes::width) {
    __m128i block = lanes::load(bytes.data() + from);
    unsigned stops = lanes::mask(
        _mm_or_si128(lanes::equal(block, quote), lanes::equal(block, '\\')));
    if (stops != 0) return from + static_cast<std::size_t>(__builtin_ctz(stops));
  }
#endif
  while (from < bytes.size() && bytes[from] != quote && bytes[from] != '\\') {
    ++from;
  }
  return from;
}

std::size_t skip_plain_bytes(std::string_view window, std::size_t from) {
#if defined(__SSE2__)
  for (; from + lanes::width <= window.size(); from += lanes::width) {
    __m128i block = lanes::load(window.data() + from);
    // Setting the case bit folds capital letters onto small ones.
    __m128i letter = lanes::in_range(_mm_or_si128(block, _mm_set1_epi8(0x20)), 'a', 'z');
    __m128i digit = lanes::in_range(block, '0', '9');
    __m128i quote = _mm_or_si128(lanes::equal(block, '\''), lanes::equal(block, '"'));
    __m128i other = _mm_or_si128(lanes::equal(block, '$'),
                                 _mm_or_si128(lanes::equal(block, '/'),
                                              lanes::equal(block, '?')));
    unsigned starts = lanes::mask(
        _mm_or_si128(_mm_or_si128(letter, digit), _mm_or_si128(quote, other)));
    if (starts != 0) return from + static_cast<std::size_t>(__builtin_ctz(starts));
  }
#endif
  while (from < window.size() && !has_class(window[from], starts_long_token)) {
    ++from;
  }
  return from;
}

}  // namespace corvexa
