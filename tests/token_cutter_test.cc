// The token cutter is handed a token's bytes in pieces, as buffer refills
// cut them: wherever the pieces are cut, the token must end in the same
// place, and a window that ends inside a token must say so rather than cut
// it short.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "scan/token_cutter.h"

namespace corvexa {
namespace {

// Where the token starting at `start` ends when the bytes after its first
// come in two pieces, split `split` bytes in; the input's end if it never
// ends.
std::size_t end_in_two_pieces(std::string_view input, std::size_t start, std::size_t split) {
  token_cutter cutter(input[start]);
  std::string_view rest = input.substr(start + 1);
  split = std::min(split, rest.size());
  std::size_t taken = cutter.take(rest.substr(0, split));
  if (!cutter.ended()) taken += cutter.take(rest.substr(split));
  return start + 1 + taken;
}

// Cuts `input` into tokens, skipping whitespace, and checks every split of
// every token against the uncut one.
void expect_same_ends_in_pieces(std::string_view input) {
  std::size_t start = 0;
  while (start < input.size()) {
    if (has_class(input[start], whitespace)) {
      ++start;
      continue;
    }
    std::size_t whole = end_in_two_pieces(input, start, input.size());
    for (std::size_t split = 0; start + 1 + split <= input.size(); ++split) {
      SCOPED_TRACE(testing::PrintToString(std::string(input)) + ", token at " +
                   std::to_string(start) + ", split after " + std::to_string(split));
      EXPECT_EQ(end_in_two_pieces(input, start, split), whole);
      // A window that ends at the split holds the token whole or says that
      // it may go on.
      std::size_t in_window = token_end(input.substr(0, start + 1 + split), start);
      EXPECT_TRUE(in_window == whole || (in_window == 0 && whole >= start + 1 + split));
    }
    start = whole;
  }
}

TEST(TokenCutter, EndsTokensAlikeWhereverTheyAreCut) {
  const char* inputs[] = {
      "$a||$b $a- $$x _x else{ 3rd ${x} a\x80\xff",
      "'it\\'s' \"a\\\\\" 'no end",
      "\"a'b\" 'c\"d' '\\\\\\'' \"\\",
      "// x\n/* y */ / ? ?> ?/ /",
  };
  for (const char* input : inputs) expect_same_ends_in_pieces(input);
  // Escapes on either side of the 64th byte of a string, where the search
  // for quotes and backslashes moves on to the next 64 bytes.
  for (std::size_t before = 60; before <= 66; ++before) {
    for (std::string_view quote_and_end : {"'\\'x' b", "\"\\\\\" b"}) {
      std::string input(1, quote_and_end[0]);
      input.append(before, 'a');
      input.append(quote_and_end.substr(1));
      expect_same_ends_in_pieces(input);
    }
  }
}

TEST(TokenCutter, EndsRandomTokensAlikeWhereverTheyAreCut) {
  const std::string alphabet = "'\"\\$/?*>ab_1 \n{\x80";
  std::mt19937 random(20261209);
  for (int round = 0; round < 400; ++round) {
    std::string input(random() % 60, ' ');
    for (char& c : input) c = alphabet[random() % alphabet.size()];
    expect_same_ends_in_pieces(input);
  }
}

}  // namespace
}  // namespace corvexa
