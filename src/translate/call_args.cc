// Argument list reading with a depth count and an argument index. Tokens
// that lie wholly inside the buffered input window are taken from it in
// place; a token that may run past the window's end is read by get_token.
// Both paths feed the same list_reader, so they cannot disagree.
#include "translate/call_args.h"

#include <cstdint>

#include "scan/call_table.h"
#include "scan/tokenizer.h"
#include "scan/window_token.h"

namespace corvexa {
namespace {

bool is_single(std::string_view token, char c) {
  return token.size() == 1 && token[0] == c;
}

// The state of reading one argument list: takes its tokens one at a time,
// from the "(" on.
class list_reader {
 public:
  list_reader(conversion_state& state, call_arguments& arguments)
      : state_(state), arguments_(arguments) {}

  // Whitespace is echoed until the first comma and dropped after it.
  bool quiet() const { return quiet_; }

  // Takes one token, which begins at input offset `source_offset`; returns
  // true once the closing parenthesis is taken.
  bool take(std::string_view token, std::uint64_t source_offset) {
    if (!opened_) {
      // Anything but "(" is reported, dropped, and taken as if it were "(".
      opened_ = true;
      if (!is_single(token, '(')) report(state_, event_kind::parse_error, token);
      return false;
    }
    if (is_single(token, ',')) {
      if (index_ < 3) ++index_;  // later arguments are dropped
      if (depth_ > 1) arguments_.split_by_nested_comma = true;
      quiet_ = true;
      return false;
    }
    if (is_single(token, '(')) ++depth_;
    if (is_single(token, ')') && --depth_ == 0) return true;
    if (byte_text* text = current_text()) {
      note_if_watched(token, text->size(), source_offset);
      text->append(token);
    }
    return false;
  }

  // Reads the next token, which starts at the window's edge, straight into
  // the argument it belongs to: a string argument may be as long as the
  // input and is not held twice. Returns true once the list is closed.
  bool take_edge_token(byte_text& scratch) {
    char first = state_.input_stream.window()[0];
    byte_text* text = current_text();
    // Only a token that may be "(" or whose text a message needs is read
    // on its own; names and strings are never "(", "," or ")".
    bool name_or_string = has_class(first, starts_name) || has_class(first, starts_quoted);
    if (!opened_ || text == nullptr || !name_or_string) {
      if (!get_token(state_, scratch, quiet_)) return true;
      return take(scratch, state_.input_stream.position() - scratch.size());
    }
    std::size_t before = text->size();
    std::uint64_t source_offset = state_.input_stream.position();
    if (!append_token(state_, *text, quiet_)) return true;
    note_if_watched(text->view().substr(before), before, source_offset);
    return false;
  }

 private:
  // Keeps where a watched word joins the current argument.
  void note_if_watched(std::string_view token, std::size_t offset_in_argument,
                       std::uint64_t source_offset) {
    if (!state_.call_names.is_watched(token)) return;
    arguments_.watched_words.push_back({index_, offset_in_argument, source_offset});
  }

  byte_text* current_text() {
    switch (index_) {
      case 0: return &arguments_.first_argument;
      case 1: return &arguments_.second_argument;
      case 2: return &arguments_.third_argument;
      default: return nullptr;
    }
  }

  conversion_state& state_;
  call_arguments& arguments_;
  bool opened_ = false;
  std::int64_t depth_ = 1;  // wide enough for any input length
  int index_ = 0;
  bool quiet_ = false;
};

enum class window_result { list_closed, token_at_edge, window_used };

// Feeds the whole tokens of the window to `reader`, and the whitespace
// between them to the output while the reader is not quiet.
window_result read_window(conversion_state& state, list_reader& reader) {
  std::string_view window = state.input_stream.window();
  std::size_t i = 0;
  window_result result = window_result::window_used;
  while (i < window.size()) {
    std::size_t start = i;
    while (i < window.size() && has_class(window[i], whitespace)) ++i;
    if (i > start && !reader.quiet()) {
      state.output_stream.write(window.substr(start, i - start));
    }
    if (i == window.size()) break;
    std::size_t end = token_end(window, i);
    if (end == 0) {
      result = window_result::token_at_edge;
      break;
    }
    std::string_view token = window.substr(i, end - i);
    std::uint64_t source_offset = state.input_stream.position() + i;
    i = end;
    if (reader.take(token, source_offset)) {
      result = window_result::list_closed;
      break;
    }
  }
  state.input_stream.consume(i);
  return result;
}

}  // namespace

void read_call_args(conversion_state& state, call_arguments& arguments) {
  arguments.first_argument.clear();
  arguments.second_argument.clear();
  arguments.third_argument.clear();
  arguments.watched_words.clear();
  arguments.split_by_nested_comma = false;
  byte_text token;
  list_reader reader(state, arguments);
  for (;;) {
    if (state.input_stream.window().empty()) return;
    switch (read_window(state, reader)) {
      case window_result::list_closed:
        return;
      case window_result::window_used:
        continue;
      case window_result::token_at_edge:
        if (reader.take_edge_token(token)) return;
    }
  }
}

}  // namespace corvexa
