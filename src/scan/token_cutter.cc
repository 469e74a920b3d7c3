// The string rule of the token cutter, the only one that needs a loop of
// its own: escapes may fall anywhere, also on a piece's last byte; and the
// cut of a name longer than 16 bytes.
#include "scan/token_cutter.h"

namespace corvexa {

std::size_t token_cutter::take_string(std::string_view bytes) {
  std::size_t i = 0;
  if (state_ == state::after_backslash) {
    if (bytes.empty()) return 0;
    i = 1;  // the escaped byte, whatever it is
    state_ = state::in_string;
  }
  // The quotes and backslashes of 64 bytes at a time, walked in order.
  while (i < bytes.size()) {
    std::size_t size = bytes.size() - i < 64 ? bytes.size() - i : 64;
    std::uint64_t stops = mark_quote_or_backslash(bytes.data() + i, size, quote_);
    string_walk walk = walk_string_stops(bytes.data() + i, size, stops, quote_);
    if (walk.ended) {
      state_ = state::ended;
      return i + walk.next;
    }
    i += walk.next;
  }
  // A backslash on the last byte escapes the first of the next piece.
  if (i > bytes.size()) state_ = state::after_backslash;
  return bytes.size();
}

#if defined(CORVEXA_WIDE_SEARCH) && defined(__SSE2__)
std::size_t long_name_run_length(std::string_view bytes) {
  constexpr std::size_t looked_at = 16;  // by short_name_run_length
  if (bytes.size() >= 2 * looked_at) {
    if (std::uint32_t stops = name_stops_16(bytes.data() + looked_at); stops != 0) {
      return looked_at + static_cast<std::size_t>(__builtin_ctz(stops));
    }
    return 2 * looked_at + name_run_length(bytes.substr(2 * looked_at));
  }
  return looked_at + name_run_length(bytes.substr(looked_at));
}
#endif

}  // namespace corvexa
