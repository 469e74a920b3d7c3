// Cutting tokens out of a window must agree with the tokenizer: for every
// token of an input and every window that holds its start, token_end gives
// the tokenizer's end, or 0 only when the token reaches the window's end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scan/call_table.h"
#include "scan/tokenizer.h"
#include "scan/window_token.h"

namespace corvexa {
namespace {

struct token_place {
  std::size_t start;
  std::size_t end;
};

// Where the tokenizer puts each token of `input`.
std::vector<token_place> token_places(const std::string& input) {
  std::string sink_text;
  string_writer writer(sink_text);
  output_sink output(writer);
  ignored_events events;
  input_buffer source(input);
  call_table no_calls;
  conversion_state state(source, output, events, no_calls);
  std::vector<token_place> places;
  byte_text token;
  while (get_token(state, token, /*quiet=*/true)) {
    std::size_t end = input.size() - source.window().size();
    places.push_back({end - token.size(), end});
  }
  return places;
}

void expect_agreement(const std::string& input) {
  for (const token_place& place : token_places(input)) {
    for (std::size_t size = place.start + 1; size <= input.size(); ++size) {
      std::string_view window(input.data(), size);
      std::size_t end = token_end(window, place.start);
      SCOPED_TRACE("input '" + input + "', token at " +
                   std::to_string(place.start) + ", window of " +
                   std::to_string(size));
      if (place.end < size) {
        EXPECT_EQ(end, place.end);
      } else if (end != 0) {
        EXPECT_EQ(end, place.end);
      }
    }
  }
}

TEST(WindowToken, AgreesWithTheTokenizerOnChosenInputs) {
  const char* inputs[] = {
      "$a||$b $a- $$x _x else{ 3rd ${x}",
      "'it\\'s' \"a\\\\\" 'no end",
      "// x\n/* y */ / ? ?> ?",
      "'0123456789abcdef0123456789abcdef\\'0123456789abcdef' \"\\",
      "\"0123456789abcdef\\\\0123456789abcde\"x",
  };
  for (const char* input : inputs) expect_agreement(input);
}

TEST(WindowToken, AgreesWithTheTokenizerOnRandomInputs) {
  const std::string alphabet = "'\"\\$/?*>ab_1 \n{\x80";
  std::mt19937 random(20261209);
  for (int round = 0; round < 400; ++round) {
    std::string input(random() % 60, ' ');
    for (char& c : input) c = alphabet[random() % alphabet.size()];
    expect_agreement(input);
  }
}

}  // namespace
}  // namespace corvexa

namespace corvexa {
namespace {

// The sixteen-bytes-at-a-time searches must stop exactly where the byte
// class table says, for every byte value in every place of a block and in
// the tail.
TEST(WindowToken, WideSearchesStopWhereTheClassTableSays) {
  for (int value = 0; value < 256; ++value) {
    char c = static_cast<char>(value);
    bool starts_long = has_class(c, starts_long_token);
    bool continues = has_class(c, continues_name);
    for (std::size_t place = 1; place < 40; ++place) {
      std::string spaces(40, ' ');
      spaces[place] = c;
      EXPECT_EQ(skip_plain_bytes(spaces, 0), starts_long ? place : 40)
          << "byte " << value << " at " << place;
      std::string name(40, 'a');
      name[place] = c;
      EXPECT_EQ(name_token_end(name, 0), continues ? 0 : place)
          << "byte " << value << " at " << place;
    }
  }
}

}  // namespace
}  // namespace corvexa
