// The copying loop of a dump's string values.
#include "schema/utf8_literal.h"

#include <algorithm>

#include "schema/byte_runs.h"
#include "schema/mysql_literals.h"
#include "schema/utf8_validation.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa::schema {
namespace {

// The string is copied into the row's room a piece at a time: what is
// written for a piece is never longer than the piece (an escape or a
// doubled quote is two bytes read for one or two written), so room for the
// piece plus the block stored whole past its end, and a character or an
// escape that reads past it, is enough.
constexpr std::size_t piece_size = std::size_t{1} << 16;
constexpr std::size_t piece_slack = 32;

// Copies the bytes from `q` on that stand as they are (no zero byte, no
// quote, no backslash) to `w` until the first that does not, `end`, or
// `limit` (which it may pass by less than 16 bytes), and sets `high` when
// a block it copied held a byte of 0x80 or above. Whole blocks are stored
// before the stop in them is known: the bytes past it are overwritten or
// left out of the text.
void copy_plain_run(char*& w, const char*& q, const char* limit, const char* end, bool& high) {
#if defined(__SSE2__)
  while (end - q >= 16) {
    if (q >= limit) return;
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(w), block);
    high = high || high_bytes_16(block) != 0;
    if (unsigned mask = literal_stops_16(block); mask != 0) {
      auto run = static_cast<std::size_t>(__builtin_ctz(mask));
      w += run;
      q += run;
      return;
    }
    w += 16;
    q += 16;
  }
#endif
  std::size_t left = static_cast<std::size_t>(end - q);
  std::size_t room = (limit > q ? static_cast<std::size_t>(limit - q) : 0) + 16;
  std::size_t run = special_run_bytewise(q, left < room ? left : room, '\'');
  high = high || ascii_run_bytewise(q, run) < run;
  copy_bytes(w, q, run);
  w += run;
  q += run;
}

// Writes the escape at `q` (a backslash with a byte after it) as append_body
// does; false for the escapes that it reports (\0, a backslash before a
// byte of 0x80 or above).
bool copy_escape(char*& w, const char* q) {
  bool keeps_backslash;
  char decoded = escaped_byte(q[1], keeps_backslash);
  if (decoded == '\0' || static_cast<unsigned char>(decoded) >= 0x80) return false;
  if (keeps_backslash) *w++ = '\\';
  *w++ = decoded;
  if (decoded == '\'') *w++ = '\'';
  return true;
}

}  // namespace

const char* copy_utf8_literal(row_buffer& out, const char* p, const char* end) {
  std::size_t start = out.size();
  out.put('\'');
  const char* q = p + 1;
  const char* limit = q;  // where the room ends
  char* base = nullptr;   // the room, from where the piece started
  char* w = nullptr;
  bool high = false;  // the copied blocks held bytes to check for UTF-8
  for (;;) {
    if (q >= limit) {
      out.advance(static_cast<std::size_t>(w - base));
      std::size_t piece = std::min(static_cast<std::size_t>(end - q), piece_size);
      base = w = out.room(piece + piece_slack);
      limit = q + piece;
    }
    copy_plain_run(w, q, limit, end, high);
    if (q >= limit && end - q >= 2) continue;
    // Each stop needs the byte after it: a quote may be doubled, a
    // backslash escapes it.
    if (end - q < 2) break;
    auto c = static_cast<unsigned char>(*q);
    if (c == '\'') {
      if (q[1] != '\'') {
        out.advance(static_cast<std::size_t>(w - base));
        // The text written holds the string's non-ASCII bytes as they
        // stand, between ASCII ones: it is UTF-8 where they are.
        out.room(utf8_check_room);
        std::string_view body = out.text().substr(start + 1);
        if (high && !valid_utf8_in_room(body.data(), body.size())) break;
        out.put('\'');
        return q + 1;
      }
      *w++ = '\'';
      *w++ = '\'';
      q += 2;
    } else if (c == '\\') {
      if (!copy_escape(w, q)) break;
      q += 2;
    } else {
      break;  // a zero byte
    }
  }
  out.truncate(start);
  return nullptr;
}

}  // namespace corvexa::schema
