// The argument reader, observed through a one-row table whose rule writes
// the three argument texts it was given as [first|second|third].
#include <gtest/gtest.h>

#include <string>

#include "support/memory_conversion.h"
#include "translate/call_args.h"

namespace corvexa {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

call_table table_showing_arguments() {
  call_table table;
  table.add("f", false, [](conversion_state& state) {
    call_arguments a;
    read_call_args(state, a);
    for (std::string_view piece : {"["sv, a.first_argument.view(), "|"sv, a.second_argument.view(),
                                   "|"sv, a.third_argument.view(), "]"sv}) {
      state.output_stream.write(piece);
    }
  });
  return table;
}

struct args_case {
  std::string code;  // inside a block opened by "<?"
  std::string output;
  std::string console;
};

TEST(CallArgs, ReadsUpToThreeArgumentsAndEchoesOnlyBeforeTheFirstComma) {
  const std::string parse_error = "Parse Error: Expected '(' and got ";
  const args_case cases[] = {
      {"f($link);", "[$link||];", ""},
      {"f();", "[||];", ""},
      {"f( $sql )", "  [$sql||]", ""},
      {"f ( $a . 'x' ,  $db )", "     [$a.'x'|$db|]", ""},
      {"f(\n$a\n,\n$b\n)", "\n\n[$a|$b|]", ""},
      {"f('a, b')", "['a, b'||]", ""},
      // A comma at any depth starts the next argument; parentheses are
      // counted, and everything after the third argument is dropped.
      {"f(g($a, $b), $db)", "[g($a|$b)|$db]", ""},
      {"f(1,2,3,4,5)", "[1|2|3]", ""},
      {"f(1,(2,3),(4))x", "[1|(2|3)]x", ""},
      // Call names, comment openers and "?>" inside a list are plain tokens.
      {"f(f($q))", "[f($q)||]", ""},
      {"f(/* $a, // b */)", " [/*$a|//b*/|]", ""},
      {"f(?>)?>", "[?>||]?>", ""},
      {"f(\0, '\0')"s, "[\0|'\0'|]"s, ""},
      // A missing "(" is reported; the token is dropped and the list read
      // as if it had been there.
      {"f;\n$x, $y) + 1", "\n[$x|$y|] + 1", parse_error + "';'.\n"},
      {"f $x)", " [||]", parse_error + "'$x'.\n"},
      {"f\0)"s, "[||]", parse_error + "'\0'.\n"s},
      // At the end of the input the rule writes what was read.
      {"f($a, 'b", "[$a|'b|]", ""},
      {"f(", "[||]", ""},
      {"f ", " [||]", ""},
  };
  call_table table = table_showing_arguments();
  for (const args_case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.code));
    memory_conversion result = convert_in_memory("<?" + c.code, table);
    EXPECT_EQ(result.output, "<?" + c.output);
    EXPECT_EQ(result.console, c.console);
  }
}

}  // namespace
}  // namespace corvexa
