// Token loop of one PHP block, with a fast path. Most of a block passes
// through unchanged, so whole tokens that lie inside the buffered input
// window are not copied one by one: the loop steps over them with the byte
// class table and writes the window in spans, stopping only where a token
// needs attention (a variable to remember, a comment, a call name, the block
// closer). A token that may run past the window's end is read by get_token
// instead, which follows it across refills; both paths cut tokens alike.
#include "scan/php_block.h"

#include <cstdint>
#include <string_view>

#include "scan/call_table.h"
#include "scan/char_classes.h"
#include "scan/comment_copier.h"
#include "scan/tokenizer.h"
#include "scan/window_token.h"

namespace corvexa {
namespace {

enum class block_status { open, ended };

bool is_comment_opener(std::string_view token) {
  return token == "/*" || token == "//";
}

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
  replaced.moved_words = current.moved_words;
  state.events.call_replaced(replaced);
}

// Handles one whole token that has been read and not yet written. A
// variable is written and then kept as the last variable without a copy.
block_status handle_token(conversion_state& state, byte_text& token,
                          shared_text& last_variable) {
  if (token[0] == '$') {
    state.output_stream.write(token);
    last_variable.take(std::move(token));
  } else if (is_comment_opener(token)) {
    copy_comment(state, token);
  } else if (const call_entry* call = state.call_names.find(token)) {
    run_call(state, *call, last_variable,
             state.input_stream.position() - token.size());
  } else {
    state.output_stream.write(token);
    if (token == "?>") return block_status::ended;
  }
  return block_status::open;
}

enum class window_outcome { token_at_edge, call_or_comment, block_ended, done };

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
  const std::size_t size = window.size();
  for (;;) {
    i = skip_plain_bytes(window, i);
    if (i == size) break;
    char c = window[i];
    if (has_class(c, starts_name)) {
      std::size_t end = name_token_end(window, i);
      if (end == 0) break;
      std::string_view name = window.substr(i, end - i);
      if (c == '$') {
        last_variable.assign(name);
      } else if (const call_entry* call = state.call_names.find(name)) {
        write_through(i);
        std::uint64_t name_offset = input.position();
        input.consume(end - i);
        run_call(state, *call, last_variable, name_offset);
        return window_outcome::call_or_comment;
      }
      i = end;
    } else {  // a string, "/", "//", "/*", "?" or "?>"
      std::size_t end = token_end(window, i);
      if (end == 0) break;
      std::string_view token = window.substr(i, end - i);
      if (token == "?>") {
        write_through(end);
        return window_outcome::block_ended;
      }
      if (is_comment_opener(token)) {
        write_through(i);
        input.consume(token.size());
        copy_comment(state, token);
        return window_outcome::call_or_comment;
      }
      i = end;
    }
  }
  write_through(i);
  return i < size ? window_outcome::token_at_edge : window_outcome::done;
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
      case window_outcome::call_or_comment:
        continue;
      case window_outcome::token_at_edge:
        // A string is written through as it is read; only tokens that
        // matter to the loop are held whole.
        if (has_class(state.input_stream.window()[0], starts_quoted)) {
          copy_quoted_token(state);
          continue;
        }
        if (!get_token(state, token, /*quiet=*/false)) return;
        if (handle_token(state, token, last_variable) == block_status::ended) {
          return;
        }
    }
  }
}

}  // namespace corvexa
