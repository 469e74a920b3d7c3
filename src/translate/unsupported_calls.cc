// The rows of unsupported calls, their shared rule, and the database advice.
#include "translate/unsupported_calls.h"

#include "common/format_text.h"
#include "translate/call_args.h"

namespace corvexa {
namespace {

constexpr format_text comment_warning = "// Warning: %s() not supported.\n";

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
    report(state, event_kind::database_unknown);
    return;
  }
  std::string_view selected = selection.substr(1);
  if (!selected.empty()) selected.remove_suffix(1);
  report(state,
         selected == state.database_name ? event_kind::database_matches
                                         : event_kind::database_differs,
         selected);
}

}  // namespace

std::span<const unsupported_call> unsupported_calls() { return rows; }

void mark_unsupported_call(conversion_state& state,
                           const unsupported_call& call) {
  std::string_view name = usual_name(call);
  state.current_call.name = name;
  if (call.when == before) report(state, event_kind::unsupported_call);
  call_arguments arguments;
  read_call_args(state, arguments);
  if (call.when == after) report(state, event_kind::unsupported_call);
  if (call.advises_on_database) {
    advise_on_database(state, arguments.first_argument);
  }
  start_replacement(state);
  write_format(state.output_stream, comment_warning, {name});
}

}  // namespace corvexa
