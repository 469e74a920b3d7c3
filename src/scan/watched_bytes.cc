// The watched-byte mask, a byte at a time.
#include "scan/watched_bytes.h"

#include "scan/char_classes.h"
#include "scan/token_meaning.h"

namespace corvexa {
namespace {

constexpr std::array<bool, 256> watched_first = byte_set(watched_first_bytes);

}  // namespace

std::uint64_t watched_mask(const char* bytes, std::size_t count,
                           const call_table& calls) {
  std::uint64_t mask = 0;
  for (std::size_t k = 0; k < count; ++k) {
    char c = bytes[k];
    bool watched = watched_first[static_cast<unsigned char>(c)] ||
                   calls.may_start_name(c);
    mask |= std::uint64_t{watched} << k;
  }
  return mask;
}

}  // namespace corvexa
