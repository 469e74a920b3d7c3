// The value of a PHP string literal whose value the converter can know
// from its text alone: a single-quoted string, or a double-quoted one
// without "$", "{$" or escapes. Anything else (an interpolated string, a
// variable, an expression) is only known when PHP runs it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvexa {

// The value of `written` (an argument without the whitespace around it) if
// it is such a literal.
std::optional<std::string> literal_value(std::string_view written);

// `value` as the body of a double-quoted PHP string: "\", "\"" and "$"
// escaped, so that PHP reads back exactly `value`.
std::string in_double_quotes(std::string_view value);

}  // namespace corvexa
