// Token loop of one PHP block, with a fast path. Most of a block passes
// through unchanged, so the loop does not cut every token: a pre-scan finds
// the bytes that may begin a token it must look at (see watched_bytes.h),
// the loop cuts only the tokens that begin there, and everything between
// them is written out as one span of the buffered window. A token that may
// run past the window's end is read by get_token instead, which follows it
// across refills. Both paths cut tokens by the token cutter's rules (a
// string in the window is walked on the pre-scan's marks, by the cutter's
// own string rule) and ask meaning_of what a token means, so they cannot
// disagree.
#include "scan/php_block.h"

#include <cstdint>
#include <string_view>

#include "scan/byte_search.h"
#include "scan/call_table.h"
#include "scan/char_classes.h"
#include "scan/comment_copier.h"
#include "scan/run_call.h"
#include "scan/token_cutter.h"
#include "scan/token_meaning.h"
#include "scan/tokenizer.h"
#include "scan/watched_bytes.h"

namespace corvexa {
namespace {

// What the loop remembers of the block's code it has passed: its last
// variable. In the window the loop only learns where the last "$" was (see
// watched_byte_finder); the variable is cut there and copied out when the
// loop leaves the window, once per window pass rather than once per "$".
class passed_code {
 public:
  // A variable read whole across refills; kept without a copy.
  void take_variable(byte_text&& token) { last_variable_.take(std::move(token)); }
  // The loop leaves `window` before `limit`, having passed code whose last
  // "$" is at `last_dollar` (or none). A variable that begins right at
  // `limit` is the token the loop reads next, so it is not cut here.
  void settle(std::string_view window, std::size_t last_dollar, std::size_t limit) {
    if (last_dollar == watched_byte_finder::none || last_dollar >= limit) return;
    last_variable_.assign(window.substr(last_dollar, token_end(window, last_dollar) - last_dollar));
  }
  // The block's last variable, as of the last settle().
  const shared_text& last_variable() const { return last_variable_; }

 private:
  shared_text last_variable_;
};

// True if the letter at window[at] begins a word rather than going on with
// a name that began before it. `boundary` (at most `at`) is a place where a
// token begins, and no watched byte lies between it and `at`.
bool begins_word(std::string_view window, std::size_t boundary, std::size_t at) {
  // Going back from `at` over bytes that continue names but cannot start
  // one ("_", "{", bytes from 128 up, ...): each of those is a token of its
  // own unless a name ("$" included) runs through it.
  std::size_t j = at;
  while (j > boundary && has_class(window[j - 1], continues_name) &&
         !has_class(window[j - 1], starts_name)) {
    --j;
  }
  return j == boundary || !has_class(window[j - 1], starts_name);
}

// Where the last token of the window begins if it is a name that may go on
// past the window's end, or the window's size. Names are the only tokens
// that can: every other long token begins at a watched byte and has been
// cut by then.
std::size_t start_of_open_name(std::string_view window, std::size_t boundary) {
  std::size_t j = window.size();
  while (j > boundary && has_class(window[j - 1], continues_name)) --j;
  // The bytes from j on continue names. After a "$" they are a variable;
  // otherwise the first that can start a name starts the one that runs to
  // the end, and those before it are tokens of their own.
  if (j > boundary && window[j - 1] == '$') return j - 1;
  for (; j < window.size(); ++j) {
    if (has_class(window[j], starts_name)) return j;
  }
  return window.size();
}

enum class window_outcome { token_at_edge, left_window, block_ended, done };

// Steps over the tokens of `window`, writing them out in spans. Stops before
// a token that may run past the window, and after a call or comment (which
// read on by themselves) or the block closer.
window_outcome pass_window(conversion_state& state, std::string_view window,
                           passed_code& passed) {
  input_buffer& input = state.input_stream;
  auto write_through = [&](std::size_t end) {
    state.output_stream.write(window.substr(0, end));
    input.consume(end);
  };
  watched_byte_finder watched(window, state.call_names);
  // Leaves the window before `limit`, remembering what the loop passed.
  auto leave_before = [&](std::size_t limit) {
    passed.settle(window, watched.last_dollar(), limit);
    write_through(limit);
  };
  auto stop_before = [&](std::size_t start) {
    leave_before(start);
    return start < window.size() ? window_outcome::token_at_edge
                                 : window_outcome::done;
  };
  std::size_t boundary = 0;  // a token begins here; all before it passes
  std::size_t from = 0;      // the watched bytes before this are done with
  for (;;) {
    std::size_t start = watched.next(from);
    if (start == window.size()) return stop_before(start_of_open_name(window, boundary));
    if (has_class(window[start], starts_word) && !begins_word(window, boundary, start)) {
      // A letter inside a longer name. After a byte that starts names the
      // name is plainly going on; otherwise the look back went over bytes
      // that will not be looked at again only if the loop steps over the
      // rest of the name.
      if (has_class(window[start - 1], starts_name)) {
        from = start + 1;
        continue;
      }
      std::size_t end = start + name_run_length(window.substr(start));
      if (end == window.size()) return stop_before(start_of_open_name(window, boundary));
      boundary = from = end;
      continue;
    }
    std::size_t end = always_passes(window[start]) ? watched.string_end(start)
                                                   : token_end(window, start);
    if (end == 0) return stop_before(start);
    std::string_view token = window.substr(start, end - start);
    token_meaning meaning = meaning_of(token, state.call_names);
    switch (meaning.role) {
      case token_role::passes:
      case token_role::variable:  // not cut here: no "$" is watched
        break;
      case token_role::comment:
        leave_before(start);
        input.consume(token.size());
        copy_comment(state, token);
        return window_outcome::left_window;
      case token_role::call: {
        leave_before(start);
        std::uint64_t name_offset = input.position();
        input.consume(token.size());
        run_call(state, *meaning.call, passed.last_variable(), name_offset);
        return window_outcome::left_window;
      }
      case token_role::block_closer:
        write_through(end);
        return window_outcome::block_ended;
    }
    boundary = from = end;
  }
}

// Reads the token at the window's edge across refills and does what it
// means. Returns false once the block has ended.
bool take_edge_token(conversion_state& state, byte_text& token, passed_code& passed) {
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
      passed.take_variable(std::move(token));
      break;
    case token_role::comment:
      copy_comment(state, token);
      break;
    case token_role::call:
      run_call(state, *meaning.call, passed.last_variable(),
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
  // A fresh block has passed no code, so a call never borrows a variable
  // from an earlier block.
  passed_code passed;
  for (;;) {
    std::string_view window = state.input_stream.window();
    if (window.empty()) return;
    switch (pass_window(state, window, passed)) {
      case window_outcome::block_ended:
        return;
      case window_outcome::done:
      case window_outcome::left_window:
        continue;
      case window_outcome::token_at_edge:
        if (!take_edge_token(state, token, passed)) return;
    }
  }
}

}  // namespace corvexa
