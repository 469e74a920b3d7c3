// Token loop of one PHP block. Most of a block passes through unchanged, so
// the loop is handed only the tokens that mean more (see token_meaning.h)
// and, between them, spans of code to write out as they are; the token
// source finds both (see token_source.h).
#include "scan/php_block.h"

#include "scan/call_table.h"
#include "scan/comment_copier.h"
#include "scan/run_call.h"
#include "scan/token_source.h"

namespace corvexa {

namespace {

// Lends the block's token source to the rules of the calls in it for as
// long as the block loop runs, so that a rule reads on where the loop
// stopped, with the marks the pre-scan has made.
class lent_source {
 public:
  lent_source(conversion_state& state, token_source& source)
      : state_(state), before_(state.tokens) {
    state.tokens = &source;
  }
  ~lent_source() { state_.tokens = before_; }
  lent_source(const lent_source&) = delete;
  lent_source& operator=(const lent_source&) = delete;

 private:
  conversion_state& state_;
  token_source* before_;
};

const shared_text no_variable;

}  // namespace

void convert_php_block(conversion_state& state) {
  // A fresh block has passed no code, so a call never borrows a variable
  // from an earlier block.
  token_source source(state.input_stream, state.call_names);
  lent_source lent(state, source);
  block_token token;
  while (source.next_in_block(token)) {
    if (!token.passes_before.empty()) state.output_stream.write(token.passes_before);
    switch (token.role) {
      case token_role::passes: state.output_stream.write(token.text); break;
      case token_role::comment: copy_comment(state, token.text); break;
      case token_role::call:
        // Only a call that remembers reads the variable, which the source
        // cuts out of the code when asked.
        run_call(state, *token.call, token.call->remembers ? source.last_variable() : no_variable,
                 token.offset);
        break;
      case token_role::block_closer: state.output_stream.write(token.text); return;
    }
  }
}

}  // namespace corvexa
