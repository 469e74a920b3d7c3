// Argument list reading with a depth count and an argument index. Tokens
// that lie whole inside the buffered input window are taken from it in
// place; a token that may run past the window's end is taken in pieces as
// the buffer is refilled. Both paths cut tokens with the token cutter and
// feed the same list_reader, so they cannot disagree.
#include "translate/call_args.h"

#include <cstdint>

#include "scan/call_table.h"
#include "scan/char_classes.h"
#include "scan/token_cutter.h"
#include "scan/tokenizer.h"

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
    append(token, /*continues=*/false);
    note_appended_token(source_offset);
    return false;
  }

  // Takes the token that starts at the window's edge and may run past it.
  // It is added to its argument piece by piece as it is read, so that a
  // string as long as the input is not held twice. Returns true once the
  // list is closed.
  bool take_edge_token(byte_text& scratch) {
    if (!opened_) {
      // The token that should have been "(" is quoted whole by the report.
      if (!get_token(state_, scratch, quiet_)) return true;
      return take(scratch, state_.input_stream.position() - scratch.size());
    }
    // A token that can run past the window is a name, a string or one of
    // the pairs: never "(", "," or ")", so it is only ever appended.
    input_buffer& input = state_.input_stream;
    std::uint64_t source_offset = input.position();
    token_cutter cutter(input.window()[0]);
    append(input.window().substr(0, 1), /*continues=*/false);
    input.consume(1);
    take_token_rest(input, cutter, [this](std::string_view piece) {
      append(piece, /*continues=*/true);
    });
    note_appended_token(source_offset);
    return false;
  }

 private:
  // Adds a whole token, or a piece of one that runs past the window
  // (`continues` for every piece after its first), to the argument being
  // read. This is the one place where tokens join arguments; tokens after
  // the third argument are dropped.
  void append(std::string_view piece, bool continues) {
    byte_text* text = current_text();
    if (text == nullptr) return;
    if (!continues) token_begin_ = text->size();
    text->append(piece);
  }

  // Called once a token that began at input offset `source_offset` has
  // joined its argument whole: keeps where a watched word stands in it.
  void note_appended_token(std::uint64_t source_offset) {
    byte_text* text = current_text();
    if (text == nullptr || !state_.call_names.is_watched(text->view().substr(token_begin_))) {
      return;
    }
    arguments_.watched_words.push_back({index_, token_begin_, source_offset});
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
  std::size_t token_begin_ = 0;  // where the token being appended begins in its argument
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
