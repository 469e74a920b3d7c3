// SSE2 searches with their byte-at-a-time twins.
#include "schema/byte_runs.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvexa::schema {

std::size_t plain_run_bytewise(const char* p, std::size_t n, char quote) {
  std::size_t i = 0;
  while (i < n) {
    auto c = static_cast<unsigned char>(p[i]);
    if (c >= 0x80 || c == 0 || c == '\\' || c == static_cast<unsigned char>(quote)) break;
    ++i;
  }
  return i;
}

std::size_t find_either_bytewise(const char* p, std::size_t n, char a, char b) {
  std::size_t i = 0;
  while (i < n && p[i] != a && p[i] != b) ++i;
  return i;
}

std::size_t special_run_bytewise(const char* p, std::size_t n, char quote) {
  std::size_t i = 0;
  while (i < n && p[i] != '\0' && p[i] != '\\' && p[i] != quote) ++i;
  return i;
}

std::size_t ascii_run_bytewise(const char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

std::size_t digit_run_bytewise(const char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n && p[i] >= '0' && p[i] <= '9') ++i;
  return i;
}

std::size_t hex_run_bytewise(const char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    char c = static_cast<char>(p[i] | 0x20);
    if (!((p[i] >= '0' && p[i] <= '9') || (c >= 'a' && c <= 'f'))) break;
    ++i;
  }
  return i;
}

#if defined(__SSE2__)

// Bytes of `block` in [low, low + count), compared as unsigned: moved so
// that the range starts at -128, where a signed compare tells it.
__m128i in_range(__m128i block, char low, char count) {
  __m128i shifted = _mm_add_epi8(block, _mm_set1_epi8(static_cast<char>(-128 - low)));
  return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + count)));
}

// The hex digits of 16 bytes, 0xFF for each.
__m128i hex_digits_16(const char* p) {
  __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i lower = _mm_or_si128(block, _mm_set1_epi8(0x20));
  return _mm_or_si128(in_range(block, '0', 10), in_range(lower, 'a', 6));
}

std::size_t hex_run(const char* p, std::size_t n) {
  std::size_t i = 0;
  // The hex numbers of a dump are blobs, hundreds of digits long: two
  // blocks a step, told apart only once a byte other than a digit shows.
  for (; i + 32 <= n; i += 32) {
    __m128i both = _mm_and_si128(hex_digits_16(p + i), hex_digits_16(p + i + 16));
    if (_mm_movemask_epi8(both) != 0xFFFF) break;
  }
  for (; i + 16 <= n; i += 16) {
    int mask = ~_mm_movemask_epi8(hex_digits_16(p + i)) & 0xFFFF;
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return i + hex_run_bytewise(p + i, n - i);
}

std::size_t special_run(const char* p, std::size_t n, char quote) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i quotes = _mm_set1_epi8(quote);
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int mask = _mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, zero), _mm_cmpeq_epi8(block, backslash)),
                     _mm_cmpeq_epi8(block, quotes)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return i + special_run_bytewise(p + i, n - i, quote);
}

std::size_t ascii_run(const char* p, std::size_t n) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return i + ascii_run_bytewise(p + i, n - i);
}

std::size_t plain_run(const char* p, std::size_t n, char quote) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i quotes = _mm_set1_epi8(quote);
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, zero), _mm_cmpeq_epi8(block, backslash)),
                     _mm_cmpeq_epi8(block, quotes));
    // The sign bit marks the bytes of 0x80 and above.
    int mask = _mm_movemask_epi8(_mm_or_si128(stops, block));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return i + plain_run_bytewise(p + i, n - i, quote);
}

std::size_t find_either(const char* p, std::size_t n, char a, char b) {
  const __m128i first = _mm_set1_epi8(a);
  const __m128i second = _mm_set1_epi8(b);
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int mask = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, second)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return i + find_either_bytewise(p + i, n - i, a, b);
}

#else

std::size_t special_run(const char* p, std::size_t n, char quote) {
  return special_run_bytewise(p, n, quote);
}

std::size_t ascii_run(const char* p, std::size_t n) { return ascii_run_bytewise(p, n); }

std::size_t hex_run(const char* p, std::size_t n) { return hex_run_bytewise(p, n); }

std::size_t plain_run(const char* p, std::size_t n, char quote) {
  return plain_run_bytewise(p, n, quote);
}

std::size_t find_either(const char* p, std::size_t n, char a, char b) {
  return find_either_bytewise(p, n, a, b);
}

#endif

}  // namespace corvexa::schema
