// The rows of unsupported calls, their shared rule, and the database advice.
#include "translate/unsupported_calls.h"

#include "common/format_text.h"
#include "translate/call_args.h"

namespace corvexa {
namespace {

constexpr std::string_view console_warning = "Warning: %s() not supported.\n";
constexpr std::string_view comment_warning = "// Warning: %s() not supported.\n";
constexpr std::string_view same_database =
    "%s == %s ..  This is a good thing.\n\n";
constexpr std::string_view database_suggestion =
    "Suggestion: corvexa -d %s %s %s\n\n";
constexpr std::string_view edit_by_hand =
    "You will most likely have to edit this PHP code by hand to make it work.\n";

constexpr auto before = warning_time::before_arguments;
constexpr auto after = warning_time::after_arguments;

constexpr unsupported_call rows[] = {
    {"mysql_change_user", before},
    {"mysql_data_seek", after},
    {"mysql_errno", before},
    {"mysql_fetch_field", before},
    {"mysql_fetch_lengths", before},
    {"mysql_field_seek mysql_fieldseek", before},
    {"mysql_field_table mysql_fieldtable", before},
    {"mysql_field_flags mysql_fieldflags", before},
    {"mysql_list_fields mysql_listfields", before},
    {"mysql_list_dbs mysql_listdbs", before},
    {"mysql_list_tables mysql_listtables", before},
    {"mysql_tablename", before},
    {"mysql_select_db mysql_selectdb", after, /*advises_on_database=*/true},
};

std::string_view usual_name(const unsupported_call& call) {
  return call.names.substr(0, call.names.find(' '));
}

// Compares the database that mysql_select_db selects with the run's own.
// A quoted first argument names it: the opening quote and the last byte,
// whatever it is, are cut off. Anything else cannot be judged from the text.
void advise_on_database(conversion_state& state, std::string_view selection) {
  if (selection.empty() || (selection[0] != '\'' && selection[0] != '"')) {
    state.console.write(edit_by_hand);
    return;
  }
  std::string_view selected = selection.substr(1);
  if (!selected.empty()) selected.remove_suffix(1);
  if (selected == state.database_name) {
    write_format(state.console, same_database, {selected, state.database_name});
  } else {
    write_format(state.console, database_suggestion,
                 {selected, state.input_path, state.output_path});
  }
}

}  // namespace

std::span<const unsupported_call> unsupported_calls() { return rows; }

void mark_unsupported_call(conversion_state& state,
                           const unsupported_call& call) {
  std::string_view name = usual_name(call);
  if (call.when == before) write_format(state.console, console_warning, {name});
  call_arguments arguments;
  read_call_args(state, arguments);
  if (call.when == after) write_format(state.console, console_warning, {name});
  if (call.advises_on_database) {
    advise_on_database(state, arguments.first_argument);
  }
  write_format(state.output_stream, comment_warning, {name});
}

}  // namespace corvexa
