// The rows of the complete rules, one a call (aliases share a row), in the
// order of the extension's function list; then the constants.
#include "translate/complete_calls.h"

#include <memory>

#include "common/ascii.h"
#include "translate/name_list.h"

namespace corvexa {
namespace {

using enum complete_outcome;
using enum complete_check;

// A connection that opened asks for verbose errors, whose text carries the
// SQLSTATE, and becomes the last connection; one that failed leaves the
// last connection as it was, as MySQL did.
#define connected "&& pg_set_error_verbosity({N}, PGSQL_ERRORS_VERBOSE) >= 0 ? ({G} = {N}) : false)"

// A query records its result for mysql_affected_rows(); a failing
// mysql_query() gave no warning, so neither does the converted one.
constexpr std::string_view query = "({R} = @pg_query({L}, {0}))";

constexpr complete_call rows[] = {
    {.names = "mysql_affected_rows",
     .replacement = "({R} ? pg_affected_rows({R}) : -1)",
     .link_argument = 0},
    {.names = "mysql_change_user",
     .replacement = "false",
     .link_argument = 3,
     .outcome = no_equivalent,
     .note = "it became false; connect again with pg_connect() as the other user"},
    {.names = "mysql_client_encoding",
     .replacement = "pg_client_encoding({L})",
     .link_argument = 0,
     .outcome = differs,
     .note = "pg_client_encoding() names the encoding as PostgreSQL does (UTF8, LATIN1), "
             "not as MySQL does (utf8, latin1)"},
    {.names = "mysql_close", .replacement = "pg_close({L})", .link_argument = 0},
    {.names = "mysql_connect", .replacement = "(({N} = pg_connect({C}{F})) " connected},
    {.names = "mysql_create_db mysql_createdb",
     .replacement =
         "(@pg_query({L}, 'CREATE DATABASE ' . pg_escape_identifier({L}, {0})) !== false)",
     .link_argument = 1},
    {.names = "mysql_data_seek", .replacement = "pg_result_seek({0}, {1})"},
    {.names = "mysql_db_name mysql_dbname", .replacement = "pg_fetch_result({0}, {1}, {2|0})"},
    {.names = "mysql_db_query mysql",
     .replacement = "({R} = @pg_query({L}, {1}))",
     .link_argument = 2,
     .check = selected_database},
    {.names = "mysql_drop_db mysql_dropdb",
     .replacement = "(@pg_query({L}, 'DROP DATABASE ' . pg_escape_identifier({L}, {0})) !== false)",
     .link_argument = 1},
    {.names = "mysql_errno",
     .replacement = "({L?} ? match (substr(strstr(pg_last_error({L}), ':  ') ?: '', 3, 5)) {M} "
                    ": 2002)",
     .link_argument = 0,
     .check = compared_errno},
    {.names = "mysql_error",
     .replacement = "({L?} ? pg_last_error({L}) : (error_get_last()['message'] ?? ''))",
     .link_argument = 0},
    {.names = "mysql_escape_string", .replacement = "pg_escape_string({G}, {0})"},
    {.names = "mysql_fetch_array", .replacement = "pg_fetch_array({0}{[, null, {1}]})"},
    {.names = "mysql_fetch_assoc", .replacement = "pg_fetch_assoc({0})"},
    {.names = "mysql_fetch_field",
     .replacement = "(object) ['name' => pg_field_name({0}, {1}), 'table' => pg_field_table({0}, "
                    "{1}), 'type' => pg_field_type({0}, {1})]",
     .outcome = differs,
     .note = "the object has the field's name, table and type (PostgreSQL's type names) only",
     .without = {1, "false",
                 "without a field offset it became false; pass the field number, counting from "
                 "0, to pg_field_name() and the like"}},
    {.names = "mysql_fetch_lengths",
     .replacement = "false",
     .outcome = no_equivalent,
     .note = "it became false; use strlen() on the values of the fetched row"},
    {.names = "mysql_fetch_object", .replacement = "pg_fetch_object({0}{[, null, {1}]}{[, {2}]})"},
    {.names = "mysql_fetch_row", .replacement = "pg_fetch_row({0})"},
    {.names = "mysql_field_flags mysql_fieldflags",
     .replacement = "''",
     .outcome = no_equivalent,
     .note = "it became ''; read the column's constraints from information_schema.columns"},
    {.names = "mysql_field_len mysql_fieldlen",
     .replacement = "pg_field_size({0}, {1})",
     .outcome = differs,
     .note = "pg_field_size() gives -1 for types of variable length such as varchar and text"},
    {.names = "mysql_field_name mysql_fieldname", .replacement = "pg_field_name({0}, {1})"},
    {.names = "mysql_field_seek mysql_fieldseek",
     .replacement = "true",
     .outcome = no_equivalent,
     .note = "it became true; pass the field number to pg_field_name() and the like instead"},
    {.names = "mysql_field_table mysql_fieldtable", .replacement = "pg_field_table({0}, {1})"},
    {.names = "mysql_field_type mysql_fieldtype",
     .replacement = "pg_field_type({0}, {1})",
     .outcome = differs,
     .note = "pg_field_type() names types as PostgreSQL does (int4, varchar, timestamp), not "
             "as MySQL does (int, string, datetime)"},
    {.names = "mysql_free_result mysql_freeresult", .replacement = "pg_free_result({0})"},
    {.names = "mysql_get_client_info", .replacement = "pg_version({G})['client']"},
    {.names = "mysql_get_host_info", .replacement = "pg_host({L})", .link_argument = 0},
    {.names = "mysql_get_proto_info",
     .replacement = "pg_version({L})['protocol']",
     .link_argument = 0},
    {.names = "mysql_get_server_info",
     .replacement = "pg_version({L})['server']",
     .link_argument = 0},
    {.names = "mysql_info",
     .replacement = "false",
     .link_argument = 0,
     .outcome = no_equivalent,
     .note = "it became false; pg_affected_rows() gives the count of rows a statement changed"},
    {.names = "mysql_insert_id",
     // lastval() fails in a session that has made no id yet, where MySQL
     // gave 0.
     .replacement = "(static fn($r) => $r ? (int) pg_fetch_result($r, 0, 0) : 0)(@pg_query({L}, "
                    "'SELECT lastval()'))",
     .link_argument = 0},
    {.names = "mysql_list_dbs mysql_listdbs",
     .replacement = "pg_query({L}, 'SELECT datname FROM pg_database WHERE NOT datistemplate "
                    "ORDER BY datname')",
     .link_argument = 0},
    {.names = "mysql_list_fields mysql_listfields",
     .replacement = "pg_query({L}, 'SELECT * FROM ' . pg_escape_identifier({L}, strtolower({1})) "
                    ". ' LIMIT 0')",
     .link_argument = 2},
    {.names = "mysql_list_processes",
     .replacement = "pg_query({L}, 'SELECT pid AS \"Id\", usename AS \"User\", client_addr AS "
                    "\"Host\", datname AS \"db\", state AS \"Command\", query AS \"Info\" FROM "
                    "pg_stat_activity')",
     .link_argument = 0},
    {.names = "mysql_list_tables mysql_listtables",
     .replacement = "pg_query({L}, 'SELECT table_name FROM information_schema.tables WHERE "
                    "table_schema = current_schema() ORDER BY table_name')",
     .link_argument = 1},
    {.names = "mysql_num_fields mysql_numfields", .replacement = "pg_num_fields({0})"},
    {.names = "mysql_num_rows mysql_numrows", .replacement = "pg_num_rows({0})"},
    {.names = "mysql_pconnect", .replacement = "(({N} = pg_pconnect({C})) " connected},
    {.names = "mysql_ping", .replacement = "pg_ping({L})", .link_argument = 0},
    {.names = "mysql_query", .replacement = query, .link_argument = 1},
    {.names = "mysql_real_escape_string",
     .replacement = "pg_escape_string({L}, {0})",
     .link_argument = 1},
    {.names = "mysql_result",
     .replacement = "pg_fetch_result({0}, {1}, {2|0})",
     .check = field_by_name},
    {.names = "mysql_select_db mysql_selectdb",
     .replacement = "true",
     .link_argument = 1,
     .check = selected_database},
    {.names = "mysql_set_charset",
     .replacement = "(pg_set_client_encoding({L}, {E}) === 0)",
     .link_argument = 1},
    {.names = "mysql_stat",
     .replacement = "pg_fetch_result(pg_query({L}, \"SELECT 'Uptime: ' || floor(extract(epoch "
                    "FROM now() - pg_postmaster_start_time())) || '  Threads: ' || count(*) FROM "
                    "pg_stat_activity\"), 0, 0)",
     .link_argument = 0},
    {.names = "mysql_tablename", .replacement = "pg_fetch_result({0}, {1}, 0)"},
    {.names = "mysql_thread_id", .replacement = "pg_get_pid({L})", .link_argument = 0},
    {.names = "mysql_unbuffered_query", .replacement = query, .link_argument = 1},

    {.names = "MYSQL_ASSOC", .replacement = "PGSQL_ASSOC", .form = call_form::constant},
    {.names = "MYSQL_NUM", .replacement = "PGSQL_NUM", .form = call_form::constant},
    {.names = "MYSQL_BOTH", .replacement = "PGSQL_BOTH", .form = call_form::constant},
    {.names = "MYSQL_CLIENT_COMPRESS MYSQL_CLIENT_IGNORE_SPACE MYSQL_CLIENT_INTERACTIVE "
              "MYSQL_CLIENT_SSL",
     .replacement = "0",
     .outcome = differs,
     .note = "MySQL's connect flags mean nothing to PostgreSQL; for SSL, set sslmode in the "
             "connection string",
     .form = call_form::constant},
};

#undef connected

}  // namespace

std::span<const complete_call> complete_calls() { return rows; }

std::string counterpart_of(std::string_view name) {
  for (const complete_call& call : rows) {
    bool found = false;
    for_each_name(call.names, [&](std::string_view row_name) {
      found = found || equal_ignoring_ascii_case(row_name, name);
    });
    if (!found) continue;
    if (call.form == call_form::constant) return std::string(call.replacement);
    std::size_t pg = call.replacement.find("pg_");
    if (pg != std::string_view::npos) {
      std::size_t end = call.replacement.find('(', pg);
      return std::string(call.replacement.substr(pg, end - pg)) + "()";
    }
    return "the value " + std::string(call.replacement);
  }
  return "its PostgreSQL counterpart";
}

call_table make_complete_call_table(const table_settings& settings) {
  call_table table;
  table.watch_prefix(extension_prefix);
  auto shared = std::make_shared<const table_settings>(settings);
  for (const complete_call& call : rows) {
    for_each_name(call.names, [&](std::string_view name) {
      table.add(
          name, /*remembers=*/false,
          [&call, shared](conversion_state& state) { convert_completely(state, call, *shared); },
          call.form);
    });
  }
  return table;
}

}  // namespace corvexa
