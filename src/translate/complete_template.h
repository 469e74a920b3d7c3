// Fills the templates of the complete rules (their places are listed in
// complete_calls.h) with a call's arguments.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "translate/exact_arguments.h"

namespace corvexa {

// The PHP names that stand for MySQL's implicit state: the last connection
// opened and the result of the last query.
inline constexpr std::string_view last_link = "$GLOBALS['pg_last_link']";
// A connect call's new connection, until it is known to have opened.
inline constexpr std::string_view new_link = "$GLOBALS['pg_new_link']";
// The last connection where none may have been opened yet.
inline constexpr std::string_view last_link_or_none = "($GLOBALS['pg_last_link'] ?? false)";
inline constexpr std::string_view last_result = "$GLOBALS['pg_last_result']";

struct template_values {
  const exact_arguments& arguments;
  int link_argument = -1;
  std::string connection = {};  // {C}
  std::string flags = {};       // {F}
  std::string encoding = {};    // {E}
  std::string errno_arms = {};  // {M}
};

struct filled_template {
  std::string text;
  // The required arguments ({N}) that the call did not have.
  std::vector<std::size_t> missing;
  // Where each argument written stands in `text`: (argument, position).
  std::vector<std::pair<std::size_t, std::size_t>> placed;
};

filled_template fill_template(std::string_view text, const template_values& values);

}  // namespace corvexa
