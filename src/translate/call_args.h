// The argument reader consumes the parenthesised argument list that follows
// a call name and keeps the text of its first three arguments, without
// whitespace. Whitespace before the first comma is echoed to the output as
// it is read (so it ends up in front of the replacement); after the first
// comma it is dropped. A comma at any depth starts the next argument, and
// call names and comment openers inside the list are plain tokens.
#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_text.h"
#include "common/conversion_state.h"

namespace corvexa {

// A watched word (see call_table::watch_prefix) inside an argument: where it
// stands in its argument's text and in the input.
struct watched_word {
  int argument = 0;  // 0 to 2
  std::uint64_t offset_in_argument = 0;
  std::uint64_t source_offset = 0;
};

struct call_arguments {
  byte_text first_argument;
  byte_text second_argument;
  byte_text third_argument;
  // Kept only for an event sink that reads the replaced calls, which say
  // where the replacement put them.
  std::vector<watched_word> watched_words;
  // A comma inside nested parentheses started a new argument.
  bool split_by_nested_comma = false;
};

// The call_arguments of this thread, which the rules read every call's
// arguments into: kept from one call to the next, they cost no allocation
// once their texts have grown to the usual size. Rules never run inside one
// another, so one set a thread is enough. A rule that is done with them
// calls release_large_texts().
call_arguments& thread_call_arguments();
// Gives back the blocks of texts that an unusually long argument grew, so
// that a long string is not held after its call. Inline: every call asks.
inline void release_large_texts(call_arguments& arguments) {
  // Past this, an argument is rare enough that allocating it each time
  // costs nothing worth keeping its block for.
  constexpr std::size_t kept_capacity = std::size_t{64} * 1024;
  auto release_if_large = [](byte_text& text) {
    if (text.capacity() > kept_capacity) text = byte_text();
  };
  release_if_large(arguments.first_argument);
  release_if_large(arguments.second_argument);
  release_if_large(arguments.third_argument);
}

// Reads "(" ... ")" into `arguments` (cleared first). A missing "(" is
// reported as an event and reading goes on as if it had been there; an
// unclosed list ends at the end of the input.
void read_call_args(conversion_state& state, call_arguments& arguments);

}  // namespace corvexa
