// The string rule of the token cutter, the only one that needs a loop of
// its own: escapes may fall anywhere, also on a piece's last byte.
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
    std::size_t next = i + size;
    while (stops != 0) {
      std::size_t at = i + static_cast<std::size_t>(__builtin_ctzll(stops));
      if (bytes[at] == quote_) {
        state_ = state::ended;
        return at + 1;
      }
      // A backslash takes the byte after it along, whatever it is.
      if (at + 1 == bytes.size()) {
        state_ = state::after_backslash;
        return at + 1;
      }
      if (at + 1 == next) {  // the escaped byte begins the next 64
        next = at + 2;
        break;
      }
      stops &= stops - 1;
      stops &= ~(std::uint64_t{1} << (at + 1 - i));
    }
    i = next;
  }
  return bytes.size();
}

}  // namespace corvexa
