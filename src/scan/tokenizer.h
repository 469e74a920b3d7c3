// The tokenizer cuts the code of a PHP block into tokens: quoted strings,
// variables, numbers, words, the comment openers "//" and "/*", the block
// closer "?>", and single bytes. Whitespace between tokens is either echoed
// to the output as it is met or dropped. It knows no PHP function name.
#pragma once

#include "common/byte_text.h"
#include "common/conversion_state.h"

namespace corvexa {

// Reads the next token into `token` (replacing its content). Whitespace met
// before the token is written to the output unless `quiet`. Returns false,
// with `token` empty, when the input ends before a token begins.
bool get_token(conversion_state& state, byte_text& token, bool quiet);

// As get_token, but appends the token to what `text` already holds, so that
// a long token is built where it is kept rather than copied there.
bool append_token(conversion_state& state, byte_text& text, bool quiet);

// Copies the quoted token that starts at the next input byte (a quote)
// straight to the output, span by span, without holding it: a string may be
// far larger than the input buffer.
void copy_quoted_token(conversion_state& state);

}  // namespace corvexa
