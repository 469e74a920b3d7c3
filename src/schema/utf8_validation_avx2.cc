// UTF-8 checked 32 bytes at a time with three table lookups per block: the
// high and low nibble of each byte's predecessor and the high nibble of the
// byte itself each name the errors the pair could be part of, and a pair
// is wrong where all three agree. What two bytes cannot tell (a third or
// fourth byte that a lead three or four back asked for, or did not) is
// settled from the bytes two and three back. This is the published
// lookup method of Keiser and Lemire ("Validating UTF-8 in less than one
// instruction per byte", 2021). Built with -mavx2, called only where the
// processor has AVX2.
#include <immintrin.h>

#include <cstdint>

#include "schema/utf8_validation.h"

namespace corvexa::schema {
namespace {

// The errors a pair of bytes can show, one bit each.
constexpr std::uint8_t too_short = 1 << 0;   // a lead not followed by a continuation
constexpr std::uint8_t too_long = 1 << 1;    // a continuation after an ASCII byte
constexpr std::uint8_t overlong_3 = 1 << 2;  // E0 80..9F
constexpr std::uint8_t too_large = 1 << 3;   // F4 90..BF, F5..FF
constexpr std::uint8_t surrogate = 1 << 4;   // ED A0..BF
constexpr std::uint8_t overlong_2 = 1 << 5;  // C0, C1
constexpr std::uint8_t too_large_1000 = 1 << 6;
constexpr std::uint8_t overlong_4 = 1 << 6;  // F0 80..8F
constexpr std::uint8_t two_continuations = 1 << 7;
constexpr std::uint8_t carry = too_short | too_long | two_continuations;

// A 16-entry table in both lanes, for _mm256_shuffle_epi8.
__m256i table(std::uint8_t t0, std::uint8_t t1, std::uint8_t t2, std::uint8_t t3, std::uint8_t t4,
              std::uint8_t t5, std::uint8_t t6, std::uint8_t t7, std::uint8_t t8, std::uint8_t t9,
              std::uint8_t t10, std::uint8_t t11, std::uint8_t t12, std::uint8_t t13,
              std::uint8_t t14, std::uint8_t t15) {
  return _mm256_setr_epi8(
      static_cast<char>(t0), static_cast<char>(t1), static_cast<char>(t2), static_cast<char>(t3),
      static_cast<char>(t4), static_cast<char>(t5), static_cast<char>(t6), static_cast<char>(t7),
      static_cast<char>(t8), static_cast<char>(t9), static_cast<char>(t10), static_cast<char>(t11),
      static_cast<char>(t12), static_cast<char>(t13), static_cast<char>(t14),
      static_cast<char>(t15), static_cast<char>(t0), static_cast<char>(t1), static_cast<char>(t2),
      static_cast<char>(t3), static_cast<char>(t4), static_cast<char>(t5), static_cast<char>(t6),
      static_cast<char>(t7), static_cast<char>(t8), static_cast<char>(t9), static_cast<char>(t10),
      static_cast<char>(t11), static_cast<char>(t12), static_cast<char>(t13),
      static_cast<char>(t14), static_cast<char>(t15));
}

// The block shifted by `n` bytes, the last `n` bytes of `before` in front.
template <int n>
__m256i bytes_back(__m256i block, __m256i before) {
  return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(before, block, 0x21), 16 - n);
}

__m256i high_nibbles(__m256i bytes) {
  return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

// The errors of each byte and the one before it.
__m256i pair_errors(__m256i block, __m256i back1) {
  const __m256i by_back1_high =
      table(too_long, too_long, too_long, too_long, too_long, too_long, too_long, too_long,
            two_continuations, two_continuations, two_continuations, two_continuations,
            too_short | overlong_2, too_short, too_short | overlong_3 | surrogate,
            too_short | too_large | too_large_1000 | overlong_4);
  const __m256i by_back1_low =
      table(carry | overlong_3 | overlong_2 | overlong_4, carry | overlong_2, carry, carry,
            carry | too_large, carry | too_large | too_large_1000,
            carry | too_large | too_large_1000, carry | too_large | too_large_1000,
            carry | too_large | too_large_1000, carry | too_large | too_large_1000,
            carry | too_large | too_large_1000, carry | too_large | too_large_1000,
            carry | too_large | too_large_1000, carry | too_large | too_large_1000 | surrogate,
            carry | too_large | too_large_1000, carry | too_large | too_large_1000);
  const __m256i by_block_high =
      table(too_short, too_short, too_short, too_short, too_short, too_short, too_short, too_short,
            too_long | overlong_2 | two_continuations | overlong_3 | too_large_1000 | overlong_4,
            too_long | overlong_2 | two_continuations | overlong_3 | too_large,
            too_long | overlong_2 | two_continuations | surrogate | too_large,
            too_long | overlong_2 | two_continuations | surrogate | too_large, too_short, too_short,
            too_short, too_short);
  __m256i a = _mm256_shuffle_epi8(by_back1_high, high_nibbles(back1));
  __m256i b = _mm256_shuffle_epi8(by_back1_low, _mm256_and_si256(back1, _mm256_set1_epi8(0x0F)));
  __m256i c = _mm256_shuffle_epi8(by_block_high, high_nibbles(block));
  return _mm256_and_si256(_mm256_and_si256(a, b), c);
}

// The pair errors, with two continuations in a row allowed exactly where a
// lead two or three bytes back asked for a third or fourth byte.
__m256i block_errors(__m256i block, __m256i before) {
  __m256i pairs = pair_errors(block, bytes_back<1>(block, before));
  // Only E0..FF two back and F0..FF three back stay at 0x80 and above.
  __m256i third = _mm256_subs_epu8(bytes_back<2>(block, before), _mm256_set1_epi8(0x60));
  __m256i fourth = _mm256_subs_epu8(bytes_back<3>(block, before), _mm256_set1_epi8(0x70));
  __m256i asked =
      _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(static_cast<char>(0x80)));
  return _mm256_xor_si256(asked, pairs);
}

// Nonzero where the block ends inside a character.
__m256i unfinished(__m256i block) {
  const __m256i limits =
      _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                       -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
                       static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));
  return _mm256_subs_epu8(block, limits);
}

// The last bytes of [p, p + n), fewer than 32, in a block whose other
// bytes are zero: a character cut by the end shows as one cut by an ASCII
// byte. The 32 bytes from `p` may be read.
__m256i last_block(const char* p, std::size_t n) {
  // 32 bytes of ones, then 32 of zeros: the mask of the first n bytes
  // starts 32 - n bytes in.
  static const std::uint8_t ones_then_zeros[64] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  __m256i keep = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ones_then_zeros + 32 - n));
  return _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), keep);
}

}  // namespace

bool valid_utf8_avx2_in_room(const char* p, std::size_t n) {
  __m256i errors = _mm256_setzero_si256();
  __m256i before = _mm256_setzero_si256();
  __m256i pending = _mm256_setzero_si256();
  for (std::size_t at = 0; at < n; at += 32) {
    __m256i block = n - at >= 32 ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at))
                                 : last_block(p + at, n - at);
    if (_mm256_movemask_epi8(block) == 0) {
      errors = _mm256_or_si256(errors, pending);
      pending = _mm256_setzero_si256();
    } else {
      errors = _mm256_or_si256(errors, block_errors(block, before));
      pending = unfinished(block);
    }
    before = block;
  }
  errors = _mm256_or_si256(errors, pending);
  return _mm256_testz_si256(errors, errors) != 0;
}

}  // namespace corvexa::schema
