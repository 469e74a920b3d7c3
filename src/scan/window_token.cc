// Token ends within a window, by the tokenizer's rules.
#include "scan/window_token.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa {

// The first place at or after `from` that holds `quote` or a backslash, or
// the window's size. Sixteen bytes at a time where SSE2 is there.
std::size_t find_quote_or_backslash(std::string_view window, std::size_t from,
                                    char quote) {
#if defined(__SSE2__)
  const __m128i quotes = _mm_set1_epi8(quote);
  const __m128i backslashes = _mm_set1_epi8('\\');
  for (; from + 16 <= window.size(); from += 16) {
    __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(window.data() + from));
    int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, quotes),
                                              _mm_cmpeq_epi8(block, backslashes)));
    if (hits != 0) return from + static_cast<std::size_t>(__builtin_ctz(hits));
  }
#endif
  while (from < window.size() && window[from] != quote && window[from] != '\\') {
    ++from;
  }
  return from;
}

std::size_t skip_plain_bytes(std::string_view window, std::size_t from) {
#if defined(__SSE2__)
  const __m128i case_bit = _mm_set1_epi8(0x20);
  const __m128i small_a = _mm_set1_epi8('a');
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i twenty_five = _mm_set1_epi8(25);
  const __m128i nine = _mm_set1_epi8(9);
  for (; from + 16 <= window.size(); from += 16) {
    __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(window.data() + from));
    auto at_most = [](__m128i x, __m128i limit) {  // unsigned x <= limit
      return _mm_cmpeq_epi8(_mm_min_epu8(x, limit), x);
    };
    auto equal = [&](char c) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(c)); };
    __m128i letter = at_most(_mm_sub_epi8(_mm_or_si128(block, case_bit), small_a),
                             twenty_five);
    __m128i digit = at_most(_mm_sub_epi8(block, zero), nine);
    __m128i other = _mm_or_si128(_mm_or_si128(equal('$'), equal('\'')),
                                 _mm_or_si128(_mm_or_si128(equal('"'), equal('/')),
                                              equal('?')));
    int starts = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), other));
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
