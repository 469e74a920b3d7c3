// Searches over runs of input bytes that the scanner makes again and again,
// each by the byte classes of char_classes.h: how far a name runs, where a
// string's quote or backslash is, and where the next byte is that the
// block loop must look at. Sixteen bytes at a time where SSE2 is there,
// one at a time elsewhere.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvexa {

// How many bytes at the start of `bytes` continue a name (see
// continues_name): all of them if the name may go on past their end.
std::size_t name_run_length(std::string_view bytes);

// The first place at or after `from` that holds `quote` or a backslash, or
// the size of `bytes`.
std::size_t find_quote_or_backslash(std::string_view bytes, std::size_t from,
                                    char quote);

// The first place at or after `from` holding a byte that may start a token
// of more than one byte (see starts_long_token), or the window's size: the
// bytes before it are whitespace and tokens of their own, which pass through
// as they are.
std::size_t skip_plain_bytes(std::string_view window, std::size_t from);

}  // namespace corvexa
