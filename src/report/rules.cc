// The rule table and the message of every event kind.
#include "report/rules.h"

#include <array>
#include <string>

namespace corvexa {
namespace {

constexpr std::array<rule, 5> rules = {{
    {"unsupported-call", severity::warning,
     "A MySQL call without a PostgreSQL counterpart was replaced by a warning "
     "comment; the code around it must be rewritten by hand."},
    {"parse-error", severity::error,
     "A MySQL call name was not followed by '('; the tokens after it were read "
     "as its arguments."},
    {"db-query", severity::warning,
     "mysql_db_query() became pg_query() and lost its database argument."},
    {"insert-id", severity::warning,
     "mysql_insert_id() became pg_last_oid(), which needs a result and a table "
     "with OIDs."},
    {"select-db", severity::warning,
     "mysql_select_db() was removed: PostgreSQL chooses the database when "
     "connecting."},
}};

const rule& rule_named(std::string_view id) {
  for (const rule& r : rules) {
    if (r.id == id) return r;
  }
  return rules[0];  // every caller names a rule of the table
}

finding make_finding(std::string_view id, const logged_event& event,
                     std::string message) {
  const rule& r = rule_named(id);
  return finding{r.id, r.level, event.call, std::move(message),
                 event.source_offset, {}, {}};
}

}  // namespace

std::string_view severity_name(severity level) {
  switch (level) {
    case severity::error: return "error";
    case severity::warning: return "warning";
    case severity::note: return "note";
  }
  return "warning";
}

std::span<const rule> all_rules() { return rules; }

finding describe_event(const logged_event& event, std::string_view database_name) {
  const std::string call = event.call + "()";
  const std::string text = event.text;
  const std::string database(database_name);
  switch (event.kind) {
    case event_kind::unsupported_call:
      return make_finding("unsupported-call", event, call + " not supported");
    case event_kind::parse_error:
      return make_finding("parse-error", event,
                          "expected '(' after " + event.call + " and got '" + text + "'");
    case event_kind::db_query:
      return make_finding("db-query", event,
                          call + " became pg_query(), which drops its database "
                                 "argument");
    case event_kind::insert_id:
      return make_finding("insert-id", event,
                          call + " became pg_last_oid(); for tables without OID "
                                 "use INSERT ... RETURNING");
    case event_kind::database_matches: {
      finding f = make_finding("select-db", event,
                               call + " selects '" + text +
                                   "', the database this run connects to");
      f.level = severity::note;
      return f;
    }
    case event_kind::database_differs:
      return make_finding("select-db", event,
                          call + " selects '" + text + "', but the connect calls use '" +
                              database + "': convert again with -d " + text);
    case event_kind::database_unknown:
      return make_finding("select-db", event,
                          call + " selects a database given by an expression: "
                                 "edit this code by hand");
  }
  return make_finding("unsupported-call", event, call);
}

}  // namespace corvexa
