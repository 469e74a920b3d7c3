// The byte searches sixteen bytes at a time, with SSE2 (every x86-64
// processor has it).
#include <emmintrin.h>

#include "scan/search_widths.h"
#include "scan/wide_search.h"

namespace corvexa {
namespace {

struct sse2_lanes {
  using vector = __m128i;
  static constexpr std::size_t width = 16;
  static constexpr std::uint32_t all_lanes = 0xFFFF;

  static vector load(const char* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  }
  static vector none() { return _mm_setzero_si128(); }
  static vector either(vector a, vector b) { return _mm_or_si128(a, b); }
  static vector equal(vector bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); }
  // Lanes equal to the byte that `repeated` holds in every lane.
  static vector equal(vector bytes, const repeated_byte& repeated) {
    return _mm_cmpeq_epi8(bytes, load(repeated.lanes));
  }
  // Lanes whose unsigned value lies in [low, high]: subtracting `low` maps
  // the range onto [0, high - low], where the unsigned minimum keeps them.
  static vector in_range(vector bytes, unsigned char low, unsigned char high) {
    vector offset = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(low)));
    vector span = _mm_set1_epi8(static_cast<char>(high - low));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset);
  }
  // One bit per lane, lane 0 in bit 0.
  static std::uint32_t mask(vector lanes) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(lanes));
  }
};

}  // namespace

const byte_searches sse2_searches = wide::searches_of<sse2_lanes>();

}  // namespace corvexa
