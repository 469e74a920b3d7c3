// Every width of the byte searches must find exactly what the byte class
// table says, for every byte value in every place of a vector and of the
// partial vector at the end, and must not look past the bytes it is given
// (the buffers here are exactly as long as the run searched, so that the
// sanitizer build catches a read past the end).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/byte_search.h"
#include "scan/char_classes.h"

namespace corvexa {
namespace {

// Runs the searches at each available width in turn; restores the widest.
template <typename Check>
void at_every_width(Check check) {
  for (search_width width : available_search_widths()) {
    SCOPED_TRACE(name_of(width));
    use_search_width(width);
    check();
  }
  use_search_width(available_search_widths()[0]);
}

// `size` bytes of `fill` with `c` at `place` (if inside), in a buffer of
// exactly that size.
std::vector<char> bytes_with(std::size_t size, char fill, std::size_t place, char c) {
  std::vector<char> bytes(size, fill);
  if (place < size) bytes[place] = c;
  return bytes;
}

TEST(ByteSearch, EveryWidthFindsWhatTheClassTableSays) {
  at_every_width([] {
    for (int value = 0; value < 256; ++value) {
      char c = static_cast<char>(value);
      for (std::size_t size : {1, 15, 16, 17, 31, 32, 33, 63, 64, 70}) {
        for (std::size_t place = 0; place < size; ++place) {
          SCOPED_TRACE("byte " + std::to_string(value) + " at " + std::to_string(place) + " of " +
                       std::to_string(size));
          std::vector<char> name = bytes_with(size, 'a', place, c);
          EXPECT_EQ(name_run_length({name.data(), size}),
                    has_class(c, continues_name) ? size : place);
        }
      }
    }
  });
}

TEST(ByteSearch, EveryWidthMarksWatchedBytesDollarsQuotesAndBackslashes) {
  struct start_case {
    std::string_view starts;
    std::string_view some_that_start;  // as well as the watched bytes
  };
  // Up to two bytes, and up to four, are compared one by one; beyond,
  // every letter counts.
  const start_case cases[] = {{"", ""},       {"m", "m"},       {"mM", "mM"},
                              {"aAq", "aAq"}, {"aAbB", "aAbB"}, {"fFgGq", "azAZ"}};
  at_every_width([&] {
    for (const start_case& c : cases) {
      name_start_set starts = make_name_start_set(c.starts);
      for (int value = 0; value < 256; ++value) {
        char byte = static_cast<char>(value);
        bool watched = has_class(byte, starts_watched) ||
                       (starts.any_letter ? has_class(byte, starts_word)
                                          : c.starts.find(byte) != std::string_view::npos);
        if (c.some_that_start.find(byte) != std::string_view::npos) {
          EXPECT_TRUE(watched) << value;
        }
        for (std::size_t size : {1, 17, 33, 63, 64}) {
          for (std::size_t place = 0; place < size; ++place) {
            std::vector<char> block = bytes_with(size, ' ', place, byte);
            std::uint64_t bit = std::uint64_t{1} << place;
            watched_marks marks;
            mark_watched(block.data(), size, starts, marks);
            EXPECT_EQ(marks.watched, watched ? bit : 0)
                << "starts \"" << c.starts << "\", byte " << value << " at " << place << " of "
                << size;
            EXPECT_EQ(marks.dollars, byte == '$' ? bit : 0)
                << "byte " << value << " at " << place << " of " << size;
            EXPECT_EQ(marks.double_quoted_stops, byte == '"' || byte == '\\' ? bit : 0)
                << "byte " << value << " at " << place << " of " << size;
            EXPECT_EQ(marks.single_quoted_stops, byte == '\'' || byte == '\\' ? bit : 0)
                << "byte " << value << " at " << place << " of " << size;
            bool ends_or_escapes = byte == '"' || byte == '\\';
            EXPECT_EQ(mark_quote_or_backslash(block.data(), size, '"'), ends_or_escapes ? bit : 0)
                << "byte " << value << " at " << place << " of " << size;
          }
        }
      }
    }
  });
}

}  // namespace
}  // namespace corvexa
