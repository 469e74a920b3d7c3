// The string values of a utf8 dump written as PostgreSQL literals in one
// pass that copies, looks for the closing quote and checks the UTF-8 at
// once, 16 bytes at a time. Only what most dump strings hold is done here:
// text with MySQL's backslash escapes and doubled quotes. A string with
// anything append_quoted_string would report (a zero byte, bytes that are
// not UTF-8) is left to it.
#pragma once

#include "schema/row_buffer.h"
#include "schema/utf8_validation.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa::schema {

// Appends the '...' string at `p` (at its quote), read with backslash
// escapes from utf8 text, as a PostgreSQL literal, and returns the end of
// the MySQL string. Returns null, with `out` as it was, when [p, end) ends
// first or the string needs append_quoted_string; where it does not, the
// two write the same bytes. Reads no byte outside [p, end).
const char* copy_utf8_literal(row_buffer& out, const char* p, const char* end);

#if defined(__SSE2__)
// The bytes of the 16 at `block` that end a run of string bytes copied as
// they stand: a zero byte, a backslash or a quote; byte k in bit k. Bytes
// of 0x80 and above are copied with the run and checked for UTF-8 after.
inline unsigned literal_stops_16(__m128i block) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, _mm_setzero_si128()),
                                                  _mm_cmpeq_epi8(block, _mm_set1_epi8('\\'))),
                                     _mm_cmpeq_epi8(block, _mm_set1_epi8('\'')))));
}

// The bytes of the 16 at `block` of 0x80 and above; byte k in bit k.
inline unsigned high_bytes_16(__m128i block) {
  return static_cast<unsigned>(_mm_movemask_epi8(block));
}
#endif

// How much room copy_short_literal needs, and how far it reads: three
// blocks after the quote, and room for the UTF-8 check of what they hold.
constexpr std::size_t short_literal_room = 1 + 48 + utf8_check_room;

// The most common string of a dump, inline: one whose body is at most 47
// bytes of UTF-8 with no escape, no quote and no zero byte, and which ends
// within [p, end). Copies it to `to`, which has short_literal_room bytes
// of room, and returns its end; returns null for any other string, which
// copy_utf8_literal is then given.
inline const char* copy_short_literal(char* to, const char* p, const char* end) {
#if defined(__SSE2__)
  if (end - p < static_cast<std::ptrdiff_t>(short_literal_room)) return nullptr;
  unsigned high = 0;  // a block's bytes of 0x80 and above, before its stop
  for (int at = 1; at < 49; at += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at), block);
    unsigned mask = literal_stops_16(block);
    if (mask == 0) {
      high |= high_bytes_16(block);
      continue;
    }
    auto run = static_cast<unsigned>(__builtin_ctz(mask));
    high |= high_bytes_16(block) & ((1u << run) - 1);
    const char* stop = p + at + run;
    // A quote that is not doubled ends the string.
    if (*stop != '\'' || stop[1] == '\'') return nullptr;
    if (high != 0 && !valid_utf8_in_room(p, static_cast<std::size_t>(stop - p))) return nullptr;
    to[0] = '\'';
    return stop + 1;
  }
#else
  (void)to;
  (void)p;
  (void)end;
#endif
  return nullptr;
}

}  // namespace corvexa::schema
