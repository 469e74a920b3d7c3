// The tokenizer cuts the code of a PHP block into tokens: quoted strings,
// variables, numbers, words, the comment openers "//" and "/*", the block
// closer "?>", and single bytes. Whitespace between tokens is either echoed
// to the output as it is met or dropped. Where each token ends is the
// token_cutter's to say; the tokenizer follows it across buffer refills.
// It knows no PHP function name.
#pragma once

#include <string_view>

#include "common/byte_text.h"
#include "common/conversion_state.h"
#include "scan/input_runs.h"
#include "scan/token_cutter.h"

namespace corvexa {

// Reads the next token into `token` (replacing its content). Whitespace met
// before the token is written to the output unless `quiet`. Returns false,
// with `token` empty, when the input ends before a token begins.
bool get_token(conversion_state& state, byte_text& token, bool quiet);

// Hands the rest of the token that `cutter` began (its first byte already
// consumed) to `take`, span by span as the input buffer holds it, so that a
// token far larger than the buffer is never held by the reader.
template <typename Take>
void take_token_rest(input_buffer& input, token_cutter& cutter, Take take) {
  if (cutter.ended()) return;
  take_run(
      input,
      [&cutter](std::string_view window) {
        std::size_t taken = cutter.take(window);
        return cutter.ended() ? taken : std::string_view::npos;
      },
      take);
}

// Copies the quoted token that starts at the next input byte (a quote)
// straight to the output, span by span, without holding it: a string may be
// far larger than the input buffer.
void copy_quoted_token(conversion_state& state);

}  // namespace corvexa
