// The tokens of PHP code, taken from the input buffer for the two readers of
// code: the block loop, which is handed only what may mean more than passing
// through (see token_meaning.h) and gets the code between as spans, and the
// argument reader, which is handed every token and every run of whitespace.
//
// Where a token ends is the token cutter's to say. A token that lies whole in
// the buffered window is handed out in place. One that may run past the
// window's end is followed across refills: held whole where the reader must
// see all of it at once (a name or a pair the block loop judges), otherwise
// handed out in parts as they are read, so that a string far larger than
// the buffer is never held. Whatever is handed out has been consumed from
// the input; its text stays good until the source or anyone else reads on.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/byte_text.h"
#include "common/input_buffer.h"
#include "common/shared_text.h"
#include "scan/call_table.h"
#include "scan/token_cutter.h"
#include "scan/token_meaning.h"
#include "scan/watched_bytes.h"

namespace corvexa {

// What the block loop is handed: code that passes through (any number of
// tokens and whitespace, or a part of a long string), or one token that
// means more, with the code that passes before it: handed out together,
// the two cost the loop one turn rather than two, and a file dense with
// calls has one of each per call.
struct block_token {
  token_role role = token_role::passes;
  std::string_view text;
  std::uint64_t offset = 0;             // the input offset of text's first byte
  const call_entry* call = nullptr;     // for token_role::call
  std::string_view passes_before = {};  // code to write before text (not for passes)
};

enum class piece_kind : std::uint8_t {
  whitespace,  // a run of whitespace
  token,       // a whole token
  token_part,  // a part of a token that runs past the window, as read
  end,         // the input has ended
};

// What the argument reader is handed.
struct token_piece {
  piece_kind kind = piece_kind::end;
  std::string_view text;
  std::uint64_t token_offset = 0;  // the input offset of the token's first byte
  bool first_part = true;          // for token_part: the token begins here
  bool last_part = true;           // for token_part: the token ends here
};

// How next_token hands out a token that runs past the window.
enum class long_tokens : std::uint8_t { whole, in_parts };

class token_source : private refill_listener {
 public:
  // `calls` says which words are calls, and which bytes may begin one.
  token_source(input_buffer& input, const call_table& calls);
  ~token_source();
  token_source(const token_source&) = delete;
  token_source& operator=(const token_source&) = delete;

  // The block loop's reading: the code up to the next token that means
  // more than passing through, then that token. A string that runs past
  // the window comes as passing parts. False once the input has ended.
  bool next_in_block(block_token& token);
  // The last variable of the code that next_in_block handed out as
  // passing; empty before the first. Variables inside strings, comments
  // and argument lists are not passed code.
  const shared_text& last_variable() {
    keep_last_variable();
    return last_variable_;
  }

  // The argument reader's reading: the next run of whitespace or token.
  token_piece next_token(long_tokens long_ones);
  // The same reading over the whole window in one loop, for the common
  // case of an argument list that lies in it: hands every run of whitespace
  // to `reader.whitespace(text)` and every token that lies whole in the
  // window to `reader.token(text, offset)`, as next_token would hand them
  // out, until reader.token returns true, which is returned, or a token
  // may run past the window (false: next_token goes on from there).
  template <typename Reader>
  bool read_window(Reader& reader);

 private:
  // The first token of the window that the block loop must be handed, or
  // where the code it may pass through ends.
  struct found_token {
    std::size_t start = 0;  // where the token begins: the code before it passes
    std::size_t end = 0;    // one past its end, or 0 if it may run past the window
    token_meaning meaning;
  };
  found_token find_in_window(std::string_view window);
  // Hands out `found` (which lies whole in the window, whose first byte is
  // at input offset `offset`) with the code before it.
  void take_found(std::string_view window, std::uint64_t offset, const found_token& found,
                  block_token& token);
  // Hands out the code before `found` (which may run past the window) as
  // passing.
  void pass_before(std::string_view window, std::uint64_t offset, const found_token& found,
                   block_token& token);
  // Hands out the token that begins the window and may run past it.
  void take_edge_token(block_token& token);
  // Notes the last variable of the code passed before window[limit].
  void take_last_variable(std::string_view window, std::size_t limit);
  // Cuts the variable noted last out of the window into last_variable_.
  // Most calls do not remember a variable, so it is cut only when asked
  // for, or before the buffer loads new bytes over it.
  void keep_last_variable();
  void before_refill() override { keep_last_variable(); }

  // Reads the token that begins the window into held_, across refills.
  void hold_whole_token();
  // Begins handing out the token that begins the window in parts; returns
  // its first part.
  std::string_view begin_parts();
  // The next part of the token being handed out in parts.
  std::string_view next_part();

  input_buffer& input_;
  const call_table& calls_;
  watched_byte_finder watched_;
  refill_listener* outer_listener_;  // told of refills before this source
  shared_text last_variable_;
  // The "$" of the variable noted last and the place where a token began
  // after it, in the window; null once it is in last_variable_.
  const char* noted_variable_ = nullptr;
  const char* noted_limit_ = nullptr;
  byte_text held_;  // a token held whole across refills
  // The token being handed out in parts, if any.
  bool in_parts_ = false;
  token_cutter parts_cutter_{'\0'};
  std::uint64_t parts_offset_ = 0;
};

template <typename Reader>
bool token_source::read_window(Reader& reader) {
  if (in_parts_) return false;
  std::string_view window = input_.window();
  std::uint64_t offset = input_.position();
  watched_.look_at(window, offset);
  std::size_t at = 0;
  bool ended = false;
  while (at < window.size()) {
    std::size_t start = at;
    unsigned char classes = classes_of(window[at]);
    if ((classes & whitespace) != 0) {
      do {
        ++at;
      } while (at < window.size() && has_class(window[at], whitespace));
      reader.whitespace(std::string_view(window.data() + start, at - start));
      continue;
    }
    std::size_t end = watched_.token_end_at(start, classes);
    if (end == 0) break;
    at = end;
    if (reader.token(std::string_view(window.data() + start, end - start), offset + start)) {
      ended = true;
      break;
    }
  }
  input_.consume(at);
  return ended;
}

}  // namespace corvexa
