// Argument list reading with a depth count and an argument index, over the
// tokens of the token source: a token that lies whole in the buffered
// window is taken in place, one that runs past it in parts as the buffer is
// refilled, so that a string as long as the input is not held twice.
#include "translate/call_args.h"

#include <cstdint>

#include "scan/call_table.h"
#include "scan/token_source.h"

namespace corvexa {
namespace {

bool is_single(std::string_view token, char c) { return token.size() == 1 && token[0] == c; }

// The state of reading one argument list: takes its tokens one at a time,
// from the "(" on.
class list_reader {
 public:
  list_reader(conversion_state& state, call_arguments& arguments)
      : state_(state), arguments_(arguments), follows_words_(state.events.reads_replaced_calls()) {}

  // Whitespace is echoed until the first comma and dropped after it.
  bool quiet() const { return quiet_; }
  // Until the "(" (or what stands for it) is taken, a token is wanted
  // whole: one that is not "(" is quoted by the report.
  long_tokens wanted() const { return opened_ ? long_tokens::in_parts : long_tokens::whole; }

  // Takes one whole token, which begins at input offset `source_offset`;
  // returns true once the closing parenthesis is taken.
  bool take(std::string_view token, std::uint64_t source_offset) {
    if (!opened_) {
      // Anything but "(" is reported, dropped, and taken as if it were "(".
      opened_ = true;
      if (!is_single(token, '(')) report(state_, event_kind::parse_error, token);
      return false;
    }
    if (token.size() == 1) {
      switch (token[0]) {
        case ',':
          if (index_ < 3) ++index_;  // later arguments are dropped
          if (depth_ > 1) arguments_.split_by_nested_comma = true;
          quiet_ = true;
          return false;
        case '(': ++depth_; break;
        case ')':
          if (--depth_ == 0) return true;
          break;
        default: break;
      }
    }
    append(token, /*continues=*/false);
    note_appended_token(source_offset);
    return false;
  }

  // Takes a part of a token that runs past the window. A token that can is
  // a name, a string or one of the pairs: never "(", "," or ")", so it is
  // only ever appended.
  void take_part(const token_piece& part) {
    append(part.text, /*continues=*/!part.first_part);
    if (part.last_part) note_appended_token(part.token_offset);
  }

 private:
  // Adds a whole token, or a part of one that runs past the window
  // (`continues` for every part after its first), to the argument being
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
    if (!follows_words_) return;
    byte_text* text = current_text();
    if (text == nullptr) return;
    // The token's bytes in its argument (token_begin_ lies within it).
    std::string_view token(text->view().data() + token_begin_, text->size() - token_begin_);
    if (!state_.call_names.is_watched(token)) return;
    arguments_.watched_words.push_back({index_, token_begin_, source_offset});
  }

  byte_text* current_text() { return texts_[index_]; }

  conversion_state& state_;
  call_arguments& arguments_;
  // Whether watched words are noted: where they land is described with
  // the replaced calls only, and a sink that does not read those (the
  // console) would have every token of every call checked for nothing.
  const bool follows_words_;
  // The text of each argument index_ may take; none after the third.
  byte_text* const texts_[4] = {&arguments_.first_argument, &arguments_.second_argument,
                                &arguments_.third_argument, nullptr};
  bool opened_ = false;
  std::int64_t depth_ = 1;  // wide enough for any input length
  int index_ = 0;
  std::size_t token_begin_ = 0;  // where the token being appended begins in its argument
  bool quiet_ = false;
};

// What token_source::read_window hands the tokens of the window to.
struct window_reader {
  conversion_state& state;
  list_reader& list;

  void whitespace(std::string_view text) {
    if (!list.quiet()) state.output_stream.write(text);
  }
  bool token(std::string_view text, std::uint64_t source_offset) {
    return list.take(text, source_offset);
  }
};

// Reads the list from `source`, which stands where the call name ended.
void read_list(conversion_state& state, token_source& source, call_arguments& arguments) {
  list_reader reader(state, arguments);
  window_reader in_window{state, reader};
  for (;;) {
    // Most lists lie whole in the window; a token that runs past it is
    // read on piece by piece.
    if (source.read_window(in_window)) return;
    token_piece piece = source.next_token(reader.wanted());
    switch (piece.kind) {
      case piece_kind::whitespace:
        if (!reader.quiet()) state.output_stream.write(piece.text);
        break;
      case piece_kind::token:
        if (reader.take(piece.text, piece.token_offset)) return;
        break;
      case piece_kind::token_part: reader.take_part(piece); break;
      case piece_kind::end: return;
    }
  }
}

}  // namespace

call_arguments& thread_call_arguments() {
  thread_local call_arguments arguments;
  return arguments;
}

void read_call_args(conversion_state& state, call_arguments& arguments) {
  arguments.first_argument.clear();
  arguments.second_argument.clear();
  arguments.third_argument.clear();
  arguments.watched_words.clear();
  arguments.split_by_nested_comma = false;
  // The block loop's own source, or one of our own for a rule run outside
  // the loop.
  if (state.tokens != nullptr) {
    read_list(state, *state.tokens, arguments);
    return;
  }
  token_source own(state.input_stream, state.call_names);
  read_list(state, own, arguments);
}

}  // namespace corvexa
