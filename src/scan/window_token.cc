// Token ends within a window, by the tokenizer's rules.
#include "scan/window_token.h"

#include "scan/byte_lanes.h"

namespace corvexa {

// The first place at or after `from` that holds `quote` or a backslash, or
// the window's size. Sixteen bytes at a time where SSE2 is there.
std::size_t find_quote_or_backslash(std::string_view window, std::size_t from,
                                    char quote) {
#if defined(__SSE2__)
  for (; from + lanes::width <= window.size(); from += lanes::width) {
    __m128i block = lanes::load(window.data() + from);
    unsigned stops = lanes::mask(
        _mm_or_si128(lanes::equal(block, quote), lanes::equal(block, '\\')));
    if (stops != 0) return from + static_cast<std::size_t>(__builtin_ctz(stops));
  }
#endif
  while (from < window.size() && window[from] != quote && window[from] != '\\') {
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

std::size_t quoted_token_end(std::string_view window, std::size_t start) {
  const char quote = window[start];
  std::size_t i = find_quote_or_backslash(window, start + 1, quote);
  while (i < window.size()) {
    if (window[i] == quote) return i + 1;
    // A backslash: the byte after it never closes the string.
    if (i + 2 > window.size()) return 0;
    i = find_quote_or_backslash(window, i + 2, quote);
  }
  return 0;
}

std::size_t token_end(std::string_view window, std::size_t start) {
  char c = window[start];
  if (has_class(c, starts_name)) return name_token_end(window, start);
  if (has_class(c, starts_quoted)) return quoted_token_end(window, start);
  if (c == '/' || c == '?') {
    if (start + 1 == window.size()) return 0;
    char second = window[start + 1];
    bool pair = c == '/' ? (second == '/' || second == '*') : second == '>';
    return start + (pair ? 2 : 1);
  }
  return start + 1;
}

}  // namespace corvexa
