// The byte searches 32 bytes at a time, with AVX2. This file alone is built
// with AVX2 enabled, and its searches are used only once the processor has
// said that it has AVX2. Every function it compiles is its own (the lanes
// below are local to it, and so is every search made from them) or a
// vector intrinsic: no AVX2 code can stand in for a function that other
// files share.
#include <immintrin.h>

#include "scan/search_widths.h"
#include "scan/wide_search.h"

namespace corvexa {
namespace {

struct avx2_lanes {
  using vector = __m256i;
  static constexpr std::size_t width = 32;
  static constexpr std::uint32_t all_lanes = 0xFFFFFFFF;

  static vector load(const char* bytes) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
  }
  static vector none() { return _mm256_setzero_si256(); }
  static vector either(vector a, vector b) { return _mm256_or_si256(a, b); }
  static vector equal(vector bytes, char c) {
    return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c));
  }
  // Lanes equal to the byte that `repeated` holds in every lane.
  static vector equal(vector bytes, const repeated_byte& repeated) {
    return _mm256_cmpeq_epi8(bytes, load(repeated.lanes));
  }
  // Lanes whose unsigned value lies in [low, high]: subtracting `low` maps
  // the range onto [0, high - low], where the unsigned minimum keeps them.
  static vector in_range(vector bytes, unsigned char low, unsigned char high) {
    vector offset = _mm256_sub_epi8(bytes, _mm256_set1_epi8(static_cast<char>(low)));
    vector span = _mm256_set1_epi8(static_cast<char>(high - low));
    return _mm256_cmpeq_epi8(_mm256_min_epu8(offset, span), offset);
  }
  // One bit per lane, lane 0 in bit 0.
  static std::uint32_t mask(vector lanes) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
  }
};

}  // namespace

const byte_searches avx2_searches = wide::searches_of<avx2_lanes>();

}  // namespace corvexa
