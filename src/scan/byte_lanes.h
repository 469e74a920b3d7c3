// Small SSE2 helpers for looking at sixteen input bytes at once. Every
// x86-64 processor has SSE2; elsewhere the callers use their byte-at-a-time
// loops alone. A lane test gives 0xFF in each lane where it holds.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstddef>

namespace corvexa::lanes {

inline constexpr std::size_t width = 16;

inline __m128i load(const char* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

inline __m128i equal(__m128i block, char c) {
  return _mm_cmpeq_epi8(block, _mm_set1_epi8(c));
}

// Lanes whose unsigned value lies in [low, high].
inline __m128i in_range(__m128i block, unsigned char low, unsigned char high) {
  __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(static_cast<char>(low)));
  __m128i span = _mm_set1_epi8(static_cast<char>(high - low));
  return _mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset);
}

// One bit per lane, lane 0 in bit 0.
inline unsigned mask(__m128i lanes) {
  return static_cast<unsigned>(_mm_movemask_epi8(lanes));
}

}  // namespace corvexa::lanes

#endif
