// Format filling: the "%s" places are found once, when the format is made,
// so the odd cases of finding them are pinned here: places side by side, a
// "%" that is not a place, more places than values and the other way round.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/format_text.h"

namespace corvexa {
namespace {

TEST(FormatText, FillsEachPlaceWithTheNextValue) {
  struct format_case {
    const char* format;
    std::vector<std::string_view> values;
    std::string written;
    std::vector<std::uint64_t> value_offsets;
  };
  const format_case cases[] = {
      {"", {"a"}, "", {}},
      {"no places", {}, "no places", {}},
      {"%s", {"x"}, "x", {0}},
      {"f(%s,%s)", {"$a", "$b"}, "f($a,$b)", {2, 5}},
      {"%s%s", {"ab", "c"}, "abc", {0, 2}},
      {"%%s %", {"v"}, "%v %", {1}},
      {"100% %d %s", {"v"}, "100% %d v", {8}},
      {"[%s|%s]", {"only"}, "[only|]", {1}},
      {"[%s]", {"one", "two"}, "[one]", {1}},
      {"%s", {std::string_view("\0z", 2)}, std::string("\0z", 2), {0}},
  };
  constexpr std::uint64_t untouched = 99;
  for (const format_case& c : cases) {
    std::string output;
    string_writer writer(output);
    output_sink sink(writer);
    std::vector<std::uint64_t> offsets(format_text::most_places, untouched);
    write_format(sink, c.format, c.values, offsets.data());
    sink.flush();
    EXPECT_EQ(output, c.written) << c.format;
    std::vector<std::uint64_t> expected = c.value_offsets;
    expected.resize(format_text::most_places, untouched);
    EXPECT_EQ(offsets, expected) << c.format;
  }
}

}  // namespace
}  // namespace corvexa
