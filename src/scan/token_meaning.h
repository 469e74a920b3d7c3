// What a token of PHP code means to the block loop, decided in this one
// place whichever way the loop came by the token: cut out of the buffered
// window or read across refills. A "$" token is a variable to remember, "//"
// and "/*" open comments, "?>" closes the block, a word that names an entry
// of the call table is a call; everything else passes through unchanged.
// So only a word or a token that begins with one of watched_first_bytes
// (char_classes.h) can mean more than passing through.
#pragma once

#include <cstdint>
#include <string_view>

#include "scan/call_table.h"
#include "scan/char_classes.h"

namespace corvexa {

enum class token_role : std::uint8_t {
  passes,        // written through unchanged
  variable,      // written through, and kept as the block's last variable
  comment,       // "//" or "/*": the comment is copied whole
  call,          // a call name: the call's rule replaces the call
  block_closer,  // "?>": written, and the block ends
};

struct token_meaning {
  token_role role = token_role::passes;
  const call_entry* call = nullptr;  // the entry, for token_role::call
};

// True if every token that begins with `first` passes through, whatever
// follows: a string. Such a token need not be held whole to be judged.
inline bool always_passes(char first) { return has_class(first, starts_quoted); }

// What the whole token `token` means.
inline token_meaning meaning_of(std::string_view token, const call_table& calls) {
  char first = token[0];
  if (always_passes(first)) return {};
  if (first == '$') return {token_role::variable};
  if (token == "//" || token == "/*") return {token_role::comment};
  if (token == "?>") return {token_role::block_closer};
  if (const call_entry* call = calls.find(token)) return {token_role::call, call};
  return {};
}

}  // namespace corvexa
