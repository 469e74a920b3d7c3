// The tokenizer on its own: which tokens it cuts from a piece of PHP code and
// which whitespace it echoes to the output on the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/call_table.h"
#include "scan/tokenizer.h"

namespace corvexa {
namespace {

using namespace std::string_literals;

struct tokenized {
  std::vector<std::string> tokens;
  std::string echoed;
};

// Reads tokens until the end of `input`.
tokenized tokenize(std::string_view input, bool quiet) {
  tokenized result;
  string_writer echo_writer(result.echoed);
  output_sink echo(echo_writer);
  ignored_events events;
  input_buffer source(input);
  call_table no_calls;
  conversion_state state(source, echo, events, no_calls);
  byte_text token;
  while (get_token(state, token, quiet)) result.tokens.emplace_back(token);
  EXPECT_TRUE(token.empty());
  EXPECT_FALSE(get_token(state, token, quiet)) << "the end must stay the end";
  echo.flush();
  return result;
}

struct token_case {
  std::string input;
  bool quiet;
  std::vector<std::string> tokens;
  std::string echoed;
};

TEST(Tokenizer, CutsTokensAndEchoesWhitespace) {
  const token_case cases[] = {
      // The first byte chooses the kind; names run on over digits, letters
      // and every byte from "_" (95) up, but not over "^" (94) or "-".
      {"$ ", false, {"$"}, " "},
      {"3rd 12.5", false, {"3rd", "12", ".", "5"}, " "},
      {"else{ {", false, {"else{", "{"}, " "},
      {"${x}", false, {"${x}"}, ""},
      {"$a||$b", false, {"$a||", "$b"}, ""},
      {"$a-", false, {"$a", "-"}, ""},
      {"$$x", false, {"$", "$x"}, ""},
      {"_x", false, {"_", "x"}, ""},
      {"a^b", false, {"a", "^", "b"}, ""},
      {"a`~\x7f\x80\xff@", false, {"a`~\x7f\x80\xff", "@"}, ""},
      {"\x80\xff", false, {"\x80", "\xff"}, ""},
      // Strings: escapes never end them, the other quote is plain text,
      // whitespace inside is kept, and the input's end ends them as read.
      {R"('it\'s')", false, {R"('it\'s')"}, ""},
      {R"('a\\' b)", false, {R"('a\\')", "b"}, " "},
      {R"("a'b" 'c"d')", false, {R"("a'b")", R"('c"d')"}, " "},
      {"\"x y\t\nz\"", true, {"\"x y\t\nz\""}, ""},
      {"'abc", false, {"'abc"}, ""},
      {"\"ab\\", false, {"\"ab\\"}, ""},
      // Fixed tokens: only "?>" written together closes a block.
      {"? >?>", false, {"?", ">", "?>"}, " "},
      {"a /", false, {"a", "/"}, " "},
      {"/ // /*/x", false, {"/", "//", "/*", "/", "x"}, "  "},
      {"<?php", false, {"<", "?", "php"}, ""},
      // Vertical tab, form feed and zero bytes are tokens, not whitespace.
      {"a\vb\fc", false, {"a", "\v", "b", "\f", "c"}, ""},
      {"a\0b"s, false, {"a", "\0"s, "b"}, ""},
      {"'a\0b' \"\0\""s, false, {"'a\0b'"s, "\"\0\""s}, " "},
      // Whitespace is exactly tab, line feed, carriage return and space.
      {"\t\n\r a   b", false, {"a", "b"}, "\t\n\r    "},
      {"\t\n\r a   b", true, {"a", "b"}, ""},
      {" \n ", false, {}, " \n "},
      {"", false, {}, ""},
  };
  for (const token_case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input) + (c.quiet ? " quiet" : ""));
    tokenized result = tokenize(c.input, c.quiet);
    EXPECT_EQ(result.tokens, c.tokens);
    EXPECT_EQ(result.echoed, c.echoed);
  }
}

}  // namespace
}  // namespace corvexa
