// Token loop of one PHP block.
#include "scan/php_block.h"

#include <string>

#include "scan/call_table.h"
#include "scan/comment_copier.h"
#include "scan/tokenizer.h"

namespace corvexa {
namespace {

bool is_comment_opener(const std::string& token) {
  return token.size() == 2 && token[0] == '/' && (token[1] == '/' || token[1] == '*');
}

bool is_block_closer(const std::string& token) {
  return token.size() == 2 && token[0] == '?' && token[1] == '>';
}

}  // namespace

void convert_php_block(conversion_state& state) {
  std::string token;
  // The most recent "$" token this loop read; a fresh block starts with
  // none, so a call never borrows a variable from an earlier block.
  std::string last_variable;
  while (get_token(state, token, /*quiet=*/false)) {
    if (token[0] == '$') last_variable = token;
    if (is_comment_opener(token)) {
      copy_comment(state, token);
    } else if (const call_entry* call = state.call_names.find(token)) {
      if (call->remembers) state.remembered_variable = last_variable;
      call->rule(state);
    } else {
      state.output_stream.write(token);
      if (is_block_closer(token)) return;
    }
  }
}

}  // namespace corvexa
