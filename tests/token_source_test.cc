// The token source on its own: which tokens and runs of whitespace it hands
// the argument reader, whole or in parts, wherever the input buffer is
// refilled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "scan/call_table.h"
#include "scan/token_source.h"

namespace corvexa {
namespace {

using namespace std::string_literals;

struct tokenized {
  std::vector<std::string> tokens;
  std::string whitespace;  // every run of whitespace, in order
};

// Hands out the input `chunk` bytes a read (all at once for 0).
class chunk_reader final : public byte_reader {
 public:
  chunk_reader(std::string_view input, std::size_t chunk) : input_(input), chunk_(chunk) {}
  long read_some(char* buffer, std::size_t capacity) override {
    std::size_t count = std::min({input_.size(), capacity, chunk_});
    std::memcpy(buffer, input_.data(), count);
    input_.remove_prefix(count);
    return static_cast<long>(count);
  }

 private:
  std::string_view input_;
  std::size_t chunk_;
};

// Reads tokens until the end of `input`, read `chunk` bytes at a time into
// a buffer as small (in place for 0), with long tokens handed out as
// `long_ones` says; parts are joined into their token, and must come
// first to last.
tokenized tokenize(std::string_view input, std::size_t chunk, long_tokens long_ones) {
  chunk_reader reader(input, chunk);
  input_buffer source = chunk == 0 ? input_buffer(input) : input_buffer(reader, chunk);
  call_table no_calls;
  token_source tokens(source, no_calls);
  tokenized result;
  bool in_token = false;
  for (;;) {
    token_piece piece = tokens.next_token(long_ones);
    if (piece.kind == piece_kind::end) break;
    EXPECT_EQ(in_token, piece.kind == piece_kind::token_part && !piece.first_part);
    switch (piece.kind) {
      case piece_kind::whitespace: result.whitespace.append(piece.text); break;
      case piece_kind::token: result.tokens.emplace_back(piece.text); break;
      case piece_kind::token_part:
        EXPECT_EQ(long_ones, long_tokens::in_parts);
        if (piece.first_part) result.tokens.emplace_back();
        result.tokens.back().append(piece.text);
        in_token = !piece.last_part;
        break;
      case piece_kind::end: break;
    }
  }
  EXPECT_FALSE(in_token) << "a token in parts must end";
  EXPECT_EQ(tokens.next_token(long_ones).kind, piece_kind::end) << "the end must stay the end";
  return result;
}

struct token_case {
  std::string input;
  std::vector<std::string> tokens;
  std::string whitespace;
};

TEST(TokenSource, CutsTokensAndWhitespaceWhereverTheInputIsCut) {
  const token_case cases[] = {
      // The first byte chooses the kind; names run on over digits, letters
      // and every byte from "_" (95) up, but not over "^" (94) or "-".
      {"$ ", {"$"}, " "},
      {"3rd 12.5", {"3rd", "12", ".", "5"}, " "},
      {"else{ {", {"else{", "{"}, " "},
      {"${x}", {"${x}"}, ""},
      {"$a||$b", {"$a||", "$b"}, ""},
      {"$a-", {"$a", "-"}, ""},
      {"$$x", {"$", "$x"}, ""},
      {"_x", {"_", "x"}, ""},
      {"a^b", {"a", "^", "b"}, ""},
      {"a`~\x7f\x80\xff@", {"a`~\x7f\x80\xff", "@"}, ""},
      {"\x80\xff", {"\x80", "\xff"}, ""},
      // Strings: escapes never end them, the other quote is plain text,
      // whitespace inside is kept, and the input's end ends them as read.
      {R"('it\'s')", {R"('it\'s')"}, ""},
      {R"('a\\' b)", {R"('a\\')", "b"}, " "},
      {R"("a'b" 'c"d')", {R"("a'b")", R"('c"d')"}, " "},
      {"\"x y\t\nz\"", {"\"x y\t\nz\""}, ""},
      {"'abc", {"'abc"}, ""},
      {"\"ab\\", {"\"ab\\"}, ""},
      // Fixed tokens: only "?>" written together closes a block.
      {"? >?>", {"?", ">", "?>"}, " "},
      {"a /", {"a", "/"}, " "},
      {"/ // /*/x", {"/", "//", "/*", "/", "x"}, "  "},
      {"<?php", {"<", "?", "php"}, ""},
      // Vertical tab, form feed and zero bytes are tokens, not whitespace.
      {"a\vb\fc", {"a", "\v", "b", "\f", "c"}, ""},
      {"a\0b"s, {"a", "\0"s, "b"}, ""},
      {"'a\0b' \"\0\""s, {"'a\0b'"s, "\"\0\""s}, " "},
      // Whitespace is exactly tab, line feed, carriage return and space.
      {"\t\n\r a   b", {"a", "b"}, "\t\n\r    "},
      {" \n ", {}, " \n "},
      {"", {}, ""},
  };
  for (const token_case& c : cases) {
    for (std::size_t chunk : {0, 1, 2, 3}) {
      for (long_tokens long_ones : {long_tokens::whole, long_tokens::in_parts}) {
        SCOPED_TRACE(testing::PrintToString(c.input) + ", reads of " + std::to_string(chunk) +
                     (long_ones == long_tokens::whole ? ", whole" : ", in parts"));
        tokenized result = tokenize(c.input, chunk, long_ones);
        EXPECT_EQ(result.tokens, c.tokens);
        EXPECT_EQ(result.whitespace, c.whitespace);
      }
    }
  }
}

// A string longer than the buffer comes in parts of at most the buffer's
// size, each handed out as read: the source never holds it.
TEST(TokenSource, HandsOutALongStringInPartsNoLargerThanTheBuffer) {
  const std::string input = "'" + std::string(1000, 'x') + "\\\\' $a";
  chunk_reader reader(input, 64);
  input_buffer source(reader, 64);
  call_table no_calls;
  token_source tokens(source, no_calls);
  std::string joined;
  token_piece piece;
  do {
    piece = tokens.next_token(long_tokens::in_parts);
    ASSERT_EQ(piece.kind, piece_kind::token_part);
    EXPECT_LE(piece.text.size(), 64u);
    EXPECT_EQ(piece.token_offset, 0u);
    joined.append(piece.text);
  } while (!piece.last_part);
  EXPECT_EQ(joined, input.substr(0, 1004));
  EXPECT_EQ(tokens.next_token(long_tokens::in_parts).kind, piece_kind::whitespace);
  piece = tokens.next_token(long_tokens::in_parts);
  EXPECT_EQ(piece.text, "$a");
  EXPECT_EQ(piece.token_offset, 1005u);
}

}  // namespace
}  // namespace corvexa
