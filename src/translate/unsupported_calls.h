// The MySQL calls that have no PostgreSQL counterpart. Each is replaced by a
// warning comment and reported as an event, before or after its argument
// list is read (which decides whether the warning comes before a parse error
// of that list). mysql_select_db also compares the database the script
// selects with the run's database name and advises the user.
#pragma once

#include <span>
#include <string_view>

#include "common/conversion_state.h"
#include "translate/name_list.h"
#include "translate/table_settings.h"

namespace corvexa {

enum class warning_time { before_arguments, after_arguments };

struct unsupported_call {
  // The call names, separated by spaces; messages name the first.
  name_list names;
  warning_time when;
  // What to write instead, for the reports that say so.
  std::string_view instead = {};
  bool advises_on_database = false;
};

std::span<const unsupported_call> unsupported_calls();

// Reads the call's arguments, warns, and writes the warning comment.
void mark_unsupported_call(conversion_state& state, const unsupported_call& call,
                           const table_settings& settings);

}  // namespace corvexa
