// The table. Settings that only tune MySQL's server have nothing to become;
// time_zone, autocommit, the character sets and the isolation level have a
// PostgreSQL form.
#include "sql/mysql_settings.h"

namespace corvexa::sql {
namespace {

constexpr std::string_view none = "is MySQL's: PostgreSQL has no such setting; remove the query";
constexpr std::string_view encoding = "is MySQL's: write SET client_encoding TO 'UTF8'";

constexpr mysql_setting settings[] = {
    {"time_zone",
     "is MySQL's: write SET TIME ZONE 'zone', or SET TIME ZONE INTERVAL '+hh:mm' HOUR TO MINUTE "
     "for an offset (PostgreSQL reads the text '+hh:mm' with its sign reversed)"},
    {"autocommit",
     "is MySQL's: PostgreSQL commits each statement unless BEGIN opens a transaction; write "
     "BEGIN for 0 (and COMMIT when done), and remove the query for 1"},
    {"tx_isolation",
     "is MySQL's: write SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL"},
    {"transaction_isolation",
     "is MySQL's: write SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL"},
    {"character_set_client", encoding},
    {"character_set_connection", encoding},
    {"character_set_results", encoding},
    {"sql_mode", none},
    {"sql_big_selects", none},
    {"sql_safe_updates", none},
    {"sql_auto_is_null", none},
    {"sql_select_limit", none},
    {"sql_quote_show_create", none},
    {"sql_notes", none},
    {"sql_warnings", none},
    {"big_tables", none},
    {"group_concat_max_len", none},
    {"max_heap_table_size", none},
    {"tmp_table_size", none},
    {"max_execution_time", none},
    {"wait_timeout", none},
    {"interactive_timeout", none},
    {"net_read_timeout", none},
    {"net_write_timeout", none},
    {"foreign_key_checks", none},
    {"unique_checks", none},
    {"max_allowed_packet", none},
    {"optimizer_switch", none},
    {"lc_time_names", none},
    {"collation_connection", none},
    {"collation_database", none},
    {"character_set_database", none},
    {"character_set_server", none},
};

}  // namespace

const mysql_setting* find_mysql_setting(std::string_view lower_name) {
  for (const mysql_setting& s : settings) {
    if (s.name == lower_name) return &s;
  }
  return nullptr;
}

}  // namespace corvexa::sql
