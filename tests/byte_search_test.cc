// The wide byte searches must stop exactly where the byte class table says,
// for every byte value in every place of a block and in the tail.
#include <gtest/gtest.h>

#include <string>

#include "scan/byte_search.h"
#include "scan/char_classes.h"

namespace corvexa {
namespace {

TEST(ByteSearch, StopsWhereTheClassTableSays) {
  for (int value = 0; value < 256; ++value) {
    char c = static_cast<char>(value);
    for (std::size_t place = 1; place < 40; ++place) {
      std::string name(40, 'a');
      name[place] = c;
      EXPECT_EQ(name_run_length(name), has_class(c, continues_name) ? 40 : place)
          << "byte " << value << " at " << place;
      std::string spaces(40, ' ');
      spaces[place] = c;
      EXPECT_EQ(skip_plain_bytes(spaces, 0), has_class(c, starts_long_token) ? place : 40)
          << "byte " << value << " at " << place;
      std::string text(40, 'a');
      text[place] = c;
      bool stops = c == '"' || c == '\\';
      EXPECT_EQ(find_quote_or_backslash(text, 0, '"'), stops ? place : 40)
          << "byte " << value << " at " << place;
    }
  }
}

}  // namespace
}  // namespace corvexa
