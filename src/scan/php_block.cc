// Token loop of one PHP block, with a fast path. Most of a block passes
// through unchanged, so tokens that lie whole inside the buffered input
// window are not copied one by one: the loop steps over them and writes the
// window in spans, stopping only where a token needs more than passing
// through. A token that may run past the window's end is read by get_token
// instead, which follows it across refills. Both paths cut tokens with the
// token cutter and ask meaning_of what a token means, so they cannot
// disagree.
#include "scan/php_block.h"

#include <cstdint>
#include <string_view>

#include "scan/byte_search.h"
#include "scan/call_table.h"
#include "scan/comment_copier.h"
#include "scan/token_cutter.h"
#include "scan/token_meaning.h"
#include "scan/tokenizer.h"

namespace corvexa {
namespace {

// Runs the rule of `call`, whose name has just been consumed and started at
// input offset `name_offset`, and reports what replaced it.
void run_call(conversion_state& state, const call_entry& call,
              const shared_text& last_variable, std::uint64_t name_offset) {
  if (call.remembers) state.remembered_variable = last_variable;
  call_in_progress& current = state.current_call;
  current = call_in_progress{};
  current.name = call.name;
  current.source_begin = name_offset;
  current.output_begin = state.output_stream.position();
  call.rule(state);
  replaced_call replaced;
  replaced.name = current.name;
  replaced.translated = current.translated;
  replaced.source_begin = current.source_begin;
  replaced.source_end = state.input_stream.position();
  replaced.output_begin = current.output_begin;
  replaced.replacement_begin = current.replacement_started
                                   ? current.replacement_begin
                                   : current.output_begin;
  replaced.output_end = state.output_stream.position();
  state.events.call_replaced(replaced);
}

enum class window_outcome { token_at_edge, left_window, block_ended, done };

// Steps over the whole tokens of `window`, writing them out as one span.
// Stops before a token that may run past the window, and after a call or
// comment (which read on by themselves) or the block closer.
window_outcome pass_window(conversion_state& state, std::string_view window,
                           shared_text& last_variable) {
  input_buffer& input = state.input_stream;
  auto write_through = [&](std::size_t end) {
    state.output_stream.write(window.substr(0, end));
    input.consume(end);
  };
  std::size_t i = 0;
  for (;;) {
    i = skip_plain_bytes(window, i);
    if (i == window.size()) break;
    std::size_t end = token_end(window, i);
    if (end == 0) break;
    std::string_view token = window.substr(i, end - i);
    token_meaning meaning = meaning_of(token, state.call_names);
    switch (meaning.role) {
      case token_role::passes:
        break;
      case token_role::variable:
        last_variable.assign(token);
        break;
      case token_role::comment:
        write_through(i);
        input.consume(token.size());
        copy_comment(state, token);
        return window_outcome::left_window;
      case token_role::call: {
        write_through(i);
        std::uint64_t name_offset = input.position();
        input.consume(token.size());
        run_call(state, *meaning.call, last_variable, name_offset);
        return window_outcome::left_window;
      }
      case token_role::block_closer:
        write_through(end);
        return window_outcome::block_ended;
    }
    i = end;
  }
  write_through(i);
  return i < window.size() ? window_outcome::token_at_edge : window_outcome::done;
}

// Reads the token at the window's edge across refills and does what it
// means. Returns false once the block has ended.
bool take_edge_token(conversion_state& state, byte_text& token,
                     shared_text& last_variable) {
  // A string is written through as it is read; only tokens whose meaning
  // depends on all of them are held whole.
  if (always_passes(state.input_stream.window()[0])) {
    copy_quoted_token(state);
    return true;
  }
  if (!get_token(state, token, /*quiet=*/false)) return false;
  token_meaning meaning = meaning_of(token, state.call_names);
  switch (meaning.role) {
    case token_role::passes:
      state.output_stream.write(token);
      break;
    case token_role::variable:
      state.output_stream.write(token);
      last_variable.take(std::move(token));
      break;
    case token_role::comment:
      copy_comment(state, token);
      break;
    case token_role::call:
      run_call(state, *meaning.call, last_variable,
               state.input_stream.position() - token.size());
      break;
    case token_role::block_closer:
      state.output_stream.write(token);
      return false;
  }
  return true;
}

}  // namespace

void convert_php_block(conversion_state& state) {
  byte_text token;
  // The most recent "$" token this loop read; a fresh block starts with
  // none, so a call never borrows a variable from an earlier block.
  shared_text last_variable;
  for (;;) {
    std::string_view window = state.input_stream.window();
    if (window.empty()) return;
    switch (pass_window(state, window, last_variable)) {
      case window_outcome::block_ended:
        return;
      case window_outcome::done:
      case window_outcome::left_window:
        continue;
      case window_outcome::token_at_edge:
        if (!take_edge_token(state, token, last_variable)) return;
    }
  }
}

}  // namespace corvexa
