// The rows of translated calls and the one rule that serves them all.
#include "translate/translated_calls.h"

#include <array>

#include "common/format_text.h"

namespace corvexa {
namespace {

std::string_view first(const conversion_state&, const call_arguments& a) {
  return a.first_argument;
}
std::string_view second(const conversion_state&, const call_arguments& a) {
  return a.second_argument;
}
std::string_view third(const conversion_state&, const call_arguments& a) {
  return a.third_argument;
}
std::string_view database(const conversion_state& s, const call_arguments&) {
  return s.database_name;
}

std::string_view or_remembered(const conversion_state& s,
                               std::string_view argument) {
  return argument.empty() ? s.remembered_variable.view() : argument;
}
std::string_view first_or_remembered(const conversion_state& s,
                                     const call_arguments& a) {
  return or_remembered(s, a.first_argument);
}
std::string_view second_or_remembered(const conversion_state& s,
                                      const call_arguments& a) {
  return or_remembered(s, a.second_argument);
}
std::string_view third_or_remembered(const conversion_state& s,
                                     const call_arguments& a) {
  return or_remembered(s, a.third_argument);
}

// The PostgreSQL fetch mode named by mysql_fetch_array's second argument;
// only the exact upper-case MySQL names are recognised.
std::string_view fetch_mode(const conversion_state&, const call_arguments& a) {
  if (a.second_argument == "MYSQL_ASSOC") return "PGSQL_ASSOC";
  if (a.second_argument == "MYSQL_NUM") return "PGSQL_NUM";
  return "PGSQL_BOTH";
}

constexpr std::string_view connect_format =
    "pg_connect(\"dbname=%s host=\".%s.\" user=\".%s.\" password=\".%s)";
constexpr std::string_view pconnect_format =
    "pg_pconnect(\"dbname=%s host=\".%s.\" user=\".%s.\" password=\".%s)";

constexpr translated_call rows[] = {
    {.names = "mysql_affected_rows",
     .usual = {"pg_affected_rows(%s)", {first}}},
    {.names = "mysql_close", .usual = {"pg_close(%s)", {first}}},
    {.names = "mysql_connect",
     .remembers = true,
     .usual = {connect_format, {database, first, second, third}}},
    {.names = "mysql_pconnect",
     .remembers = true,
     .usual = {pconnect_format, {database, first, second, third}}},
    {.names = "mysql_create_db mysql_createdb",
     .usual = {"pg_query(%s,'create database %s')",
               {second_or_remembered, first}}},
    {.names = "mysql_drop_db mysql_dropdb",
     .usual = {"pg_query(%s,'drop database %s')",
               {second_or_remembered, first}}},
    {.names = "mysql_db_query mysql",
     .remembers = true,
     .usual = {"pg_query(%s,%s);", {third_or_remembered, second}},
     .reported_after = event_kind::db_query},
    {.names = "mysql_error",
     .usual = {"pg_result_error(%s)", {first_or_remembered}}},
    {.names = "mysql_fetch_array",
     .remembers = true,
     .usual = {"pg_fetch_array(%s,NULL,%s)", {first, fetch_mode}},
     .if_empty = second,
     .short_form = {"pg_fetch_array(%s)", {first}}},
    {.names = "mysql_fetch_assoc",
     .remembers = true,
     .usual = {"pg_fetch_assoc(%s,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_assoc(%s)", {first}}},
    {.names = "mysql_fetch_object",
     .remembers = true,
     .usual = {"pg_fetch_object(%s,NULL,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_object(%s)", {first}}},
    {.names = "mysql_fetch_row",
     .remembers = true,
     .usual = {"pg_fetch_row(%s,NULL,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_row(%s)", {first}}},
    {.names = "mysql_field_name mysql_fieldname",
     .usual = {"pg_fieldname(%s,%s)", {first, second}}},
    {.names = "mysql_field_type mysql_fieldtype",
     .usual = {"pg_field_type(%s,%s)", {first, second}}},
    {.names = "mysql_field_len mysql_fieldlen",
     .usual = {"pg_field_prtlen(%s,%s,\"\")", {first, second}}},
    {.names = "mysql_free_result mysql_freeresult",
     .usual = {"pg_free_result(%s)", {first}}},
    {.names = "mysql_insert_id",
     .usual = {"pg_last_oid(%s)", {first}},
     .reported_before = event_kind::insert_id},
    {.names = "mysql_num_fields mysql_numfields",
     .usual = {"pg_num_fields(%s)", {first}}},
    {.names = "mysql_num_rows mysql_numrows",
     .usual = {"pg_num_rows(%s)", {first}}},
    {.names = "mysql_query",
     .usual = {"pg_query(%s,%s)", {second, first}},
     .if_empty = second,
     .short_form = {"pg_query(%s)", {first}}},
    {.names = "mysql_result",
     .usual = {"pg_query(%s,%s,%s)", {first, second, third}},
     .if_empty = third,
     .short_form = {"pg_query(%s,%s)", {first, second}}},
};

std::string_view usual_name(const translated_call& call) {
  return call.names.substr(0, call.names.find(' '));
}

}  // namespace

std::span<const translated_call> translated_calls() { return rows; }

void translate_call(conversion_state& state, const translated_call& call) {
  state.current_call.name = usual_name(call);
  state.current_call.translated = true;
  call_arguments arguments;
  read_call_args(state, arguments);
  if (call.reported_before) report(state, *call.reported_before);

  bool use_short = call.if_empty != nullptr &&
                   call.if_empty(state, arguments).empty();
  const replacement& chosen = use_short ? call.short_form : call.usual;
  std::array<std::string_view, replacement::max_values> values;
  std::size_t count = 0;
  for (value_source source : chosen.values) {
    if (source == nullptr) break;
    values[count++] = source(state, arguments);
  }
  start_replacement(state);
  write_format(state.output_stream, chosen.format,
               std::span<const std::string_view>(values.data(), count));
  if (call.reported_after) report(state, *call.reported_after);
}

}  // namespace corvexa
