// The copying loop of a dump's string values.
#include "schema/utf8_literal.h"

#include "schema/byte_runs.h"
#include "schema/mysql_literals.h"
#include "schema/text_encoding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa::schema {
namespace {

// Copies the plain bytes from `p` on (below 0x80, no zero byte, no quote,
// no backslash) to `out` and returns the first byte that is not one (or
// `end`). Whole blocks are stored into the row's room before the stop in
// them is known: the bytes past it are overwritten or left out of the text.
const char* copy_plain_run(row_buffer& out, const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i quote = _mm_set1_epi8('\'');
  while (end - p >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.room(16)), block);
    __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, zero), _mm_cmpeq_epi8(block, backslash)),
                     _mm_cmpeq_epi8(block, quote));
    // The sign bit marks the bytes of 0x80 and above.
    int mask = _mm_movemask_epi8(_mm_or_si128(stops, block));
    if (mask != 0) {
      auto run = static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      out.advance(run);
      return p + run;
    }
    out.advance(16);
    p += 16;
  }
#endif
  std::size_t run = plain_run_bytewise(p, static_cast<std::size_t>(end - p), '\'');
  out.append(p, run);
  return p + run;
}

// Writes the escape at `p` (a backslash with a byte after it) as append_body
// does; false for the escapes that it reports (\0, a backslash before a
// byte of 0x80 or above).
bool copy_escape(row_buffer& out, const char* p) {
  bool keeps_backslash;
  char decoded = escaped_byte(p[1], keeps_backslash);
  if (decoded == '\0' || static_cast<unsigned char>(decoded) >= 0x80) return false;
  if (keeps_backslash) out.put('\\');
  if (decoded == '\'') {
    out.append("''", 2);
  } else {
    out.put(decoded);
  }
  return true;
}

}  // namespace

const char* copy_utf8_literal(row_buffer& out, const char* p, const char* end) {
  std::size_t start = out.size();
  out.put('\'');
  const char* q = p + 1;
  for (;;) {
    q = copy_plain_run(out, q, end);
    // Each stop needs the byte after it: a quote may be doubled, a
    // backslash escapes it.
    if (end - q < 2) break;
    auto c = static_cast<unsigned char>(*q);
    if (c == '\'') {
      if (q[1] != '\'') {
        out.put('\'');
        return q + 1;
      }
      out.append("''", 2);
      q += 2;
    } else if (c == '\\') {
      if (!copy_escape(out, q)) break;
      q += 2;
    } else {
      std::size_t length = c >= 0x80
                               ? utf8_character_length(reinterpret_cast<const unsigned char*>(q),
                                                       static_cast<std::size_t>(end - q))
                               : 0;
      if (length == 0) break;  // a zero byte, or not UTF-8
      out.append(q, length);
      q += length;
    }
  }
  out.truncate(start);
  return nullptr;
}

}  // namespace corvexa::schema
