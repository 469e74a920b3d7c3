// The rows of unsupported calls, their shared rule, and the database advice.
#include "translate/unsupported_calls.h"

#include "common/format_text.h"
#include "translate/advice.h"
#include "translate/call_args.h"
#include "translate/name_list.h"

namespace corvexa {
namespace {

constexpr format_text comment_warning = "// Warning: %s() not supported.\n";

constexpr auto before = warning_time::before_arguments;
constexpr auto after = warning_time::after_arguments;

constexpr unsupported_call rows[] = {
    {"mysql_change_user", before, "connect again with pg_connect() as the other user"},
    {"mysql_data_seek", after, "write pg_result_seek($result, $row)"},
    {"mysql_errno", before,
     "write pg_last_error($link) !== '' to know whether the last statement failed"},
    {"mysql_fetch_field", before,
     "write pg_field_name(), pg_field_table() and pg_field_type() with the field number"},
    {"mysql_fetch_lengths", before, "use strlen() on the values of the fetched row"},
    {"mysql_field_seek mysql_fieldseek", before,
     "pass the field number to pg_field_name() and the like"},
    {"mysql_field_table mysql_fieldtable", before, "write pg_field_table($result, $field)"},
    {"mysql_field_flags mysql_fieldflags", before,
     "read the column's constraints from information_schema.columns"},
    {"mysql_list_fields mysql_listfields", before,
     "write pg_query($link, 'SELECT * FROM table LIMIT 0') and read its fields"},
    {"mysql_list_dbs mysql_listdbs", before,
     "write pg_query($link, 'SELECT datname FROM pg_database')"},
    {"mysql_list_tables mysql_listtables", before,
     "write pg_query($link, 'SELECT table_name FROM information_schema.tables WHERE "
     "table_schema = current_schema()')"},
    {"mysql_tablename", before, "write pg_fetch_result($result, $row, 0)"},
    {"mysql_select_db mysql_selectdb", after, "delete it: pg_connect() names the database",
     /*advises_on_database=*/true},
};

// Compares the database that mysql_select_db selects with the run's own.
// A quoted first argument names it: the opening quote and the last byte,
// whatever it is, are cut off. Anything else cannot be judged from the text.
void advise_on_database(conversion_state& state, std::string_view selection,
                        std::string_view database_name) {
  if (selection.empty() || (selection[0] != '\'' && selection[0] != '"')) {
    report_advice(state, advice::database_unknown);
    return;
  }
  std::string_view selected = selection.substr(1);
  if (!selected.empty()) selected.remove_suffix(1);
  report_advice(state,
                selected == database_name ? advice::database_matches : advice::database_differs,
                selected, selection);
}

}  // namespace

std::span<const unsupported_call> unsupported_calls() { return rows; }

void mark_unsupported_call(conversion_state& state, const unsupported_call& call,
                           const table_settings& settings) {
  std::string_view name = call.names.usual();
  state.current_call.name = name;
  if (call.when == before) report(state, event_kind::unsupported_call, {}, call.instead);
  call_arguments& arguments = thread_call_arguments();
  read_call_args(state, arguments);
  if (call.when == after) report(state, event_kind::unsupported_call, {}, call.instead);
  if (call.advises_on_database) {
    advise_on_database(state, arguments.first_argument, settings.database_name);
  }
  start_replacement(state);
  write_format(state.output_stream, comment_warning, {name});
  release_large_texts(arguments);
}

}  // namespace corvexa
