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
  for (;;) {
    i = find_quote_or_backslash(bytes, i, quote_);
    if (i == bytes.size()) return i;
    if (bytes[i] == quote_) {
      state_ = state::ended;
      return i + 1;
    }
    if (i + 1 == bytes.size()) {
      state_ = state::after_backslash;
      return i + 1;
    }
    i += 2;
  }
}

}  // namespace corvexa
