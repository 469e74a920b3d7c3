// What a token of PHP code means to the block loop, decided in this one
// place whichever way the token source came by the token: cut out of the
// buffered window or read across refills. "//" and "/*" open comments, "?>"
// closes the block, a word that names an entry of the call table is a call;
// everything else passes through unchanged (a variable too: the token source
// keeps the last one for the calls that remember it). So only a word or a
// token that begins with a byte of the class starts_watched
// (char_classes.h) can mean more than passing through.
#pragma once

#include <cstdint>
#include <string_view>

#include "scan/call_table.h"
#include "scan/char_classes.h"

namespace corvexa {

enum class token_role : std::uint8_t {
  passes,        // written through unchanged
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

// What the pair that begins with `first` ("/" or "?") and goes on with
// `second` means: a comment opener, the block closer, or neither, in which
// case `first` is a token of its own.
inline token_role meaning_of_pair(char first, char second) {
  if (first == '/' && (second == '/' || second == '*')) return token_role::comment;
  if (first == '?' && second == '>') return token_role::block_closer;
  return token_role::passes;
}

// What the whole token `token` means.
inline token_meaning meaning_of(std::string_view token, const call_table& calls) {
  char first = token[0];
  if (has_class(first, starts_word)) {
    if (const call_entry* call = calls.find(token)) return {token_role::call, call};
    return {};
  }
  if (token.size() == 2 && has_class(first, starts_watched)) {
    return {meaning_of_pair(first, token[1])};
  }
  return {};
}

}  // namespace corvexa
