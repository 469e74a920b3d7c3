// Argument list reading with a depth count and an argument index.
#include "translate/call_args.h"

#include <cstdint>

#include "scan/tokenizer.h"
#include "translate/format_text.h"

namespace corvexa {
namespace {

constexpr std::string_view missing_parenthesis =
    "Parse Error: Expected '(' and got '%s'.\n";

// The text that the token of argument `index` is appended to, or null for
// the arguments after the third, which are dropped.
std::string* argument_text(call_arguments& arguments, int index) {
  switch (index) {
    case 0: return &arguments.first_argument;
    case 1: return &arguments.second_argument;
    case 2: return &arguments.third_argument;
    default: return nullptr;
  }
}

bool is_single(const std::string& token, char c) {
  return token.size() == 1 && token[0] == c;
}

}  // namespace

void read_call_args(conversion_state& state, call_arguments& arguments) {
  arguments = call_arguments{};
  std::string token;
  if (!get_token(state, token, /*quiet=*/false)) return;
  if (!is_single(token, '(')) write_format(state.console, missing_parenthesis, {token});

  std::int64_t depth = 1;  // wide enough for any input length
  int index = 0;           // stops counting at 3: later tokens are dropped
  bool quiet = false;
  while (get_token(state, token, quiet)) {
    if (is_single(token, ',')) {
      if (index < 3) ++index;
      quiet = true;
      continue;
    }
    if (is_single(token, '(')) ++depth;
    if (is_single(token, ')') && --depth == 0) return;
    if (std::string* text = argument_text(arguments, index)) text->append(token);
  }
}

}  // namespace corvexa
